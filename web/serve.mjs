// Serves a folder of static files on localhost, as a web host serves the web
// edition: the right types, gzip for a browser that asks for it, and no
// caching without asking again (so that a new version is seen at once).
//   node web/serve.mjs FOLDER [PORT]   prints the address, serves until ended
// PORT 0 (the default) takes a free one. Only GET and HEAD; nothing outside
// FOLDER is ever read.
import fs from 'node:fs';
import http from 'node:http';
import path from 'node:path';
import zlib from 'node:zlib';

const kTypes = {
    '.html': 'text/html; charset=utf-8',
    '.css': 'text/css; charset=utf-8',
    '.js': 'text/javascript; charset=utf-8',
    '.mjs': 'text/javascript; charset=utf-8',
    '.wasm': 'application/wasm',
    '.webmanifest': 'application/manifest+json; charset=utf-8',
    '.json': 'application/json; charset=utf-8',
    '.svg': 'image/svg+xml',
    '.png': 'image/png',
};

// A server of root, not yet listening.
export function StaticServer(root) {
    const base = path.resolve(root);
    return http.createServer((request, response) => {
        if (request.method !== 'GET' && request.method !== 'HEAD') {
            response.writeHead(405, { Allow: 'GET, HEAD' }).end();
            return;
        }
        let name;
        try {
            name = decodeURIComponent(new URL(request.url, 'http://localhost').pathname);
        } catch {
            response.writeHead(400).end();
            return;
        }
        let file = path.join(base, path.normalize(name));
        if (file !== base && !file.startsWith(base + path.sep)) {
            response.writeHead(404).end();
            return;
        }
        if (name.endsWith('/')) {
            file = path.join(file, 'index.html');
        }
        fs.readFile(file, (error, data) => {
            if (error) {
                response.writeHead(404, { 'Content-Type': 'text/plain' }).end('not found');
                return;
            }
            const headers = {
                'Content-Type': kTypes[path.extname(file)] ?? 'application/octet-stream',
                'Cache-Control': 'no-cache',
                Vary: 'Accept-Encoding',
            };
            let body = data;
            if (/\bgzip\b/u.test(request.headers['accept-encoding'] ?? '')) {
                body = zlib.gzipSync(data, { level: 9 });
                headers['Content-Encoding'] = 'gzip';
            }
            headers['Content-Length'] = body.length;
            response.writeHead(200, headers);
            response.end(request.method === 'HEAD' ? undefined : body);
        });
    });
}

if (process.argv[1] && path.resolve(process.argv[1]) === new URL(import.meta.url).pathname) {
    const [root, port = '0'] = process.argv.slice(2);
    if (!root || !fs.existsSync(path.join(root, 'index.html'))) {
        console.error('usage: node serve.mjs FOLDER [PORT]   (FOLDER holds index.html)');
        process.exit(2);
    }
    const server = StaticServer(root);
    server.listen(Number(port), '127.0.0.1', () => {
        console.log(`ソラニカ: http://127.0.0.1:${server.address().port}/`);
    });
}

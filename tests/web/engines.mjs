// The three browser engines the web tests run in, each behind the same few
// means (a "tab"), from which harness.mjs builds the page the tests use:
//   goto(url), reload(), run(source, arg) (a function's text, called in the
//   page with arg, its value awaited), script(source), click(finder, arg)
//   (a real click on the first element the finder's text returns),
//   press(key), type(text), screenshot(file, fullPage), problems(), close().
// Chromium: playwright-core, headless. Firefox: puppeteer-core over WebDriver
// BiDi, headless. WebKit: WebKitGTK's MiniBrowser through WebKitWebDriver
// (WebDriver over HTTP, spoken here with fetch) on the X server the test
// runs on (scripts/with-x.sh), the page in a frame of the size asked for.
import { spawn } from 'node:child_process';
import fs from 'node:fs';
import net from 'node:net';
import path from 'node:path';
import zlib from 'node:zlib';

const Json = (value) => JSON.stringify(value) ?? 'undefined';
const Call = (source, arg) => `(${source})(${Json(arg)})`;
const Sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

// Reports of what breaks the page's rules, made in the page before its own
// scripts run.
function WatchPolicy() {
    document.addEventListener('securitypolicyviolation', (event) =>
        console.error(`CSP violation: ${event.violatedDirective} ${event.blockedURI}`),
    );
}

// Chromium: a context of its own for every tab, sized and coloured by
// Playwright; its requests, console and errors seen from outside the page.
export async function Chromium(modules, executable) {
    const { chromium } = await import(path.join(modules, 'playwright-core', 'index.mjs'));
    const browser = await chromium.launch({
        executablePath: executable,
        args: [
            '--no-sandbox',
            '--disable-gpu',
            '--disable-quic',
            '--no-first-run',
            '--disable-background-networking',
            '--disable-component-update',
            '--disable-sync',
        ],
    });
    return {
        async NewTab(origin, size, scheme) {
            const context = await browser.newContext({ ...size, colorScheme: scheme, locale: 'ja-JP' });
            const problems = [];
            context.on('request', (request) => {
                if (new URL(request.url()).origin !== origin) {
                    problems.push(`request to another origin: ${request.url()}`);
                }
            });
            await context.addInitScript(WatchPolicy);
            const page = await context.newPage();
            page.on('console', (message) => {
                if (message.type() === 'error') {
                    problems.push(`console error: ${message.text()}`);
                }
            });
            page.on('pageerror', (error) => problems.push(`page error: ${error.message}`));
            return {
                // Playwright's own page, for what only Chromium has (the
                // benchmark's DevTools protocol).
                playwright: page,
                goto: (url) => page.goto(url),
                reload: () => page.reload(),
                run: (source, arg) => page.evaluate(Call(source, arg)),
                script: (source) => page.evaluate(source),
                async click(finder, arg) {
                    const handle = await page.evaluateHandle(`${Call(finder, arg)}[0]`);
                    await handle.asElement().click();
                    await handle.dispose();
                },
                press: (key) => page.keyboard.press(key),
                type: (text) => page.keyboard.type(text),
                screenshot: (file, fullPage) => page.screenshot({ path: file, fullPage }),
                problems: async () => problems.splice(0),
                close: () => context.close(),
            };
        },
        close: () => browser.close(),
    };
}

// Firefox: one browser for each colour scheme and kind of pointer (a
// preference each, read at start), launched when first asked for; a user
// context of its own for every tab.
export async function Firefox(modules, executable) {
    const puppeteer = (await import(path.join(modules, 'puppeteer-core', 'lib', 'esm', 'puppeteer', 'puppeteer-core.js')))
        .default;
    const browsers = new Map();
    const Browser = (scheme, touch) => {
        const key = `${scheme} ${touch}`;
        if (!browsers.has(key)) {
            // Pointer capabilities: 1 coarse, 2 fine, 4 hover.
            const pointer = touch ? 1 : 2 | 4;
            browsers.set(
                key,
                puppeteer.launch({
                    browser: 'firefox',
                    executablePath: executable,
                    headless: true,
                    extraPrefsFirefox: {
                        'layout.css.prefers-color-scheme.content-override': scheme === 'dark' ? 0 : 1,
                        'ui.primaryPointerCapabilities': pointer,
                        'ui.allPointerCapabilities': pointer,
                        'intl.accept_languages': 'ja-JP',
                        'browser.translations.enable': false,
                    },
                }),
            );
        }
        return browsers.get(key);
    };
    return {
        async NewTab(origin, size, scheme) {
            const browser = await Browser(scheme, size.hasTouch === true);
            const context = await browser.createBrowserContext();
            const page = await context.newPage();
            await page.setViewport({ ...size.viewport, deviceScaleFactor: size.deviceScaleFactor ?? 1 });
            const problems = [];
            page.on('request', (request) => {
                if (new URL(request.url()).origin !== origin) {
                    problems.push(`request to another origin: ${request.url()}`);
                }
            });
            page.on('console', (message) => {
                if (message.type() === 'error') {
                    problems.push(`console error: ${message.text()}`);
                }
            });
            page.on('pageerror', (error) => problems.push(`page error: ${error.message}`));
            await page.evaluateOnNewDocument(WatchPolicy);
            // A tab whose history is its one page may be closed by it.
            const Closed = (error) => {
                throw page.isClosed() ? new Error('the page closed its tab (window.close())') : error;
            };
            return {
                goto: (url) => page.goto(url),
                reload: () => page.reload(),
                run: (source, arg) => page.evaluate(Call(source, arg)).catch(Closed),
                script: (source) => page.evaluate(source),
                async click(finder, arg) {
                    const handle = await page.evaluateHandle(`${Call(finder, arg)}[0]`);
                    await handle.click();
                    await handle.dispose();
                },
                async press(key) {
                    const keys = key.split('+');
                    for (const k of keys.slice(0, -1)) {
                        await page.keyboard.down(k);
                    }
                    await page.keyboard.press(keys.at(-1));
                    for (const k of keys.slice(0, -1).reverse()) {
                        await page.keyboard.up(k);
                    }
                },
                type: (text) => page.keyboard.type(text),
                screenshot: (file, fullPage) => page.screenshot({ path: file, fullPage }),
                problems: async () => problems.splice(0),
                close: () => context.close(),
            };
        },
        async close() {
            for (const browser of browsers.values()) {
                await (await browser).close();
            }
        },
    };
}

// WebDriver's names of the keys the tests press.
const kKeys = {
    Enter: '\uE007',
    Escape: '\uE00C',
    Tab: '\uE004',
    Shift: '\uE008',
    Backspace: '\uE003',
    Space: ' ',
};
const kElement = 'element-6066-11e4-a52e-4f735466cecf';

function FreePort() {
    return new Promise((resolve, reject) => {
        const server = net.createServer();
        server.on('error', reject);
        server.listen(0, '127.0.0.1', () => {
            const { port } = server.address();
            server.close(() => resolve(port));
        });
    });
}

// WebKit: a WebKitWebDriver (one session each) starts MiniBrowser for each
// colour scheme (its --dark-mode) when first asked for, and a page is
// loaded in its window anew for every tab; the page stands in a frame of
// the asked size (MiniBrowser's window is never narrower than about 450 px)
// on a framing page that the test's server adds to the site (harness.mjs,
// Serve).
async function WebDriver(driverPath) {
    const port = await FreePort();
    const driver = spawn(driverPath, [`--port=${port}`], { stdio: ['ignore', 'ignore', 'inherit'] });
    // Ended with the test, however it ends.
    driver.unref();
    process.on('exit', () => driver.kill());
    const base = `http://127.0.0.1:${port}`;
    async function Send(method, where, body) {
        const response = await fetch(base + where, {
            signal: AbortSignal.timeout(180000),
            method,
            headers: { 'Content-Type': 'application/json; charset=utf-8' },
            body: body === undefined ? undefined : JSON.stringify(body),
        }).catch((error) => {
            throw new Error(`WebDriver ${method} ${where}: ${error.message}: ${error.cause?.message ?? ''}`);
        });
        const { value } = await response.json();
        if (!response.ok) {
            const error = new Error(`WebDriver ${method} ${where}: ${value.error}: ${value.message}`);
            error.code = value.error;
            throw error;
        }
        return value;
    }
    for (let tries = 0; ; tries += 1) {
        try {
            await Send('GET', '/status');
            return { Send, kill: () => driver.kill() };
        } catch (error) {
            if (tries > 200 || driver.exitCode !== null) {
                throw new Error(`WebKitWebDriver did not start: ${error.message}`);
            }
            await Sleep(50);
        }
    }
}

// MiniBrowser's window: room for the desktop's 1280 × 800 and its own bar.
const kWindow = { width: 1320, height: 900 };

// The top left width × height of a PNG picture of 8 bits a channel, RGB or
// RGBA, not interlaced (as WebDriver's are).
export function CroppedPng(png, width, height) {
    const chunks = [];
    for (let at = 8; at < png.length; at += 12 + png.readUInt32BE(at)) {
        chunks.push([png.toString('latin1', at + 4, at + 8), png.subarray(at + 8, at + 8 + png.readUInt32BE(at))]);
    }
    const header = Buffer.from(chunks.find(([type]) => type === 'IHDR')[1]);
    const channels = { 2: 3, 6: 4 }[header[9]];
    if (header[8] !== 8 || !channels || header[12] !== 0) {
        throw new Error(`a PNG picture of another kind: depth ${header[8]}, colour ${header[9]}`);
    }
    const stride = header.readUInt32BE(0) * channels;
    if (width > header.readUInt32BE(0) || height > header.readUInt32BE(4)) {
        throw new Error(`${width} × ${height} is outside the picture`);
    }
    const raw = zlib.inflateSync(Buffer.concat(chunks.filter(([type]) => type === 'IDAT').map(([, data]) => data)));
    const rows = [];
    let above = Buffer.alloc(stride);
    for (let y = 0; y < height; y += 1) {
        const filter = raw[y * (stride + 1)];
        const row = Buffer.from(raw.subarray(y * (stride + 1) + 1, (y + 1) * (stride + 1)));
        for (let x = 0; x < stride; x += 1) {
            const a = x >= channels ? row[x - channels] : 0;
            const b = above[x];
            const c = x >= channels ? above[x - channels] : 0;
            const p = a + b - c;
            const [pa, pb, pc] = [Math.abs(p - a), Math.abs(p - b), Math.abs(p - c)];
            const paeth = pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
            row[x] = (row[x] + [0, a, b, (a + b) >> 1, paeth][filter]) & 255;
        }
        rows.push(Buffer.from([0]), row.subarray(0, width * channels));
        above = row;
    }
    header.writeUInt32BE(width, 0);
    header.writeUInt32BE(height, 4);
    const Chunk = (type, data) => {
        const body = Buffer.concat([Buffer.from(type, 'latin1'), data]);
        const size = Buffer.alloc(4);
        size.writeUInt32BE(data.length);
        const crc = Buffer.alloc(4);
        crc.writeUInt32BE(Crc32(body));
        return Buffer.concat([size, body, crc]);
    };
    return Buffer.concat([
        png.subarray(0, 8),
        Chunk('IHDR', header),
        Chunk('IDAT', zlib.deflateSync(Buffer.concat(rows))),
        Chunk('IEND', Buffer.alloc(0)),
    ]);
}

function Crc32(bytes) {
    let crc = 0xffffffff;
    for (const byte of bytes) {
        crc ^= byte;
        for (let k = 0; k < 8; k += 1) {
            crc = crc & 1 ? (crc >>> 1) ^ 0xedb88320 : crc >>> 1;
        }
    }
    return (crc ^ 0xffffffff) >>> 0;
}

export async function WebKit(driverPath, miniBrowser) {
    const sessions = new Map();
    const Session = (scheme) => {
        if (!sessions.has(scheme)) {
            sessions.set(
                scheme,
                (async () => {
                    const { Send, kill } = await WebDriver(driverPath);
                    const { sessionId } = await Send('POST', '/session', {
                        capabilities: {
                            alwaysMatch: {
                                'webkitgtk:browserOptions': {
                                    binary: miniBrowser,
                                    args: ['--automation', ...(scheme === 'dark' ? ['--dark-mode'] : [])],
                                },
                            },
                        },
                    });
                    const at = `/session/${sessionId}`;
                    await Send('POST', `${at}/timeouts`, { script: 120000, pageLoad: 60000 });
                    // Room for the desktop's 1280 × 800 and the browser's bar.
                    await Send('POST', `${at}/window/rect`, { x: 0, y: 0, ...kWindow });
                    return { Send, kill, at };
                })(),
            );
        }
        return sessions.get(scheme);
    };
    return {
        async NewTab(origin, size, scheme) {
            // One page at a time in each colour scheme: a new one takes the
            // window of the one before.
            const { Send, at } = await Session(scheme);
            const { width, height } = size.viewport;
            const IntoFrame = async () => {
                await Send('POST', `${at}/frame`, { id: null });
                await Send('POST', `${at}/frame`, { id: 0 });
            };
            // Calls into the page; once more after entering the frame anew
            // when the page was reloaded from within.
            const Retried = async (send) => {
                try {
                    return await send();
                } catch (error) {
                    if (error.code !== 'no such frame' && error.code !== 'no such window') {
                        throw error;
                    }
                    await IntoFrame();
                    return send();
                }
            };
            const Run = async (body, args = []) => {
                const answer = await Retried(() => Send('POST', `${at}/execute/async`, { script: body, args }));
                if (answer.error !== undefined) {
                    throw new Error(answer.error);
                }
                return answer.value ?? undefined;
            };
            const Called = (source) =>
                `const done = arguments[arguments.length - 1]; const arg = arguments[0];
                Promise.resolve().then(() => (${source})(arg)).then(
                    (value) => done({ value }), (error) => done({ error: String(error && error.stack || error) }));`;
            const Element = async (finder, arg) => {
                const found = await Retried(() =>
                    Send('POST', `${at}/execute/sync`, { script: `return (${finder})(arguments[0])[0] ?? null;`, args: [arg] }),
                );
                if (!found) {
                    throw new Error('webkit: no element to click');
                }
                return found[kElement];
            };
            const Keys = (keys) =>
                Send('POST', `${at}/actions`, { actions: [{ type: 'key', id: 'keyboard', actions: keys }] }).then(() =>
                    Send('DELETE', `${at}/actions`),
                );
            let frame;
            return {
                async goto(url) {
                    frame = new URL(`soranika-frame.html?width=${width}&height=${height}`, url).href;
                    await Send('POST', `${at}/frame`, { id: null });
                    await Send('POST', `${at}/url`, { url: frame });
                    await IntoFrame();
                },
                async reload() {
                    await Send('POST', `${at}/frame`, { id: null });
                    await Send('POST', `${at}/refresh`, {});
                    await IntoFrame();
                },
                run: (source, arg) => Run(Called(source), [arg]),
                script: (source) => Run(`${source}\n;arguments[arguments.length - 1]({ value: true });`),
                async click(finder, arg) {
                    for (let tries = 0; ; tries += 1) {
                        try {
                            await Send('POST', `${at}/element/${await Element(finder, arg)}/click`, {});
                            return;
                        } catch (error) {
                            // Covered for a moment, as by a window opening.
                            if (tries > 50 || !['element click intercepted', 'element not interactable'].includes(error.code)) {
                                throw error;
                            }
                            await Sleep(100);
                        }
                    }
                },
                press(key) {
                    const keys = key.split('+').map((k) => kKeys[k] ?? k);
                    return Keys([
                        ...keys.map((value) => ({ type: 'keyDown', value })),
                        ...keys.reverse().map((value) => ({ type: 'keyUp', value })),
                    ]);
                },
                type: (text) => Keys([...text].flatMap((value) => [{ type: 'keyDown', value }, { type: 'keyUp', value }])),
                async screenshot(file, fullPage) {
                    // The window's picture cut to the frame, which stands at
                    // its top left corner (WebKitGTK's picture of an element
                    // is out of place); for the whole page the frame is made
                    // as tall as the page for a moment, within the window.
                    const tall = fullPage
                        ? Math.min(await Run(Called(() => document.documentElement.scrollHeight)), kWindow.height - 100)
                        : height;
                    await Send('POST', `${at}/frame`, { id: null });
                    const Resize = (h) =>
                        Send('POST', `${at}/execute/sync`, {
                            script: 'document.querySelector("iframe").style.height = arguments[0] + "px";',
                            args: [h],
                        });
                    if (tall > height) {
                        await Resize(tall);
                    }
                    const png = Buffer.from(await Send('GET', `${at}/screenshot`), 'base64');
                    if (tall > height) {
                        await Resize(height);
                    }
                    await Send('POST', `${at}/frame`, { id: 0 });
                    fs.writeFileSync(file, CroppedPng(png, width, Math.max(tall, height)));
                },
                problems: () =>
                    Run(
                        Called(() =>
                            window.soranikaWatch ? window.soranikaWatch.splice(0) : [`the watch is not on the page: ${location.href}`],
                        ),
                    ),
                async close() {
                    await Send('POST', `${at}/frame`, { id: null });
                    await Send('POST', `${at}/url`, { url: 'about:blank' });
                },
            };
        },
        async close() {
            for (const session of sessions.values()) {
                const { Send, kill, at } = await session;
                await Send('DELETE', at).catch(() => {});
                kill();
            }
        },
    };
}

// What the test's server adds to the site for WebKit: the framing page, and
// the watch the page loads first (WebDriver has no console or request log),
// both kept by the service worker with the site's own files.
export const kFramePage = `<!DOCTYPE html>
<html><head><meta charset="utf-8"><title>frame</title>
<style>html, body { margin: 0; overflow: hidden; } iframe { display: block; border: 0; }</style>
</head><body><iframe></iframe><script>
const size = new URLSearchParams(location.search);
const frame = document.querySelector('iframe');
frame.style.width = size.get('width') + 'px';
frame.style.height = size.get('height') + 'px';
frame.src = './';
</script></body></html>
`;

export const kWatch = `// The test's watch over the page: console errors, errors and failed loads,
// violations of the Content-Security-Policy, requests to another origin.
(() => {
    const seen = (window.soranikaWatch = []);
    const error = console.error.bind(console);
    console.error = (...args) => {
        seen.push('console error: ' + args.join(' '));
        error(...args);
    };
    window.addEventListener('error', (event) => {
        const target = event.target;
        seen.push(target && target !== window ? 'not loaded: ' + (target.src || target.href) : 'page error: ' + event.message);
    }, true);
    window.addEventListener('unhandledrejection', (event) => seen.push('page error: ' + event.reason));
    document.addEventListener('securitypolicyviolation', (event) =>
        seen.push('CSP violation: ' + event.violatedDirective + ' ' + event.blockedURI));
    new PerformanceObserver((list) => {
        for (const entry of list.getEntries()) {
            if (new URL(entry.name).origin !== location.origin) {
                seen.push('request to another origin: ' + entry.name);
            }
        }
    }).observe({ type: 'resource', buffered: true });
})();
`;

// What the web tests share: the site served on localhost, Debian's Chromium
// headless, pages at a phone's and a desktop's size, light or dark, and the
// watch over every page (no console error, no violation of the page's
// Content-Security-Policy, no request to another origin), checked when the
// page closes. CTest gives the paths (tests/web/CMakeLists.txt).
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import { after, before } from 'node:test';
import { StaticServer } from '../../web/serve.mjs';

export function Env(name) {
    const value = process.env[name];
    if (!value) {
        throw new Error(`${name} is not set: run the web tests through CTest`);
    }
    return value;
}

const { chromium } = await import(
    path.join(Env('SORANIKA_WEB_MODULES'), 'playwright-core', 'index.mjs')
);

export const kSizes = {
    phone: { viewport: { width: 360, height: 640 }, isMobile: true, hasTouch: true, deviceScaleFactor: 2 },
    desktop: { viewport: { width: 1280, height: 800 } },
    // The desktop's screen zoomed to 200 %, and a tablet.
    zoomed: { viewport: { width: 640, height: 400 }, deviceScaleFactor: 2 },
    tablet: { viewport: { width: 1024, height: 768 }, isMobile: true, hasTouch: true },
};

export const Out = (name) => {
    fs.mkdirSync(Env('SORANIKA_WEB_OUT'), { recursive: true });
    return path.join(Env('SORANIKA_WEB_OUT'), name);
};

// The site (or another folder) on a free port of 127.0.0.1.
export async function Serve(root = Env('SORANIKA_WEB_SITE')) {
    const server = StaticServer(root);
    await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
    return {
        url: `http://127.0.0.1:${server.address().port}/`,
        close: () =>
            new Promise((resolve) => {
                server.closeAllConnections();
                server.close(resolve);
            }),
    };
}

// Chromium as this machine runs it: no sandbox for root, none of the
// browser's own connections to Google's hosts.
export function Launch() {
    return chromium.launch({
        executablePath: Env('SORANIKA_CHROMIUM'),
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
}

// One site and one browser for the tests of a file: started before the
// first, closed after the last. Returns Open over them.
export function Browsing() {
    const shared = {};
    before(async () => {
        shared.site = await Serve();
        shared.browser = await Launch();
    });
    after(async () => {
        await shared.browser.close();
        await shared.site.close();
    });
    return (options) => Open(shared.browser, shared.site, options);
}

// A page of the site in a context of its own, once its rules have loaded
// (or at once, with rules: false). Close() closes it and fails on anything
// the watch saw.
export async function Open(browser, site, { size = 'desktop', scheme = 'light', rules = true } = {}) {
    const context = await browser.newContext({ ...kSizes[size], colorScheme: scheme, locale: 'ja-JP' });
    const problems = [];
    const origin = new URL(site.url).origin;
    context.on('request', (request) => {
        if (new URL(request.url()).origin !== origin) {
            problems.push(`request to another origin: ${request.url()}`);
        }
    });
    await context.addInitScript(() =>
        document.addEventListener('securitypolicyviolation', (event) =>
            console.error(`CSP violation: ${event.violatedDirective} ${event.blockedURI}`),
        ),
    );
    const page = await context.newPage();
    page.on('console', (message) => {
        if (message.type() === 'error') {
            problems.push(`console error: ${message.text()}`);
        }
    });
    page.on('pageerror', (error) => problems.push(`page error: ${error.message}`));
    await page.goto(site.url);
    // The load event does not wait for the rules' module; a person reads the
    // page before using it, a test waits for the module.
    if (rules) {
        await page.evaluate(async () => {
            const module = await import(new URL('rules.js', document.baseURI).href);
            await module.ready;
            return true;
        });
    }
    return {
        context,
        page,
        problems,
        async Close() {
            await context.close();
            assert.deepEqual(problems, [], 'the page stayed clean');
        },
    };
}

// A control by its designed name, unique on the page.
export const Control = (page, name) => page.locator(`[id="${name}"]`);

// What the main window shows after pressing (by default, clicking 計算):
// { message } when a message box opened (it is answered with Enter), else
// the status line and the three amounts. Waits for a change, so the window
// must show something else before.
export async function Calculated(page, press = () => Control(page, '計算').click()) {
    const before = await page.evaluate(ShownTexts);
    await press();
    await page.waitForFunction(
        (previous) =>
            document.getElementById('message').open ||
            ['状態', '日', '週給料', '月給料']
                .map((id) => document.getElementById(id).textContent)
                .join('\n') !== previous,
        before,
    );
    return Shown(page);
}

function ShownTexts() {
    return ['状態', '日', '週給料', '月給料']
        .map((id) => document.getElementById(id).textContent)
        .join('\n');
}

// Waits for the message box, answers it with key and gives its text.
export async function Answered(page, key = 'Enter') {
    await page.waitForFunction(() => document.getElementById('message').open);
    const message = await page.textContent('#message-text');
    await page.keyboard.press(key);
    await page.waitForFunction(() => !document.getElementById('message').open);
    return message;
}

export async function Shown(page) {
    if (await page.evaluate(() => document.getElementById('message').open)) {
        return { message: await Answered(page) };
    }
    const [status, daily, weekly, monthly] = await Promise.all(
        ['状態', '日', '週給料', '月給料'].map((id) => Control(page, id).textContent()),
    );
    return { status, daily, weekly, monthly };
}

// Types the texts into the boxes by name: { 時給: '700', ... }.
export async function Type(page, texts) {
    for (const [name, text] of Object.entries(texts)) {
        await Control(page, name).fill(text);
    }
}

export const Focused = (page) => page.evaluate(() => document.activeElement?.id ?? '');

// What the web tests share: the site served on localhost, a browser of the
// engine asked for (SORANIKA_WEB_ENGINE: chromium, webkit or firefox;
// engines.mjs), pages at a phone's and a desktop's size, light or dark, and the
// watch over every page (no console error, no violation of the page's
// Content-Security-Policy, no request to another origin), checked when the
// page closes. CTest gives the paths (tests/web/CMakeLists.txt).
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import { after, before } from 'node:test';
import zlib from 'node:zlib';
import { StaticServer } from '../../web/serve.mjs';
import { Chromium, Firefox, kFramePage, kWatch, WebKit } from './engines.mjs';

export function Env(name) {
    const value = process.env[name];
    if (!value) {
        throw new Error(`${name} is not set: run the web tests through CTest`);
    }
    return value;
}

// The engine the tests run in; a test reads the same in all three.
export const Engine = process.env.SORANIKA_WEB_ENGINE ?? 'chromium';
if (!['chromium', 'webkit', 'firefox'].includes(Engine)) {
    throw new Error(`SORANIKA_WEB_ENGINE=${Engine}: chromium, webkit or firefox`);
}

export const kSizes = {
    phone: { viewport: { width: 360, height: 640 }, isMobile: true, hasTouch: true, deviceScaleFactor: 2 },
    desktop: { viewport: { width: 1280, height: 800 } },
    // The desktop's screen zoomed to 200 %, and a tablet.
    zoomed: { viewport: { width: 640, height: 400 }, deviceScaleFactor: 2 },
    tablet: { viewport: { width: 1024, height: 768 }, isMobile: true, hasTouch: true },
};

// What an engine cannot be made to show, by size: the reason, said once.
const kNotReached = {
    webkit: {
        phone: 'a touch screen: MiniBrowser has a mouse only, so the phone is the narrow page with a fine pointer',
        zoomed: 'a device pixel ratio of 2: WebDriver sets none, so the zoomed size is 640 × 400 at 1',
        tablet: 'a touch screen: at 1024 × 768 with a mouse the page is the desktop one, not the tablet\'s',
    },
};
const told = new Set();
export function NotReached(size) {
    const reason = kNotReached[Engine]?.[size];
    if (reason && !told.has(size)) {
        told.add(size);
        console.log(`not in ${Engine}: ${size}: ${reason}`);
    }
    return reason;
}

// Saved files, in a folder of the engine's.
export const Out = (name) => {
    const folder = path.join(Env('SORANIKA_WEB_OUT'), Engine);
    fs.mkdirSync(folder, { recursive: true });
    return path.join(folder, name);
};

// The site (or another folder) on a free port of 127.0.0.1. For WebKit the
// server adds the framing page and the watch, which the page loads first
// and its service worker keeps (engines.mjs).
export async function Serve(root = Env('SORANIKA_WEB_SITE')) {
    const server = StaticServer(root);
    if (Engine === 'webkit') {
        const [files] = server.listeners('request');
        server.removeAllListeners('request');
        server.on('request', (request, response) => {
            const name = new URL(request.url, 'http://localhost').pathname;
            const Send = (type, text) => {
                let body = Buffer.from(text);
                const headers = { 'Content-Type': type, 'Cache-Control': 'no-cache' };
                if (/\bgzip\b/u.test(request.headers['accept-encoding'] ?? '')) {
                    body = zlib.gzipSync(body);
                    headers['Content-Encoding'] = 'gzip';
                }
                response.writeHead(200, { ...headers, 'Content-Length': body.length }).end(body);
            };
            const Read = (file) => fs.readFileSync(path.join(root, file), 'utf8');
            if (name === '/soranika-frame.html') {
                Send('text/html; charset=utf-8', kFramePage);
            } else if (name === '/soranika-watch.js') {
                Send('text/javascript; charset=utf-8', kWatch);
            } else if (name === '/' || name === '/index.html') {
                Send('text/html; charset=utf-8', Read('index.html').replace('<head>', '<head>\n<script src="soranika-watch.js"></script>'));
            } else if (name === '/sw.js') {
                Send('text/javascript; charset=utf-8', Read('sw.js').replace('const FILES = [', `const FILES = [${kAdded.map((f) => `'${f.slice(1)}', `).join('')}`));
            } else {
                files(request, response);
            }
        });
    }
    await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
    // A site a failed test left open does not keep the test's process.
    server.unref();
    const site = {
        url: `http://127.0.0.1:${server.address().port}/`,
        close: () =>
            new Promise((resolve) => {
                server.closeAllConnections();
                server.close(resolve);
            }),
    };
    return site;
}

// The files the test's server adds to the site in this engine.
export const kAdded = Engine === 'webkit' ? ['/soranika-frame.html', '/soranika-watch.js'] : [];

// The browser, as this machine runs it.
export function Launch() {
    const modules = Env('SORANIKA_WEB_MODULES');
    if (Engine === 'firefox') {
        return Firefox(modules, Env('SORANIKA_FIREFOX'));
    }
    if (Engine === 'webkit') {
        return WebKit(Env('SORANIKA_WEBKIT_DRIVER'), Env('SORANIKA_MINIBROWSER'));
    }
    return Chromium(modules, Env('SORANIKA_CHROMIUM'));
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

const Wait = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

// What the tests do with a page, the same in every engine: a part of
// Playwright's Page over the engine's tab.
class Page {
    constructor(tab) {
        this.tab = tab;
        this.keyboard = {
            press: (key) => tab.press(key).then(() => this.Drawn()),
            type: (text) => tab.type(text),
        };
    }

    // Resolves once the page has drawn what the last action changed, as a
    // person sees it: after the next frame's rendering, in which the
    // page's resize observers place what came on screen.
    Drawn() {
        return this.tab
            .run((() => new Promise((resolve) => requestAnimationFrame(() => setTimeout(resolve)))).toString())
            .catch(() => {}); // the page left (a reload, 終了's close): nothing to draw
    }

    evaluate(fn, arg) {
        return typeof fn === 'string' ? this.tab.script(fn) : this.tab.run(fn.toString(), arg);
    }

    // Resolves to fn's first true value, tried every 50 ms; with loading,
    // tried again when the page was not there to answer.
    async waitForFunction(fn, arg, { timeout = 30000, loading = false } = {}) {
        const end = Date.now() + timeout;
        for (;;) {
            let value;
            try {
                value = await this.tab.run(fn.toString(), arg);
            } catch (error) {
                if (!loading || Date.now() > end) {
                    throw error;
                }
            }
            if (value) {
                return value;
            }
            if (Date.now() > end) {
                throw new Error(`waitForFunction: not true within ${timeout} ms: ${fn}`);
            }
            await Wait(50);
        }
    }

    waitForSelector(selector) {
        return this.waitForFunction((s) => document.querySelector(s)?.checkVisibility() ?? false, selector);
    }

    async textContent(selector) {
        await this.waitForFunction((s) => document.querySelector(s) !== null, selector);
        return this.tab.run(((s) => document.querySelector(s).textContent).toString(), selector);
    }

    async screenshot({ path: file, fullPage = false }) {
        await this.tab.screenshot(file, fullPage);
    }

    // The page loaded anew (by the browser, or by what action does), its
    // rules' module ready; what the watch saw before is kept.
    async reload(action = () => this.tab.reload()) {
        this.problems.push(...(await this.tab.problems()));
        await this.tab.run((() => (window.soranikaLeft = true)).toString());
        await action();
        await this.waitForFunction(() => !window.soranikaLeft && document.readyState === 'complete', undefined, {
            loading: true,
        });
        await this.tab.run(RulesReady.toString());
    }

    waitForTimeout(ms) {
        return Wait(ms);
    }
}

// The load event does not wait for the rules' module; a person reads the
// page before using it, a test waits for the module.
async function RulesReady() {
    const rules = await import(new URL('rules.js', document.baseURI).href);
    await rules.ready;
    return true;
}

// A page of the site in a context of its own, once its rules have loaded
// (or at once, with rules: false). Close() closes it and fails on anything
// the watch saw.
export async function Open(browser, site, { size = 'desktop', scheme = 'light', rules = true } = {}) {
    NotReached(size);
    const tab = await browser.NewTab(new URL(site.url).origin, kSizes[size], scheme);
    const page = new Page(tab);
    page.problems = [];
    await tab.goto(site.url);
    // The page's own scripts have run (in WebKit's frame the driver may
    // answer before), and what they placed is drawn.
    await page.waitForFunction(() => document.readyState === 'complete', undefined, { loading: true });
    await page.Drawn();
    if (rules) {
        await tab.run(RulesReady.toString());
    }
    return {
        page,
        // In Chromium, Playwright's page itself (the benchmark's means).
        playwright: tab.playwright,
        async Close() {
            const problems = [...page.problems, ...(await tab.problems())];
            await tab.close();
            assert.deepEqual(problems, [], 'the page stayed clean');
        },
    };
}

// Elements found in the page by a finder (a function of arg run there that
// gives an array), used as Playwright's locators are: each action waits for
// one element, a click waits until it can be clicked.
class Locator {
    constructor(page, finder, arg, axe = false) {
        Object.assign(this, { page, finder: finder.toString(), arg, axe });
    }

    async #On(op, opArg) {
        if (this.axe) {
            await AxeOn(this.page);
        }
        return this.page.tab.run(`([f, o]) => (${op})((${this.finder})(f), o)`, [this.arg, opArg]);
    }

    // Waits until exactly one element is found and state(element) holds.
    async #One(state = () => true) {
        const end = Date.now() + 30000;
        for (;;) {
            const [count, ready] = await this.#On(`async (all) => [all.length, all.length === 1 && (await (${state})(all[0]))]`);
            if (count > 1) {
                throw new Error(`${count} elements found, one expected: ${this.finder} ${JSON.stringify(this.arg)}`);
            }
            if (ready) {
                return;
            }
            if (Date.now() > end) {
                throw new Error(`not found or not ready within 30 s: ${this.finder} ${JSON.stringify(this.arg)}`);
            }
            await Wait(50);
        }
    }

    // op on the one element, once it is there: in one call to the page.
    async #Do(op, opArg) {
        const [count, value] = await this.#On(`(all, o) => all.length === 1 ? [1, (${op})(all[0], o)] : [all.length]`, opArg);
        if (count === 1) {
            return value;
        }
        await this.#One();
        return this.#On(`(all, o) => (${op})(all[0], o)`, opArg);
    }

    count() {
        return this.#On('(all) => all.length');
    }

    async click() {
        // Shown, enabled, and still for a frame.
        await this.#One(
            `(e) => {
                const r = e.getBoundingClientRect();
                return e.checkVisibility() && !e.matches(':disabled') && r.width > 0 && r.height > 0 &&
                    new Promise((resolve) => requestAnimationFrame(() => {
                        const s = e.getBoundingClientRect();
                        resolve(s.x === r.x && s.y === r.y && s.width === r.width && s.height === r.height);
                    }));
            }`,
        );
        await this.page.tab.click(`(f) => (${this.finder})(f)`, this.arg);
        await this.page.Drawn();
    }

    // The box's text replaced by text, as a paste: the page gets the input
    // events of an edit.
    fill(text) {
        return this.#Do(
            `(e, text) => {
                e.focus();
                e.select();
                document.execCommand(text === '' ? 'delete' : 'insertText', false, text);
                if (e.value !== text) {
                    e.value = text;
                    e.dispatchEvent(new InputEvent('input', { bubbles: true, inputType: 'insertText', data: text }));
                }
            }`,
            text,
        );
    }

    async press(key) {
        await this.focus();
        await this.page.tab.press(key);
        await this.page.Drawn();
    }

    focus() {
        return this.#Do('(e) => e.focus()');
    }

    // Like Playwright's: a box of some size, not hidden; false when absent.
    isVisible() {
        return this.#On(`(all) => {
            const e = all[0];
            if (!e) {
                return false;
            }
            const r = e.getBoundingClientRect();
            return r.width > 0 && r.height > 0 && getComputedStyle(e).visibility !== 'hidden';
        }`);
    }

    isEnabled() {
        return this.#Do('(e) => !e.matches(":disabled")');
    }

    inputValue() {
        return this.#Do('(e) => e.value');
    }

    textContent() {
        return this.#Do('(e) => e.textContent');
    }

    getAttribute(name) {
        return this.#Do('(e, name) => e.getAttribute(name)', name);
    }
}

const kAxe = () => fs.readFileSync(path.join(Env('SORANIKA_WEB_MODULES'), 'axe-core', 'axe.min.js'), 'utf8');

// axe-core in the page, evaluated by the test driver, so that the page's
// policy allows it.
export async function AxeOn(page) {
    if (!(await page.evaluate(() => window.axe !== undefined))) {
        await page.evaluate(kAxe());
    }
}

// A control by its designed name, unique on the page.
export const Control = (page, name) =>
    new Locator(page, (id) => {
        const e = document.getElementById(id);
        return e ? [e] : [];
    }, name);

// The elements of a role and an accessible name (exactly, or within it with
// blanks made one space), as assistive technology is told them: axe-core's
// own reckoning, the same in every engine; hidden ones left out.
export const ByRole = (page, role, { name, exact = false }) =>
    new Locator(
        page,
        ({ role: wanted, name: named, exact: whole }) => {
            const Blanks = (text) => text.replace(/\s+/gu, ' ').trim();
            window.axe.setup(document);
            try {
                return [...document.querySelectorAll('*')].filter((e) => {
                    const node = window.axe.utils.getNodeFromTree(e);
                    if (!node || window.axe.commons.aria.getRole(e) !== wanted || !window.axe.commons.dom.isVisibleToScreenReaders(node)) {
                        return false;
                    }
                    const text = window.axe.commons.text.accessibleTextVirtual(node);
                    return whole ? text === named : Blanks(text).includes(Blanks(named));
                });
            } finally {
                window.axe.teardown();
            }
        },
        { role, name, exact },
        true,
    );

// The innermost elements whose text holds text.
export const ByText = (page, text) =>
    new Locator(page, (wanted) =>
        [...document.body.querySelectorAll('*')].filter(
            (e) => e.textContent.includes(wanted) && ![...e.children].some((c) => c.textContent.includes(wanted)),
        ),
    text);

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

// Installable, offline, light: the first load within 100 kB as transferred
// with gzip; 計算 painted in the frame of the click; after one visit the page
// starts and calculates with the server gone; a new version replaces the old
// one at the next visit; nothing typed is stored anywhere; the page starts
// before its rules have loaded, and says so when they cannot be.
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { after, before, test } from 'node:test';
import { fileURLToPath } from 'node:url';
import { Answered, Calculated, Control, Env, Focused, kAdded, Launch, Open, Serve, Type } from './harness.mjs';

const kFirstLoadBytes = 100 * 1024;
const Fill = (page) => Type(page, { 時給: '700', 開始時間: '9', 終了時間: '17', 週: '5' });
const Controlled = (page) =>
    page.evaluate(async () => {
        await navigator.serviceWorker.ready;
        return navigator.serviceWorker.controller !== null;
    });
const Caches = (page) => page.evaluate(() => caches.keys());

let browser;
before(async () => {
    browser = await Launch();
});
after(() => browser.close());

test('the first load is at most 100 kB as transferred, and 計算 paints at once', async () => {
    const site = await Serve();
    const opened = await Open(browser, site, { size: 'phone' });
    const { page } = opened;
    // A first visit, on an origin of its own: no service worker yet, every
    // file from the network. What each response weighed on the wire,
    // headers included, as the page itself times its loads (the same in
    // every engine); a file loaded twice is counted once.
    const timed = await page.evaluate(() =>
        [...performance.getEntriesByType('navigation'), ...performance.getEntriesByType('resource')].map((r) => [
            new URL(r.name).pathname,
            r.transferSize,
        ]),
    );
    const loaded = [...new Set(timed.map(([name]) => name))]
        .filter((name) => !kAdded.includes(name))
        .map((name) => ({ url: new URL(name, site.url).href, bytes: Math.max(...timed.filter(([n]) => n === name).map(([, b]) => b)) }));
    for (const r of loaded) {
        assert.ok(r.bytes > 0, `${r.url}: a size as transferred`);
    }
    const names = loaded.map((r) => new URL(r.url).pathname);
    for (const needed of ['/', '/soranika.css', '/main.js', '/soranika-rules.mjs', '/soranika-rules.wasm']) {
        assert.ok(names.includes(needed), `${needed} loaded`);
    }
    // The manifest, fetched by the browser to install the page, where a
    // headless one does not.
    if (!names.includes('/manifest.webmanifest')) {
        const response = await fetch(`${site.url}manifest.webmanifest`, { headers: { 'Accept-Encoding': 'gzip' } });
        assert.equal(response.headers.get('content-encoding'), 'gzip');
        const headers = [...response.headers].reduce((sum, [k, v]) => sum + k.length + v.length + 4, 17);
        loaded.push({ url: response.url, bytes: Number(response.headers.get('content-length')) + headers });
    }
    const total = loaded.reduce((sum, r) => sum + r.bytes, 0);
    console.log(`first load: ${total} bytes in ${loaded.length} responses: ${loaded.map((r) => `${new URL(r.url).pathname} ${r.bytes}`).join(', ')}`);
    assert.ok(total <= kFirstLoadBytes, `${total} bytes at first load`);

    // The result is on the page before the frame after the click is drawn.
    await Fill(page);
    const painted = await page.evaluate(
        () =>
            new Promise((resolve) => {
                const amount = document.getElementById('日');
                const button = document.getElementById('計算');
                button.addEventListener('click', () => requestAnimationFrame(() => resolve(amount.textContent)), { once: true, capture: true });
                button.click();
            }),
    );
    assert.equal(painted, '5600');
    await opened.Close();
    await site.close();
});

test('after one visit: starts and calculates with the server gone; nothing typed is kept', async () => {
    const site = await Serve();
    const opened = await Open(browser, site, { size: 'phone' });
    const { page } = opened;
    assert.ok(await Controlled(page) || (await page.reload(), await Controlled(page)));
    await site.close();
    await page.reload();
    await Fill(page);
    assert.equal((await Calculated(page)).monthly, '112000');
    await Control(page, '詳細設定start').click();
    await Type(page, { 日_bigin: '9', 日_end: '17' });
    const stored = await page.evaluate(async () => ({
        local: localStorage.length,
        session: sessionStorage.length,
        cookie: document.cookie,
        databases: (await indexedDB.databases()).length,
        // Every cached response is one of the page's own files.
        cached: await Promise.all(
            (await caches.keys()).map(async (name) => (await (await caches.open(name)).keys()).map((r) => new URL(r.url).pathname)),
        ),
    }));
    assert.deepEqual([stored.local, stored.session, stored.cookie, stored.databases], [0, 0, '', 0]);
    const files = fs.readdirSync(Env('SORANIKA_WEB_SITE'), { recursive: true }).map((f) => `/${f}`);
    for (const file of stored.cached.flat()) {
        assert.ok(file === '/' || files.includes(file) || kAdded.includes(file), `${file} is a file of the site`);
    }
    await opened.Close();
});

test('a new version replaces the old one at the next visit', async () => {
    const copy = fs.mkdtempSync(path.join(os.tmpdir(), 'soranika-web-'));
    fs.cpSync(Env('SORANIKA_WEB_SITE'), copy, { recursive: true });
    const site = await Serve(copy);
    const opened = await Open(browser, site, { size: 'desktop' });
    const { page } = opened;
    assert.ok(await Controlled(page) || (await page.reload(), await Controlled(page)));
    const [old] = await Caches(page);

    // The next version: another version text, its service worker made anew.
    const index = path.join(copy, 'index.html');
    fs.writeFileSync(index, fs.readFileSync(index, 'utf8').replace(/ﾊﾞｰｼﾞｮﾝ [0-9.]+/u, 'ﾊﾞｰｼﾞｮﾝ 9.9.9'));
    const web = path.join(path.dirname(fileURLToPath(import.meta.url)), '../../web');
    execFileSync(Env('SORANIKA_CMAKE'), [`-DSITE=${copy}`, `-DFILES=${Env('SORANIKA_WEB_FILES')}`, `-DTEMPLATE=${web}/sw.js.in`, '-DVERSION=9.9.9', '-P', `${web}/precache.cmake`]);

    await page.reload();
    // The new version installs beside the page, then takes the old one's
    // place and deletes its cache.
    for (let tries = 0; ; tries += 1) {
        const names = await Caches(page);
        const active = await page.evaluate(async () => (await navigator.serviceWorker.getRegistration())?.active?.state);
        if (names.length === 1 && names[0] !== old && active === 'activated') {
            break;
        }
        assert.ok(tries < 100, `the new version is not in use: ${names}`);
        await page.waitForTimeout(100);
    }
    await page.reload();
    await Control(page, 'mnuVersion').click();
    assert.equal(await Control(page, 'lblVersion').textContent(), 'ﾊﾞｰｼﾞｮﾝ 9.9.9');
    assert.match((await Caches(page))[0], /^soranika-9\.9\.9-[0-9a-f]{12}$/u);
    await opened.Close();
    await site.close();
    fs.rmSync(copy, { recursive: true });
});

// The rules' module as it comes: late, held until the test lets it load, or
// not at all. The real one is beside it under another name.
const kRulesComing = {
    late: "await new Promise((resolve) => { globalThis.LoadRules = resolve; });\nexport { default } from './rules-late.mjs';\n",
    never: "throw new Error('not loaded');\n",
};
const kNeedRules = ['計算', 'clear', '詳細設定start'];
const Enabled = (page, names) => Promise.all(names.map((name) => Control(page, name).isEnabled()));
const MessageOpen = (page) => page.evaluate(() => document.getElementById('message').open);

for (const [coming, module] of Object.entries(kRulesComing)) {
    test(`the page starts without its rules: ${coming}`, async () => {
        const copy = fs.mkdtempSync(path.join(os.tmpdir(), 'soranika-web-'));
        fs.cpSync(Env('SORANIKA_WEB_SITE'), copy, { recursive: true });
        fs.renameSync(path.join(copy, 'soranika-rules.mjs'), path.join(copy, 'rules-late.mjs'));
        fs.writeFileSync(path.join(copy, 'soranika-rules.mjs'), module);
        const site = await Serve(copy);
        const opened = await Open(browser, site, { size: 'desktop', rules: false });
        const { page } = opened;
        await page.waitForFunction(() => document.getElementById('状態').textContent.includes('計算ボタン'));
        if (coming === 'late') {
            // What needs the rules cannot be asked for yet; what is tried
            // meanwhile does not happen once they come.
            assert.deepEqual(await Enabled(page, [...kNeedRules, '時給']), [false, false, false, true]);
            assert.equal(await Focused(page), '時給');
            await page.evaluate(() => document.getElementById('詳細設定start').click());
            await page.keyboard.press('Escape');
            await Control(page, '時給').press('Enter');
            await page.evaluate(() => globalThis.LoadRules());
            await page.waitForFunction(() => !document.getElementById('計算').disabled);
            assert.deepEqual(await Enabled(page, kNeedRules), [true, true, true]);
            assert.ok(!(await Control(page, '詳細設定').isVisible()));
            assert.equal(await MessageOpen(page), false);
            await Type(page, { 時給: '700', 開始時間: '9', 終了時間: '17', 週: '5' });
            assert.equal((await Calculated(page)).daily, '5600');
        } else {
            // The message box says so, and the page stays as it is.
            assert.equal(await Answered(page), 'ソラニカを読み込めませんでした。ページを読み込み直してください。');
            assert.equal(await Focused(page), '時給');
            assert.deepEqual(await Enabled(page, kNeedRules), [false, false, false]);
            await Control(page, 'mnuVersion').click();
            assert.ok(await Control(page, 'frmAbout').isVisible());
        }
        await opened.Close();
        await site.close();
        fs.rmSync(copy, { recursive: true });
    });
}

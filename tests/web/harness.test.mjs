// What the other web tests rely on, in the engine under test: the page is
// had at the size, layout and colour scheme asked for; the watch over a page
// sees what it is there to see; roles and names, clicks, keys and pictures
// reach the page.
import assert from 'node:assert/strict';
import fs from 'node:fs';
import { test } from 'node:test';
import { Browsing, ByRole, Control, kSizes, Out } from './harness.mjs';

const OpenPage = Browsing();

const kLooks = [
    // size, scheme, the desktop's layout, dark
    ['phone', 'light', false, false],
    ['desktop', 'dark', true, true],
];

for (const [size, scheme, wide, dark] of kLooks) {
    test(`${size}, ${scheme}: the size, the layout and the colours asked for`, async () => {
        const opened = await OpenPage({ size, scheme });
        const { page } = opened;
        const seen = await page.evaluate(() => ({
            width: window.innerWidth,
            height: window.innerHeight,
            scale: window.devicePixelRatio,
            wide: window.matchMedia('(pointer: fine) and (min-width: 640px) and (min-height: 460px)').matches,
            dark: window.matchMedia('(prefers-color-scheme: dark)').matches,
        }));
        assert.deepEqual(
            { width: seen.width, height: seen.height, wide: seen.wide, dark: seen.dark },
            { ...kSizes[size].viewport, wide, dark },
        );
        // The picture: the page alone, at the device's pixels.
        await page.screenshot({ path: Out(`harness-${size}.png`) });
        const png = fs.readFileSync(Out(`harness-${size}.png`));
        assert.deepEqual(
            [png.readUInt32BE(16), png.readUInt32BE(20)],
            [seen.width * seen.scale, seen.height * seen.scale].map(Math.round),
        );
        await opened.Close();
    });
}

test('the watch sees a console error, an error and a violation of the policy', async () => {
    const opened = await OpenPage({ size: 'phone' });
    await opened.page.evaluate(() => {
        console.error('said');
        const image = document.createElement('img');
        image.src = 'http://192.0.2.1/picture.png';
        document.body.append(image);
        setTimeout(() => {
            throw new Error('thrown');
        });
    });
    await opened.page.waitForTimeout(500);
    await assert.rejects(opened.Close(), (error) => {
        const seen = JSON.stringify(error.actual);
        for (const part of ['console error: said', 'thrown', 'img-src']) {
            assert.ok(seen.includes(part), `${part}: ${seen}`);
        }
        return true;
    });
});

test('roles and names, a real click and keys', async () => {
    const opened = await OpenPage({ size: 'desktop' });
    const { page } = opened;
    assert.equal(await ByRole(page, 'button', { name: '計算', exact: true }).count(), 1);
    assert.equal(await ByRole(page, 'button', { name: '計算しない', exact: true }).count(), 0);
    // A click that the page takes for the user's: 計算 on empty boxes.
    await page.evaluate(() =>
        document.getElementById('計算').addEventListener('click', (e) => (window.trusted = e.isTrusted), { once: true }),
    );
    await Control(page, '計算').click();
    assert.equal(await page.evaluate(() => window.trusted), true);
    await page.waitForSelector('dialog[open]');
    await page.keyboard.press('Escape');
    await page.waitForFunction(() => !document.getElementById('message').open);
    await Control(page, '時給').fill('700');
    await page.keyboard.press('Tab');
    assert.equal(await page.evaluate(() => document.activeElement.id), '週');
    await page.keyboard.press('Shift+Tab');
    assert.deepEqual(await page.evaluate(() => [document.activeElement.id, document.activeElement.value]), ['時給', '700']);
    await opened.Close();
});

// The web edition's benchmark: what the first load transfers (gzip, as a
// web host serves it), the first contentful paint, and 計算 from the click to
// the frame that shows the result, on a phone's screen in Chromium.
// Run by `scripts/bench.sh web`; with --lighthouse, Lighthouse's mobile
// audit of the same page too (bench/lighthouse).
import { execFile } from 'node:child_process';
import path from 'node:path';
import { fileURLToPath } from 'node:url';
import { promisify } from 'node:util';
import { Launch, Open, Serve, Type } from '../tests/web/harness.mjs';

const kClicks = 300;
const site = await Serve();
const browser = await Launch();
const opened = await Open(browser, site, { size: 'phone' });
// Chromium's own page: its DevTools protocol counts the bytes.
const page = opened.playwright;
const cdp = await page.context().newCDPSession(page);
await cdp.send('Network.enable');
await cdp.send('Network.setCacheDisabled', { cacheDisabled: true });
const bytes = new Map();
cdp.on('Network.loadingFinished', ({ requestId, encodedDataLength }) => bytes.set(requestId, encodedDataLength));
await page.evaluate(() => navigator.serviceWorker.getRegistrations().then((all) => Promise.all(all.map((r) => r.unregister()))));
await page.reload({ waitUntil: 'networkidle' });
const transferred = [...bytes.values()].reduce((sum, b) => sum + b, 0);
const paint = await page.evaluate(() => performance.getEntriesByName('first-contentful-paint')[0]?.startTime);

await Type(opened.page, { 時給: '700', 開始時間: '9', 終了時間: '17', 週: '5' });
const frames = await page.evaluate(async (clicks) => {
    const button = document.getElementById('計算');
    const amount = document.getElementById('日');
    const times = [];
    let inFrame = 0;
    for (let i = 0; i < clicks; i += 1) {
        amount.textContent = '';
        const shown = new Promise((resolve) => {
            button.addEventListener(
                'click',
                (click) =>
                    requestAnimationFrame((frame) => {
                        inFrame += amount.textContent === '5600' ? 1 : 0;
                        resolve(frame - click.timeStamp);
                    }),
                { once: true, capture: true },
            );
        });
        button.click();
        times.push(await shown);
    }
    times.sort((a, b) => a - b);
    return { inFrame, median: times[clicks >> 1], p95: times[Math.floor(clicks * 0.95)] };
}, kClicks);
await opened.Close();
await browser.close();

console.log(`first load: ${transferred} bytes transferred (gzip) in ${bytes.size} responses; budget 102400`);
console.log(`first contentful paint: ${paint?.toFixed(0)} ms (localhost, phone emulation, no throttling)`);
console.log(
    `計算: the result in the next frame ${frames.inFrame} times of ${kClicks}; click to that frame: median ${frames.median.toFixed(1)} ms, 95th percentile ${frames.p95.toFixed(1)} ms`,
);

if (process.argv.includes('--lighthouse')) {
    const here = path.dirname(fileURLToPath(import.meta.url));
    // Asynchronously: this process serves the page Lighthouse loads.
    const { stdout: report } = await promisify(execFile)(
        path.join(here, 'lighthouse/node_modules/.bin/lighthouse'),
        [site.url, '--form-factor=mobile', '--only-categories=performance,accessibility,best-practices',
            `--chrome-flags=--headless=new --no-sandbox --disable-gpu --disable-background-networking --disable-component-update --disable-sync --no-first-run`,
            '--output=json', '--quiet'],
        { env: { ...process.env, CHROME_PATH: process.env.SORANIKA_CHROMIUM }, maxBuffer: 64 << 20, encoding: 'utf8' },
    );
    const { categories, audits } = JSON.parse(report);
    for (const category of Object.values(categories)) {
        console.log(`Lighthouse ${category.title}: ${Math.round(category.score * 100)}`);
    }
    console.log(`Lighthouse first contentful paint (simulated slow 4G, mid-range phone): ${audits['first-contentful-paint'].displayValue}`);
}
await site.close();

// The WebAssembly module against the native rules: every seed of the pay
// rules' fuzz targets, called in Chromium as the page calls the module, gives
// what the native build gives (web_seed_outcomes), the errors included.
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { test } from 'node:test';
import { Env, Launch, Open, Serve } from './harness.mjs';

test('every seed: the same outcome in WebAssembly as natively', async () => {
    const native = execFileSync(Env('SORANIKA_WEB_SEED_TOOL'), [Env('SORANIKA_WEB_CORPUS')], { encoding: 'utf8' })
        .trim()
        .split('\n')
        .map((line) => JSON.parse(line));
    assert.ok(native.length >= 50, `${native.length} seeds`);
    const site = await Serve();
    const browser = await Launch();
    const opened = await Open(browser, site);
    const web = await opened.page.evaluate(async (calls) => {
        const rules = await (await import('./soranika-rules.mjs')).default();
        const bytes = (array) => new Uint8Array(array);
        const bits = (value) => {
            const view = new DataView(new ArrayBuffer(8));
            view.setFloat64(0, value);
            return view.getBigUint64(0).toString(16).padStart(16, '0');
        };
        const answer = (a, value) => (a.kind === 'error' ? { error: a.text } : value(a));
        return calls.map(({ call, args }) => {
            if (call === 'evaluateWage') {
                const o = rules.evaluateWage(...args.slice(0, 4).map(bytes), args[4], args[5]);
                return o.kind === 'error'
                    ? { outcome: { error: o.text } }
                    : { outcome: { kind: o.kind, text: o.text, daily: o.daily, weekly: o.weekly, monthly: o.monthly, maskInputs: o.maskInputs } };
            }
            if (call === 'numberFromText') {
                return {
                    outcome: answer(rules.numberFromText(bytes(args[0])), ({ value }) => ({
                        value: bits(value),
                        text: answer(rules.numberToText(value), (a) => a.text),
                        int16: answer(rules.toInt16(value), (a) => a.value),
                    })),
                };
            }
            rules.scheduleLoaded();
            if (args[1]) {
                rules.dayFieldChanged();
            }
            const confirmed = rules.confirmSchedule(args[0].map(bytes));
            return {
                outcome: answer(confirmed, (a) => ({ entered: a.value === 1, weeklyHours: rules.weeklyHours() })),
                detailMode: rules.detailMode(),
            };
        });
    }, native);
    for (const [i, expected] of native.entries()) {
        const { seed, call, args, ...outcome } = expected;
        assert.deepEqual(web[i], outcome, `${seed} (${call})`);
    }
    console.log(`${native.length} seeds compared`);
    await opened.Close();
    await browser.close();
    await site.close();
});

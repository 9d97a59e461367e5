// The outcomes of 計算 through the page's boxes and buttons, row for row the
// table that the desktop's rules test reads (tests/wage_cases.json).
import assert from 'node:assert/strict';
import fs from 'node:fs';
import { test } from 'node:test';
import { Answered, Browsing, Calculated, Control, Env, Type } from './harness.mjs';

const cases = JSON.parse(fs.readFileSync(Env('SORANIKA_WEB_CASES'), 'utf8'));
const Expected = (column) => (column.startsWith('@') ? cases.texts[column.slice(1)] : column);

// What the user reads: the message, the caution, or the amounts.
function Read(shown) {
    if (shown.message !== undefined) {
        return shown.message;
    }
    if (shown.status === cases.texts.caution) {
        return shown.status;
    }
    return [shown.daily, shown.weekly, shown.monthly];
}

const OpenPage = Browsing();

test('normal mode: every row, by 計算 and by Enter in a box', async () => {
    const opened = await OpenPage({ size: 'phone' });
    const { page } = opened;
    for (const [index, [name, wage, start, end, days, expected]] of cases.normal.entries()) {
        await Control(page, 'clear').click();
        await Type(page, { 時給: wage, 開始時間: start, 終了時間: end, 週: days });
        const press =
            index % 2 === 0 ? undefined : () => Control(page, '週').press('Enter');
        const shown = Read(await Calculated(page, press));
        const want = Expected(expected);
        assert.deepEqual(shown, want.includes('/') ? want.split('/') : want, name);
    }
    await opened.Close();
});

test('detail mode: every row, the weekly hours typed into the schedule', async () => {
    const opened = await OpenPage({ size: 'desktop' });
    const { page } = opened;
    for (const [name, wage, weeklyHours, expected] of cases.detail) {
        await Control(page, 'clear').click();
        await Control(page, '詳細設定start').click();
        // A day that ends at the total, or starts at it when it is negative.
        await Type(page, weeklyHours < 0 ? { 日_bigin: String(-weeklyHours) } : { 日_end: String(weeklyHours) });
        await Control(page, 'input_end').click();
        assert.match(await Answered(page), /^勤務時間等が空白になりましたが/u, name);
        await Type(page, { 時給: wage });
        const shown = await Calculated(page);
        const want = Expected(expected);
        if (want.includes('/')) {
            assert.deepEqual([shown.daily, shown.weekly, shown.monthly], ['*****', ...want.split('/')], name);
            for (const box of ['週', '開始時間', '終了時間']) {
                assert.equal(await Control(page, box).inputValue(), '***', `${name}: ${box} masked`);
            }
        } else {
            assert.equal(shown.message, want, name);
        }
    }
    await opened.Close();
});

test('any input, however long or strange, gives a message, the caution or a result', async () => {
    const opened = await OpenPage({ size: 'phone' });
    const { page } = opened;
    const strange = ['7'.repeat(1_000_000), '\u0000700', '\ud800', '&H2BC', '１e３', '7\u00a00\u00a00', '<b>700</b>'];
    for (const wage of strange) {
        await Control(page, 'clear').click();
        await Type(page, { 時給: wage, 開始時間: '9', 終了時間: '17', 週: '5' });
        const shown = await Calculated(page);
        assert.ok(shown.message || shown.status, `${wage.slice(0, 20)}: an outcome`);
    }
    assert.ok(await Control(page, '計算').isEnabled());
    await opened.Close();
});

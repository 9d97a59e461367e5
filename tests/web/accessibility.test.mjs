// What assistive technology gets of the page: axe-core finds no violation in
// any state at either size; every box is named by its visible label; the
// outcome of 計算 is announced politely in the desktop's words without moving
// the focus; a message is an alert dialog named by its text.
import assert from 'node:assert/strict';
import { test } from 'node:test';
import { Answered, AxeOn, Browsing, ByRole, Calculated, Control, Type } from './harness.mjs';

const Fill = (page) => Type(page, { 時給: '700', 開始時間: '9', 終了時間: '17', 週: '5' });
const kStates = {
    start: async () => {},
    result: (page) => Fill(page).then(() => Calculated(page)),
    caution: (page) => Fill(page).then(() => Type(page, { 週: '6' })).then(() => Calculated(page)),
    message: (page) => Control(page, '計算').click().then(() => page.waitForSelector('dialog[open]')),
    schedule: (page) => Control(page, '詳細設定start').click(),
    about: (page) => Control(page, 'mnuVersion').click(),
};

const OpenPage = Browsing();

for (const size of ['phone', 'desktop']) {
    test(`axe-core: no violation in any state (${size})`, async () => {
        for (const [state, reach] of Object.entries(kStates)) {
            const opened = await OpenPage({ size });
            await reach(opened.page);
            await AxeOn(opened.page);
            const violations = await opened.page.evaluate(async () =>
                (await window.axe.run(document)).violations.map(
                    (v) => `${v.id}: ${v.nodes.map((n) => n.target.join(' ')).join(', ')}`,
                ),
            );
            assert.deepEqual(violations, [], `${size} ${state}`);
            if (state === 'message') {
                await Answered(opened.page);
            }
            await opened.Close();
        }
    });
}

test('every control is named as on the desktop', async () => {
    const opened = await OpenPage({ size: 'phone' });
    const { page } = opened;
    const names = [
        ['textbox', '時給'],
        ['textbox', '週'],
        ['textbox', '勤務時間 時から'],
        ['textbox', '勤務時間 時まで'],
        ['button', '勤務時間 詳細設定'],
        ['button', '計算'],
        ['button', 'クリアー'],
        ['button', 'バージョン情報'],
        ['button', '終了'],
        ['group', '計算結果'],
    ];
    for (const [role, name] of names) {
        assert.equal(await ByRole(page, role, { name, exact: true }).count(), 1, `${role} ${name}`);
    }
    await Control(page, '詳細設定start').click();
    for (const day of ['日', '月', '火', '水', '木', '金', '土']) {
        for (const unit of ['時から', '時まで']) {
            assert.equal(await ByRole(page, 'textbox', { name: `${day}曜日 ${unit}`, exact: true }).count(), 1);
        }
    }
    assert.equal(await ByRole(page, 'dialog', { name: '勤務時間\u3000詳細設定' }).count(), 1);
    assert.equal(await ByRole(page, 'button', { name: '閉じる' }).count(), 1);
    await opened.Close();
});

test('the outcome is announced politely, in the desktop\'s words, the focus left on 計算', async () => {
    const opened = await OpenPage({ size: 'desktop' });
    const { page } = opened;
    const Heard = () => page.waitForFunction(() => document.getElementById('announcer').textContent);
    assert.equal(await Control(page, 'announcer').getAttribute('aria-live'), 'polite');
    await Fill(page);
    await Calculated(page);
    assert.equal(await Heard(), '----計算結果表示中---- １日 5600 円、１週間 28000 円、１ヶ月 112000 円');
    assert.equal(await page.evaluate(() => document.activeElement.id), '計算');
    // The same words again are said again: the region is emptied first,
    // as every change to it shows.
    await page.evaluate(() => {
        const announcer = document.getElementById('announcer');
        window.announced = [];
        new MutationObserver(() => window.announced.push(announcer.textContent)).observe(announcer, {
            childList: true,
            characterData: true,
            subtree: true,
        });
    });
    await Control(page, '計算').click();
    const said = await page.waitForFunction(() => window.announced.length >= 2 && window.announced);
    assert.equal(said[0], '');
    assert.match(said[1], /^----計算結果表示中----/u);
    await Type(page, { 週: '6' });
    await Calculated(page);
    assert.equal(await Heard(), '☆注意！☆ 1週間の勤務時間合計が40時間以上になると労働基準法第32条 違反になります');
    // A message is a dialog of its own, not an announcement.
    await Type(page, { 時給: '' });
    await Control(page, '計算').click();
    const dialog = ByRole(page, 'alertdialog', { name: 'ソラニカ' });
    assert.equal(await dialog.count(), 1);
    assert.equal(await dialog.getAttribute('aria-describedby'), 'message-text');
    assert.equal(await page.textContent('#message-text'), '未入力です');
    assert.equal(await page.evaluate(() => document.activeElement.id), 'message-ok');
    await Answered(page);
    assert.match(await Control(page, 'announcer').textContent(), /^☆注意！☆/u);
    // In detail mode the day's mask is read without a unit.
    await Control(page, '詳細設定start').click();
    await Type(page, { 月_bigin: '9', 月_end: '17' });
    await Control(page, 'input_end').click();
    await Answered(page);
    await Type(page, { 時給: '700' });
    await Calculated(page);
    assert.equal(await Heard(), '----計算結果表示中---- １日 *****、１週間 5600 円、１ヶ月 22400 円');
    await opened.Close();
});

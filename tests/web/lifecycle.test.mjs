// The windows' lifecycle on the page, as the desktop has it: detail mode and
// its end, クリアー, the schedule hidden, closed and reloaded, About, the
// message box answered by Enter and by Esc, the tab order, and 終了.
import assert from 'node:assert/strict';
import { test } from 'node:test';
import { Answered, Browsing, ByRole, ByText, Calculated, Control, Focused, Type } from './harness.mjs';

const kPrompt = `${' '.repeat(35)}数字を入力して\u3000 \u3000${' '.repeat(6)}\u3000計算ボタンを押してください`;
const kHourGroup = ['週', '終了時間', '開始時間'];
const kHourLabels = ['Label3', 'Label6', 'Label7', 'Label4', 'Label5'];

const OpenPage = Browsing();

// Runs body on a fresh page at each size.
function OnEachSize(name, body) {
    for (const size of ['phone', 'desktop']) {
        test(`${name} (${size})`, async () => {
            const opened = await OpenPage({ size });
            await body(opened.page, size);
            await opened.Close();
        });
    }
}

const Shown = (page, name) => Control(page, name).isVisible();
const Values = (page, names) => Promise.all(names.map((name) => Control(page, name).inputValue()));
async function HourGroupEnabled(page) {
    const boxes = await Promise.all(kHourGroup.map((name) => Control(page, name).isEnabled()));
    const labels = await page.evaluate((names) =>
        [...document.querySelectorAll('#ソラニカ [data-name]')].filter((l) => names.includes(l.dataset.name)).map((l) => !l.classList.contains('disabled')),
        kHourLabels);
    return [...boxes, ...labels];
}

OnEachSize('detail mode: entered, kept while hidden, ended by クリアー', async (page) => {
    await Control(page, '詳細設定start').click();
    assert.equal(await Focused(page), '日_bigin');
    await Type(page, { 日_bigin: '9', 日_end: '17' });
    // Enter in a field presses 入力完了; the message comes while the window
    // is on screen, with the main window already masked.
    await Control(page, '日_end').press('Enter');
    await page.waitForFunction(() => document.getElementById('message').open);
    assert.ok(await Shown(page, '詳細設定'));
    assert.deepEqual(await Values(page, kHourGroup), ['****', '****', '****']);
    assert.deepEqual(await HourGroupEnabled(page), Array(8).fill(false));
    assert.match(await Answered(page), /^勤務時間等が空白になりましたが、/u);
    assert.ok(!(await Shown(page, '詳細設定')));
    assert.equal(await Focused(page), '詳細設定start');
    assert.ok(await Control(page, '時給').isEnabled());

    await Type(page, { 時給: '700' });
    assert.deepEqual(await Calculated(page), {
        status: `${' '.repeat(68)}----計算結果表示中----`,
        daily: '*****',
        weekly: '5600',
        monthly: '22400',
    });
    assert.deepEqual(await Values(page, kHourGroup), ['***', '***', '***']);

    // Shown again: the same hours; confirmed again, the message again.
    await Control(page, '詳細設定start').click();
    assert.deepEqual(await Values(page, ['日_bigin', '日_end']), ['9', '17']);
    await Control(page, 'input_end').click();
    await Answered(page);

    await Control(page, 'clear').click();
    assert.deepEqual(await Values(page, ['時給', '開始時間', '終了時間', '週']), ['', '', '', '']);
    assert.deepEqual(
        await Promise.all(['日', '週給料', '月給料', '状態'].map((n) => Control(page, n).textContent())),
        ['未計算', '未計算', '未計算', kPrompt],
    );
    assert.deepEqual(await HourGroupEnabled(page), Array(8).fill(true));
    assert.equal(await Focused(page), '時給');
    await Control(page, '詳細設定start').click();
    assert.deepEqual(await Values(page, ['日_bigin', '日_end']), ['', '']);
});

OnEachSize('the schedule: closed by the user, by Esc or its close button', async (page) => {
    for (const close of [() => page.keyboard.press('Escape'), () => ByRole(page, 'button', { name: '閉じる' }).click()]) {
        await Control(page, '詳細設定start').click();
        await Type(page, { 月_bigin: '9', 月_end: '13' });
        await Control(page, 'input_end').click();
        await Answered(page);
        await Control(page, '詳細設定start').click();
        await close();
        assert.ok(!(await Shown(page, '詳細設定')));
        assert.equal(await Focused(page), '詳細設定start');
        // Reopened, it is loaded anew: empty, and detail mode has ended,
        // while the main window keeps its masks until クリアー.
        await Control(page, '詳細設定start').click();
        assert.deepEqual(await Values(page, ['月_bigin', '月_end']), ['', '']);
        await page.keyboard.press('Escape');
        await Type(page, { 時給: '700' });
        assert.deepEqual(await Calculated(page), { message: '働く日がありません' });
        await Control(page, 'clear').click();
    }
});

OnEachSize('the schedule: nothing edited, nothing switched; an overflow changes nothing', async (page) => {
    await Control(page, '詳細設定start').click();
    await Control(page, 'input_end').click();
    assert.ok(!(await Shown(page, '詳細設定')));
    assert.deepEqual(await Values(page, kHourGroup), ['', '', '']);
    assert.equal(await page.evaluate(() => document.getElementById('message').open), false);

    await Control(page, '詳細設定start').click();
    await Type(page, { 土_end: '40000' });
    await Control(page, 'input_end').click();
    assert.equal(await Answered(page, 'Escape'), '数値が大きすぎて計算できません。入力した数字を確かめてください。');
    assert.ok(await Shown(page, '詳細設定'));
    assert.equal(await Focused(page), 'input_end');
    assert.deepEqual(await Values(page, kHourGroup), ['', '', '']);
});

OnEachSize('messages: answered by Enter and by Esc, the focus back where it was', async (page) => {
    for (const key of ['Enter', 'Escape']) {
        await Control(page, '時給').fill('');
        await Control(page, '時給').press('Enter');
        assert.equal(await page.evaluate(() => document.activeElement.id), 'message-ok');
        assert.equal(await Answered(page, key), '未入力です');
        assert.equal(await Focused(page), '時給');
    }
    // The caution leaves the amounts of the calculation before.
    await Type(page, { 時給: '700', 開始時間: '9', 終了時間: '17', 週: '5' });
    await Calculated(page);
    await Type(page, { 週: '6' });
    const shown = await Calculated(page);
    assert.equal(shown.status, '☆注意！☆   1週間の勤務時間合計が40時間以上になると労働基準法第32条     違反になります');
    assert.deepEqual([shown.daily, shown.weekly, shown.monthly], ['5600', '28000', '112000']);
});

OnEachSize('About: the version, ｼｽﾃﾑ情報, OK and Esc', async (page) => {
    for (const end of ['Enter', 'Escape']) {
        await Control(page, 'mnuVersion').click();
        assert.equal(await Focused(page), 'cmdOK');
        assert.equal(await Control(page, 'lblVersion').textContent(), `ﾊﾞｰｼﾞｮﾝ ${process.env.SORANIKA_VERSION}`);
        assert.equal(await page.textContent('[id="frmAbout-caption"]'), 'ソラニカのﾊﾞｰｼﾞｮﾝ情報');
        await Control(page, 'cmdSysInfo').press('Enter');
        assert.equal(await Answered(page, end), '現時点ではｼｽﾃﾑ情報を使用できません');
        assert.equal(await Focused(page), 'cmdSysInfo');
        assert.ok(await Shown(page, 'frmAbout'));
        await Control(page, 'cmdOK').focus();
        await page.keyboard.press(end);
        assert.ok(!(await Shown(page, 'frmAbout')));
        assert.equal(await Focused(page), 'mnuVersion');
    }
});

OnEachSize('the tab order of each window', async (page) => {
    const orders = [
        ['時給', ['週', '開始時間', '終了時間', '詳細設定start', '計算', 'clear']],
        ['日_bigin', ['日_end', '月_bigin', '月_end', '火_bigin', '火_end', '水_bigin', '水_end', '木_bigin', '木_end', '金_bigin', '金_end', '土_bigin', '土_end', 'input_end']],
        ['cmdOK', ['cmdSysInfo']],
    ];
    for (const [first, rest] of orders) {
        if (first === '日_bigin') {
            await Control(page, '詳細設定start').click();
        } else if (first === 'cmdOK') {
            await page.keyboard.press('Escape');
            await Control(page, 'mnuVersion').click();
        }
        await Control(page, first).focus();
        for (const next of rest) {
            await page.keyboard.press('Tab');
            assert.equal(await Focused(page), next, `Tab after ${first}`);
        }
    }
});

OnEachSize('終了 ends the session; the page starts again', async (page) => {
    // Reached by a link, as from a school's page: a tab with a history,
    // which a page may not close (Firefox closes a tab that holds nothing
    // but ソラニカ, as an app's window closes).
    await page.evaluate(() => history.pushState(null, '', location.href));
    await Control(page, '詳細設定start').click();
    await page.keyboard.press('Escape');
    await Control(page, 'mnuEnd').click();
    for (const window of ['ソラニカ', '詳細設定', 'frmAbout']) {
        assert.ok(!(await Shown(page, window)), `${window} unloaded`);
    }
    assert.ok(await ByText(page, 'ソラニカを終了しました。').isVisible());
    assert.equal(await Focused(page), 'restart');
    await page.reload(() => Control(page, 'restart').click());
    assert.equal(await Control(page, '状態').textContent(), kPrompt);
    assert.ok(await Shown(page, 'ソラニカ'));
});

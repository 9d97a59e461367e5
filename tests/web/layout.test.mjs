// The page as it is seen, at a phone's size (360 × 640, touch) and a
// desktop's (1280 × 800), light and dark, in the states worth looking at: no
// horizontal scrolling, no control outside the viewport's width, nothing
// drawn over anything else, every amount whole, every caption's glyphs
// inside its control and on its designed lines, the text typed in a box
// whole from its first character once the focus has left it, touch targets
// of 44 px on the phone; on the desktop every control at the desktop
// window's place, with its text. The screenshots are saved
// (SORANIKA_WEB_OUT) to be looked at.
import assert from 'node:assert/strict';
import fs from 'node:fs';
import { test } from 'node:test';
import { Answered, Browsing, Calculated, Control, Env, NotReached, Out, Type } from './harness.mjs';

// The longest amounts the rules write: 15 digits and an exponent.
const kLongest = { 時給: '1.11111111111111e300', 開始時間: '9', 終了時間: '17', 週: '5' };

// What a person types and leaves in a box: hours with decimals, full-width
// digits, a wage. The boxes in the order of the page, each given the texts
// in turn from the shift on, so that over the shifts every box holds each.
const kTyped = ['16.5', '21.25', '１７．５', '9', '1234.5'];
const kBoxes = ['時給', '週', '開始時間', '終了時間'];
const kFields = ['日', '月', '火', '水', '木', '金', '土'].flatMap((day) => [`${day}_bigin`, `${day}_end`]);
const TypedIn = (names, shift) => Object.fromEntries(names.map((name, i) => [name, kTyped[(i + shift) % kTyped.length]]));
// Typed, and the focus moved on with Tab.
const TypedAndLeft = (page, texts) => Type(page, texts).then(() => page.keyboard.press('Tab'));

// The lines of a button's caption where they are not its text on one line.
const kButtonLines = { 詳細設定start: ['勤務時間', '詳細設定'] };

const kStates = {
    start: async () => {},
    result: (page) => Type(page, { 時給: '700', 開始時間: '9', 終了時間: '17', 週: '5' }).then(() => Calculated(page)),
    longest: (page) => Type(page, kLongest).then(() => Calculated(page)),
    caution: (page) =>
        Type(page, { 時給: '700', 開始時間: '9', 終了時間: '17', 週: '6' }).then(() => Calculated(page)),
    schedule: (page) => Control(page, '詳細設定start').click(),
    about: (page) => Control(page, 'mnuVersion').click(),
    message: (page) => Control(page, '計算').click().then(() => page.waitForSelector('dialog[open]')),
    ...Object.fromEntries(
        kTyped.map((_, shift) => [`typed ${shift}`, (page) => TypedAndLeft(page, TypedIn(kBoxes, shift))]),
    ),
    // Back in a box whose text was too wide for it: in the box's own size.
    'typed, back': (page) =>
        TypedAndLeft(page, { 終了時間: kLongest.時給 }).then(() => page.keyboard.press('Shift+Tab')),
    'schedule typed': (page) =>
        Control(page, '詳細設定start').click().then(() => TypedAndLeft(page, TypedIn(kFields, 0))),
    // The masks the page puts in the boxes over what was typed.
    masked: async (page) => {
        await TypedAndLeft(page, TypedIn(kBoxes, 1));
        await Control(page, '詳細設定start').click();
        await Type(page, { 日_bigin: '9', 日_end: '17' });
        await Control(page, 'input_end').click();
        await Answered(page);
    },
};

// What each shown control draws, seen from the page: its box, or for a
// label the text's own lines; the topmost window only, where one covers the
// others (a sheet, the message box).
function Measure() {
    const shown = (e) => e.checkVisibility();
    const open = document.querySelector('dialog[open]');
    const windows = open ? [open] : [...document.querySelectorAll('.window')].filter(shown);
    const sheet = windows.find((w) => w.classList.contains('sub') && getComputedStyle(w).inset === '0px');
    const top = sheet ? [sheet] : windows;
    const Drawn = (e) => {
        if (e.matches('input, button')) {
            return [e.getBoundingClientRect()];
        }
        const texts = document.createTreeWalker(e, NodeFilter.SHOW_TEXT);
        const rects = [];
        while (texts.nextNode()) {
            const range = document.createRange();
            range.selectNodeContents(texts.currentNode);
            rects.push(...[...range.getClientRects()].filter((r) => r.width > 0.5 && r.height > 0.5));
        }
        return rects;
    };
    const box = (r) => ({ x: r.x, y: r.y, right: r.right, bottom: r.bottom, width: r.width, height: r.height });
    // Each run of glyphs, and the lines they stand on: the characters but
    // blanks, grouped by where they are drawn.
    const kBlank = /[\s\u3000]/u;
    const Visible = (node) => node.parentElement.checkVisibility();
    const Glyphs = (e) => {
        const texts = document.createTreeWalker(e, NodeFilter.SHOW_TEXT);
        const runs = [];
        const characters = [];
        while (texts.nextNode()) {
            const node = texts.currentNode;
            if (!Visible(node)) {
                continue;
            }
            for (const run of node.data.matchAll(/[^\s\u3000]+/gu)) {
                const range = document.createRange();
                range.setStart(node, run.index);
                range.setEnd(node, run.index + run[0].length);
                runs.push(...[...range.getClientRects()].filter((r) => r.width > 0.5 && r.height > 0.5).map(box));
                for (let i = run.index; i < run.index + run[0].length; i += 1) {
                    range.setStart(node, i);
                    range.setEnd(node, i + 1);
                    const r = range.getBoundingClientRect();
                    characters.push({ text: node.data[i], middle: (r.top + r.bottom) / 2, height: r.height });
                }
            }
        }
        const lines = [];
        for (const c of characters) {
            const line = lines.at(-1);
            if (line && Math.abs(c.middle - line.middle) < c.height / 2) {
                line.text += c.text;
            } else {
                lines.push({ text: c.text, middle: c.middle });
            }
        }
        return { runs, lines: lines.map((line) => line.text) };
    };
    // A box's text: the width it needs in the box's own font, measured in a
    // span of that font, against the box's width inside its padding.
    const Fit = (e) => {
        const style = getComputedStyle(e);
        const span = document.createElement('span');
        span.style.cssText = 'position: absolute; white-space: pre; visibility: hidden';
        for (const key of ['fontFamily', 'fontSize', 'fontWeight', 'fontStyle', 'letterSpacing']) {
            span.style[key] = style[key];
        }
        span.textContent = e.value;
        document.body.append(span);
        const needs = span.getBoundingClientRect().width;
        span.remove();
        return {
            value: e.value,
            needs,
            inner: e.clientWidth - parseFloat(style.paddingLeft) - parseFloat(style.paddingRight),
            scrollLeft: e.scrollLeft,
            pixels: parseFloat(style.fontSize),
            focused: e === document.activeElement,
            title: e.getAttribute('title'),
            description: e.getAttribute('aria-description'),
        };
    };
    const controls = top.flatMap((w) =>
        [...w.querySelectorAll('[data-name], button, input')].filter(
            (e) => shown(e) && !e.matches('.shape, .window'),
        ),
    );
    return {
        width: window.innerWidth,
        height: window.innerHeight,
        scrollWidth: document.documentElement.scrollWidth,
        controls: controls.map((e) => ({
            name: `${e.closest('.window, dialog').id}/${e.dataset.name ?? e.id ?? e.textContent}`,
            target: e.matches('input, button'),
            box: box(e.getBoundingClientRect()),
            drawn: Drawn(e).map(box),
            amount: e.classList.contains('amount')
                ? {
                      text: e.textContent,
                      cut: e.scrollWidth > e.clientWidth,
                      pixels: parseFloat(getComputedStyle(e).fontSize),
                      wrapped: e.classList.contains('wrap'),
                  }
                : null,
            glyphs: e.matches('input') ? null : Glyphs(e),
            // The lines a caption is designed on: a button's text, a
            // label's lines where the desktop's are placed.
            designedLines: e.matches('button')
                ? [e.textContent]
                : e.querySelector('.wrapped-line')
                  ? [...e.querySelectorAll('.wrapped-line')].map((line) => line.textContent)
                  : null,
            fit: e.matches('input') ? Fit(e) : null,
        })),
    };
}

// The conditions of the stylesheet's @media rules on the screen's size, and
// the scripts' one.
async function Layouts() {
    const { kWideQuery } = await import(new URL('layout.js', document.baseURI).href);
    const rules = [...document.styleSheets].flatMap((sheet) => [...sheet.cssRules]);
    const sized = rules.filter((rule) => rule instanceof CSSMediaRule && /width|height/u.test(rule.conditionText));
    return [sized.map((rule) => rule.conditionText), kWideQuery];
}

function Overlap(a, b) {
    const w = Math.min(a.right, b.right) - Math.max(a.x, b.x);
    const h = Math.min(a.bottom, b.bottom) - Math.max(a.y, b.y);
    return w > 0.5 && h > 0.5;
}

function CheckLayout(m, size, where) {
    assert.ok(m.scrollWidth <= m.width, `${where}: no horizontal scrolling (${m.scrollWidth} > ${m.width})`);
    for (const c of m.controls) {
        for (const r of [c.box, ...c.drawn]) {
            assert.ok(r.x >= -0.5 && r.right <= m.width + 0.5, `${where}: ${c.name} inside the viewport's width`);
            if (size === 'desktop') {
                assert.ok(r.y >= -0.5 && r.bottom <= m.height + 0.5, `${where}: ${c.name} inside the viewport`);
            }
        }
        if ((size === 'phone' || size === 'tablet') && c.target) {
            assert.ok(c.box.width >= 44 && c.box.height >= 44, `${where}: ${c.name} is ${c.box.width}×${c.box.height}`);
        }
        if (c.amount) {
            assert.ok(!c.amount.cut && c.amount.pixels >= 8, `${where}: ${c.name} "${c.amount.text}" whole`);
            // Broken over lines only when too wide even in the smallest size.
            assert.ok(!c.amount.wrapped || c.amount.pixels === 8, `${where}: ${c.name} wrapped in ${c.amount.pixels} px`);
        }
        for (const r of c.glyphs?.runs ?? []) {
            const inside = r.x >= c.box.x - 0.5 && r.right <= c.box.right + 0.5 && r.y >= c.box.y - 0.5 && r.bottom <= c.box.bottom + 0.5;
            assert.ok(inside, `${where}: ${c.name}'s glyphs inside its box: ${JSON.stringify(r)} in ${JSON.stringify(c.box)}`);
        }
        if (c.designedLines) {
            const designed = kButtonLines[c.name.split('/')[1]] ?? c.designedLines;
            const lines = designed.map((line) => line.replace(/[\s\u3000]/gu, '')).filter((line) => line !== '');
            assert.deepEqual(c.glyphs.lines, lines, `${where}: ${c.name} on its designed lines`);
        }
        if (c.fit && !c.fit.focused) {
            const { value, needs, inner, pixels } = c.fit;
            assert.equal(c.fit.scrollLeft, 0, `${where}: ${c.name} "${value}" shown from its first character`);
            // Cut only in the smallest size, and then told whole.
            const cut = needs > inner;
            assert.ok(!cut || pixels <= 8, `${where}: ${c.name} "${value}" needs ${needs} px in ${pixels} px type, its box ${inner} px`);
            const told = cut ? value : null;
            assert.deepEqual([c.fit.title, c.fit.description], [told, told], `${where}: ${c.name} "${value}" told whole where cut: ${needs} px in ${pixels} px type, its box ${inner} px`);
        }
        if (c.fit?.focused && size === 'phone') {
            assert.ok(c.fit.pixels >= 16, `${where}: ${c.name} with the focus in ${c.fit.pixels} px type`);
        }
    }
    // Within each window: one window over another is a window's frame.
    const windowOf = (c) => c.name.split('/')[0];
    for (const [i, a] of m.controls.entries()) {
        for (const b of m.controls.slice(i + 1).filter((c) => windowOf(c) === windowOf(a))) {
            const over = a.drawn.some((ra) => b.drawn.some((rb) => Overlap(ra, rb)));
            assert.ok(!over, `${where}: ${a.name} and ${b.name} drawn over each other: ${JSON.stringify([a.drawn, b.drawn])}`);
        }
    }
}

const OpenPage = Browsing();

for (const size of ['phone', 'desktop', 'zoomed', 'tablet']) {
    for (const scheme of size === 'phone' || size === 'desktop' ? ['light', 'dark'] : ['light']) {
        test(`${size}, ${scheme}: every state laid out whole`, async (t) => {
            // The tablet's layout needs a touch screen.
            if (size === 'tablet' && NotReached(size)) {
                t.skip(NotReached(size));
                return;
            }
            for (const [state, reach] of Object.entries(kStates)) {
                const opened = await OpenPage({ size, scheme });
                await reach(opened.page);
                await opened.page.screenshot({ path: Out(`${size}-${scheme}-${state}.png`), fullPage: true });
                CheckLayout(await opened.page.evaluate(Measure), size, `${size} ${scheme} ${state}`);
                if (state === 'start') {
                    // The stylesheet switches layouts where the scripts do.
                    const [css, js] = await opened.page.evaluate(Layouts);
                    assert.deepEqual(css, [js], `${size}: the stylesheet's condition is layout.js's`);
                }
                if (state === 'message') {
                    await Answered(opened.page);
                }
                await opened.Close();
            }
        });
    }
}

test('desktop: every control at the desktop window\'s place, with its text', async () => {
    const designed = JSON.parse(fs.readFileSync(Env('SORANIKA_WEB_CONTROLS'), 'utf8'));
    const opened = await OpenPage({ size: 'desktop' });
    const { page } = opened;
    await Control(page, 'mnuVersion').click();
    await Control(page, '詳細設定start').click();
    const web = await page.evaluate((names) => {
        const found = {};
        for (const [window, controls] of Object.entries(names)) {
            const client = document.getElementById(window).querySelector('.client').getBoundingClientRect();
            const elements = [...document.getElementById(window).querySelectorAll('[data-name]')];
            const seen = {};
            found[window] = controls.map(({ name }) => {
                const e = elements.filter((x) => x.dataset.name === name)[(seen[name] = (seen[name] ?? -1) + 1)];
                if (!e) {
                    return null;
                }
                const r = e.getBoundingClientRect();
                return { text: e.matches('input') ? e.value : e.matches('.shape') ? '' : e.textContent, x: r.x - client.x, y: r.y - client.y, width: r.width, height: r.height };
            });
        }
        return found;
    }, designed);
    let compared = 0;
    for (const [window, controls] of Object.entries(designed)) {
        for (const [i, c] of controls.entries()) {
            const w = web[window][i];
            assert.ok(w, `${window}/${c.name} is on the page`);
            // A button's access key is marked with & on the desktop.
            assert.equal(w.text, c.text.replace(/&(.)/gu, '$1'), `${window}/${c.name}: its text`);
            if (c.width > 0) {
                for (const key of ['x', 'y', 'width', 'height']) {
                    assert.ok(Math.abs(w[key] - c[key]) <= 1, `${window}/${c.name}: ${key} ${w[key]}, designed ${c[key]}`);
                }
            }
            compared += 1;
        }
    }
    assert.ok(compared >= 70, `${compared} controls compared`);
    await opened.Close();
});

// The desktop's lines on the page: the same words on the same number of
// lines, but for a break inside a run too wide for its label, which an engine
// whose glyph widths round otherwise than Qt's (WebKit) may make one
// character earlier or later.
function SameLines(web, desktop) {
    const text = desktop.join('');
    if (web.length !== desktop.length || web.join('') !== text) {
        return false;
    }
    const Breaks = (lines) => lines.slice(0, -1).map((_, i) => lines.slice(0, i + 1).join('').length);
    const inRun = (at) => !/[ \u3000]/u.test(text[at - 1] + text[at]);
    const pageBreaks = Breaks(web);
    return Breaks(desktop).every((at, i) => at === pageBreaks[i] || (Math.abs(at - pageBreaks[i]) === 1 && inRun(at)));
}

test('desktop: every label\'s words on the desktop window\'s lines', async () => {
    // The lines the desktop draws, by picture: "name: line | line".
    const Desktop = (picture) =>
        Object.fromEntries(
            fs.readFileSync(`${Env('SORANIKA_WEB_DESKTOP')}/${picture}.txt`, 'utf8')
                .split('\n')
                .filter((line) => line !== '')
                .map((line) => [line.slice(0, line.indexOf(': ')), line.slice(line.indexOf(': ') + 2).split(' | ')]),
        );
    const pictures = [
        ['main', 'ソラニカ', async () => {}],
        ['main-caution', 'ソラニカ', (page) => kStates.caution(page)],
        ['schedule', '詳細設定', (page) => kStates.schedule(page)],
        ['about', 'frmAbout', (page) => kStates.about(page)],
    ];
    for (const [picture, window, reach] of pictures) {
        const opened = await OpenPage({ size: 'desktop' });
        await reach(opened.page);
        const web = await opened.page.evaluate((id) =>
            [...document.getElementById(id).querySelectorAll('.label, .status, p[data-name]')].map((label) => [
                label.dataset.name,
                label.querySelector('.wrapped-line')
                    ? [...label.querySelectorAll('.wrapped-line')].map((line) => line.textContent)
                    : [label.textContent],
            ]), window);
        const desktop = Desktop(picture);
        for (const [name, lines] of web) {
            if (!SameLines(lines, desktop[name])) {
                assert.deepEqual(lines, desktop[name], `${picture}: ${window}/${name}`);
            }
        }
        await opened.Close();
    }
});

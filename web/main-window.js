// The main window ソラニカ: the four boxes, 計算, クリアー, 詳細設定 and the
// menu. 計算 hands the four texts and the shared state to the rules and
// applies the outcome: a message, the caution, or the pay.
import * as about from './about-window.js';
import { FitBoxes, LargestFitting } from './fit-text.js';
import { Announce, Guarded, ShowMessage, Simplified } from './message.js';
import { ready, Rules } from './rules.js';
import * as schedule from './schedule-window.js';
import { PlaceLines, SetText } from './wrap.js';

const byId = (id) => document.getElementById(id);
const element = byId('ソラニカ');
const form = byId('ソラニカ-client');
const wage = byId('時給');
const start = byId('開始時間');
const end = byId('終了時間');
const days = byId('週');
const status = byId('状態');
const amounts = [byId('日'), byId('週給料'), byId('月給料')];
const hourGroup = [...element.querySelectorAll('.hour-group')];
// The texts of the design-time state, which クリアー brings back.
const inputPrompt = status.textContent;
const notCalculated = amounts[0].textContent;

// Draws an amount whole: in its own size when it fits, else in the largest
// smaller one that does; too wide even in the smallest, it takes the room to
// its left, up to its caption's words, and at last breaks over lines, never
// cut.
function FitAmount(amount) {
    amount.classList.remove('wrap');
    amount.style.fontSize = '';
    amount.style.marginLeft = '';
    amount.style.width = '';
    const tooWide = () => amount.scrollWidth > amount.clientWidth;
    const own = parseFloat(getComputedStyle(amount).fontSize);
    const Draw = (pixels) => {
        amount.style.fontSize = pixels === own ? '' : `${pixels}px`;
    };
    // Drawn in the size found, the smallest when none fits.
    Draw(
        LargestFitting(own, (pixels) => {
            Draw(pixels);
            return !tooWide();
        }),
    );
    if (!tooWide()) {
        return;
    }
    const captionEnd = TextEnd(amount.previousElementSibling);
    const box = amount.getBoundingClientRect();
    const room = Math.floor(box.left - captionEnd - 2);
    if (room > 0) {
        amount.style.marginLeft = `${-room}px`;
        amount.style.width = `${box.width + room}px`;
    }
    if (tooWide()) {
        amount.classList.add('wrap');
    }
}

// Where the words of an element end on the screen.
function TextEnd(element) {
    const texts = document.createTreeWalker(element, NodeFilter.SHOW_TEXT);
    let end = 0;
    while (texts.nextNode()) {
        const words = document.createRange();
        words.selectNodeContents(texts.currentNode);
        for (const rect of words.getClientRects()) {
            end = Math.max(end, rect.right);
        }
    }
    return end;
}

function SetAmount(amount, text) {
    amount.textContent = text;
    FitAmount(amount);
}

// What a screen reader hears of one result: its caption, the amount, and
// the unit when it is a pay (not 未計算 or the mask).
function ResultWords(amount) {
    const caption = amount.previousElementSibling.textContent;
    const unit = amount.nextElementSibling.textContent;
    const value = amount.textContent;
    return `${caption} ${value}${Rules().isPay(value) ? ` ${unit}` : ''}`;
}

async function ApplyOutcome(outcome) {
    switch (outcome.kind) {
        case 'caution':
            SetText(status, outcome.text);
            Announce(Simplified(status.textContent));
            return;
        case 'result':
            if (outcome.maskInputs) {
                for (const box of [days, end, start]) {
                    box.value = outcome.inputMask;
                }
                FitBoxes([days, end, start]);
            }
            SetText(status, outcome.text);
            SetAmount(amounts[0], outcome.daily);
            SetAmount(amounts[1], outcome.weekly);
            SetAmount(amounts[2], outcome.monthly);
            Announce(`${Simplified(status.textContent)} ${amounts.map(ResultWords).join('、')}`);
            return;
        default: // a message, or the message for an error
            await ShowMessage(outcome.text);
    }
}

async function Calculate() {
    await ready;
    const rules = Rules();
    await ApplyOutcome(
        rules.evaluateWage(
            wage.value,
            start.value,
            end.value,
            days.value,
            rules.detailMode(),
            rules.weeklyHours(),
        ),
    );
}

function SetHourGroupEnabled(enabled) {
    for (const control of hourGroup) {
        if (control instanceof HTMLInputElement) {
            control.disabled = !enabled;
        } else {
            control.classList.toggle('disabled', !enabled);
        }
    }
}

function MaskForDetailMode() {
    for (const box of [days, end, start]) {
        box.value = Rules().detailModeMask();
    }
    FitBoxes([days, end, start]);
    SetHourGroupEnabled(false);
}

async function Clear() {
    await ready;
    schedule.Unload();
    for (const box of [wage, start, end, days]) {
        box.value = '';
    }
    FitBoxes([wage, start, end, days]);
    for (const amount of amounts) {
        SetAmount(amount, notCalculated);
    }
    SetText(status, inputPrompt);
    schedule.Load();
    SetHourGroupEnabled(true);
    // Ready for the next calculation: what is typed next is the wage.
    wage.focus();
}

// 終了: the windows are unloaded; an installed app's window closes, and a
// page that may not close itself says that ソラニカ has ended.
function End() {
    schedule.Unload();
    about.Unload();
    element.hidden = true;
    byId('ended').hidden = false;
    byId('restart').focus();
    window.close();
}

export function StartMainWindow() {
    PlaceLines(document.querySelectorAll('.label, .status, #frmAbout p'));
    FitBoxes([wage, start, end, days]);
    schedule.WhenDetailModeEntered(MaskForDetailMode);
    // Enter in any box presses 計算, the form's default button.
    form.addEventListener('submit', (event) => {
        event.preventDefault();
        Guarded(Calculate);
    });
    byId('clear').addEventListener('click', () => Guarded(Clear));
    byId('詳細設定start').addEventListener('click', () => Guarded(schedule.Show));
    byId('mnuVersion').addEventListener('click', () => Guarded(about.Show));
    byId('mnuEnd').addEventListener('click', End);
    byId('restart').addEventListener('click', () => window.location.reload());
    window.addEventListener('resize', () => amounts.forEach(FitAmount));
    // The first focus is the wage, as in the desktop window, where a
    // keyboard is at hand; a touch screen opens no keyboard unasked.
    if (window.matchMedia('(pointer: fine)').matches) {
        wage.focus();
    }
}

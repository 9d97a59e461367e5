// The weekly schedule window 詳細設定: a start and an end hour for each day,
// Sunday first. 入力完了 stores the weekly total and, when a field was
// edited since the window was loaded, switches the main window into detail
// mode. Hidden, it keeps its texts; closed or unloaded, it loses them.
import { FitBoxes } from './fit-text.js';
import { Guarded, ShowMessage } from './message.js';
import { ready, Rules } from './rules.js';
import { SubWindow } from './sub-window.js';

const element = document.getElementById('詳細設定');
const form = element.querySelector('form');
const fields = [...form.querySelectorAll('input')];
const window_ = new SubWindow(element, Unload);
let loaded = false;
let enterDetailMode = () => {};

for (const field of fields) {
    field.addEventListener('input', () => Rules().dayFieldChanged());
}
FitBoxes(fields);
form.addEventListener('submit', (event) => {
    event.preventDefault();
    Guarded(Confirm);
});

// What the main window does when detail mode begins.
export function WhenDetailModeEntered(handler) {
    enterDetailMode = handler;
}

// Load: empty fields, nothing edited yet, and detail mode ends.
export function Load() {
    for (const field of fields) {
        field.value = '';
    }
    FitBoxes(fields);
    Rules().scheduleLoaded();
    window_.Place();
    loaded = true;
}

export function Unload() {
    window_.Hide();
    loaded = false;
}

export async function Show() {
    await ready;
    if (!loaded) {
        Load();
    }
    window_.Show(fields[0]);
}

async function Confirm() {
    const answer = Rules().confirmSchedule(fields.map((field) => field.value));
    if (answer.kind === 'error') {
        await ShowMessage(answer.text);
        return;
    }
    if (answer.value === 1) {
        enterDetailMode();
        await ShowMessage(Rules().detailModeMessage());
    }
    window_.Hide();
}

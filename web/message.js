// The program's message box and its announcements to screen readers.
import { Rules } from './rules.js';

const dialog = document.getElementById('message');
const text = document.getElementById('message-text');
const ok = document.getElementById('message-ok');
const announcer = document.getElementById('announcer');
const page = document.getElementById('ソラニカ');

ok.addEventListener('click', () => dialog.close());

// Shows the message, modal, with OK focused; Enter or Esc answers it.
// Resolves once it is answered, when the focus is back where it was.
export function ShowMessage(message) {
    const previous = document.activeElement;
    text.textContent = message;
    dialog.showModal();
    ok.focus();
    return new Promise((resolve) => {
        dialog.addEventListener(
            'close',
            () => {
                if (previous instanceof HTMLElement && previous.isConnected) {
                    previous.focus();
                }
                resolve();
            },
            { once: true },
        );
    });
}

// Runs a handler; whatever it cannot answer becomes the one message for an
// error, and the page stays usable.
export async function Guarded(handler) {
    try {
        await handler();
    } catch {
        let failure = page.dataset.unavailable;
        try {
            failure = Rules()?.otherError() ?? failure;
        } catch {
            // The module itself is broken: the page's own words.
        }
        await ShowMessage(failure);
    }
}

// Says the words through the polite live region, without moving the focus.
// The region is emptied first, so that the same words said again are heard
// again.
export function Announce(words) {
    announcer.textContent = '';
    setTimeout(() => {
        announcer.textContent = words;
    }, 100);
}

// The words of a text as a screen reader reads them: the blanks that place
// them in their label are not read.
export function Simplified(textOfLabel) {
    return textOfLabel.replace(/\s+/gu, ' ').trim();
}

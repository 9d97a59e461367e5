// The weekly schedule and About windows: not modal, over the main window.
// On a wide screen each stands where the desktop puts it; on a touch or
// narrow screen it is a sheet over the whole main window, which is out of
// reach until the sheet closes. Esc and the close button close it.
const main = document.getElementById('ソラニカ');
const sheets = window.matchMedia(
    'not all and (pointer: fine) and (min-width: 640px) and (min-height: 460px)',
);
const shown = new Set();
let topmost = 10;

function UpdateReach() {
    main.inert = sheets.matches && shown.size > 0;
}
sheets.addEventListener('change', UpdateReach);

export class SubWindow {
    // close: what the close button and Esc do.
    constructor(element, close) {
        this.element = element;
        this.opener = null;
        this.lastFocus = null;
        element.querySelector('.close').addEventListener('click', close);
        element.addEventListener('keydown', (event) => {
            if (event.key === 'Escape' && !event.isComposing) {
                event.preventDefault();
                close();
            }
        });
        element.addEventListener('pointerdown', () => this.Raise(), true);
        element.addEventListener('focusin', (event) => {
            this.lastFocus = event.target;
            this.Raise();
        });
    }

    get Shown() {
        return !this.element.hidden;
    }

    // Shows the window in front and gives the focus to first, or, when the
    // window was on screen already, back to its control that had it last.
    Show(first) {
        if (!this.Shown) {
            this.opener = document.activeElement;
            this.lastFocus = null;
            this.element.hidden = false;
            shown.add(this);
            UpdateReach();
        }
        this.Raise();
        (this.lastFocus?.isConnected ? this.lastFocus : first).focus();
    }

    // Takes the window off the screen; the focus, if it was inside, goes back
    // to the control that opened it.
    Hide() {
        if (!this.Shown) {
            return;
        }
        const hadFocus = this.element.contains(document.activeElement);
        this.element.hidden = true;
        shown.delete(this);
        UpdateReach();
        if (hadFocus && this.opener instanceof HTMLElement && this.opener.isConnected) {
            this.opener.focus();
        }
    }

    Raise() {
        topmost += 1;
        this.element.style.zIndex = String(topmost);
    }
}

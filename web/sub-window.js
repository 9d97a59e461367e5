// The weekly schedule and About windows: not modal, over the main window.
// On a wide screen each stands where the desktop puts it; on a touch or
// narrow screen it is a sheet over the whole main window, which is out of
// reach until the sheet closes. Esc and the close button close it.
import { wide } from './layout.js';

const main = document.getElementById('ソラニカ');

// On a wide screen a window is moved by its caption, as on the desktop,
// and stays within the screen.
function Movable(element) {
    const caption = element.querySelector('.caption');
    caption.addEventListener('pointerdown', (down) => {
        if (!wide.matches || down.button !== 0) {
            return;
        }
        const start = element.getBoundingClientRect();
        const Move = (move) => {
            const left = Math.min(Math.max(0, start.left + move.clientX - down.clientX), window.innerWidth - start.width);
            const top = Math.min(Math.max(0, start.top + move.clientY - down.clientY), window.innerHeight - start.height);
            element.style.setProperty('--left', `${Math.round(left)}px`);
            element.style.setProperty('--top', `${Math.round(top)}px`);
            element.classList.add('moved');
        };
        caption.setPointerCapture(down.pointerId);
        caption.addEventListener('pointermove', Move);
        caption.addEventListener('pointerup', () => caption.removeEventListener('pointermove', Move), { once: true });
    });
}
const shown = new Set();
let topmost = 10;

function UpdateReach() {
    const covered = !wide.matches && shown.size > 0;
    main.inert = covered;
    // The page under a sheet does not scroll.
    document.documentElement.classList.toggle('under-sheet', covered);
}
wide.addEventListener('change', UpdateReach);

export class SubWindow {
    // close: what the close button and Esc do.
    constructor(element, close) {
        this.element = element;
        this.opener = null;
        this.lastFocus = null;
        Movable(element);
        element.querySelector('.close').addEventListener('click', close);
        element.addEventListener('keydown', (event) => {
            if (event.key === 'Escape' && !event.isComposing) {
                event.preventDefault();
                close();
            }
        });
        // A press anywhere in the window makes it the active one, as on the
        // desktop: Esc then closes it.
        element.addEventListener(
            'pointerdown',
            () => {
                this.Raise();
                if (!element.contains(document.activeElement)) {
                    element.focus({ preventScroll: true });
                }
            },
            true,
        );
        element.addEventListener('focusin', (event) => {
            if (event.target !== element) {
                this.lastFocus = event.target;
            }
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

    // Back at its designed place, as after a load.
    Place() {
        this.element.classList.remove('moved');
    }

    Raise() {
        topmost += 1;
        this.element.style.zIndex = String(topmost);
    }
}

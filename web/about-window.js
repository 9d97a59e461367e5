// The About window frmAbout: the title, the version and the disclaimer.
// OK (the default and cancel button) unloads it; ｼｽﾃﾑ情報 looks for the
// system-information tool, which a browser never has.
import { Guarded, ShowMessage } from './message.js';
import { ready, Rules } from './rules.js';
import { SubWindow } from './sub-window.js';

const element = document.getElementById('frmAbout');
const ok = document.getElementById('cmdOK');
const sysInfo = document.getElementById('cmdSysInfo');
const window_ = new SubWindow(element, Unload);

ok.addEventListener('click', Unload);
sysInfo.addEventListener('click', () =>
    Guarded(async () => {
        await ready;
        const message = Rules().startSysInfo();
        if (message) {
            await ShowMessage(message);
        }
    }),
);

export function Show() {
    window_.Show(ok);
}

export function Unload() {
    window_.Hide();
    window_.Place();
}

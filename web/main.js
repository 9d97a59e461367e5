// ソラニカ on the web: the desktop's three windows over the same pay rules,
// compiled to WebAssembly; installable, and usable without a network once
// it has been opened.
import { StartMainWindow } from './main-window.js';
import { ShowMessage } from './message.js';
import { ready } from './rules.js';

// The buttons that act through the rules are disabled until the rules have
// loaded, so that nothing asked for meanwhile happens later, out of turn.
// When the rules cannot be loaded the page says so, and they stay disabled.
const needRules = ['計算', 'clear', '詳細設定start', 'cmdSysInfo'].map((id) => document.getElementById(id));
for (const button of needRules) {
    button.disabled = true;
}
ready.then(
    () => needRules.forEach((button) => (button.disabled = false)),
    () => ShowMessage(document.getElementById('ソラニカ').dataset.unavailable),
);

StartMainWindow();

if ('serviceWorker' in navigator) {
    // Without it (a private window, a browser that refuses it) the page works
    // as long as the network does.
    navigator.serviceWorker.register('sw.js').catch(() => {});
}

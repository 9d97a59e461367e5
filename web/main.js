// ソラニカ on the web: the desktop's three windows over the same pay rules,
// compiled to WebAssembly; installable, and usable without a network once
// it has been opened.
import { StartMainWindow } from './main-window.js';

StartMainWindow();

if ('serviceWorker' in navigator) {
    // Without it (a private window, a browser that refuses it) the page works
    // as long as the network does.
    navigator.serviceWorker.register('sw.js').catch(() => {});
}

// The switch between the page's two layouts: the desktop's windows where a
// mouse points and the screen has room for them, else a phone's. The
// stylesheet's @media rule for the desktop's windows has the same condition
// written out, as CSS cannot import it.
export const kWideQuery = '(pointer: fine) and (min-width: 640px) and (min-height: 460px)';

// Matches while the desktop's layout is in use.
export const wide = window.matchMedia(kWideQuery);

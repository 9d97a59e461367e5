// One line of text in a fixed width, drawn whole wherever it can be: in its
// own size when it fits; otherwise in the largest smaller size that fits, in
// whole pixels, down to kSmallestPixels; only a text too wide even then is
// cut. The amounts of the main window and the boxes of both windows draw
// their text so, as the desktop's do.

// The smallest size a text is drawn in, in CSS pixels: the digits of a
// Japanese Gothic font still read apart.
export const kSmallestPixels = 8;

// The largest size, from pixels down to kSmallestPixels in whole pixels, at
// which fits(size) holds; kSmallestPixels when none does.
export function LargestFitting(pixels, fits) {
    let size = pixels;
    while (size > kSmallestPixels && !fits(size)) {
        size = Math.max(kSmallestPixels, Math.floor(size - 1));
    }
    return size;
}

const boxes = new WeakSet();
let measure = null;

// A text's width in an element's font at a size, measured in a hidden span
// of the page, so that the characters a font lacks come from the same font
// as in the element (a canvas may choose another, knowing no language, or
// not take the font list at all, as WebKit's does not).
export function Measured(text, style, pixels) {
    if (!measure) {
        measure = document.createElement('span');
        measure.setAttribute('aria-hidden', 'true');
        Object.assign(measure.style, { position: 'absolute', left: '0', top: '0', visibility: 'hidden', whiteSpace: 'pre' });
        document.body.append(measure);
    }
    for (const key of ['fontFamily', 'fontWeight', 'fontStyle', 'fontStretch', 'letterSpacing']) {
        measure.style[key] = style[key];
    }
    measure.style.fontSize = `${pixels}px`;
    measure.textContent = text;
    const { width } = measure.getBoundingClientRect();
    // Emptied, so that no long text widens the page.
    measure.textContent = '';
    return width;
}

// A box without the focus shows its text from the first character, in the
// size that fits its inner width (the class fitted and --fitted; the focus
// brings back the box's own size, soranika.css); a text too wide even in the
// smallest size ends in an ellipsis, and the box's title and description
// give it whole. The text itself, what the rules read, is never changed.
function FitBox(box) {
    box.classList.remove('fitted');
    box.removeAttribute('title');
    box.removeAttribute('aria-description');
    if (box.clientWidth === 0) {
        return; // not on screen: fitted when it comes on screen
    }
    const style = getComputedStyle(box);
    const inner = box.clientWidth - parseFloat(style.paddingLeft) - parseFloat(style.paddingRight);
    const Width = (pixels) => Measured(box.value, style, pixels);
    const own = parseFloat(style.fontSize);
    const pixels = LargestFitting(own, (size) => Width(size) <= inner);
    if (pixels < own) {
        box.style.setProperty('--fitted', `${pixels}px`);
        box.classList.add('fitted');
    }
    if (Width(pixels) > inner) {
        box.title = box.value;
        box.setAttribute('aria-description', box.value);
    }
}

const resized = new ResizeObserver((entries) => entries.forEach((entry) => FitBox(entry.target)));

// Fits the text of each box given now, and from now on whenever the box is
// resized (the layout changes between wide and narrow) and whenever the
// focus leaves it. The page calls it again after it sets a box's value.
export function FitBoxes(all) {
    for (const box of all) {
        if (!boxes.has(box)) {
            boxes.add(box);
            resized.observe(box);
            box.addEventListener('blur', () => {
                FitBox(box);
                // Scrolled to the caret while typed in, a box would keep
                // its first characters out of sight; the caret at the
                // start, an engine that scrolls to it again (Firefox, once
                // the size has changed) scrolls to the start.
                box.setSelectionRange(0, 0);
                box.scrollLeft = 0;
            });
        }
        FitBox(box);
    }
}

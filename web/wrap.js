// On a wide screen, the words of a label stand on the lines where the
// desktop window puts them: a line breaks at blanks or after an ideographic
// space, and inside a run of text only when that run alone is wider than the
// label; blanks at the end of a line take no room; CR LF, CR or LF start a
// new line. The text stays exactly as it is: each line is a span of it, the
// blanks that end it and the line breaks hidden.
import { Measured } from './fit-text.js';
import { wide } from './layout.js';

let font = null; // the computed style of the label being placed
const kTrailingBlanks = /[ \u3000]+$/u;
const labels = new Map(); // label -> its text

function Width(line) {
    return Measured(line.replace(kTrailingBlanks, ''), font, parseFloat(font.fontSize));
}

function WrapParagraph(paragraph, width, lines) {
    // Pieces that each end where a line may break: a run and its blanks.
    const pieces = paragraph.match(/[^ \u3000]*[ \u3000]*/gu).filter((piece) => piece !== '');
    let line = '';
    for (const piece of pieces) {
        let fits = false;
        if (line === '') {
            line = piece;
        } else if (Width(line + piece) <= width) {
            line += piece;
            fits = true;
        } else if (Width(piece) > width) {
            line += piece;
        } else {
            lines.push(line);
            line = piece;
            fits = true;
        }
        while (!fits && Width(line) > width) {
            let fit = 1;
            while (fit < line.length && Width(line.slice(0, fit + 1)) <= width) {
                fit += 1;
            }
            lines.push(line.slice(0, fit));
            line = line.slice(fit);
        }
    }
    lines.push(line);
}

// The paragraphs of a text, each with the line break that ends it.
function Paragraphs(text) {
    const paragraphs = [];
    let start = 0;
    for (let i = 0; i < text.length; i += 1) {
        if (text[i] === '\r' || text[i] === '\n') {
            const end = text[i] === '\r' && text[i + 1] === '\n' ? 2 : 1;
            paragraphs.push([text.slice(start, i), text.slice(i, i + end)]);
            i += end - 1;
            start = i + 1;
        }
    }
    paragraphs.push([text.slice(start), '']);
    return paragraphs;
}

function Span(text, className) {
    const span = document.createElement('span');
    span.className = className;
    span.textContent = text;
    return span;
}

function Place(label) {
    const text = labels.get(label);
    if (!wide.matches) {
        label.textContent = text;
        return;
    }
    const style = getComputedStyle(label);
    font = style;
    const width = label.clientWidth;
    if (width === 0) {
        label.textContent = text; // not on screen: placed when it is
        return;
    }
    const spans = [];
    for (const [paragraph, end] of Paragraphs(text)) {
        const lines = [];
        WrapParagraph(paragraph, width, lines);
        for (const line of lines) {
            const blanks = line.match(kTrailingBlanks)?.[0] ?? '';
            spans.push(Span(line.slice(0, line.length - blanks.length), 'wrapped-line'));
            if (blanks) {
                spans.push(Span(blanks, 'unseen'));
            }
        }
        if (end) {
            spans.push(Span(end, 'unseen'));
        }
    }
    label.replaceChildren(...spans);
}

// A label's lines are placed again whenever its size changes: when it
// comes on screen, and when the layout changes between wide and narrow.
const resized = new ResizeObserver((entries) => entries.forEach((entry) => Place(entry.target)));

// The label's text from now on, placed as the screen asks.
export function SetText(label, text) {
    if (!labels.has(label)) {
        resized.observe(label);
    }
    labels.set(label, text);
    Place(label);
}

// Places the lines of every label given, now and whenever the screen
// changes between wide and narrow.
export function PlaceLines(all) {
    for (const label of all) {
        SetText(label, label.textContent);
    }
}

wide.addEventListener('change', () => labels.forEach((_, label) => Place(label)));

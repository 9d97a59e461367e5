#include "wrap_label.h"

#include <QFontMetrics>
#include <QPainter>
#include <QStyle>

namespace soranika {

namespace {

bool IsBlank(QChar c) {
    return c == QChar(u' ') || c == QChar(u'\u3000');
}

QString WithoutTrailingBlanks(const QString& line) {
    qsizetype end = line.size();
    while (end > 0 && IsBlank(line[end - 1])) {
        --end;
    }
    return line.left(end);
}

// Splits a paragraph into pieces that each end where a line may break: a
// run of text followed by the blanks after it.
QStringList Pieces(const QString& paragraph) {
    QStringList pieces;
    QString piece;
    bool inBlanks = false;
    for (QChar c : paragraph) {
        if (inBlanks && !IsBlank(c)) {
            pieces.append(piece);
            piece.clear();
        }
        inBlanks = IsBlank(c);
        piece.append(c);
    }
    if (!piece.isEmpty()) {
        pieces.append(piece);
    }
    return pieces;
}

// Text and blanks that take room on a line: the blanks at its end take none.
int Width(const QFontMetrics& metrics, const QString& line) {
    return metrics.horizontalAdvance(WithoutTrailingBlanks(line));
}

void WrapParagraph(const QString& paragraph, const QFontMetrics& metrics, int width,
                   QStringList& lines) {
    QString line;
    for (const QString& piece : Pieces(paragraph)) {
        // A run that alone is wider than the label starts where the line
        // stands and breaks between its characters below. Each text is
        // measured once: the line is known to fit when it was just measured.
        bool fits = false;
        if (line.isEmpty()) {
            line = piece;
        } else if (Width(metrics, line + piece) <= width) {
            line += piece;
            fits = true;
        } else if (Width(metrics, piece) > width) {
            line += piece;
        } else {
            lines.append(WithoutTrailingBlanks(line));
            line = piece;
            fits = true;
        }
        while (!fits && Width(metrics, line) > width) {
            qsizetype fit = 1;
            while (fit < line.size() && Width(metrics, line.left(fit + 1)) <= width) {
                ++fit;
            }
            lines.append(WithoutTrailingBlanks(line.left(fit)));
            line = line.mid(fit);
        }
    }
    lines.append(WithoutTrailingBlanks(line));
}

} // namespace

WrapLabel::WrapLabel(const char* name, const QString& text, QRect geometry, QWidget* parent)
    : WrapLabel(text, parent) {
    setObjectName(QString::fromUtf8(name));
    setGeometry(geometry);
}

WrapLabel::WrapLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {
    setTextFormat(Qt::PlainText);
}

QStringList WrapLabel::WrapText(const QString& text, const QFontMetrics& metrics, int width) {
    QStringList lines;
    // Paragraphs end at CR LF, CR or LF. Split by hand: a regular expression
    // would load and compile PCRE2 for this one pattern at the first paint.
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'\r' || text[i] == u'\n') {
            WrapParagraph(text.sliced(start, i - start), metrics, width, lines);
            if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
                ++i;
            }
            start = i + 1;
        }
    }
    WrapParagraph(text.sliced(start), metrics, width, lines);
    return lines;
}

const QStringList& WrappedLines::Get(const QString& text, const QFontMetrics& metrics, int width) {
    if (!last_ || last_->width != width || last_->text != text || last_->metrics != metrics) {
        last_.emplace(Entry{text, metrics, width, WrapLabel::WrapText(text, metrics, width)});
    }
    return last_->lines;
}

QStringList WrapLabel::Lines() const {
    return wrapped_.Get(text(), fontMetrics(), contentsRect().width());
}

void WrapLabel::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    const QRect area = contentsRect();
    const QFontMetrics metrics = fontMetrics();
    const Qt::Alignment horizontal = alignment() & Qt::AlignHorizontal_Mask;
    int top = area.top();
    for (const QString& line : Lines()) {
        if (top >= area.bottom()) {
            break;
        }
        const QRect lineRect(area.left(), top, area.width(), metrics.height());
        style()->drawItemText(&painter, lineRect, int(horizontal | Qt::AlignTop), palette(),
                              isEnabled(), line, foregroundRole());
        top += metrics.height();
    }
}

} // namespace soranika

#include "wrap_button.h"

#include <QStyleOptionButton>
#include <QStylePainter>

namespace soranika {

namespace {
constexpr int kCaptionMargin = 4; // room kept free on each side of the caption
}

WrapButton::WrapButton(const QString& text, QWidget* parent) : QPushButton(text, parent) {
    // Enter presses the focused button, as on Windows, and the button shows
    // itself as the default while it has the focus.
    setAutoDefault(true);
    // The blanks that place the caption's words on their lines are not read.
    if (text.simplified() != text) {
        setAccessibleName(text.simplified());
    }
}

QStringList WrapButton::Lines() const {
    const int width = qMax(1, this->width() - 2 * kCaptionMargin);
    QString caption = text();
    caption.remove(QChar(u'&')); // access-key marks are not drawn
    return wrapped_.Get(caption, fontMetrics(), width);
}

void WrapButton::paintEvent(QPaintEvent* /*event*/) {
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.text.clear();
    painter.drawControl(QStyle::CE_PushButton, option);

    const QStringList captionLines = Lines();
    const int lineHeight = fontMetrics().height();
    int top = (height() - lineHeight * int(captionLines.size())) / 2;
    if (isDown()) {
        top += style()->pixelMetric(QStyle::PM_ButtonShiftVertical, &option, this);
    }
    for (const QString& line : captionLines) {
        const QRect lineRect(0, top, width(), lineHeight);
        style()->drawItemText(&painter, lineRect, Qt::AlignHCenter | Qt::AlignTop, palette(),
                              isEnabled(), line, QPalette::ButtonText);
        top += lineHeight;
    }
}

} // namespace soranika

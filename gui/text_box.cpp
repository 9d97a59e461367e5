#include "text_box.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionFrame>

namespace soranika {

TextBox::TextBox(QWidget* parent) : QLineEdit(parent) {}

TextBox::TextBox(const char* name, QRect geometry, QWidget* parent) : TextBox(parent) {
    setObjectName(QString::fromUtf8(name));
    setGeometry(geometry);
}

QRect TextBox::TextArea() const {
    QStyleOptionFrame frame;
    initStyleOption(&frame);
    // Inside the frame, one pixel from it on either side.
    constexpr int kMargin = 1;
    return style()
        ->subElementRect(QStyle::SE_LineEditContents, &frame, this)
        .marginsRemoved(textMargins())
        .adjusted(kMargin, 0, -kMargin, 0);
}

FittedText TextBox::Drawn() const {
    return FitText(text(), font(), TextArea().width());
}

bool TextBox::event(QEvent* event) {
    if (!hasFocus() && WholeTextTip(this, event, Drawn().elided, text())) {
        return true;
    }
    return QLineEdit::event(event);
}

void TextBox::paintEvent(QPaintEvent* event) {
    if (hasFocus()) {
        QLineEdit::paintEvent(event);
        return;
    }
    QPainter painter(this);
    QStyleOptionFrame frame;
    initStyleOption(&frame);
    style()->drawPrimitive(QStyle::PE_PanelLineEdit, &frame, &painter, this);
    const FittedText drawn = Drawn();
    // On the baseline where the box puts its own font's text, so that a
    // smaller size stays in line with it.
    const QRect area = TextArea();
    const QFontMetrics designed = fontMetrics();
    const int baseline =
        area.top() + (area.height() - designed.height() + 1) / 2 + designed.ascent();
    painter.setFont(drawn.font);
    painter.setPen(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::Text));
    painter.drawText(QPoint(area.left(), baseline), drawn.text);
}

} // namespace soranika

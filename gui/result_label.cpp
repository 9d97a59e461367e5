#include "result_label.h"

#include <QPainter>
#include <QStyle>

namespace soranika {

ResultLabel::ResultLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {
    setTextFormat(Qt::PlainText);
}

ResultLabel::Shown ResultLabel::Drawn() const {
    const QString content = text();
    const QFont designed = font();
    const int width = contentsRect().width();
    if (fit_ && fit_->width == width && fit_->text == content && fit_->font == designed) {
        return fit_->shown;
    }
    const Shown result = FitText(content, designed, width);
    fit_.emplace(Fit{content, designed, width, result});
    return result;
}

bool ResultLabel::event(QEvent* event) {
    return WholeTextTip(this, event, Drawn().elided, text()) || QLabel::event(event);
}

void ResultLabel::paintEvent(QPaintEvent* /*event*/) {
    const Shown s = Drawn();
    QPainter painter(this);
    painter.setFont(s.font);
    // A reduced amount keeps the baseline of the label's own font, in line
    // with its caption and its unit.
    const QRect area = contentsRect();
    const int baseline = area.top() + fontMetrics().ascent();
    const QFontMetrics metrics(s.font);
    const QRect line(area.left(), baseline - metrics.ascent(), area.width(), metrics.height());
    style()->drawItemText(&painter, line, int(Qt::AlignLeft | Qt::AlignTop), palette(), isEnabled(),
                          s.text, foregroundRole());
}

} // namespace soranika

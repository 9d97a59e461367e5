#include "result_label.h"

#include <QHelpEvent>
#include <QPainter>
#include <QStyle>
#include <QToolTip>

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
    Shown result{content, designed, false};
    const auto fits = [&](const QFont& f) {
        return QFontMetrics(f).horizontalAdvance(content) <= width;
    };
    if (!fits(designed)) {
        QFont smaller = designed;
        int pixels = QFontInfo(designed).pixelSize();
        do {
            smaller.setPixelSize(--pixels);
        } while (pixels > kSmallestPixels && !fits(smaller));
        result.font = smaller;
        if (!fits(smaller)) {
            result.text = QFontMetrics(smaller).elidedText(content, Qt::ElideRight, width);
            result.elided = true;
        }
    }
    fit_.emplace(Fit{content, designed, width, result});
    return result;
}

bool ResultLabel::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip && toolTip().isEmpty()) {
        const auto* help = static_cast<QHelpEvent*>(event);
        if (Drawn().elided) {
            QToolTip::showText(help->globalPos(), text(), this);
        } else {
            QToolTip::hideText();
        }
        return true;
    }
    return QLabel::event(event);
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

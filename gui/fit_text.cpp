#include "fit_text.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QHelpEvent>
#include <QToolTip>
#include <QWidget>

namespace soranika {

FittedText FitText(const QString& text, const QFont& font, int width) {
    FittedText fitted{text, font, false};
    const auto fits = [&](const QFont& f) {
        return QFontMetrics(f).horizontalAdvance(text) <= width;
    };
    if (fits(font)) {
        return fitted;
    }
    QFont smaller = font;
    int pixels = QFontInfo(font).pixelSize();
    do {
        smaller.setPixelSize(--pixels);
    } while (pixels > kSmallestTextPixels && !fits(smaller));
    fitted.font = smaller;
    if (!fits(smaller)) {
        fitted.text = QFontMetrics(smaller).elidedText(text, Qt::ElideRight, width);
        fitted.elided = true;
    }
    return fitted;
}

bool WholeTextTip(QWidget* widget, QEvent* event, bool elided, const QString& whole) {
    if (event->type() != QEvent::ToolTip || !widget->toolTip().isEmpty()) {
        return false;
    }
    if (elided) {
        QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), whole, widget);
    } else {
        QToolTip::hideText();
    }
    return true;
}

} // namespace soranika

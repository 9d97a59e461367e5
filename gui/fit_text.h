// One line of text in a fixed width, drawn whole wherever it can be: in its
// font when it fits; otherwise in the largest smaller size of the same font
// that fits, down to kSmallestTextPixels; only a text too wide even then is
// elided with "…". The result labels and the text boxes draw their text so.
#pragma once

#include <QFont>
#include <QString>

class QEvent;
class QWidget;

namespace soranika {

// 8 pixels at 96 dpi (6 pt), where the digits of a Japanese Gothic font
// still read apart. Reduced in whole pixels, so that the digits keep their
// hinted shapes.
inline constexpr int kSmallestTextPixels = 8;

struct FittedText {
    QString text;
    QFont font;
    bool elided = false;
};

FittedText FitText(const QString& text, const QFont& font, int width);

// For a widget's event(): a tooltip event over a widget that has no tooltip
// of its own shows the whole text while what is drawn is elided. True when
// the event was such a tooltip event.
bool WholeTextTip(QWidget* widget, QEvent* event, bool elided, const QString& whole);

} // namespace soranika

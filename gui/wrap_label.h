// A label that places the words of its text on lines the way the windows
// were designed: a line may break only at blanks and after an ideographic
// space (inside a run of text only when that run alone is wider than the
// label), blanks at the end of a line take no room, and CR/LF start a new
// line. The text itself stays exactly as set; only the drawing differs from
// QLabel's, which would break between any two Japanese characters.
#pragma once

#include <QFontMetrics>
#include <QLabel>
#include <QStringList>

#include <optional>

namespace soranika {

// The lines of the text last wrapped, kept until the text, the font or the
// width changes. A label is painted far more often than it changes: the
// result labels overlap their captions and units, so a new result repaints
// those too, and a button repaints on every hover, press and release.
class WrappedLines {
public:
    const QStringList& Get(const QString& text, const QFontMetrics& metrics, int width);

private:
    struct Entry {
        QString text;
        // Equal metrics share one font: the same family, size and screen
        // resolution.
        QFontMetrics metrics;
        int width;
        QStringList lines;
    };
    std::optional<Entry> last_;
};

class WrapLabel : public QLabel {
    Q_OBJECT

public:
    explicit WrapLabel(const QString& text, QWidget* parent = nullptr);
    // A designed label: its control name, text and place in the parent.
    WrapLabel(const char* name, const QString& text, QRect geometry, QWidget* parent);

    // The lines as drawn, each without the blanks that end it.
    QStringList Lines() const;

    static QStringList WrapText(const QString& text, const QFontMetrics& metrics, int width);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    mutable WrappedLines wrapped_;
};

} // namespace soranika

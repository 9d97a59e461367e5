// A label for an amount of pay. A number is one word: it is never broken
// over lines and never cut without a sign. It is drawn on one line in the
// label's font when it fits; otherwise in the largest smaller size of the
// same font that fits, down to kSmallestPixels; only a text too wide even
// then (the exponent forms of absurd amounts) is elided with "…", and its
// tooltip then gives the whole text.
#pragma once

#include "fit_text.h"

#include <QFont>
#include <QLabel>

#include <optional>

namespace soranika {

class ResultLabel : public QLabel {
    Q_OBJECT

public:
    // The smallest size a reduced amount is drawn in.
    static constexpr int kSmallestPixels = kSmallestTextPixels;

    explicit ResultLabel(const QString& text, QWidget* parent = nullptr);

    // The text and font as drawn.
    using Shown = FittedText;
    Shown Drawn() const;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    // Kept until the text, the font or the width changes.
    struct Fit {
        QString text;
        QFont font;
        int width;
        Shown shown;
    };
    mutable std::optional<Fit> fit_;
};

} // namespace soranika

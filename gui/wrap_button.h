// A push button whose caption wraps within the button like a label's
// (see WrapLabel), centred as a whole: the captions were written with
// ideographic spaces that push their second half onto a second line.
#pragma once

#include "wrap_label.h"

#include <QPushButton>

namespace soranika {

class WrapButton : public QPushButton {
    Q_OBJECT

public:
    explicit WrapButton(const QString& text, QWidget* parent = nullptr);

    // The caption's lines as drawn.
    QStringList Lines() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    mutable WrappedLines wrapped_;
};

} // namespace soranika

// A text box that, without the focus, shows its text from the first
// character and whole wherever it can: within inner margins of its frame and
// one pixel, in its font or a smaller size of it down to the smallest the
// result labels use (FitText), elided with "…" only beyond that, the whole
// text then in its tooltip. With the focus it is an ordinary line edit that
// scrolls to its cursor. The text itself is never changed.
#pragma once

#include "fit_text.h"

#include <QLineEdit>

namespace soranika {

class TextBox : public QLineEdit {
    Q_OBJECT

public:
    explicit TextBox(QWidget* parent = nullptr);
    // A designed box: its control name and place in the parent.
    TextBox(const char* name, QRect geometry, QWidget* parent);

    // What is drawn while the box does not have the focus, and where.
    FittedText Drawn() const;
    QRect TextArea() const;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
};

} // namespace soranika

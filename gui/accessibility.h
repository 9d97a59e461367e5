// What the windows tell screen readers beyond what the toolkit works out
// from the widgets themselves.
#pragma once

#include <QAccessible>

class QLineEdit;
class QWidget;

namespace soranika {

// Gives a widget the accessible role of what it stands for: the status
// line's role is a status bar's, the schedule window's a window's. Call it
// while setting the widget up. A label with such a role is named by
// its text with runs of blanks read as one.
void SetAccessibleRole(QWidget* widget, QAccessible::Role role);

// Has screen readers read a text out now, in the window of the given
// widget, without moving the focus and without changing what the window
// shows: the outcome of a calculation, which appears in lines the focus
// does not lead to. A text the same as the last one is read out again.
void Announce(QWidget* widget, const QString& text);

// Has screen readers name a text box when the focus enters it, empty or
// not, before they read what the box holds.
void NameOnFocus(QLineEdit* box);

} // namespace soranika

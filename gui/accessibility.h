// What the windows tell screen readers beyond what the toolkit works out
// from the widgets themselves.
#pragma once

#include <QAccessible>

class QWidget;

namespace soranika {

// Gives a widget the accessible role of what it stands for: the status
// line's role is a status bar's, the schedule window's a window's. Call it
// while setting the widget up. A label with such a role is named by
// its text with runs of blanks read as one.
void SetAccessibleRole(QWidget* widget, QAccessible::Role role);

// Tells screen readers that a line they do not follow with the focus
// has changed and should be read out.
void AnnounceChange(QWidget* widget);

} // namespace soranika

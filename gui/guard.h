// The one place where a runtime error raised by the pay rules becomes a
// message to the user. Every handler of every window runs through Guarded():
// the program never ends on such an error, and the window keeps what it
// showed, since the handlers change nothing before the rules have answered.
#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace soranika {

// The application title, the caption of every message box.
QString ApplicationTitle();

// The modal message box of the program: the text, one OK button, no icon,
// the application title as caption. Returns when OK is pressed.
void ShowMessage(QWidget* parent, const QString& text);

// Runs a handler; a RuntimeError (or any other exception) it raises is shown
// with ShowMessage and goes no further.
void Guarded(QWidget* parent, const std::function<void()>& handler);

// The message shown for a runtime error of the given kind.
QString RuntimeErrorText(const std::exception& error);

} // namespace soranika

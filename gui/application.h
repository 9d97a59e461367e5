// The application's start: fonts, the main window, and the end of the
// program when the main window closes.
#pragma once

class QApplication;
class QWidget;

namespace soranika {

// The windows' designed font as the application's font too, for what the
// windows do not lay out themselves (message boxes, tooltips).
void InstallApplicationFont(QApplication& app);

// The icon of every window, and the application id by which desktops match
// the running program to its desktop entry and icon.
void InstallDesktopIdentity(QApplication& app);

// Places a top-level window in the middle of its screen's available area;
// a window not shown yet, when it is shown, with the size it has then.
void CentreOnScreen(QWidget* window);

// The application's names, font and icon, and its end with the main window.
void SetUpApplication(QApplication& app);

// Sets up the application and shows the main window; returns when the
// program ends.
int RunApplication(QApplication& app);

} // namespace soranika

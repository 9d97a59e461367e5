// The application's start: fonts, the main window, and the end of the
// program when the main window closes.
#pragma once

class QApplication;
class QWidget;

namespace soranika {

// The 9-pt Japanese proportional Gothic font the windows were laid out for,
// as the application's font and as the stand-in for "ＭＳ Ｐゴシック".
void InstallApplicationFont(QApplication& app);

// The icon of every window, and the application id by which desktops match
// the running program to its desktop entry and icon.
void InstallDesktopIdentity(QApplication& app);

// Places a top-level window in the middle of its screen's available area;
// a window not shown yet, when it is shown, with the size it has then.
void CentreOnScreen(QWidget* window);

// Sets up the application and shows the main window; returns when the
// program ends.
int RunApplication(QApplication& app);

} // namespace soranika

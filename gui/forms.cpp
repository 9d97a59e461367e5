#include "forms.h"

#include "about_window.h"
#include "application.h"
#include "main_window.h"
#include "schedule_window.h"

#include <QPointer>

namespace soranika::Forms {

namespace {

QPointer<MainWindow> mainWindow;
QPointer<ScheduleWindow> scheduleWindow;
QPointer<AboutWindow> aboutWindow;

// A window the user closes is unloaded with it.
template <typename Window> Window* Load(QPointer<Window>& instance) {
    if (instance.isNull()) {
        instance = new Window;
        instance->setAttribute(Qt::WA_DeleteOnClose);
    }
    return instance;
}

void Unload(QWidget* window) {
    delete window;
}

// The schedule window's confirmation masks the main window, which is
// created for it when it is not loaded. Every load, shown or not, is centred
// at its first showing; a window hidden by its confirmation and shown again
// keeps its place.
ScheduleWindow* LoadScheduleWindow() {
    const bool loading = scheduleWindow.isNull();
    ScheduleWindow* window = Load(scheduleWindow);
    if (loading) {
        QObject::connect(window, &ScheduleWindow::DetailModeEntered,
                         [] { Main()->MaskForDetailMode(); });
        CentreOnScreen(window);
    }
    return window;
}

} // namespace

MainWindow* Main() {
    if (mainWindow.isNull()) {
        Load(mainWindow);
        // No window of the program outlives the main window.
        QObject::connect(mainWindow, &MainWindow::Closed, [] {
            UnloadSchedule();
            UnloadAbout();
        });
    }
    return mainWindow;
}

bool MainLoaded() {
    return !mainWindow.isNull();
}

ScheduleWindow* Schedule() {
    return scheduleWindow;
}

void ShowSchedule() {
    ScheduleWindow* window = LoadScheduleWindow();
    window->show();
    window->raise();
    window->activateWindow();
}

void LoadSchedule() {
    LoadScheduleWindow();
}

void UnloadSchedule() {
    Unload(scheduleWindow);
}

void ShowAbout() {
    if (aboutWindow.isNull()) {
        // Owned by the main window: a dialog of it, with no taskbar entry.
        aboutWindow = new AboutWindow(Main());
        aboutWindow->setAttribute(Qt::WA_DeleteOnClose);
    }
    aboutWindow->show();
    aboutWindow->raise();
    aboutWindow->activateWindow();
}

AboutWindow* About() {
    return aboutWindow;
}

void UnloadAbout() {
    Unload(aboutWindow);
}

void UnloadAll() {
    UnloadSchedule();
    UnloadAbout();
    Unload(mainWindow);
}

} // namespace soranika::Forms

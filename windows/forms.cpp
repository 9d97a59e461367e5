#include "forms.h"

#include "main_window.h"

#include <QPointer>

namespace soranika::Forms {

namespace {
QPointer<MainWindow> mainWindow;
}

MainWindow* Main() {
    if (mainWindow.isNull()) {
        mainWindow = new MainWindow;
        mainWindow->setAttribute(Qt::WA_DeleteOnClose);
    }
    return mainWindow;
}

bool MainLoaded() {
    return !mainWindow.isNull();
}

void ShowSchedule() {}
void LoadSchedule() {}
void UnloadSchedule() {}
void ShowAbout() {}

void UnloadAll() {
    delete mainWindow.data();
}

} // namespace soranika::Forms

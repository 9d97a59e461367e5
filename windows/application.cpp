#include "application.h"

#include "design_font.h"
#include "forms.h"
#include "main_window.h"

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QScreen>

namespace soranika {

void InstallApplicationFont(QApplication& app) {
    app.setFont(DesignFont());
}

void InstallDesktopIdentity(QApplication& app) {
    QGuiApplication::setDesktopFileName(QStringLiteral(SORANIKA_APP_ID));
    // Every size rendered from the application icon's SVG, as PNG.
    QIcon icon;
    const QDir renderings(QStringLiteral(":/icons"));
    for (const QString& name : renderings.entryList(QDir::Files)) {
        icon.addFile(renderings.filePath(name));
    }
    app.setWindowIcon(icon);
}

void CentreOnScreen(QWidget* window) {
    const QScreen* screen = window->screen();
    if (screen == nullptr) {
        return;
    }
    QRect frame = window->frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    window->move(frame.topLeft());
}

int RunApplication(QApplication& app) {
    // No display name: the toolkit would append it to the title of every
    // window but the main one, and the titles are the windows' captions.
    app.setApplicationName(QStringLiteral("soranika"));
    InstallApplicationFont(app);
    InstallDesktopIdentity(app);
    // The program ends with its main window, whatever else is still open
    // or hidden.
    app.setQuitOnLastWindowClosed(false);

    MainWindow* window = Forms::Main();
    QObject::connect(window, &MainWindow::closed, &app, &QApplication::quit);
    CentreOnScreen(window);
    window->show();
    return app.exec();
}

} // namespace soranika

#include "application.h"

#include "forms.h"
#include "main_window.h"

#include <QApplication>
#include <QDir>
#include <QFont>
#include <QIcon>
#include <QScreen>

namespace soranika {

void InstallApplicationFont(QApplication& app) {
#ifdef Q_OS_WIN
    const QString family = QStringLiteral("ＭＳ Ｐゴシック");
#else
    // IPA P Gothic has the metrics of MS P Gothic, which the padded texts
    // rely on to wrap as designed.
    const QString family = QStringLiteral("IPAPGothic");
    QFont::insertSubstitution(QStringLiteral("ＭＳ Ｐゴシック"), family);
    QFont::insertSubstitution(QStringLiteral("MS PGothic"), family);
#endif
    QFont font(family);
    font.setPointSizeF(9);
    font.setStyleHint(QFont::SansSerif);
    app.setFont(font);
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
    app.setApplicationName(QStringLiteral("soranika"));
    app.setApplicationDisplayName(QStringLiteral("ソラニカ"));
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

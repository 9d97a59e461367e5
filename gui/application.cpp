#include "application.h"

#include "design_font.h"
#include "forms.h"
#include "main_window.h"
#include "soranika_config.h"

#include <QApplication>
#include <QEvent>
#include <QIcon>
#include <QIconEngine>
#include <QScreen>

namespace soranika {

void InstallApplicationFont(QApplication& app) {
    app.setFont(DesignFont());
}

namespace {

// The application icon: every size rendered from its SVG, as PNG. Its sizes
// are known without reading a file; the renderings are read the first time
// a picture is asked for (by the window system when a window is created),
// not at start before the first paint, as a QIcon given the files would.
class RenderingsEngine : public QIconEngine {
public:
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return Renderings().pixmap(size, 1.0, mode, state);
    }
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state,
                         qreal scale) override {
        return Renderings().pixmap(size / scale, scale, mode, state);
    }
    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
               QIcon::State state) override {
        Renderings().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return Renderings().actualSize(size, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override {
        QList<QSize> sizes;
        if (mode == QIcon::Normal && state == QIcon::Off) {
            for (int size : {SORANIKA_ICON_SIZES}) {
                sizes.append(QSize(size, size));
            }
        }
        return sizes;
    }
    bool isNull() override { return false; }
    QString key() const override { return QStringLiteral("soranika-renderings"); }
    QIconEngine* clone() const override { return new RenderingsEngine(*this); }

private:
    const QIcon& Renderings() {
        if (renderings_.isNull()) {
            for (int size : {SORANIKA_ICON_SIZES}) {
                renderings_.addFile(QStringLiteral(":/icons/soranika-%1.png").arg(size),
                                    QSize(size, size));
            }
        }
        return renderings_;
    }

    QIcon renderings_;
};

} // namespace

void InstallDesktopIdentity(QApplication& app) {
    QGuiApplication::setDesktopFileName(QStringLiteral(SORANIKA_APP_ID));
    app.setWindowIcon(QIcon(new RenderingsEngine));
}

namespace {

void MoveToCentre(QWidget* window) {
    const QScreen* screen = window->screen();
    if (screen == nullptr) {
        return;
    }
    QRect frame = window->frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    window->move(frame.topLeft());
}

// Centres a window once, when it is shown: its size is final by then (a
// window that takes its size from its contents gets it at the first show),
// and it is not on the screen yet.
class CentreWhenShown : public QObject {
public:
    explicit CentreWhenShown(QWidget* window) : QObject(window) {
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show && watched == parent()) {
            MoveToCentre(static_cast<QWidget*>(watched));
            watched->removeEventFilter(this);
            deleteLater();
        }
        return false;
    }
};

} // namespace

void CentreOnScreen(QWidget* window) {
    if (window->isVisible()) {
        MoveToCentre(window);
    } else {
        new CentreWhenShown(window);
    }
}

void SetUpApplication(QApplication& app) {
    // No display name: the toolkit would append it to the title of every
    // window but the main one, and the titles are the windows' captions.
    app.setApplicationName(QStringLiteral("soranika"));
    InstallApplicationFont(app);
    InstallDesktopIdentity(app);
    // The program ends with its main window, whatever else is still open
    // or hidden.
    app.setQuitOnLastWindowClosed(false);
}

int RunApplication(QApplication& app) {
    SetUpApplication(app);
    MainWindow* window = Forms::Main();
    QObject::connect(window, &MainWindow::Closed, &app, &QApplication::quit);
    CentreOnScreen(window);
    window->show();
    return app.exec();
}

} // namespace soranika

// A Qt generic plugin that the start of the real program under Wine loads
// with `-plugin soranikaresults:FILE`, so that the program stays as shipped.
// It reads the main window from inside and keeps FILE up to date, one
// "key: value" line each:
//   platform   the Qt platform plugin in use
//   shown      the main window's title once it is visible on screen
//   focus      the name of the control with the keyboard focus
//   状態, 日, 週給料, 月給料   the status line and the three results
//   alerts     how many Alert events came from anything but a message box:
//              once a screen reader is connected, Qt plays a system sound
//              for each on Windows
// The start-on-Xvfb script types into the window with real key events and
// waits for the results to appear here.
#include <QAccessible>
#include <QApplication>
#include <QGenericPlugin>
#include <QLabel>
#include <QSaveFile>
#include <QTimer>

namespace {

int alerts = 0;

// Counts the Alerts, then hands the event on to the platform's bridge as if
// no handler were installed.
void CountAlerts(QAccessibleEvent* event) {
    if (event->type() == QAccessible::Alert &&
        (event->object() == nullptr || !event->object()->inherits("QMessageBox"))) {
        ++alerts;
    }
    QAccessible::installUpdateHandler(nullptr);
    QAccessible::updateAccessibility(event);
    QAccessible::installUpdateHandler(CountAlerts);
}

class ResultsWriter : public QObject {
public:
    explicit ResultsWriter(const QString& path) : path_(path) {
        timer_.setInterval(100);
        connect(&timer_, &QTimer::timeout, this, [this] { Write(); });
        timer_.start();
        QAccessible::installUpdateHandler(CountAlerts);
    }

private:
    void Write() {
        QString report = QStringLiteral("platform: ") + QGuiApplication::platformName() + u'\n' +
                         QStringLiteral("alerts: ") + QString::number(alerts) + u'\n';
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (window->objectName() != QStringLiteral("ソラニカ") || !window->isVisible()) {
                continue;
            }
            report += QStringLiteral("shown: ") + window->windowTitle() + u'\n';
            if (QWidget* focus = QApplication::focusWidget()) {
                report += QStringLiteral("focus: ") + focus->objectName() + u'\n';
            }
            for (const char* name : {"状態", "日", "週給料", "月給料"}) {
                if (auto* label = window->findChild<QLabel*>(QString::fromUtf8(name))) {
                    report += QString::fromUtf8(name) + QStringLiteral(": ") +
                              label->text().simplified() + u'\n';
                }
            }
        }
        if (report == written_) {
            return;
        }
        QSaveFile file(path_);
        if (file.open(QIODevice::WriteOnly) && file.write(report.toUtf8()) >= 0 && file.commit()) {
            written_ = report;
        }
    }

    QString path_;
    QString written_;
    QTimer timer_;
};

} // namespace

class ResultsProbe : public QGenericPlugin {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QGenericPluginFactoryInterface_iid FILE "results_probe.json")

public:
    QObject* create(const QString& key, const QString& options) override {
        if (key.compare(QStringLiteral("soranikaresults"), Qt::CaseInsensitive) != 0 ||
            options.isEmpty()) {
            return nullptr;
        }
        return new ResultsWriter(options);
    }
};

#include "results_probe.moc"

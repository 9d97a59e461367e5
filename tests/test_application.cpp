// The program as desktops and shells see it: the window icon at every
// rendered size, the main window in the middle of the screen, the desktop
// entry that the application's desktop file name points to, and the command
// line.
#include "application.h"
#include "command_line.h"
#include "guard.h"
#include "main_window.h"

#include <QApplication>
#include <QFile>
#include <QIcon>
#include <QImage>
#include <QMap>
#include <QMenuBar>
#include <QPixmap>
#include <QRegularExpression>
#include <QScreen>
#include <QTest>
#include <QWindow>

using namespace soranika;

namespace {

const int kIconSizes[] = {16, 24, 32, 48, 64};

// The icon as drawn at a size, and the rendering made for that size
// (packaging/icons), in one pixel format.
QImage IconAt(const QIcon& icon, int size) {
    return icon.pixmap(QSize(size, size), 1.0)
        .toImage()
        .convertToFormat(QImage::Format_ARGB32_Premultiplied);
}
QImage RenderingAt(int size) {
    return QImage(QStringLiteral(SORANIKA_ICON_DIR "/soranika-%1.png").arg(size))
        .convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

#ifdef SORANIKA_DESKTOP_ENTRY_DIR
// The keys of the [Desktop Entry] group, untranslated values only.
QMap<QString, QString> ReadDesktopEntry(const QString& path) {
    QMap<QString, QString> keys;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        return keys;
    }
    bool inEntry = false;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.startsWith(u'[')) {
            inEntry = line == QStringLiteral("[Desktop Entry]");
        } else if (inEntry && line.contains(u'=')) {
            const qsizetype equals = line.indexOf(u'=');
            keys.insert(line.left(equals).trimmed(), line.mid(equals + 1).trimmed());
        }
    }
    return keys;
}
#endif

} // namespace

class TestApplication : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { InstallDesktopIdentity(*qApp); }

    void windowIconAtEverySize_data() {
        QTest::addColumn<int>("size");
        for (int size : kIconSizes) {
            QTest::addRow("%dx%d", size, size) << size;
        }
    }

    void windowIconAtEverySize() {
        QFETCH(int, size);
        const QIcon icon = QApplication::windowIcon();
        QVERIFY(icon.availableSizes().contains(QSize(size, size)));
        // A rendering drawn at that size, not a scaled neighbour: the
        // corners outside the rounded tile are clear, the coin in the
        // middle is solid, and every pixel is the rendering's own.
        const QImage image = IconAt(icon, size);
        QCOMPARE(image.size(), QSize(size, size));
        QCOMPARE(image.pixelColor(0, 0).alpha(), 0);
        QCOMPARE(image.pixelColor(size / 2, size / 2).alpha(), 255);
        QCOMPARE(image, RenderingAt(size));
    }

    // The shown main window has the icon, each size its own rendering, and
    // sits in the middle of the screen with the size it takes when shown.
    void mainWindowShownCentredWithTheIcon() {
        MainWindow window;
        CentreOnScreen(&window);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QSize client = window.centralWidget()->size();
        QCOMPARE(window.size(), client + QSize(0, window.menuBar()->height()));
        const QPoint offset =
            window.frameGeometry().center() - window.screen()->availableGeometry().center();
        QVERIFY2(offset.manhattanLength() <= 2,
                 qPrintable(QStringLiteral("%1, %2").arg(offset.x()).arg(offset.y())));
        const QIcon icon = window.windowHandle()->icon();
        for (int size : kIconSizes) {
            QVERIFY2(IconAt(icon, size) == RenderingAt(size), qPrintable(QString::number(size)));
        }
    }

    void desktopEntryOfTheDesktopFileName() {
#ifdef SORANIKA_DESKTOP_ENTRY_DIR
        const QString id = QGuiApplication::desktopFileName();
        QVERIFY(!id.isEmpty());
        const QString path =
            QStringLiteral(SORANIKA_DESKTOP_ENTRY_DIR "/") + id + QStringLiteral(".desktop");
        const QMap<QString, QString> entry = ReadDesktopEntry(path);
        QVERIFY2(!entry.isEmpty(), qPrintable(path));
        QCOMPARE(entry.value("Name"), ApplicationTitle());
        QCOMPARE(entry.value("Icon"), id);
        QCOMPARE(entry.value("Exec"), QStringLiteral(SORANIKA_PROGRAM_NAME));
#else
        QSKIP("desktop entries are installed on Linux only");
#endif
    }

    // Status -1: the program goes on to open its window.
    void commandLine_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("toolkitDone");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("output");
        QTest::addColumn<QString>("error");
        const QString version = QStringLiteral("^soranika \\d+\\.\\d+\\.\\d+\n$");
        const QString usage = QStringLiteral("^Usage: .*-h, --help.*-v, --version.*\n$");
        const auto row = [](const char* name, QStringList arguments, bool toolkitDone, int status,
                            const QString& output, const QString& error) {
            arguments.prepend(QStringLiteral("soranika"));
            QTest::newRow(name) << arguments << toolkitDone << status << output << error;
        };
        row("nothing", {}, false, -1, "^$", "^$");
        row("--version", {"--version"}, false, 0, version, "^$");
        row("-v", {"-v"}, false, 0, version, "^$");
        row("--help", {"--help"}, false, 0, usage, "^$");
        row("-h after toolkit options", {"-platform", "xcb", "-h"}, false, 0, usage, "^$");
        row("toolkit options", {"-platform", "offscreen", "-reverse", "-style", "fusion"}, false,
            -1, "^$", "^$");
        row("unknown, toolkit still to read", {"--verison"}, false, -1, "^$", "^$");
        row("unknown, toolkit done", {"--verison"}, true, 1, "^$",
            "^soranika: [^\n]*'verison'[^\n]*\n$");
        row("nothing, toolkit done", {}, true, -1, "^$", "^$");
    }

    void commandLine() {
        QFETCH(QStringList, arguments);
        QFETCH(bool, toolkitDone);
        QFETCH(int, status);
        QFETCH(QString, output);
        QFETCH(QString, error);
        const CommandLineAnswer answer = ReadCommandLine(
            arguments, toolkitDone ? UnknownOptions::Reject : UnknownOptions::Ignore);
        QCOMPARE(answer.exit ? answer.status : -1, status);
        const auto matches = [](const QString& pattern, const QString& text) {
            return QRegularExpression(pattern, QRegularExpression::DotMatchesEverythingOption)
                .match(text)
                .hasMatch();
        };
        QVERIFY2(matches(output, answer.output), qPrintable(answer.output));
        QVERIFY2(matches(error, answer.error), qPrintable(answer.error));
    }
};

QTEST_MAIN(TestApplication)
#include "test_application.moc"

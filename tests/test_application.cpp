// The program as desktops see it: the window icon at every rendered size,
// and the desktop entry that the application's desktop file name points to.
#include "application.h"

#include <QApplication>
#include <QFile>
#include <QIcon>
#include <QImage>
#include <QMap>
#include <QPixmap>
#include <QTest>

using namespace soranika;

namespace {

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
        for (int size : {16, 24, 32, 48, 64}) {
            QTest::addRow("%dx%d", size, size) << size;
        }
    }

    void windowIconAtEverySize() {
        QFETCH(int, size);
        const QIcon icon = QApplication::windowIcon();
        QVERIFY(icon.availableSizes().contains(QSize(size, size)));
        // A rendering drawn at that size, not a scaled neighbour: the
        // corners outside the rounded tile are clear, the coin in the
        // middle is solid.
        const QImage image = icon.pixmap(QSize(size, size), 1.0).toImage();
        QCOMPARE(image.size(), QSize(size, size));
        QCOMPARE(image.pixelColor(0, 0).alpha(), 0);
        QCOMPARE(image.pixelColor(size / 2, size / 2).alpha(), 255);
    }

    void desktopEntryOfTheDesktopFileName() {
#ifdef SORANIKA_DESKTOP_ENTRY_DIR
        const QString id = QGuiApplication::desktopFileName();
        QVERIFY(!id.isEmpty());
        const QString path =
            QStringLiteral(SORANIKA_DESKTOP_ENTRY_DIR "/") + id + QStringLiteral(".desktop");
        const QMap<QString, QString> entry = ReadDesktopEntry(path);
        QVERIFY2(!entry.isEmpty(), qPrintable(path));
        QCOMPARE(entry.value("Name"), QStringLiteral("ソラニカ"));
        QCOMPARE(entry.value("Icon"), id);
        QCOMPARE(entry.value("Exec"), QStringLiteral(SORANIKA_PROGRAM_NAME));
#else
        QSKIP("desktop entries are installed on Linux only");
#endif
    }
};

QTEST_MAIN(TestApplication)
#include "test_application.moc"

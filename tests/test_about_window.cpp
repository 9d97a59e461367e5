// The About window: its texts and layout, its one instance, and the
// system-information button over a registry, file test and launch of the
// test's own.
#include "about_window.h"
#include "application.h"
#include "fake_system.h"
#include "forms.h"
#include "guard.h"
#include "gui_helpers.h"
#include "main_window.h"
#include "soranika_config.h"
#include "sysinfo.h"
#include "twips.h"

#include <QAction>
#include <QPointer>
#include <QPushButton>

#include <cstring>
#include <map>

using namespace soranika;
using namespace testing;

// The version line as the build declares it; `texts` pins the designed text.
QString ConfiguredVersion() {
    return QStringLiteral("ﾊﾞｰｼﾞｮﾝ ") + QStringLiteral(SORANIKA_VERSION);
}

class TestAboutWindow : public QObject {
    Q_OBJECT

    MainWindow* main = nullptr;
    FakeRegistry registry;
    FakeFileTest files;
    FakeLauncher launcher;

    AboutWindow* OpenAbout() {
        main->findChild<QAction*>("mnuVersion")->trigger();
        AboutWindow* about = Forms::About();
        if (about != nullptr) {
            [[maybe_unused]] const bool exposed = QTest::qWaitForWindowExposed(about);
        }
        return about;
    }

private Q_SLOTS:
    void initTestCase() { InstallApplicationFont(*qApp); }
    void init() {
        registry = FakeRegistry();
        files = FakeFileTest();
        launcher = FakeLauncher();
        AboutWindow::UseSystem(&registry, &files, &launcher);
        main = Forms::Main();
        main->show();
        QVERIFY(QTest::qWaitForWindowExposed(main));
    }
    void cleanup() {
        Forms::UnloadAll();
        AboutWindow::UseSystem(nullptr, nullptr, nullptr);
    }

    void notLoadedAtStart() { QVERIFY(Forms::About() == nullptr); }

    void texts() {
        AboutWindow* about = OpenAbout();
        QVERIFY(about != nullptr);
        QCOMPARE(about->objectName(), QStringLiteral("frmAbout"));
        QCOMPARE(about->windowTitle(), QStringLiteral("ソラニカのﾊﾞｰｼﾞｮﾝ情報"));
        QCOMPARE(Caption(about, "lblTitle"), ApplicationTitle());
        QCOMPARE(Caption(about, "lblVersion"), QStringLiteral("ﾊﾞｰｼﾞｮﾝ 1.2.2"));
        QCOMPARE(Caption(about, "lblDescription"),
                 QStringLiteral("本ソフトを使用することで発生した") + QString(22, QChar(u' ')) +
                     "いかなる損害についても、\r\nソフト制作者は一切責任を負いません。");
        const QString disclaimer = Caption(about, "lblDisclaimer");
        QVERIFY(disclaimer.startsWith("バグ報告などは、" + AboutWindow::ContactAddress() +
                                      "までお願いいたします。\r\n"));
        QVERIFY(AboutWindow::ContactAddress().contains(u'@'));
        QVERIFY(disclaimer.endsWith("かを" + QString(8, QChar(u' ')) +
                                    "添えていただくとうれしいです。\r\n\r\n"));
        QCOMPARE(Child<QPushButton>(about, "cmdOK")->text(), QStringLiteral("OK"));
        QCOMPARE(Child<QPushButton>(about, "cmdSysInfo")->text(),
                 QStringLiteral("ｼｽﾃﾑ情報(&S)..."));
        QVERIFY(Child<QLabel>(about, "lblVersion")->alignment() & Qt::AlignRight);
    }

    void layout_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("twips");
        QTest::addColumn<qreal>("points");
        QTest::addColumn<bool>("bold");
        // clang-format off
        QTest::newRow("lblTitle") << "lblTitle" << QRect(1065, 210, 4425, 480) << 18.0 << true;
        QTest::newRow("lblVersion") << "lblVersion" << QRect(1050, 780, 3885, 225) << 11.25 << true;
        QTest::newRow("lblDescription") << "lblDescription" << QRect(1050, 1125, 3885, 1170) << 9.0 << false;
        QTest::newRow("lblDisclaimer") << "lblDisclaimer" << QRect(255, 2625, 3870, 825) << 9.0 << false;
        QTest::newRow("cmdOK") << "cmdOK" << QRect(4245, 2625, 1380, 345) << 9.0 << false;
        QTest::newRow("cmdSysInfo") << "cmdSysInfo" << QRect(4260, 3075, 1380, 345) << 9.0 << false;
        // clang-format on
    }
    void layout() {
        QFETCH(QString, name);
        QFETCH(QRect, twips);
        QFETCH(qreal, points);
        QFETCH(bool, bold);
        QWidget* control = Child(OpenAbout(), name);
        QCOMPARE(control->geometry(),
                 TwipsRect(twips.x(), twips.y(), twips.width(), twips.height()));
        QCOMPARE(QFontInfo(control->font()).family(), DesignedFamily());
        QCOMPARE(LayoutMetrics(control->font()), LayoutMetrics(IpaPGothic(control->font())));
        QCOMPARE(control->font().pointSizeF(), points);
        QCOMPARE(control->font().bold(), bold);
    }

    void frame() {
        AboutWindow* about = OpenAbout();
        QCOMPARE(about->size(), TwipsSize(5730, 3555));
        QCOMPARE(about->minimumSize(), about->maximumSize()); // fixed
        QCOMPARE(about->geometry().topLeft() - about->screen()->geometry().topLeft(),
                 TwipsPoint(2340, 1935));
        QVERIFY(!(about->windowFlags() & Qt::WindowMinimizeButtonHint));
        QVERIFY(!(about->windowFlags() & Qt::WindowMaximizeButtonHint));
        QVERIFY(!about->isModal());
        QVERIFY(main->isEnabled());
        // The etched separator: grey above white.
        QList<QWidget*> lines;
        for (QWidget* w : about->findChildren<QWidget*>("Line1")) {
            lines.append(w);
        }
        QCOMPARE(lines.size(), 2);
        std::sort(lines.begin(), lines.end(),
                  [](QWidget* a, QWidget* b) { return a->y() < b->y(); });
        QCOMPARE(lines[0]->property("index").toInt(), 1);
        QCOMPARE(lines[1]->property("index").toInt(), 0);
        QCOMPARE(lines[0]->grab().toImage().pixelColor(5, 0), QColor(0x80, 0x80, 0x80));
        QCOMPARE(lines[1]->grab().toImage().pixelColor(5, 1), QColor(Qt::white));
    }

    // The About window's black texts keep their light face under a dark
    // palette; the main window's texts follow the palette.
    void readableOnDarkPalette_data() {
        QTest::addColumn<bool>("about");
        QTest::addColumn<QString>("name");
        for (const char* name : {"lblTitle", "lblVersion", "lblDescription", "lblDisclaimer"}) {
            QTest::newRow(name) << true << QString::fromUtf8(name);
        }
        for (const char* name : {"Label1", "状態", "日"}) {
            QTest::newRow(name) << false << QString::fromUtf8(name);
        }
    }
    void readableOnDarkPalette() {
        QFETCH(bool, about);
        QFETCH(QString, name);
        QWidget* window = about ? static_cast<QWidget*>(OpenAbout()) : main;
        const QPalette before = QApplication::palette();
        ApplyTheme(DarkPalette(), QApplication::font());
        QWidget* control = Child(window, name);
        const double contrast = TextContrast(window, control);
        // The designed black text, on the light face it was designed for.
        const bool black = control->palette().color(QPalette::WindowText) == Qt::black;
        ApplyTheme(before, QApplication::font());
        QVERIFY2(contrast >= 4.5, qPrintable(QString::number(contrast)));
        QCOMPARE(black, about);
    }

    void tabOrderAndDefaultButton() {
        AboutWindow* about = OpenAbout();
        QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("cmdOK"));
        QVERIFY(Child<QPushButton>(about, "cmdOK")->isDefault());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("cmdSysInfo"));
    }

    // The keys as Windows has them: Enter presses the focused button, OK
    // while the focus is elsewhere; Esc always closes. Each case starts
    // with the focus on OK and tabs away from it first.
    void keyboardPressesButton_data() {
        QTest::addColumn<int>("tabs");
        QTest::addColumn<Qt::Key>("key"); // Qt::Key_unknown: a click of OK
        QTest::addColumn<bool>("closes"); // or starts the system information
        // clang-format off
        QTest::newRow("click OK") << 0 << Qt::Key_unknown << true;
        QTest::newRow("Enter") << 0 << Qt::Key_Return << true;
        QTest::newRow("Esc") << 0 << Qt::Key_Escape << true;
        QTest::newRow("Return on ｼｽﾃﾑ情報") << 1 << Qt::Key_Return << false;
        QTest::newRow("keypad Enter on ｼｽﾃﾑ情報") << 1 << Qt::Key_Enter << false;
        QTest::newRow("Esc on ｼｽﾃﾑ情報") << 1 << Qt::Key_Escape << true;
        QTest::newRow("Enter after tabbing back to OK") << 2 << Qt::Key_Return << true;
        // clang-format on
    }
    void keyboardPressesButton() {
        QFETCH(int, tabs);
        QFETCH(Qt::Key, key);
        QFETCH(bool, closes);
        QPointer<AboutWindow> about = OpenAbout();
        for (int i = 0; i < tabs; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        const auto messages = Answering([&] {
            if (key == Qt::Key_unknown) {
                Click(about, "cmdOK");
            } else {
                QTest::keyClick(QApplication::focusWidget(), key,
                                key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
            }
        });
        if (!closes) {
            // No tool registered: pressing ｼｽﾃﾑ情報 says so.
            QCOMPARE(messages.size(), 1);
            QCOMPARE(messages[0].text, QStringLiteral("現時点ではｼｽﾃﾑ情報を使用できません"));
            QVERIFY(about->isVisible());
            return;
        }
        QVERIFY(messages.isEmpty());
        QTRY_VERIFY(about.isNull());
        QVERIFY(Forms::About() == nullptr);
        // The next showing builds a fresh window with the same texts.
        AboutWindow* fresh = OpenAbout();
        QVERIFY(fresh != nullptr);
        QCOMPARE(Caption(fresh, "lblVersion"), ConfiguredVersion());
    }

    void showAgainKeepsInstance() {
        AboutWindow* about = OpenAbout();
        QCOMPARE(OpenAbout(), about);
    }

    void sysInfo_data() {
        QTest::addColumn<QString>("firstValue");  // MSINFO PATH, empty: none
        QTest::addColumn<QString>("secondValue"); // the tool's folder, empty: none
        QTest::addColumn<QString>("fileThere");
        QTest::addColumn<bool>("launchSucceeds");
        QTest::addColumn<QString>("launched"); // empty: nothing launched
        QTest::addColumn<bool>("message");
        const QString tool = "C:\\Program Files\\Common Files\\Microsoft Shared\\MSInfo";
        // clang-format off
        QTest::newRow("first value launched as it stands") << tool + "\\msinfo32.exe" << "" << "" << true << tool + "\\msinfo32.exe" << false;
        QTest::newRow("first value, launch fails") << tool + "\\msinfo32.exe" << "" << "" << false << tool + "\\msinfo32.exe" << true;
        QTest::newRow("second value with the file") << "" << tool << tool + "\\MSINFO32.EXE" << true << tool + "\\MSINFO32.EXE" << false;
        QTest::newRow("second value without the file") << "" << tool << "" << true << "" << true;
        QTest::newRow("neither") << "" << "" << "" << true << "" << true;
        // clang-format on
    }
    void sysInfo() {
        QFETCH(QString, firstValue);
        QFETCH(QString, secondValue);
        QFETCH(QString, fileThere);
        QFETCH(bool, launchSucceeds);
        QFETCH(QString, launched);
        QFETCH(bool, message);
        if (!firstValue.isEmpty()) {
            registry.keys[kMsinfoKey].values[kMsinfoPathValue] = {
                kRegSz, Text(firstValue.toStdU16String())};
        }
        if (!secondValue.isEmpty()) {
            registry.keys[kLocationKey].values[kLocationValue] = {
                kRegSz, Text(secondValue.toStdU16String())};
        }
        if (!fileThere.isEmpty()) {
            files.files.insert(fileThere.toStdU16String());
        }
        if (launchSucceeds && !launched.isEmpty()) {
            launcher.programs.insert(launched.toStdU16String());
        }

        AboutWindow* about = OpenAbout();
        const auto messages = Answering([&] { Click(about, "cmdSysInfo"); });
        QCOMPARE(Strings(launcher.launched),
                 launched.isEmpty() ? QStringList() : QStringList{launched});
        QCOMPARE(messages.size(), message ? 1 : 0);
        if (message) {
            QCOMPARE(messages[0].text, QStringLiteral("現時点ではｼｽﾃﾑ情報を使用できません"));
            QCOMPARE(messages[0].title, ApplicationTitle());
        }
        QVERIFY(about->isVisible()); // stays open and unchanged
        QCOMPARE(Caption(about, "lblVersion"), ConfiguredVersion());
        QVERIFY(!registry.masks.empty());
        for (const std::uint32_t mask : registry.masks) {
            QCOMPARE(mask & ~kKeyQueryValue, 0u); // read only
        }
    }

    void closingMainWindowClosesAbout() {
        QPointer<AboutWindow> about = OpenAbout();
        main->findChild<QAction*>("mnuEnd")->trigger();
        QTRY_VERIFY(!Forms::MainLoaded());
        QVERIFY(about.isNull());
    }
};

QTEST_MAIN(TestAboutWindow)
#include "test_about_window.moc"

// The main window on a real X server with the accessibility bus, as a
// desktop has it (tests/with_atspi.sh runs it there, with a window manager):
// what a screen reader is told and the window titles a window manager shows.
#include "about_window.h"
#include "application.h"
#include "forms.h"
#include "guard.h"
#include "gui_helpers.h"
#include "main_window.h"
#include "schedule_window.h"
#include "wage.h"

#include <QProcess>

using namespace soranika;
using namespace testing;

class TestMainWindowX11 : public QObject {
    Q_OBJECT

    MainWindow* window = nullptr;

private Q_SLOTS:
    void initTestCase() { QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb")); }
    void init() {
        window = StartProgram();
        QVERIFY(QTest::qWaitForWindowExposed(window));
    }
    void cleanup() { Forms::UnloadAll(); }

    // What a screen reader is told after 計算, besides what Orca is heard
    // to speak (tests/orca/): the names that the status line and the
    // results keep for reading them again, one announcement by a
    // notification that nothing else in the window takes, and the focus
    // left on 計算; a message changes nothing.
    void screenReaderHearsOutcome_data() {
        QTest::addColumn<QString>("days");
        QTest::addColumn<QList<AccessibleEvent>>("expected");
        const auto status = [](const QString& name) {
            return AccessibleEvent{QAccessible::NameChanged, "状態", QAccessible::StatusBar, name};
        };
        const auto result = [](const char* control, const char* name) {
            return AccessibleEvent{QAccessible::NameChanged, QString::fromUtf8(control),
                                   QAccessible::StaticText, QString::fromUtf8(name)};
        };
        const auto announced = [](const QString& text) {
            return QList<AccessibleEvent>{
                {QAccessible::NameChanged, "", QAccessible::Notification, text},
                {QAccessible::ObjectShow, "", QAccessible::Notification, text}};
        };
        const QString resultStatus = Q(texts::kResultStatus).simplified();
        QTest::newRow("result")
            << "5"
            << QList<AccessibleEvent>{status(resultStatus), result("日", "１日 5600 円"),
                                      result("週給料", "１週間 28000 円"),
                                      result("月給料", "１ヶ月 112000 円")} +
                   announced(resultStatus + " １日 5600 円、１週間 28000 円、１ヶ月 112000 円");
        const QString caution = Q(texts::kCaution).simplified();
        QTest::newRow("caution") << "6"
                                 << QList<AccessibleEvent>{status(caution)} + announced(caution);
        QTest::newRow("message") << "" << QList<AccessibleEvent>{};
    }
    void screenReaderHearsOutcome() {
        QFETCH(QString, days);
        QFETCH(QList<AccessibleEvent>, expected);
        QVERIFY(AccessibilityActive());
        for (const auto& [box, text] :
             {std::pair{"時給", "700"}, std::pair{"開始時間", "9"}, std::pair{"終了時間", "17"}}) {
            Type(window, box, text);
        }
        Type(window, "週", days);
        QWidget* calculate = Child(window, "計算");
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window));
        calculate->setFocus();
        // Twice: the second time nothing changes its name, and the same
        // text is announced again.
        for (int time = 0; time < 2; ++time) {
            QList<AccessibleEvent> heard;
            Answering([&] {
                heard = AccessibleEvents([&] { QTest::keyClick(calculate, Qt::Key_Space); });
            });
            // What the outcome changed, without the button's and the message
            // box's own events.
            heard.removeIf([](const AccessibleEvent& e) {
                return e.role != QAccessible::Notification &&
                       !QStringList{"状態", "日", "週給料", "月給料"}.contains(e.control);
            });
            // The second time, the notification is hidden and shown again
            // with the same text, whatever else tells of no change.
            if (time == 1 && !expected.isEmpty()) {
                heard.removeIf(
                    [](const AccessibleEvent& e) { return e.role != QAccessible::Notification; });
                expected.removeIf(
                    [](const AccessibleEvent& e) { return e.role != QAccessible::Notification; });
                expected.prepend({QAccessible::ObjectHide, "", QAccessible::Notification,
                                  expected.first().name});
            }
            QCOMPARE(heard, expected);
            // With a window manager the focus comes back from the message
            // box when the main window is active again, a moment later.
            QTRY_COMPARE(QApplication::focusWidget(), calculate);
        }
    }

    // The titles a window manager shows, as the X server holds them: the
    // captions, with nothing appended.
    void windowTitlesOnX11() {
        SetUpApplication(*qApp);
        Forms::ShowSchedule();
        Forms::ShowAbout();
        for (const auto& [shown, title] :
             {std::pair<QWidget*, QString>{window, ApplicationTitle()},
              std::pair<QWidget*, QString>{Forms::Schedule(), "勤務時間\u3000詳細設定"},
              std::pair<QWidget*, QString>{Forms::About(), ApplicationTitle() + "のﾊﾞｰｼﾞｮﾝ情報"}}) {
            QVERIFY(QTest::qWaitForWindowExposed(shown));
            QProcess xprop;
            xprop.start(QStringLiteral("xprop"), QStringList{"-id", QString::number(shown->winId()),
                                                             "-notype", "_NET_WM_NAME"});
            QVERIFY(xprop.waitForFinished());
            QCOMPARE(QString::fromUtf8(xprop.readAllStandardOutput()).trimmed(),
                     "_NET_WM_NAME = \"" + title + '"');
        }
    }
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    app.setAttribute(Qt::AA_Use96Dpi, true);
    QTEST_SET_MAIN_SOURCE_PATH
    TestMainWindowX11 test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_main_window_x11.moc"

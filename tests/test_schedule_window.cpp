// The weekly schedule window with the main window: confirming, masking,
// reopening, closing, clearing and detail-mode calculation.
#include "forms.h"
#include "guard.h"
#include "gui_helpers.h"
#include "main_window.h"
#include "module1.h"
#include "schedule_window.h"
#include "twips.h"
#include "wage.h"
#include "wrap_label.h"

#include <QAction>
#include <QPointer>
#include <QPushButton>

using namespace soranika;
using namespace testing;

namespace {

const QString kSwitchMessage = QStringLiteral(
    "勤務時間等が空白になりましたが、正常に計算できますのでそのまま[計算]ボタンをクリックしてく"
    "ださい。");
const QStringList kDayFields = {"日_bigin", "日_end",   "月_bigin", "月_end",   "火_bigin",
                                "火_end",   "水_bigin", "水_end",   "木_bigin", "木_end",
                                "金_bigin", "金_end",   "土_bigin", "土_end"};
const QStringList kHourGroup = {"週",     "終了時間", "開始時間", "Label3",
                                "Label6", "Label7",   "Label4",   "Label5"};

} // namespace

class TestScheduleWindow : public QObject {
    Q_OBJECT

    MainWindow* main = nullptr;

    ScheduleWindow* OpenSchedule() {
        Click(main, "詳細設定start");
        ScheduleWindow* schedule = Forms::Schedule();
        if (schedule != nullptr) {
            [[maybe_unused]] const bool exposed = QTest::qWaitForWindowExposed(schedule);
        }
        return schedule;
    }
    // Presses 入力完了 and answers the messages; records whether the
    // schedule window was still on screen while each showed.
    QList<Message> Confirm(ScheduleWindow* schedule, QList<bool>* visibleWhileShown = nullptr) {
        return Answering([&] { Click(schedule, "input_end"); },
                         [&](Message&) {
                             if (visibleWhileShown) {
                                 visibleWhileShown->append(schedule->isVisible());
                             }
                         });
    }
    void ExpectMasked(bool masked) {
        for (const QString& name : kHourGroup) {
            QCOMPARE(Child(main, name)->isEnabled(), !masked);
        }
        QVERIFY(Child(main, "時給")->isEnabled());
    }

private Q_SLOTS:
    void init() {
        main = StartProgram();
        QVERIFY(QTest::qWaitForWindowExposed(main));
    }
    void cleanup() { Forms::UnloadAll(); }

    void notLoadedAtStart() { QVERIFY(Forms::Schedule() == nullptr); }

    void designTimeState() {
        ScheduleWindow* schedule = OpenSchedule();
        QVERIFY(schedule != nullptr);
        QCOMPARE(schedule->objectName(), QStringLiteral("詳細設定"));
        QCOMPARE(schedule->windowTitle(), QStringLiteral("勤務時間\u3000詳細設定"));
        // A screen reader meets it as a window named by its title.
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(schedule);
        QCOMPARE(accessible->role(), QAccessible::Window);
        QCOMPARE(accessible->text(QAccessible::Name), schedule->windowTitle());
        QCOMPARE(schedule->size(), TwipsSize(4680, 3090));
        QVERIFY(!(schedule->windowFlags() & Qt::WindowMinimizeButtonHint));
        QVERIFY(!(schedule->windowFlags() & Qt::WindowMaximizeButtonHint));
        QVERIFY(schedule->parentWidget() == nullptr);
        QVERIFY(!schedule->isModal());
        const QString caution = Caption(schedule, "Label22");
        QCOMPARE(caution.size(), 90);
        QCOMPARE(caution, ScheduleWindow::CautionText());
        QVERIFY(caution.endsWith(QString(56, QChar(u' ')) + "（労働基準法第35条)"));
        const auto lines = Child<WrapLabel>(schedule, "Label22")->Lines();
        QCOMPARE(lines.size(), 2);
        QCOMPARE(lines[1], QStringLiteral("（労働基準法第35条)"));
        QCOMPARE(ScheduleWindow::DayFieldNames(), kDayFields);
        for (const QString& field : kDayFields) {
            QVERIFY(Text(schedule, field).isEmpty());
        }
        QCOMPARE(Child<QAbstractButton>(schedule, "input_end")->text(), QStringLiteral("入力完了"));
    }

    void layout_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QRect>("twips");
        const auto row = [](const char* name, const char* text, int l, int t, int w, int h) {
            QTest::newRow(name) << QString::fromUtf8(name) << QString::fromUtf8(text)
                                << QRect(l, t, w, h);
        };
        row("Label22", nullptr, 195, 45, 4365, 495);
        row("input_end", nullptr, 3585, 2580, 990, 420);
        row("Label1", "日曜日", 765, 585, 675, 195);
        row("日_bigin", "", 1500, 555, 420, 270);
        row("Label4", "時から", 1965, 585, 570, 195);
        row("日_end", "", 2490, 555, 420, 270);
        row("Label5", "時まで", 2940, 600, 570, 240);
        row("Label2", "月曜日", 765, 915, 675, 195);
        row("月_bigin", "", 1500, 870, 420, 270);
        row("Label6", "時から", 1965, 915, 570, 195);
        row("月_end", "", 2490, 885, 420, 270);
        row("Label3", "時まで", 2940, 930, 570, 240);
        row("Label7", "火曜日", 765, 1245, 675, 195);
        row("火_bigin", "", 1500, 1200, 420, 270);
        row("Label9", "時から", 1965, 1245, 570, 195);
        row("火_end", "", 2490, 1200, 420, 270);
        row("Label8", "時まで", 2940, 1260, 570, 240);
        row("Label10", "水曜日", 765, 1560, 675, 195);
        row("水_bigin", "", 1500, 1515, 420, 270);
        row("Label14", "時から", 1965, 1560, 570, 195);
        row("水_end", "", 2490, 1515, 420, 270);
        row("Label13", "時まで", 2940, 1575, 570, 240);
        row("Label11", "木曜日", 765, 1890, 675, 195);
        row("木_bigin", "", 1500, 1845, 420, 270);
        row("Label16", "時から", 1965, 1890, 570, 195);
        row("木_end", "", 2490, 1830, 420, 270);
        row("Label15", "時まで", 2940, 1890, 570, 240);
        row("Label12", "金曜日", 765, 2235, 675, 195);
        row("金_bigin", "", 1500, 2175, 420, 270);
        row("Label18", "時から", 1965, 2220, 570, 195);
        row("金_end", "", 2490, 2175, 420, 270);
        row("Label17", "時まで", 2940, 2235, 570, 240);
        row("Label19", "土曜日", 765, 2550, 675, 195);
        row("土_bigin", "", 1500, 2505, 420, 270);
        row("Label21", "時から", 1965, 2550, 570, 195);
        row("土_end", "", 2490, 2505, 420, 270);
        row("Label20", "時まで", 2940, 2565, 570, 240);
    }
    void layout() {
        QFETCH(QString, name);
        QFETCH(QString, text);
        QFETCH(QRect, twips);
        ScheduleWindow* schedule = OpenSchedule();
        QWidget* control = Child(schedule, name);
        QCOMPARE(control->geometry(),
                 TwipsRect(twips.x(), twips.y(), twips.width(), twips.height()));
        if (auto* label = qobject_cast<QLabel*>(control); label && !text.isNull()) {
            QCOMPARE(label->text(), text);
        }
    }

    void tabOrder() {
        ScheduleWindow* schedule = OpenSchedule();
        Child(schedule, kDayFields[0])->setFocus();
        QStringList expected = kDayFields;
        expected << "input_end" << kDayFields[0];
        for (qsizetype i = 1; i < expected.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget()->objectName(), expected[i]);
        }
    }

    void confirmWithoutEdits() {
        Type(main, "週", "5");
        Module1::WeeklyHours = 9;
        ScheduleWindow* schedule = OpenSchedule();
        QVERIFY(Confirm(schedule).isEmpty());
        QVERIFY(!schedule->isVisible());
        QVERIFY(Forms::Schedule() == schedule); // hidden, not unloaded
        QCOMPARE(Module1::DetailMode, std::int16_t(0));
        QCOMPARE(Module1::WeeklyHours, std::int16_t(0));
        QCOMPARE(Text(main, "週"), QStringLiteral("5"));
        ExpectMasked(false);
    }

    void editThenConfirmSwitchesMainWindow() {
        Type(main, "時給", "700");
        ScheduleWindow* schedule = OpenSchedule();
        Type(schedule, "日_bigin", "9");
        Type(schedule, "日_end", "17");
        Type(schedule, "土_bigin", "10");
        Type(schedule, "土_end", "15");
        // While the message shows, the schedule is on screen, detail mode is
        // on and the main window masked, and the total not yet stored.
        QList<bool> visible;
        QList<QStringList> whileShown;
        const auto messages = Answering(
            [&] { Click(schedule, "input_end"); },
            [&](Message&) {
                visible.append(schedule->isVisible());
                whileShown.append({QString::number(Module1::DetailMode),
                                   QString::number(Module1::WeeklyHours), Text(main, "週"),
                                   QString::number(Child(main, "週")->isEnabled())});
            });
        QCOMPARE(whileShown, (QList<QStringList>{{"1", "0", "****", "0"}}));
        QCOMPARE(messages.size(), 1);
        QCOMPARE(messages[0].text, kSwitchMessage);
        QCOMPARE(messages[0].title, ApplicationTitle());
        QCOMPARE(visible, QList<bool>{true}); // shown before the window hides
        QVERIFY(!schedule->isVisible());
        QCOMPARE(Module1::DetailMode, std::int16_t(1));
        QCOMPARE(Module1::WeeklyHours, std::int16_t(13));
        for (const char* box : {"週", "終了時間", "開始時間"}) {
            QCOMPARE(Text(main, box), QStringLiteral("****"));
        }
        ExpectMasked(true);
        QCOMPARE(Text(main, "時給"), QStringLiteral("700"));

        // 計算 now shows the pay from the weekly total.
        QVERIFY(Answering([&] { Click(main, "計算"); }).isEmpty());
        QCOMPARE(Caption(main, "日"), QStringLiteral("*****"));
        QCOMPARE(Caption(main, "週給料"), QStringLiteral("9100"));
        QCOMPARE(Caption(main, "月給料"), QStringLiteral("36400"));
        QCOMPARE(Caption(main, "状態"), Q(texts::kResultStatus));
        for (const char* box : {"週", "終了時間", "開始時間"}) {
            QCOMPARE(Text(main, box), QStringLiteral("***"));
        }
    }

    // Enter and the keypad's Enter, on 入力完了 or in any day field, press
    // 入力完了, the window's default button.
    void enterConfirms_data() {
        QTest::addColumn<QString>("focus");
        QTest::addColumn<Qt::Key>("key");
        const QStringList focused = ScheduleWindow::DayFieldNames() << QStringLiteral("input_end");
        for (const QString& focus : focused) {
            QTest::addRow("Return on %s", qPrintable(focus)) << focus << Qt::Key_Return;
            QTest::addRow("Enter on %s", qPrintable(focus)) << focus << Qt::Key_Enter;
        }
    }
    void enterConfirms() {
        QFETCH(QString, focus);
        QFETCH(Qt::Key, key);
        ScheduleWindow* schedule = OpenSchedule();
        Type(schedule, "月_end", "5");
        QWidget* focused = Child(schedule, focus);
        focused->setFocus();
        const auto messages = Answering([&] {
            QTest::keyClick(focused, key,
                            key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
        });
        QCOMPARE(messages.size(), 1);
        QVERIFY(!schedule->isVisible());
        QCOMPARE(Module1::WeeklyHours, std::int16_t(5));
        QVERIFY(Child<QPushButton>(schedule, "input_end")->isDefault());
    }

    // A field that loses the focus shows the hour typed into it whole, from
    // its first character, at 100, 125 and 150 %.
    void typedHourShownWhole_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("text");
        for (const QString& field : ScheduleWindow::DayFieldNames()) {
            for (const char* text : {"16.5", "21.25", "１７．５", "9"}) {
                QTest::addRow("%s %s", qPrintable(field), text) << field << QString::fromUtf8(text);
            }
        }
    }
    void typedHourShownWhole() {
        QFETCH(QString, field);
        QFETCH(QString, text);
        ScheduleWindow* schedule = OpenSchedule();
        const QString wrong = TypedShownWhole(schedule, field, text);
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong));
    }

    void editUndoneStillCounts() {
        ScheduleWindow* schedule = OpenSchedule();
        Type(schedule, "水_end", "8");
        Type(schedule, "水_end", "");
        QCOMPARE(Confirm(schedule).size(), 1);
        QCOMPARE(Module1::DetailMode, std::int16_t(1));
        QCOMPARE(Module1::WeeklyHours, std::int16_t(0));
    }

    void reopenHiddenKeepsTexts() {
        ScheduleWindow* schedule = OpenSchedule();
        Type(schedule, "月_bigin", "9");
        Type(schedule, "月_end", "17.5");
        Confirm(schedule);
        QCOMPARE(Module1::WeeklyHours, std::int16_t(8));
        QCOMPARE(OpenSchedule(), schedule);
        QCOMPARE(Text(schedule, "月_end"), QStringLiteral("17.5"));
        QCOMPARE(Module1::DetailMode, std::int16_t(1)); // shown again, not reloaded
        // Without new edits, the message comes again and the total is rewritten.
        Module1::WeeklyHours = 0;
        QCOMPARE(Confirm(schedule).size(), 1);
        QCOMPARE(Module1::WeeklyHours, std::int16_t(8));
    }

    void showWhileOnScreenKeepsIt() {
        ScheduleWindow* schedule = OpenSchedule();
        Type(schedule, "月_end", "5");
        QCOMPARE(OpenSchedule(), schedule);
        QVERIFY(schedule->isVisible());
        QVERIFY(schedule->ScheduleChanged());
    }

    // Each load is centred at its first showing, whatever loaded it; a
    // window hidden by 入力完了 comes back where the user left it.
    void placeWhenShown_data() {
        QTest::addColumn<QString>("before"); // done to a moved window first
        QTest::addColumn<bool>("centred");
        QTest::newRow("first showing") << "" << true;
        QTest::newRow("after クリアー") << "clear" << true;
        QTest::newRow("after closing") << "close" << true;
        QTest::newRow("after 入力完了") << "input_end" << false;
    }
    void placeWhenShown() {
        QFETCH(QString, before);
        QFETCH(bool, centred);
        const QPoint moved(7, 9);
        if (!before.isEmpty()) {
            ScheduleWindow* schedule = OpenSchedule();
            schedule->move(moved);
            if (before == "clear") {
                Click(main, "clear");
            } else if (before == "close") {
                schedule->close();
                QTRY_VERIFY(Forms::Schedule() == nullptr);
            } else {
                Confirm(schedule);
            }
        }
        ScheduleWindow* schedule = OpenSchedule();
        if (centred) {
            const QPoint offset = schedule->frameGeometry().center() -
                                  schedule->screen()->availableGeometry().center();
            QVERIFY2(offset.manhattanLength() <= 2,
                     qPrintable(QStringLiteral("%1, %2").arg(offset.x()).arg(offset.y())));
        } else {
            QCOMPARE(schedule->pos(), moved);
        }
    }

    void closeAndReopenEndsDetailMode() {
        Type(main, "時給", "700");
        ScheduleWindow* schedule = OpenSchedule();
        Type(schedule, "日_end", "8");
        Confirm(schedule);
        OpenSchedule();
        schedule->close();
        QTRY_VERIFY(Forms::Schedule() == nullptr);
        QCOMPARE(Module1::DetailMode, std::int16_t(1)); // until the next load

        schedule = OpenSchedule();
        QCOMPARE(ScheduleWindow::DayFieldNames(), kDayFields);
        for (const QString& field : kDayFields) {
            QVERIFY(Text(schedule, field).isEmpty());
        }
        QCOMPARE(Module1::DetailMode, std::int16_t(0));
        ExpectMasked(true); // until クリアー
        schedule->close();
        const auto messages = Answering([&] { Click(main, "計算"); });
        QCOMPARE(messages.size(), 1);
        QCOMPARE(messages[0].text, Q(texts::kNoDays));
    }

    void clearWhileScheduleOnScreen() {
        ScheduleWindow* schedule = OpenSchedule();
        Type(schedule, "日_end", "8");
        Confirm(schedule);
        QPointer<ScheduleWindow> onScreen = OpenSchedule();
        QVERIFY(onScreen->isVisible());
        Click(main, "clear");
        QVERIFY(onScreen.isNull());            // unloaded
        QVERIFY(Forms::Schedule() != nullptr); // and loaded again, hidden
        QVERIFY(!Forms::Schedule()->isVisible());
        QCOMPARE(Module1::DetailMode, std::int16_t(0));
        QCOMPARE(Module1::WeeklyHours, std::int16_t(8)); // clear leaves it
        ExpectMasked(false);
        for (const char* box : {"週", "終了時間", "開始時間"}) {
            QVERIFY(Text(main, box).isEmpty());
        }
        schedule = OpenSchedule();
        QVERIFY(Text(schedule, "日_end").isEmpty());
        QVERIFY(!schedule->ScheduleChanged());
    }

    void detailModeEmptyWageIsZero() {
        ScheduleWindow* schedule = OpenSchedule();
        Type(schedule, "日_end", "8");
        Confirm(schedule);
        QVERIFY(Answering([&] { Click(main, "計算"); }).isEmpty());
        QCOMPARE(Caption(main, "週給料"), QStringLiteral("0"));
        QCOMPARE(Caption(main, "月給料"), QStringLiteral("0"));
        QCOMPARE(Caption(main, "日"), QStringLiteral("*****"));
    }

    void detailModeNeverNegative_data() {
        QTest::addColumn<QString>("wage");
        QTest::addColumn<QString>("end");
        QTest::addColumn<QString>("message");
        QTest::newRow("negative wage") << "-700"
                                       << "8" << Q(texts::kBelowMinimumWage);
        QTest::newRow("day ends before it starts") << "700"
                                                   << "-8" << Q(texts::kNoHours);
    }
    void detailModeNeverNegative() {
        QFETCH(QString, wage);
        QFETCH(QString, end);
        QFETCH(QString, message);
        Type(main, "時給", wage);
        ScheduleWindow* schedule = OpenSchedule();
        Type(schedule, "日_end", end);
        Confirm(schedule);
        const auto messages = Answering([&] { Click(main, "計算"); });
        QCOMPARE(messages.size(), 1);
        QCOMPARE(messages[0].text, message);
        QCOMPARE(Caption(main, "週給料"), MainWindow::NotCalculated());
    }

    void overflowChangesNothing() {
        Type(main, "週", "5");
        Module1::WeeklyHours = 12;
        ScheduleWindow* schedule = OpenSchedule();
        Type(schedule, "日_end", "40000");
        const auto messages = Confirm(schedule);
        QCOMPARE(messages.size(), 1);
        QVERIFY(messages[0].text.contains(QStringLiteral("大きすぎ")));
        QVERIFY(schedule->isVisible()); // still there to be corrected
        QCOMPARE(Text(schedule, "日_end"), QStringLiteral("40000"));
        QCOMPARE(Module1::DetailMode, std::int16_t(0));
        QCOMPARE(Module1::WeeklyHours, std::int16_t(12));
        QCOMPARE(Text(main, "週"), QStringLiteral("5"));
        ExpectMasked(false);
        // Corrected, it goes through.
        Type(schedule, "日_end", "4");
        QCOMPARE(Confirm(schedule).size(), 1);
        QCOMPARE(Module1::WeeklyHours, std::int16_t(4));
    }

    void closingMainWindowClosesTheRest() {
        ScheduleWindow* schedule = OpenSchedule();
        QVERIFY(schedule->isVisible());
        main->findChild<QAction*>("mnuEnd")->trigger();
        QTRY_VERIFY(!Forms::MainLoaded());
        QVERIFY(Forms::Schedule() == nullptr);
        QVERIFY(QApplication::topLevelWidgets().isEmpty() ||
                std::none_of(QApplication::topLevelWidgets().cbegin(),
                             QApplication::topLevelWidgets().cend(),
                             [](QWidget* w) { return w->isVisible(); }));
    }

    void closingMainWindowUnloadsHiddenSchedule() {
        Click(main, "clear"); // loads it hidden
        QVERIFY(Forms::Schedule() != nullptr);
        main->close();
        QTRY_VERIFY(!Forms::MainLoaded());
        QVERIFY(Forms::Schedule() == nullptr);
    }
};

QTEST_MAIN(TestScheduleWindow)
#include "test_schedule_window.moc"

// The weekly schedule's rules: the total, halves to even, overflow, and the
// flag that decides whether a confirmation enters detail mode.
#include "module1.h"
#include "runtime.h"
#include "schedule.h"

#include <QTest>

using namespace soranika;

namespace {

// Day fields from "day:start-end" pairs, e.g. {"日:9-17", "土:10-15"}.
DayFields Week(const QStringList& days) {
    static const QString order = QStringLiteral("日月火水木金土");
    DayFields fields;
    for (const QString& day : days) {
        const qsizetype index = order.indexOf(day[0]);
        const QStringList hours = day.mid(2).split(u'~');
        fields[std::size_t(2 * index)] = hours[0].toStdString();
        fields[std::size_t(2 * index + 1)] = hours.value(1).toStdString();
    }
    return fields;
}

} // namespace

class TestSchedule : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() { Module1::Reset(); }

    void weeklyTotal_data() {
        QTest::addColumn<QStringList>("days");
        QTest::addColumn<int>("expected");
        QTest::newRow("empty") << QStringList{} << 0;
        QTest::newRow("Sunday and Saturday") << QStringList{"日:9~17", "土:10~15"} << 13;
        QTest::newRow("across midnight") << QStringList{"水:22~2"} << -20;
        QTest::newRow("17.5 to even") << QStringList{"月:9~17.5", "火:9~18"} << 18;
        QTest::newRow("8.5 to even") << QStringList{"月:9~17.5"} << 8;
        QTest::newRow("37.5 to even")
            << QStringList{"月:9~17", "火:9~17", "水:9~17", "木:9~17", "金:9~14.5"} << 38;
        QTest::newRow("36.5 to even")
            << QStringList{"月:9~17", "火:9~17", "水:9~17", "木:9~17", "金:9~13.5"} << 36;
        QTest::newRow("only an end") << QStringList{"金:~6"} << 6;
        QTest::newRow("only a start") << QStringList{"金:6~"} << -6;
        QTest::newRow("text counts as 0") << QStringList{"木:朝~夜"} << 0;
        QTest::newRow("units and full width") << QStringList{"日:９時~１７時"} << 8;
        QTest::newRow("largest") << QStringList{"土:~32767"} << 32767;
        QTest::newRow("smallest") << QStringList{"土:32768~"} << -32768;
        QTest::newRow("no limits for minors")
            << QStringList{"日:0~24", "月:0~24", "火:0~24", "水:0~24",
                           "木:0~24", "金:0~24", "土:0~24"}
            << 168;
    }
    void weeklyTotal() {
        QFETCH(QStringList, days);
        QFETCH(int, expected);
        QCOMPARE(int(WeeklyTotal(Week(days))), expected);
    }

    void weeklyTotalOverflow_data() {
        QTest::addColumn<QStringList>("days");
        QTest::newRow("end above 32767") << QStringList{"日:~32768"};
        QTest::newRow("sum above 32767") << QStringList{"日:~20000", "月:~20000"};
        QTest::newRow("start above 32768") << QStringList{"日:40000~"};
        QTest::newRow("field overflows a double") << QStringList{"日:~1e999"};
        QTest::newRow("difference overflows") << QStringList{"日:-1.7e308~1.7e308"};
    }
    void weeklyTotalOverflow() {
        QFETCH(QStringList, days);
        QVERIFY_THROWS_EXCEPTION(RuntimeError, WeeklyTotal(Week(days)));
    }

    void confirmWithoutEdits() {
        ScheduleState state;
        Module1::WeeklyHours = 5;
        state.Loaded();
        int switched = 0;
        state.Confirm(DayFields{}, [&] { ++switched; });
        QCOMPARE(switched, 0);
        QCOMPARE(Module1::DetailMode, std::int16_t(0));
        QCOMPARE(Module1::WeeklyHours, std::int16_t(0));
    }

    void confirmAfterEdit() {
        ScheduleState state;
        state.Loaded();
        state.DayFieldChanged();
        int switched = 0;
        std::int16_t modeWhenSwitched = -1;
        state.Confirm(Week({"日:9~17", "土:10~15"}), [&] {
            ++switched;
            modeWhenSwitched = Module1::DetailMode;
        });
        QCOMPARE(switched, 1);
        QCOMPARE(modeWhenSwitched, std::int16_t(1)); // detail mode is on before the switch
        QCOMPARE(Module1::DetailMode, std::int16_t(1));
        QCOMPARE(Module1::WeeklyHours, std::int16_t(13));
        // The flag stays raised: a second confirmation switches again.
        state.Confirm(Week({"日:9~17"}), [&] { ++switched; });
        QCOMPARE(switched, 2);
        QCOMPARE(Module1::WeeklyHours, std::int16_t(8));
    }

    void loadEndsDetailModeOnly() {
        ScheduleState state;
        state.DayFieldChanged();
        Module1::DetailMode = 1;
        Module1::WeeklyHours = 30;
        state.Loaded();
        QVERIFY(!state.Changed());
        QCOMPARE(Module1::DetailMode, std::int16_t(0));
        QCOMPARE(Module1::WeeklyHours, std::int16_t(30));
    }

    void overflowChangesNothing() {
        ScheduleState state;
        state.Loaded();
        state.DayFieldChanged();
        Module1::WeeklyHours = 12;
        int switched = 0;
        QVERIFY_THROWS_EXCEPTION(RuntimeError,
                                 state.Confirm(Week({"月:~40000"}), [&] { ++switched; }));
        QCOMPARE(switched, 0);
        QCOMPARE(Module1::DetailMode, std::int16_t(0));
        QCOMPARE(Module1::WeeklyHours, std::int16_t(12));
        QVERIFY(state.Changed());
    }
};

QTEST_APPLESS_MAIN(TestSchedule)
#include "test_schedule.moc"

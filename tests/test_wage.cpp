// The decision behind 計算: the checks in their order, each boundary on both
// sides, the pay, detail mode, and overflow.
#include "qtext.h"
#include "runtime.h"
#include "wage.h"

#include <QTest>

using namespace soranika;
using testing::Q;

Q_DECLARE_METATYPE(WageOutcome::Kind)

class TestWage : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void normalMode_data() {
        QTest::addColumn<QString>("wage");
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("end");
        QTest::addColumn<QString>("days");
        QTest::addColumn<QString>("expected"); // message, caution or "daily/weekly/monthly"

        const QString notEntered = Q(texts::kNotEntered);
        const QString noDays = Q(texts::kNoDays);
        const QString lowWage = Q(texts::kBelowMinimumWage);
        const QString after22 = Q(texts::kAfter22);
        const QString before5 = Q(texts::kBefore5);
        const QString over8 = Q(texts::kOver8Hours);
        const QString over6 = Q(texts::kOver6Days);
        const QString noHours = Q(texts::kNoHours);
        const QString caution = Q(texts::kCaution);

        // clang-format off
        // Step 1 comes first, whatever else is wrong.
        QTest::newRow("all empty") << "" << "" << "" << "" << notEntered;
        QTest::newRow("wage 0, rest wrong") << "0" << "1" << "23" << "9" << notEntered;
        QTest::newRow("wage not a number") << "円" << "9" << "17" << "5" << notEntered;
        // Step 2 before the wage limit.
        QTest::newRow("days empty") << "700" << "9" << "17" << "" << noDays;
        QTest::newRow("days empty, low wage") << "1" << "9" << "17" << "" << noDays;
        QTest::newRow("days negative") << "700" << "9" << "17" << "-1" << noDays;
        QTest::newRow("days tiny") << "700" << "9" << "17" << "0.001" << "5600/5.6/22.4";
        // Step 3: 681 passes.
        QTest::newRow("wage 680.99") << "680.99" << "9" << "17" << "5" << lowWage;
        QTest::newRow("wage negative") << "-700" << "9" << "17" << "5" << lowWage;
        QTest::newRow("wage 681") << "681" << "9" << "17" << "5" << "5448/27240/108960";
        QTest::newRow("low wage before late end") << "680" << "9" << "23" << "5" << lowWage;
        // Step 4: 22 passes.
        QTest::newRow("end 22.5") << "700" << "20" << "22.5" << "1" << after22;
        QTest::newRow("end 22") << "700" << "20" << "22" << "1" << "1400/1400/5600";
        QTest::newRow("late end before early start") << "700" << "1" << "23" << "1" << after22;
        // Step 5: 5 passes.
        QTest::newRow("start 4.5") << "700" << "4.5" << "9" << "1" << before5;
        QTest::newRow("start empty") << "700" << "" << "9" << "1" << before5;
        QTest::newRow("start 5") << "700" << "5" << "9" << "1" << "2800/2800/11200";
        QTest::newRow("early start before long day") << "700" << "4" << "22" << "1" << before5;
        // Step 6: exactly 8 hours passes.
        QTest::newRow("8.5 hours") << "700" << "9" << "17.5" << "1" << over8;
        QTest::newRow("long day before 7 days") << "700" << "9" << "18" << "7" << over8;
        // Step 7: 6 days pass.
        QTest::newRow("days 6.5") << "700" << "9" << "10" << "6.5" << over6;
        QTest::newRow("days 7") << "700" << "9" << "10" << "7" << over6;
        QTest::newRow("7 days before no hours") << "700" << "17" << "9" << "7" << over6;
        QTest::newRow("days 6") << "700" << "9" << "10" << "6" << "700/4200/16800";
        // Step 8.
        QTest::newRow("end before start") << "700" << "17" << "9" << "5" << noHours;
        QTest::newRow("start equals end") << "700" << "9" << "9" << "5" << noHours;
        QTest::newRow("end empty") << "700" << "9" << "" << "5" << noHours;
        QTest::newRow("across midnight") << "700" << "22" << "2" << "5" << noHours;
        // Step 9: exactly 40 hours passes.
        QTest::newRow("48 hours") << "700" << "9" << "17" << "6" << caution;
        QTest::newRow("42 hours") << "700" << "10" << "17" << "6" << caution;
        QTest::newRow("40 hours") << "700" << "9" << "17" << "5" << "5600/28000/112000";
        // Step 10: the pay, plain digits.
        QTest::newRow("fractional wage") << "850.5" << "9" << "13" << "1" << "3402/3402/13608";
        QTest::newRow("fractional hours") << "1000" << "9.5" << "12" << "3" << "2500/7500/30000";
        QTest::newRow("full-width input") << "７００" << "９" << "１７" << "５" << "5600/28000/112000";
        QTest::newRow("units typed") << "700円" << "9時" << "17時" << "5日" << "5600/28000/112000";
        // clang-format on
    }
    void normalMode() {
        QFETCH(QString, wage);
        QFETCH(QString, start);
        QFETCH(QString, end);
        QFETCH(QString, days);
        QFETCH(QString, expected);
        for (const std::int16_t detailMode : {0, -1, 2}) { // only 1 selects detail mode
            const WageOutcome outcome =
                EvaluateWage(wage.toStdString(), start.toStdString(), end.toStdString(),
                             days.toStdString(), detailMode, 30);
            switch (outcome.kind) {
            case WageOutcome::Kind::Message:
                QCOMPARE(Q(outcome.text), expected);
                break;
            case WageOutcome::Kind::Caution:
                QCOMPARE(Q(outcome.text), expected);
                QCOMPARE(expected, Q(texts::kCaution));
                break;
            case WageOutcome::Kind::Result:
                QCOMPARE(Q(outcome.daily + "/" + outcome.weekly + "/" + outcome.monthly), expected);
                QCOMPARE(Q(outcome.text), Q(texts::kResultStatus));
                QVERIFY(!outcome.maskInputs);
                break;
            }
        }
    }

    void detailMode_data() {
        QTest::addColumn<QString>("wage");
        QTest::addColumn<int>("weeklyHours");
        QTest::addColumn<QString>("expected"); // message, or "weekly/monthly"
        QTest::newRow("700 x 30") << "700" << 30 << "21000/84000";
        QTest::newRow("inexact 0.1 x 3") << "0.1" << 3 << "0.3/1.2";
        QTest::newRow("empty wage") << "" << 30 << "0/0";
        QTest::newRow("low wage not checked") << "100" << 30 << "3000/12000";
        QTest::newRow("no hours") << "700" << 0 << "0/0";
        QTest::newRow("negative zero wage") << "-0" << 30 << "0/0";
        QTest::newRow("largest total") << "1000" << 32767 << "32767000/131068000";
        // Pay is never negative.
        QTest::newRow("negative wage") << "-700" << 30 << Q(texts::kBelowMinimumWage);
        QTest::newRow("negative total") << "700" << -20 << Q(texts::kNoHours);
        QTest::newRow("negative wage and total") << "-1" << -1 << Q(texts::kBelowMinimumWage);
    }
    void detailMode() {
        QFETCH(QString, wage);
        QFETCH(int, weeklyHours);
        QFETCH(QString, expected);
        // The hour and day boxes hold masks or anything else: they are not read.
        const WageOutcome outcome =
            EvaluateWage(wage.toStdString(), "***", "***", "***", 1, std::int16_t(weeklyHours));
        if (outcome.kind == WageOutcome::Kind::Message) {
            QCOMPARE(Q(outcome.text), expected);
            return;
        }
        QCOMPARE(outcome.kind, WageOutcome::Kind::Result);
        QCOMPARE(Q(outcome.weekly + "/" + outcome.monthly), expected);
        QCOMPARE(Q(outcome.daily), Q(texts::kDailyMask));
        QCOMPARE(Q(outcome.text), Q(texts::kResultStatus));
        QVERIFY(outcome.maskInputs);
    }

    void overflow_data() {
        QTest::addColumn<QString>("wage");
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("end");
        QTest::addColumn<int>("detailMode");
        // clang-format off
        QTest::newRow("huge wage x 8 hours") << "1e308" << "9" << "17" << 0;
        QTest::newRow("typed 1e999") << "1e999" << "9" << "17" << 0;
        QTest::newRow("end minus start") << "700" << "1.7e308" << "-1.7e308" << 0;
        QTest::newRow("detail mode product") << "1e308" << "" << "" << 1;
        // clang-format on
    }
    void overflow() {
        QFETCH(QString, wage);
        QFETCH(QString, start);
        QFETCH(QString, end);
        QFETCH(int, detailMode);
        try {
            EvaluateWage(wage.toStdString(), start.toStdString(), end.toStdString(), "5",
                         std::int16_t(detailMode), 30);
            QFAIL("no overflow raised");
        } catch (const RuntimeError& error) {
            QCOMPARE(error.Kind(), RuntimeErrorKind::Overflow);
        }
    }

    void fixedTexts() {
        // The padded texts are placed by their blanks: their lengths matter.
        QCOMPARE(Q(texts::kResultStatus).size(), 83);
        QVERIFY(Q(texts::kResultStatus).startsWith(QString(68, QChar(u' ')) + "----計算"));
        QCOMPARE(Q(texts::kCaution).size(), 50);
        QVERIFY(Q(texts::kCaution).contains("☆   1週間"));
        QVERIFY(Q(texts::kCaution).contains("第32条     違反"));
    }
};

QTEST_APPLESS_MAIN(TestWage)
#include "test_wage.moc"

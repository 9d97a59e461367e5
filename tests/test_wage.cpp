// The decision behind 計算: the checks in their order, each boundary on both
// sides, the pay, detail mode, and overflow.
#include "qtext.h"
#include "runtime.h"
#include "wage.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

using namespace soranika;
using testing::Q;

Q_DECLARE_METATYPE(WageOutcome::Kind)

namespace {

const QJsonObject& Cases() {
    static const QJsonObject cases = [] {
        QFile file(QStringLiteral(":/wage_cases.json"));
        if (!file.open(QIODevice::ReadOnly)) {
            qFatal("wage_cases.json is not in the resources");
        }
        return QJsonDocument::fromJson(file.readAll()).object();
    }();
    return cases;
}

// An expected column: "@name" is the text of that name.
QString Expected(const QString& column) {
    if (!column.startsWith(u'@')) {
        return column;
    }
    const QJsonValue text = Cases()[QStringLiteral("texts")][column.mid(1)];
    if (!text.isString()) {
        qFatal("wage_cases.json: no text %s", qPrintable(column));
    }
    return text.toString();
}

// The outcome as the user is shown it: an error raised by the rules is its
// message.
template <typename Evaluate> WageOutcome Shown(Evaluate&& evaluate) {
    try {
        return evaluate();
    } catch (const std::exception& error) {
        return WageOutcome::Message(std::string(ErrorMessage(error)));
    }
}

} // namespace

class TestWage : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // The table is kept once for every front end (wage_cases.json): the web
    // edition's tests run the same rows through its page.
    void normalMode_data() {
        QTest::addColumn<QString>("wage");
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("end");
        QTest::addColumn<QString>("days");
        QTest::addColumn<QString>("expected"); // a text, or "daily/weekly/monthly"
        for (const QJsonValue row : Cases()[QStringLiteral("normal")].toArray()) {
            const QJsonArray r = row.toArray();
            QTest::newRow(qPrintable(r[0].toString()))
                << r[1].toString() << r[2].toString() << r[3].toString() << r[4].toString()
                << Expected(r[5].toString());
        }
    }
    void normalMode() {
        QFETCH(QString, wage);
        QFETCH(QString, start);
        QFETCH(QString, end);
        QFETCH(QString, days);
        QFETCH(QString, expected);
        for (const std::int16_t detailMode : {0, -1, 2}) { // only 1 selects detail mode
            const auto evaluate = [&] {
                return EvaluateWage(wage.toStdString(), start.toStdString(), end.toStdString(),
                                    days.toStdString(), detailMode, 30);
            };
            const WageOutcome outcome = Shown(evaluate);
            switch (outcome.kind) {
            case WageOutcome::Kind::Message:
            case WageOutcome::Kind::Caution:
                QCOMPARE(Q(outcome.text), expected);
                QVERIFY(outcome.daily.empty() && !outcome.maskInputs);
                break;
            case WageOutcome::Kind::Result:
                QCOMPARE(Q(outcome.daily + "/" + outcome.weekly + "/" + outcome.monthly), expected);
                QCOMPARE(Q(outcome.text), Q(texts::kResultStatus));
                QVERIFY(!outcome.maskInputs);
                break;
            }
            QCOMPARE(outcome.kind == WageOutcome::Kind::Caution, expected == Q(texts::kCaution));
        }
    }

    void detailMode_data() {
        QTest::addColumn<QString>("wage");
        QTest::addColumn<int>("weeklyHours");
        QTest::addColumn<QString>("expected"); // a text, or "weekly/monthly"
        for (const QJsonValue row : Cases()[QStringLiteral("detail")].toArray()) {
            const QJsonArray r = row.toArray();
            QTest::newRow(qPrintable(r[0].toString()))
                << r[1].toString() << r[2].toInt() << Expected(r[3].toString());
        }
    }
    void detailMode() {
        QFETCH(QString, wage);
        QFETCH(int, weeklyHours);
        QFETCH(QString, expected);
        // The hour and day boxes hold masks or anything else: they are not read.
        const WageOutcome outcome = Shown([&] {
            return EvaluateWage(wage.toStdString(), "***", "***", "***", 1,
                                std::int16_t(weeklyHours));
        });
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

    // Only an overflow is raised, and the user is told so in its own words.
    void errorMessages() {
        QCOMPARE(Q(ErrorMessage(RuntimeError(RuntimeErrorKind::Overflow, "x"))),
                 Expected(QStringLiteral("@overflow")));
        QCOMPARE(Q(ErrorMessage(std::runtime_error("x"))), Q(texts::kOtherError));
    }

    // What is read with its unit: the amounts the rules write, never the
    // texts that stand in their place.
    void pay_data() {
        QTest::addColumn<QString>("amount");
        QTest::addColumn<bool>("pay");
        QTest::newRow("pay") << "5600" << true;
        QTest::newRow("zero") << "0" << true;
        QTest::newRow("negative") << "-1400" << true;
        QTest::newRow("exponent") << "1.11111111111111E+303" << true;
        QTest::newRow("daily mask") << Q(texts::kDailyMask) << false;
        QTest::newRow("not calculated") << "未計算" << false;
        QTest::newRow("full-width digit") << "５６００" << false;
        QTest::newRow("empty") << "" << false;
    }
    void pay() {
        QFETCH(QString, amount);
        QFETCH(bool, pay);
        QCOMPARE(IsPay(amount.toStdString()), pay);
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

// Reading numbers from typed text, writing them back, and the 16-bit
// conversion.
#include "runtime.h"

#include <QTest>

#include <cmath>

using namespace soranika;

class TestRuntime : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void numberFromText_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("expected");
        QTest::newRow("empty") << "" << 0.0;
        QTest::newRow("word") << "abc" << 0.0;
        QTest::newRow("integer") << "700" << 700.0;
        QTest::newRow("fraction") << "9.5" << 9.5;
        QTest::newRow("leading point") << ".5" << 0.5;
        QTest::newRow("trailing point") << "5." << 5.0;
        QTest::newRow("second point stops") << "1.2.3" << 1.2;
        QTest::newRow("unit word") << "8時" << 8.0;
        QTest::newRow("blanks dropped inside") << " 1 2\t3\n" << 123.0;
        QTest::newRow("carriage return stops") << "1\r2" << 1.0;
        QTest::newRow("minus") << "-3" << -3.0;
        QTest::newRow("plus") << "+3" << 3.0;
        QTest::newRow("two signs") << "--3" << 0.0;
        QTest::newRow("sign alone") << "-" << 0.0;
        QTest::newRow("exponent") << "1.5e3" << 1500.0;
        QTest::newRow("D exponent") << "2D2" << 200.0;
        QTest::newRow("negative exponent") << "5E-1" << 0.5;
        QTest::newRow("exponent without digits") << "7e" << 7.0;
        QTest::newRow("exponent sign without digits") << "7e+x" << 7.0;
        QTest::newRow("underflow") << "1e-400" << 0.0;
        QTest::newRow("hex") << "&H1F" << 31.0;
        QTest::newRow("hex 16-bit negative") << "&HFFFF" << -1.0;
        QTest::newRow("hex 32-bit") << "&H10000" << 65536.0;
        QTest::newRow("hex stops") << "&hAZ" << 10.0;
        QTest::newRow("octal") << "&O17" << 15.0;
        QTest::newRow("octal stops at 8") << "&o78" << 7.0;
        QTest::newRow("ampersand alone") << "&" << 0.0;
        // As a Japanese input method types them.
        QTest::newRow("full-width digits") << "７００" << 700.0;
        QTest::newRow("full-width point") << "９．５" << 9.5;
        QTest::newRow("full-width with unit") << "８時" << 8.0;
        QTest::newRow("full-width minus") << "－２" << -2.0;
        QTest::newRow("ideographic space dropped") << "\u3000１\u30002" << 12.0;
        QTest::newRow("malformed UTF-8 stops") << QString::fromLatin1("5\xff") << 5.0;
    }
    void numberFromText() {
        QFETCH(QString, text);
        QFETCH(double, expected);
        QCOMPARE(NumberFromText(text.toStdString()), expected);
    }

    void numberFromTextRejectsRawBytes() {
        // Bytes that are not UTF-8 stop the number instead of misreading it.
        QCOMPARE(NumberFromText(std::string("12\xC3", 3)), 12.0);
        QCOMPARE(NumberFromText(std::string("3\xE3\x80", 3)), 3.0);
        QCOMPARE(NumberFromText(std::string("4\0"
                                            "5",
                                            3)),
                 4.0);
        // Nor do ill-formed sequences that decode to a digit or a blank: an
        // overlong "1", a byte that cannot lead followed by the tail of "１",
        // an overlong ideographic space.
        QCOMPARE(NumberFromText("\xE0\x80\xB1"), 0.0);
        QCOMPARE(NumberFromText("7\xFF\xBC\x91"), 7.0);
        QCOMPARE(NumberFromText("1\xF0\x83\x80\x80"
                                "2"),
                 1.0);
    }

    void numberFromTextOverflow_data() {
        QTest::addColumn<QString>("text");
        QTest::newRow("exponent") << "1e999";
        QTest::newRow("negative exponent") << "-1e309";
        QTest::newRow("many digits") << QString(400, QChar(u'9'));
        QTest::newRow("hex beyond 32 bits") << "&H100000000";
    }
    void numberFromTextOverflow() {
        QFETCH(QString, text);
        try {
            NumberFromText(text.toStdString());
            QFAIL("no overflow raised");
        } catch (const RuntimeError& error) {
            QCOMPARE(error.Kind(), RuntimeErrorKind::Overflow);
        }
    }

    void numberToText_data() {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("expected");
        QTest::newRow("whole") << 28000.0 << "28000";
        QTest::newRow("negative") << -2800.0 << "-2800";
        QTest::newRow("fraction") << 3402.5 << "3402.5";
        QTest::newRow("inexact product") << 0.1 * 3 << "0.3";
        QTest::newRow("inexact product x4") << 0.1 * 3 * 4 << "1.2";
        QTest::newRow("zero") << 0.0 << "0";
        QTest::newRow("negative zero") << -0.0 << "0";
        QTest::newRow("15 digits") << 123456789012345.0 << "123456789012345";
        QTest::newRow("large") << 1e15 << "1E+15";
        QTest::newRow("rounded to 15 digits") << 1234567890123456789.0 << "1.23456789012346E+18";
        QTest::newRow("small") << 0.0001 << "0.0001";
        QTest::newRow("very small") << 0.00001 << "1E-05";
    }
    void numberToText() {
        QFETCH(double, value);
        QFETCH(QString, expected);
        QCOMPARE(QString::fromStdString(NumberToText(value)), expected);
    }

    void numberToTextRejectsNonFinite() {
        QVERIFY_THROWS_EXCEPTION(RuntimeError, NumberToText(HUGE_VAL));
        QVERIFY_THROWS_EXCEPTION(RuntimeError, NumberToText(std::nan("")));
    }

    void toInt16_data() {
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("expected");
        QTest::newRow("37.5 to even") << 37.5 << 38;
        QTest::newRow("36.5 to even") << 36.5 << 36;
        QTest::newRow("8.5 to even") << 8.5 << 8;
        QTest::newRow("-2.5 to even") << -2.5 << -2;
        QTest::newRow("-3.5 to even") << -3.5 << -4;
        QTest::newRow("below half") << 2.49 << 2;
        QTest::newRow("above half") << 2.51 << 3;
        QTest::newRow("top") << 32767.0 << 32767;
        QTest::newRow("bottom") << -32768.0 << -32768;
        QTest::newRow("bottom half to even") << -32768.5 << -32768;
    }
    void toInt16() {
        QFETCH(double, value);
        QFETCH(int, expected);
        QCOMPARE(int(ToInt16(value)), expected);
    }

    void toInt16Overflow_data() {
        QTest::addColumn<double>("value");
        QTest::newRow("above") << 32768.0;
        QTest::newRow("top half to even") << 32767.5;
        QTest::newRow("below") << -32769.0;
        QTest::newRow("infinity") << HUGE_VAL;
        QTest::newRow("nan") << std::nan("");
    }
    void toInt16Overflow() {
        QFETCH(double, value);
        QVERIFY_THROWS_EXCEPTION(RuntimeError, ToInt16(value));
    }

    void integerToText() {
        QCOMPARE(IntegerToText(2), std::string("2"));
        QCOMPARE(IntegerToText(-32768), std::string("-32768"));
    }
};

QTEST_APPLESS_MAIN(TestRuntime)
#include "test_runtime.moc"

// How the padded texts fall onto lines in the labels they were written for.
#include "about_window.h"
#include "application.h"
#include "forms.h"
#include "gui_helpers.h"
#include "main_window.h"
#include "result_label.h"
#include "schedule_window.h"
#include "wage.h"
#include "wrap_button.h"
#include "wrap_label.h"

using namespace soranika;
using namespace testing;

class TestWrapLabel : public QObject {
    Q_OBJECT

    MainWindow* window = nullptr;
    WrapLabel* status() { return Child<WrapLabel>(window, "状態"); }

private Q_SLOTS:
    void initTestCase() {
        InstallApplicationFont(*qApp);
        window = Forms::Main();
        window->show();
    }
    void cleanupTestCase() { Forms::UnloadAll(); }

    void applicationFont() {
        QCOMPARE(status()->font().pointSizeF(), 9.0);
        const QFont design = IpaPGothic(status()->font());
        QCOMPARE(QFontInfo(design).family(), QStringLiteral("IPAPGothic"));
        QCOMPARE(QFontInfo(status()->font()).family(), DesignedFamily());
        QCOMPARE(LayoutMetrics(status()->font()), LayoutMetrics(design));
        // A control that asks for MS P Gothic by name gets the same font.
        QFont designed(QStringLiteral("ＭＳ Ｐゴシック"));
        designed.setPointSizeF(9);
        QCOMPARE(QFontInfo(designed).family(), DesignedFamily());
        QCOMPARE(LayoutMetrics(designed), LayoutMetrics(design));
    }

    void inputPrompt() {
        status()->setText(MainWindow::InputPrompt());
        QCOMPARE(status()->Lines(),
                 (QStringList{"", "数字を入力して", "計算ボタンを押してください"}));
    }

    void resultStatusOnSecondLine() {
        status()->setText(Q(texts::kResultStatus));
        QCOMPARE(status()->Lines(), (QStringList{"", "----計算結果表示中----"}));
    }

    void cautionReadableInFourLines() {
        status()->setText(Q(texts::kCaution));
        const QStringList lines = status()->Lines();
        QCOMPARE(lines.size(), 4);
        QVERIFY(lines[0].startsWith("☆注意！☆"));
        QCOMPARE(lines.last(), QStringLiteral("違反になります"));
        // Nothing is lost and nothing is clipped.
        QString joined = lines.join(QString());
        QCOMPARE(joined.remove(' '), Q(texts::kCaution).remove(' '));
        QVERIFY(lines.size() * status()->fontMetrics().height() <= status()->height());
        const QFontMetrics metrics = status()->fontMetrics();
        for (const QString& line : lines) {
            QVERIFY2(metrics.horizontalAdvance(line) <= status()->width(), qPrintable(line));
        }
    }

    void textStaysAsSet() {
        status()->setText(MainWindow::InputPrompt());
        QCOMPARE(status()->text(), MainWindow::InputPrompt());
    }

    void breaking_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("width");
        QTest::addColumn<QStringList>("expected");
        const int w =
            QFontMetrics(status()->font()).horizontalAdvance(QStringLiteral("あいうえお"));
        QTest::newRow("fits") << "あいう" << w << QStringList{"あいう"};
        QTest::newRow("never between kana")
            << "あいう えおか" << w << QStringList{"あいう", "えおか"};
        QTest::newRow("after ideographic space")
            << "あい\u3000うえお" << w << QStringList{"あい", "うえお"};
        QTest::newRow("trailing blanks take no room")
            << "あいうえお   か" << w << QStringList{"あいうえお", "か"};
        QTest::newRow("line breaks") << "あ\r\nい\nう" << w << QStringList{"あ", "い", "う"};
        QTest::newRow("lone CR, CR before CR LF")
            << "あ\rい\r\r\nう" << w << QStringList{"あ", "い", "", "う"};
        QTest::newRow("empty paragraphs") << "\nあ\n\nい\n"
                                          << w << QStringList{"", "あ", "", "い", ""};
        QTest::newRow("long run breaks inside")
            << "あいうえおかきく" << w << QStringList{"あいうえお", "かきく"};
        QTest::newRow("empty") << "" << w << QStringList{""};
    }
    void breaking() {
        QFETCH(QString, text);
        QFETCH(int, width);
        QFETCH(QStringList, expected);
        QCOMPARE(WrapLabel::WrapText(text, QFontMetrics(status()->font()), width), expected);
    }

    // The lines are kept between paints; each change that moves a break
    // must still show.
    void linesFollowTextWidthAndFont() {
        WrapLabel label(QStringLiteral("あいう えお"));
        const QFontMetrics metrics(label.font());
        const int both = metrics.horizontalAdvance(QStringLiteral("あいう えお"));
        label.resize(both, 100);
        QCOMPARE(label.Lines(), QStringList{"あいう えお"});
        label.resize(both - 1, 100);
        QCOMPARE(label.Lines(), (QStringList{"あいう", "えお"}));
        label.setText(QStringLiteral("あい うえお"));
        QCOMPARE(label.Lines(), (QStringList{"あい", "うえお"}));
        label.resize(both, 100);
        QCOMPARE(label.Lines(), QStringList{"あい うえお"});
        QFont larger = label.font();
        larger.setPointSizeF(larger.pointSizeF() * 1.25);
        label.setFont(larger);
        QCOMPARE(label.Lines(), (QStringList{"あい", "うえお"}));

        WrapButton button(QStringLiteral("あいう えお"));
        button.resize(both + 8, 30);
        QCOMPARE(button.Lines(), QStringList{"あいう えお"});
        button.setText(QStringLiteral("あい うえお"));
        QCOMPARE(button.Lines(), QStringList{"あい うえお"});
        button.resize(both + 7, 30);
        QCOMPARE(button.Lines(), (QStringList{"あい", "うえお"}));
    }

    // A theme that changes the application's font and palette once the
    // windows exist moves no line: each window carries its designed font.
    void themeMovesNoLine() {
        Forms::ShowSchedule();
        Forms::ShowAbout();
        Child<QLabel>(window, "月給料")->setText(QStringLiteral("1120000"));
        const auto lines = [] {
            QStringList all;
            for (QWidget* w :
                 {static_cast<QWidget*>(Forms::Main()), static_cast<QWidget*>(Forms::Schedule()),
                  static_cast<QWidget*>(Forms::About())}) {
                for (auto* l : w->findChildren<WrapLabel*>()) {
                    all << l->objectName() + u':' + l->Lines().join(u'|');
                }
                for (auto* b : w->findChildren<WrapButton*>()) {
                    all << b->objectName() + u':' + b->Lines().join(u'|');
                }
                for (auto* r : w->findChildren<ResultLabel*>()) {
                    all << r->objectName() + u':' + r->Drawn().text + u'@' +
                               QString::number(QFontInfo(r->Drawn().font).pixelSize());
                }
            }
            return all;
        };
        const QStringList designed = lines();
        QVERIFY(designed.size() > 40);
        const QPalette palette = QApplication::palette();
        const QFont font = QApplication::font();
        QFont themeFont(QStringLiteral("DejaVu Sans"));
        themeFont.setPointSizeF(12);
        ApplyTheme(DarkPalette(), themeFont);
        const QStringList themed = lines();
        ApplyTheme(palette, font);
        QCOMPARE(themed, designed);
        Forms::UnloadSchedule();
        Forms::UnloadAbout();
    }

    void detailButtonCaptionOnTwoLines() {
        QCOMPARE(Child<WrapButton>(window, "詳細設定start")->Lines(),
                 (QStringList{"勤務時間", "詳細設定"}));
        QCOMPARE(Child<WrapButton>(window, "計算")->Lines(), QStringList{"計算"});
    }
};

QTEST_MAIN(TestWrapLabel)
#include "test_wrap_label.moc"

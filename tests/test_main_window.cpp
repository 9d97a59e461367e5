// The main window as a user meets it: its controls as laid out, typing,
// 計算 and クリアー with mouse and keyboard, and the message box.
#include "about_window.h"
#include "application.h"
#include "forms.h"
#include "guard.h"
#include "gui_helpers.h"
#include "main_window.h"
#include "module1.h"
#include "result_label.h"
#include "schedule_window.h"
#include "twips.h"
#include "wage.h"

#include <QAction>
#include <QMenuBar>
#include <QPainter>
#include <QProcess>
#include <QSignalSpy>
#include <QStyle>
#include <QStyleFactory>
#include <QToolTip>

#include <utility>

using namespace soranika;
using namespace testing;

namespace {
const QString kNotCalculated = MainWindow::NotCalculated();

// The label's whole amount as drawn here, apart from the label's own fitting:
// in the designed family at PIXELS, on the baseline of the label's font,
// over the window's background.
QImage AmountAt(const QLabel& label, int pixels) {
    QImage image(label.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(label.palette().color(label.backgroundRole()));
    QFont font(DesignedFamily());
    font.setPixelSize(pixels);
    font.setBold(label.font().bold());
    QPainter painter(&image);
    painter.setFont(font);
    painter.setPen(label.palette().color(label.foregroundRole()));
    const QRect area = label.contentsRect();
    painter.drawText(QPoint(area.left(), area.top() + label.fontMetrics().ascent()), label.text());
    return image;
}
} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT

    MainWindow* window = nullptr;

    void TypeAll(const QString& wage, const QString& start, const QString& end,
                 const QString& days) {
        Type(window, "時給", wage);
        Type(window, "開始時間", start);
        Type(window, "終了時間", end);
        Type(window, "週", days);
    }
    QStringList Results() const {
        return {Caption(window, "日"), Caption(window, "週給料"), Caption(window, "月給料")};
    }

private Q_SLOTS:
    void init() {
        window = StartProgram();
        QVERIFY(QTest::qWaitForWindowExposed(window));
    }
    void cleanup() { Forms::UnloadAll(); }

    void designTimeState() {
        QCOMPARE(ApplicationTitle(), QStringLiteral("ソラニカ"));
        QCOMPARE(window->objectName(), ApplicationTitle());
        QCOMPARE(window->windowTitle(), ApplicationTitle());
        QCOMPARE(window->centralWidget()->size(), TwipsSize(4680, 3345));
        QVERIFY(!(window->windowFlags() & Qt::WindowMaximizeButtonHint));
        QVERIFY(window->windowFlags() & Qt::WindowMinimizeButtonHint);
        for (const char* box : {"時給", "開始時間", "終了時間", "週"}) {
            QVERIFY(Text(window, box).isEmpty());
            QVERIFY(Child(window, box)->isEnabled());
        }
        QCOMPARE(Results(), QStringList(3, kNotCalculated));
        const QString prompt = Caption(window, "状態");
        QCOMPARE(prompt.size(), 65);
        QCOMPARE(prompt, QString(35, QChar(u' ')) +
                             "数字を入力して\u3000 \u3000      \u3000計算ボタンを押してください");
        QCOMPARE(Child<QAbstractButton>(window, "詳細設定start")->text(),
                 QStringLiteral("勤務時間\u3000\u3000\u3000\u3000\u3000\u3000\u3000詳細設定"));
        QCOMPARE(Child<QAbstractButton>(window, "clear")->text(), QStringLiteral("クリアー"));
        QCOMPARE(Child<QAbstractButton>(window, "計算")->text(), QStringLiteral("計算"));
    }

    // The window grows freely but never shrinks below its designed client
    // area, where the lowest button would be cut off.
    void neverSmallerThanDesigned_data() {
        QTest::addColumn<QSize>("change");
        QTest::newRow("narrower") << QSize(-100, 0);
        QTest::newRow("shorter") << QSize(0, -100);
        QTest::newRow("tiny") << QSize(-250, -200);
        QTest::newRow("larger") << QSize(80, 60);
    }
    void neverSmallerThanDesigned() {
        QFETCH(QSize, change);
        const QSize designed = TwipsSize(4680, 3345);
        window->resize(window->size() + change);
        QWidget* client = window->centralWidget();
        QTRY_COMPARE(client->size(), designed.expandedTo(designed + change));
        QVERIFY(client->rect().contains(Child(window, "計算")->geometry()));
    }

    void layout_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QRect>("twips");
        const auto row = [](const char* name, const char* text, int l, int t, int w, int h) {
            QTest::newRow(name) << QString::fromUtf8(name) << QString::fromUtf8(text)
                                << QRect(l, t, w, h);
        };
        row("Label1", "時給", 330, 270, 405, 225);
        row("時給", "", 705, 240, 690, 240);
        row("Label2", "円", 1440, 270, 465, 225);
        row("Label3", "勤務時間", 2040, 345, 825, 270);
        row("開始時間", "", 2190, 630, 420, 270);
        row("Label4", "時から", 2655, 675, 570, 195);
        row("終了時間", "", 3180, 645, 420, 270);
        row("Label5", "時まで", 3630, 690, 570, 240);
        row("Label6", "週", 330, 735, 900, 285);
        row("週", "", 600, 690, 345, 270);
        row("Label7", "日勤務", 1050, 735, 945, 270);
        row("詳細設定start", nullptr, 285, 1350, 1545, 435);
        row("clear", nullptr, 285, 1890, 1545, 435);
        row("計算", nullptr, 285, 2445, 1545, 435);
        row("Shape1", nullptr, 2130, 1185, 2250, 1935);
        row("状態", nullptr, 2220, 1245, 2085, 810);
        row("Label8", "１日", 2490, 2085, 690, 330);
        row("日", "未計算", 3030, 2040, 765, 285);
        row("Label10", "円", 3780, 2085, 705, 255);
        row("Label11", "１週間", 2385, 2400, 555, 225);
        row("週給料", "未計算", 3060, 2415, 765, 255);
        row("Label9", "円", 3780, 2430, 585, 240);
        row("Label12", "１ヶ月", 2400, 2760, 585, 255);
        row("月給料", "未計算", 3060, 2775, 750, 195);
        row("Label13", "円", 3765, 2775, 630, 300);
    }
    void layout() {
        QFETCH(QString, name);
        QFETCH(QString, text);
        QFETCH(QRect, twips);
        QWidget* control = Child(window, name);
        QCOMPARE(control->geometry(),
                 TwipsRect(twips.x(), twips.y(), twips.width(), twips.height()));
        if (auto* label = qobject_cast<QLabel*>(control); label && !text.isNull()) {
            QCOMPARE(label->text(), text);
            QCOMPARE(label->focusPolicy(), Qt::NoFocus);
        }
        if (auto* box = qobject_cast<QLineEdit*>(control)) {
            QCOMPARE(box->text(), text);
        }
    }

    void menuCommands() {
        const QList<QAction*> commands = window->menuBar()->actions();
        QCOMPARE(commands.size(), 2);
        QCOMPARE(commands[0]->objectName(), QStringLiteral("mnuVersion"));
        QCOMPARE(commands[0]->text(), QStringLiteral("バージョン情報"));
        QCOMPARE(commands[1]->objectName(), QStringLiteral("mnuEnd"));
        QCOMPARE(commands[1]->text(), QStringLiteral("終了"));
        for (QAction* command : commands) {
            QVERIFY(command->menu() == nullptr);
            QVERIFY(command->shortcut().isEmpty());
        }
    }

    // The command that the mouse or the keyboard selects is drawn
    // highlighted, in every style; Enter on 終了 ends the program.
    void menuSelectionIsVisible_data() {
        QTest::addColumn<QString>("style");
        QTest::addColumn<QString>("way");
        for (const QString& style : QStyleFactory::keys()) {
            for (const char* way : {"hover", "Alt", "F10"}) {
                QTest::addRow("%s %s", qPrintable(style), way) << style << QString(way);
            }
        }
    }
    void menuSelectionIsVisible() {
        QFETCH(QString, style);
        QFETCH(QString, way);
        QMenuBar* bar = window->menuBar();
        QStyle* drawn = QStyleFactory::create(style);
        drawn->setParent(bar); // goes with the window
        bar->setStyle(drawn);
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window));
        const QImage inactive = bar->grab().toImage();
        QAction* end = window->findChild<QAction*>("mnuEnd");
        const QRect endRect = bar->actionGeometry(end);
        if (way == "hover") {
            QMouseEvent move(QEvent::MouseMove, endRect.center(),
                             bar->mapToGlobal(endRect.center()), Qt::NoButton, Qt::NoButton,
                             Qt::NoModifier);
            QApplication::sendEvent(bar, &move);
        } else {
            Child(window, "時給")->setFocus();
            QTest::keyClick(QApplication::focusWidget(), way == "Alt" ? Qt::Key_Alt : Qt::Key_F10,
                            way == "Alt" ? Qt::AltModifier : Qt::NoModifier);
            QCOMPARE(QApplication::focusWidget(), bar);
            QTest::keyClick(bar, Qt::Key_Right);
        }
        QCOMPARE(bar->activeAction(), end);
        const QImage active = bar->grab().toImage();
        const auto changedShare = [&](const QRect& rect) {
            int changed = 0;
            for (int y = rect.top(); y <= rect.bottom(); ++y) {
                for (int x = rect.left(); x <= rect.right(); ++x) {
                    const QColor a = inactive.pixelColor(x, y), b = active.pixelColor(x, y);
                    changed += qAbs(a.red() - b.red()) + qAbs(a.green() - b.green()) +
                                   qAbs(a.blue() - b.blue()) >
                               96;
                }
            }
            return double(changed) / (rect.width() * rect.height());
        };
        QVERIFY2(changedShare(endRect) > 0.5, qPrintable(QString::number(changedShare(endRect))));
        QCOMPARE(changedShare(bar->actionGeometry(bar->actions()[0])), 0.0);
        if (way != "hover") {
            QSignalSpy closed(window, &MainWindow::Closed);
            QTest::keyClick(bar, Qt::Key_Return);
            QCOMPARE(closed.count(), 1);
        }
    }

    void tabOrder() {
        const QStringList expected = {"時給",          "週",   "開始時間", "終了時間",
                                      "詳細設定start", "計算", "clear",    "時給"};
        Child(window, "時給")->setFocus();
        QWidget* focused = QApplication::focusWidget();
        QCOMPARE(focused->objectName(), expected[0]);
        for (qsizetype i = 1; i < expected.size(); ++i) {
            QTest::keyClick(focused, Qt::Key_Tab);
            focused = QApplication::focusWidget();
            QCOMPARE(focused->objectName(), expected[i]);
        }
    }

    void accessibleNames() {
        QAccessible::setActive(true);
        const auto accessible = [&](const char* name) {
            return QAccessible::queryAccessibleInterface(Child(window, name));
        };
        QCOMPARE(accessible("Shape1")->text(QAccessible::Name), QStringLiteral("計算結果"));
        QCOMPARE(accessible("状態")->role(), QAccessible::StatusBar);
        QCOMPARE(accessible("状態")->text(QAccessible::Name),
                 QStringLiteral("数字を入力して 計算ボタンを押してください"));
        QCOMPARE(accessible("日")->text(QAccessible::Name), QStringLiteral("１日 未計算"));
        QCOMPARE(Child(window, "時給")->accessibleName(), QStringLiteral("時給"));
        QVERIFY(Child(window, "開始時間")->accessibleName().startsWith("勤務時間"));
        QVERIFY(Child(window, "終了時間")->accessibleName().startsWith("勤務時間"));
        QVERIFY(Child(window, "開始時間")->accessibleName() !=
                Child(window, "終了時間")->accessibleName());
        QCOMPARE(Child(window, "週")->accessibleName(), QStringLiteral("週"));
    }

    void calculateShowsPay() {
        TypeAll("700", "9", "17", "5");
        const auto messages = Answering([&] { Click(window, "計算"); });
        QVERIFY(messages.isEmpty());
        QCOMPARE(Caption(window, "状態"), Q(texts::kResultStatus));
        QCOMPARE(Results(), (QStringList{"5600", "28000", "112000"}));
        // The boxes keep what was typed.
        QCOMPARE(Text(window, "週"), QStringLiteral("5"));
    }

    // Amounts wider than their labels: whole, on one line, inside the
    // window and clear of their units; elided with "…" and the whole
    // amount in the tooltip only when even the smallest size is too wide.
    void longResults_data() {
        QTest::addColumn<QString>("wage");
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("end");
        QTest::addColumn<QStringList>("results");
        QTest::addColumn<QList<bool>>("elided");
        const auto row = [](const char* name, const char* wage, const char* start, const char* end,
                            QStringList results, QList<bool> elided = {false, false, false}) {
            QTest::newRow(name) << wage << start << end << results << elided;
        };
        row("7 digits", "7000", "9", "17", {"56000", "280000", "1120000"});
        row("8 digits", "99999", "9", "17", {"799992", "3999960", "15999840"});
        row("fraction", "1001", "10", "17.75", {"7757.75", "38788.75", "155155"});
        row("fraction of a yen", "999.99", "9", "17", {"7999.92", "39999.6", "159998.4"});
        row("long fraction", "1234.5678", "9", "16.5", {"9259.2585", "46296.2925", "185185.17"});
        row("14 and 15 digits", "1e13", "9", "17", {"80000000000000", "400000000000000", "1.6E+15"},
            {true, true, false});
        row("exponent", "1e15", "9", "17", {"8E+15", "4E+16", "1.6E+17"});
        row("long exponent", "1.23456789012345e300", "9", "17",
            {"9.8765431209876E+300", "4.9382715604938E+301", "1.97530862419752E+302"},
            {true, true, true});
    }
    void longResults() {
        QFETCH(QString, wage);
        QFETCH(QString, start);
        QFETCH(QString, end);
        QFETCH(QStringList, results);
        QFETCH(QList<bool>, elided);
        TypeAll(wage, start, end, "5");
        Click(window, "計算");
        QCOMPARE(Results(), results);
        const QRect client = window->centralWidget()->rect();
        int i = 0;
        for (const auto& [name, unit] : {std::pair{"日", "Label10"}, std::pair{"週給料", "Label9"},
                                         std::pair{"月給料", "Label13"}}) {
            auto* amount = Child<ResultLabel>(window, name);
            const ResultLabel::Shown shown = amount->Drawn();
            const QFontMetrics metrics(shown.font);
            const int pixels = QFontInfo(shown.font).pixelSize();
            QVERIFY(pixels >= ResultLabel::kSmallestPixels);
            const QRect line(amount->geometry().topLeft() + amount->contentsRect().topLeft(),
                             QSize(metrics.horizontalAdvance(shown.text), metrics.height()));
            QVERIFY2(client.contains(line), name);
            QVERIFY2(line.right() + 1 < Child(window, unit)->x(), name);
            QCOMPARE(shown.elided, elided[i++]);
            if (shown.elided) {
                QVERIFY(shown.text.endsWith(u'…'));
                QHelpEvent hover(QEvent::ToolTip, QPoint(2, 2), amount->mapToGlobal(QPoint(2, 2)));
                QApplication::sendEvent(amount, &hover);
                QCOMPARE(QToolTip::text(), amount->text());
            } else {
                QCOMPARE(shown.text, amount->text());
                // What the screen shows is the whole amount.
                QVERIFY2(amount->grab().toImage().convertToFormat(
                             QImage::Format_ARGB32_Premultiplied) == AmountAt(*amount, pixels),
                         name);
            }
        }
    }

    // A box that loses the focus shows what was typed from its first
    // character, whole, at 100, 125 and 150 %; the text stays as typed.
    void typedTextShownWhole_data() {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("text");
        const std::pair<const char*, QStringList> typed[] = {
            {"開始時間", {"16.5", "21.25", "１７．５", "9"}},
            {"終了時間", {"16.5", "21.25", "１７．５", "9"}},
            {"時給", {"700", "1234.56", "７００"}},
            {"週", {"5", "6.5", "５"}},
        };
        for (const auto& [box, texts] : typed) {
            for (const QString& text : texts) {
                QTest::addRow("%s %s", box, qPrintable(text)) << QString::fromUtf8(box) << text;
            }
        }
    }
    void typedTextShownWhole() {
        QFETCH(QString, box);
        QFETCH(QString, text);
        const QString wrong = TypedShownWhole(window, box, text);
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong));
    }

    // Too long for the box even in the smallest size: elided, the whole text
    // in its tooltip and its accessible value.
    void tooLongTextElided() {
        auto* typed = Child<TextBox>(window, "終了時間");
        const QString text = QStringLiteral("17.123456789012");
        Type(window, "終了時間", text);
        QTest::keyClick(typed, Qt::Key_Tab);
        QVERIFY(typed->Drawn().elided && typed->Drawn().text.endsWith(u'…'));
        QHelpEvent hover(QEvent::ToolTip, QPoint(2, 2), typed->mapToGlobal(QPoint(2, 2)));
        QApplication::sendEvent(typed, &hover);
        QCOMPARE(QToolTip::text(), text);
        QCOMPARE(QAccessible::queryAccessibleInterface(typed)->text(QAccessible::Value), text);
    }

    void enterInAnyBoxCalculates_data() {
        QTest::addColumn<QString>("box");
        for (const char* box : {"時給", "開始時間", "終了時間", "週"}) {
            QTest::newRow(box) << QString::fromUtf8(box);
        }
    }
    void enterInAnyBoxCalculates() {
        QFETCH(QString, box);
        TypeAll("1000", "10", "14", "3");
        QTest::keyClick(Child(window, box), Qt::Key_Return);
        QCOMPARE(Results(), (QStringList{"4000", "12000", "48000"}));
    }

    // Space, Return and the keypad's Enter press the focused button.
    void keyboardPressesButton_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<Qt::Key>("key");
        for (const char* button : {"計算", "clear", "詳細設定start"}) {
            for (const auto& [keyName, key] :
                 {std::pair{"Space", Qt::Key_Space}, std::pair{"Return", Qt::Key_Return},
                  std::pair{"Enter", Qt::Key_Enter}}) {
                QTest::addRow("%s %s", button, keyName) << QString::fromUtf8(button) << key;
            }
        }
    }
    void keyboardPressesButton() {
        QFETCH(QString, button);
        QFETCH(Qt::Key, key);
        TypeAll("700", "9", "17", "5");
        QWidget* pressed = Child(window, button);
        pressed->setFocus();
        QTest::keyClick(pressed, key, key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
        if (button == "計算") {
            QCOMPARE(Results(), (QStringList{"5600", "28000", "112000"}));
        } else if (button == "clear") {
            // Emptied, with the cursor in 時給 for the next wage.
            QVERIFY(Text(window, "時給").isEmpty());
            QTRY_COMPARE(QApplication::focusWidget(), Child(window, "時給"));
            QTest::keyClicks(QApplication::focusWidget(), "800");
            QCOMPARE(Text(window, "時給"), QStringLiteral("800"));
        } else {
            QVERIFY(Forms::Schedule() != nullptr && Forms::Schedule()->isVisible());
        }
    }

    void messageLeavesWindowAsItWas() {
        TypeAll("700", "9", "17", "5");
        Click(window, "計算");
        Type(window, "週", "");
        const auto messages = Answering([&] { Click(window, "計算"); });
        QCOMPARE(messages.size(), 1);
        QCOMPARE(messages[0].text, Q(texts::kNoDays));
        QCOMPARE(messages[0].title, ApplicationTitle());
        QCOMPARE(messages[0].buttons, 1);
        QVERIFY(messages[0].noIcon);
        QCOMPARE(Caption(window, "状態"), Q(texts::kResultStatus));
        QCOMPARE(Results(), (QStringList{"5600", "28000", "112000"}));
        QCOMPARE(Text(window, "時給"), QStringLiteral("700"));
    }

    void emptyAtStartSaysNotEntered() {
        const auto messages = Answering([&] { Click(window, "計算"); });
        QCOMPARE(messages.size(), 1);
        QCOMPARE(messages[0].text, Q(texts::kNotEntered));
        QCOMPARE(Caption(window, "状態"), MainWindow::InputPrompt());
        QCOMPARE(Results(), QStringList(3, kNotCalculated));
    }

    void negativeDaysRejected() {
        TypeAll("700", "9", "17", "-1");
        const auto messages = Answering([&] { Click(window, "計算"); });
        QCOMPARE(messages.size(), 1);
        QCOMPARE(messages[0].text, Q(texts::kNoDays));
        QCOMPARE(Results(), QStringList(3, kNotCalculated));
    }

    void cautionKeepsEarlierPay() {
        TypeAll("700", "9", "17", "5");
        Click(window, "計算");
        Type(window, "週", "6");
        const auto messages = Answering([&] { Click(window, "計算"); });
        QVERIFY(messages.isEmpty());
        QCOMPARE(Caption(window, "状態"), Q(texts::kCaution));
        QCOMPARE(Results(), (QStringList{"5600", "28000", "112000"}));
    }

    void fullWidthInput() {
        TypeAll("７００", "９", "１７時", "５");
        Click(window, "計算");
        QCOMPARE(Results(), (QStringList{"5600", "28000", "112000"}));
    }

    void overflowIsAMessageNotACrash_data() {
        QTest::addColumn<QString>("wage");
        QTest::addColumn<QString>("days");
        // clang-format off
        QTest::newRow("huge wage") << "1e308" << "1";
        QTest::newRow("typed 1e999") << "1e999" << "1";
        QTest::newRow("huge negative days") << "700" << "-1e999";
        QTest::newRow("huge exponent in days") << "700" << "5e400";
        // clang-format on
    }
    void overflowIsAMessageNotACrash() {
        QFETCH(QString, wage);
        QFETCH(QString, days);
        TypeAll("700", "9", "17", "5");
        Click(window, "計算");
        Type(window, "時給", wage);
        Type(window, "週", days);
        const auto messages = Answering([&] { Click(window, "計算"); });
        QCOMPARE(messages.size(), 1);
        QVERIFY(messages[0].text.contains(QStringLiteral("大きすぎ")));
        QCOMPARE(messages[0].title, ApplicationTitle());
        // Every text and caption stays as it was.
        QCOMPARE(Caption(window, "状態"), Q(texts::kResultStatus));
        QCOMPARE(Results(), (QStringList{"5600", "28000", "112000"}));
        QCOMPARE(Text(window, "時給"), wage);
        QCOMPARE(Text(window, "週"), days);
        QVERIFY(window->isVisible());
    }

    void clearResets() {
        TypeAll("700", "9", "17", "5");
        Click(window, "計算");
        Child(window, "clear")->setFocus();
        QTest::keyClick(Child(window, "clear"), Qt::Key_Space);
        for (const char* box : {"時給", "開始時間", "終了時間", "週"}) {
            QVERIFY(Text(window, box).isEmpty());
        }
        QCOMPARE(Results(), QStringList(3, kNotCalculated));
        QCOMPARE(Caption(window, "状態"), MainWindow::InputPrompt());
    }

    void endCommandClosesWindow() {
        QSignalSpy closed(window, &MainWindow::Closed);
        QAction* end = window->findChild<QAction*>("mnuEnd");
        QVERIFY(end != nullptr);
        end->trigger();
        QCOMPARE(closed.count(), 1);
        QTRY_VERIFY(!Forms::MainLoaded());
    }
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    app.setAttribute(Qt::AA_Use96Dpi, true);
    QTEST_SET_MAIN_SOURCE_PATH
    TestMainWindow test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_main_window.moc"

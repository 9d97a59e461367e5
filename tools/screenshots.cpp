// Renders the windows to PNG files, headless, in the states worth looking
// at: `soranika-screenshots OUTDIR`. Used for the README and for review.
// Beside each picture, NAME.txt holds the lines of every wrapping label and
// button as drawn, and every amount of pay as drawn with its size in pixels,
// one control a line: the builds for Linux and Windows must draw them alike.
// A picture or a lines file that cannot be written, or a message box that
// does not show, is reported and ends the tool with status 1.
#include "about_window.h"
#include "application.h"
#include "forms.h"
#include "main_window.h"
#include "menu_bar.h"
#include "result_label.h"
#include "schedule_window.h"
#include "text_box.h"
#include "wrap_button.h"
#include "wrap_label.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFontInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTextStream>
#include <QTimer>

#include <tuple>

namespace {

// Set by anything that could not be saved.
bool failed = false;

void Fail(const QString& what) {
    QTextStream(stderr) << "soranika-screenshots: " << what << '\n';
    failed = true;
}

void Save(QWidget* window, const QString& dir, const QString& name) {
    QApplication::processEvents();
    const QString path = QDir(dir).filePath(name + QStringLiteral(".png"));
    if (!window->grab().save(path)) {
        Fail(QStringLiteral("cannot write ") + path);
    }
    QTextStream(stdout) << path << '\n';

    QFile lines(QDir(dir).filePath(name + QStringLiteral(".txt")));
    if (!lines.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        Fail(QStringLiteral("cannot write ") + lines.fileName() + QStringLiteral(": ") +
             lines.errorString());
        return;
    }
    QTextStream out(&lines);
    out.setEncoding(QStringConverter::Utf8);
    for (QWidget* control : window->findChildren<QWidget*>()) {
        QStringList drawn;
        if (auto* label = qobject_cast<soranika::WrapLabel*>(control)) {
            drawn = label->Lines();
        } else if (auto* button = qobject_cast<soranika::WrapButton*>(control)) {
            drawn = button->Lines();
        } else if (auto* amount = qobject_cast<soranika::ResultLabel*>(control)) {
            const soranika::ResultLabel::Shown shown = amount->Drawn();
            drawn = QStringList{shown.text +
                                QStringLiteral(" (%1 px)").arg(QFontInfo(shown.font).pixelSize())};
        } else if (auto* box = qobject_cast<soranika::TextBox*>(control);
                   box != nullptr && !box->text().isEmpty() && !box->hasFocus()) {
            const soranika::FittedText shown = box->Drawn();
            drawn = QStringList{shown.text +
                                QStringLiteral(" (%1 px)").arg(QFontInfo(shown.font).pixelSize())};
        } else {
            continue;
        }
        out << control->objectName() << ": " << drawn.join(QStringLiteral(" | ")) << '\n';
    }
}

template <typename T> T* Find(QWidget* window, const char* name) {
    return window->findChild<T*>(QString::fromUtf8(name));
}

void Type(QWidget* window, const char* box, const QString& text) {
    Find<QLineEdit>(window, box)->setText(text);
}

// Runs an action that shows a message box; saves the box and answers it.
void SaveMessage(const std::function<void()>& action, const QString& dir, const QString& name) {
    QTimer::singleShot(50, [dir, name] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            Save(box, dir, name);
            box->accept();
        } else {
            Fail(QStringLiteral("no message box for ") + name);
        }
    });
    action();
}

// What a desktop theme does once the windows exist: a dark palette and
// another application font.
void ApplyDarkTheme() {
    QPalette dark(QColor(0x35, 0x35, 0x35));
    dark.setColor(QPalette::Base, QColor(0x20, 0x20, 0x20));
    dark.setColor(QPalette::Text, Qt::white);
    QApplication::setPalette(dark);
    QFont themeFont(QStringLiteral("DejaVu Sans"));
    themeFont.setPointSizeF(11);
    QApplication::setFont(themeFont);
}

// The designed controls of a window as loaded, one object each: its name,
// its text and its place in the client area in pixels. Other front ends
// compare themselves with this.
QJsonArray Controls(QWidget* window, QWidget* client) {
    QJsonArray controls;
    const auto add = [&](const QString& name, const QString& text, QRect place) {
        controls.append(QJsonObject{{QStringLiteral("name"), name},
                                    {QStringLiteral("text"), text},
                                    {QStringLiteral("x"), place.x()},
                                    {QStringLiteral("y"), place.y()},
                                    {QStringLiteral("width"), place.width()},
                                    {QStringLiteral("height"), place.height()}});
    };
    for (QAction* action : window->findChildren<QAction*>()) {
        if (!action->objectName().isEmpty()) {
            add(action->objectName(), action->text(), QRect());
        }
    }
    for (QWidget* control : client->findChildren<QWidget*>()) {
        QString text;
        if (auto* label = qobject_cast<QLabel*>(control)) {
            text = label->text();
        } else if (auto* box = qobject_cast<QLineEdit*>(control)) {
            text = box->text();
        } else if (auto* button = qobject_cast<QAbstractButton*>(control)) {
            text = button->text();
        }
        const QString name = control->objectName();
        if (name.isEmpty() || name.startsWith(QStringLiteral("qt_"))) {
            continue;
        }
        add(name, text, QRect(control->mapTo(client, QPoint()), control->size()));
    }
    return controls;
}

// The three windows, loaded, as JSON: {"window name": [controls...], ...}.
bool WriteControls(const QString& path) {
    auto* main = soranika::Forms::Main();
    main->show();
    soranika::Forms::ShowSchedule();
    main->findChild<QAction*>(QStringLiteral("mnuVersion"))->trigger();
    QApplication::processEvents();
    QJsonObject windows;
    for (QWidget* window : std::initializer_list<QWidget*>{main, soranika::Forms::Schedule(),
                                                           soranika::Forms::About()}) {
        QWidget* client = window == main ? main->centralWidget() : window;
        windows.insert(window->objectName(), Controls(window, client));
    }
    QFile file(path);
    const bool written = file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
                         file.write(QJsonDocument(windows).toJson()) > 0;
    if (!written) {
        Fail(QStringLiteral("cannot write ") + path);
    }
    soranika::Forms::UnloadAll();
    return written;
}

} // namespace

// soranika-screenshots OUTDIR [--theme]: with --theme, every window as it
// looks after a desktop theme changed the palette and the font.
// soranika-screenshots --controls FILE: the windows' designed controls as
// JSON, no pictures.
int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    soranika::InstallApplicationFont(app);
    const QStringList args = app.arguments();
    if (args.size() == 3 && args[1] == QStringLiteral("--controls")) {
        return WriteControls(args[2]) ? 0 : 1;
    }
    const QString dir = args.size() > 1 ? args[1] : QStringLiteral(".");
    const bool themed = args.contains(QStringLiteral("--theme"));
    QDir().mkpath(dir);

    auto* main = soranika::Forms::Main();
    main->show();
    if (themed) {
        ApplyDarkTheme();
    }
    Save(main, dir, QStringLiteral("main"));

    // 終了 selected from the keyboard: F10, then Right.
    auto* bar = static_cast<soranika::MenuBar*>(main->menuBar());
    bar->ToggleKeyboardSelection();
    QKeyEvent right(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier);
    QApplication::sendEvent(bar, &right);
    Save(main, dir, QStringLiteral("main-menu-selected"));
    bar->ToggleKeyboardSelection();

    Type(main, "時給", QStringLiteral("700"));
    Type(main, "開始時間", QStringLiteral("9"));
    Type(main, "終了時間", QStringLiteral("17"));
    Type(main, "週", QStringLiteral("5"));
    Find<QPushButton>(main, "計算")->click();
    Save(main, dir, QStringLiteral("main-result"));

    // Hours typed with a fraction and in full-width digits, the cursor gone
    // on to the next box: each box shows its whole text.
    for (const auto& [end, name] : {std::pair{"16.5", "main-hours-fraction"},
                                    std::pair{"１７．５", "main-hours-full-width"}}) {
        auto* box = Find<QLineEdit>(main, "終了時間");
        box->setFocus();
        box->setText(QString::fromUtf8(end));
        Find<QLineEdit>(main, "週")->setFocus();
        Save(main, dir, QString::fromUtf8(name));
    }
    Type(main, "終了時間", QStringLiteral("17"));

    // Amounts wider than their labels: seven digits, a fraction, and an
    // absurd wage written with an exponent.
    for (const auto& [wage, start, end, name] :
         {std::tuple{"7000", "9", "17", "main-result-7-digits"},
          std::tuple{"1001", "10", "17.75", "main-result-fraction"},
          std::tuple{"1e13", "9", "17", "main-result-exponent"}}) {
        Type(main, "時給", QString::fromUtf8(wage));
        Type(main, "開始時間", QString::fromUtf8(start));
        Type(main, "終了時間", QString::fromUtf8(end));
        Find<QPushButton>(main, "計算")->click();
        Save(main, dir, QString::fromUtf8(name));
    }
    Type(main, "時給", QStringLiteral("700"));
    Type(main, "開始時間", QStringLiteral("9"));
    Type(main, "終了時間", QStringLiteral("17"));

    Type(main, "週", QStringLiteral("6"));
    Find<QPushButton>(main, "計算")->click();
    Save(main, dir, QStringLiteral("main-caution"));

    // The weekly schedule, filled in, then the main window in detail mode.
    Find<QPushButton>(main, "詳細設定start")->click();
    auto* schedule = soranika::Forms::Schedule();
    Type(schedule, "日_bigin", QStringLiteral("9"));
    Type(schedule, "日_end", QStringLiteral("17"));
    Type(schedule, "土_bigin", QStringLiteral("10"));
    Type(schedule, "土_end", QStringLiteral("15"));
    Save(schedule, dir, QStringLiteral("schedule"));
    SaveMessage([schedule] { Find<QPushButton>(schedule, "input_end")->click(); }, dir,
                QStringLiteral("message-detail-mode"));
    Find<QPushButton>(main, "計算")->click();
    Save(main, dir, QStringLiteral("main-detail-mode"));

    main->findChild<QAction*>(QStringLiteral("mnuVersion"))->trigger();
    Save(soranika::Forms::About(), dir, QStringLiteral("about"));

    soranika::Forms::UnloadAll();
    return failed ? 1 : 0;
}

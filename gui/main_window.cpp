#include "main_window.h"

#include "accessibility.h"
#include "design_font.h"
#include "forms.h"
#include "guard.h"
#include "menu_bar.h"
#include "module1.h"
#include "result_label.h"
#include "text_box.h"
#include "twips.h"
#include "wage.h"
#include "wrap_button.h"
#include "wrap_label.h"

#include <QAction>
#include <QCloseEvent>
#include <QFrame>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QShortcut>

#include <algorithm>
#include <utility>

namespace soranika {

namespace {

QString FromUtf8(const std::string& text) {
    return QString::fromStdString(text);
}
QString FromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}
std::string ToUtf8(const QLineEdit* box) {
    return box->text().toStdString();
}

// The client area, 4680 × 3345 twips: the window takes its size from it
// and from the menu bar when first shown, when the menu bar is laid out.
class ClientArea : public QWidget {
public:
    using QWidget::QWidget;
    QSize sizeHint() const override { return TwipsSize(4680, 3345); }
};

// The captions of the daily, weekly and monthly results.
const QString kResultCaptions[] = {QStringLiteral("１日"), QStringLiteral("１週間"),
                                   QStringLiteral("１ヶ月")};

} // namespace

QString MainWindow::NotCalculated() {
    return QStringLiteral("未計算");
}

QString MainWindow::InputPrompt() {
    // 35 blanks, then the prompt; the blanks and the ideographic spaces
    // place its two halves on the second and third line of the status line.
    return QString(35, QChar(u' ')) +
           QStringLiteral("数字を入力して\u3000 \u3000      \u3000計算ボタンを押してください");
}

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent) {
    setObjectName(ApplicationTitle());
    setWindowTitle(ApplicationTitle());
    setFont(DesignFont());
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);

    auto* menu = new MenuBar(this);
    setMenuBar(menu);
    auto* versionCommand = menuBar()->addAction(QStringLiteral("バージョン情報"));
    versionCommand->setObjectName(QStringLiteral("mnuVersion"));
    auto* endCommand = menuBar()->addAction(QStringLiteral("終了"));
    endCommand->setObjectName(QStringLiteral("mnuEnd"));

    auto* client = new ClientArea(this);
    client->setObjectName(QStringLiteral("client"));
    setCentralWidget(client);
    // The controls sit at fixed places: the window may grow, but never
    // shrinks below the designed client area, where 計算 would be cut off.
    client->setMinimumSize(TwipsSize(4680, 3345));

    // The frame first, so that the status line and the results lie on it.
    auto* shape = new QFrame(client);
    shape->setObjectName(QStringLiteral("Shape1"));
    shape->setFrameShape(QFrame::Box);
    shape->setFrameShadow(QFrame::Plain);
    shape->setLineWidth(2);
    shape->setGeometry(TwipsRect(2130, 1185, 2250, 1935));
    shape->setAccessibleName(QStringLiteral("計算結果"));
    SetAccessibleRole(shape, QAccessible::Grouping);

    const auto label = [client](const char* name, const QString& text, QRect geometry) {
        return new WrapLabel(name, text, geometry, client);
    };
    const auto box = [client](const char* name, QRect geometry) {
        return new TextBox(name, geometry, client);
    };
    const auto button = [client](const char* name, const QString& text, QRect geometry) {
        auto* b = new WrapButton(text, client);
        b->setObjectName(QString::fromUtf8(name));
        b->setGeometry(geometry);
        return b;
    };

    auto* wageCaption = label("Label1", QStringLiteral("時給"), TwipsRect(330, 270, 405, 225));
    wage_ = box("時給", TwipsRect(705, 240, 690, 240));
    label("Label2", QStringLiteral("円"), TwipsRect(1440, 270, 465, 225));
    hoursCaption_ = label("Label3", QStringLiteral("勤務時間"), TwipsRect(2040, 345, 825, 270));
    start_ = box("開始時間", TwipsRect(2190, 630, 420, 270));
    startUnit_ = label("Label4", QStringLiteral("時から"), TwipsRect(2655, 675, 570, 195));
    end_ = box("終了時間", TwipsRect(3180, 645, 420, 270));
    endUnit_ = label("Label5", QStringLiteral("時まで"), TwipsRect(3630, 690, 570, 240));
    daysCaption_ = label("Label6", QStringLiteral("週"), TwipsRect(330, 735, 900, 285));
    days_ = box("週", TwipsRect(600, 690, 345, 270));
    daysUnit_ = label("Label7", QStringLiteral("日勤務"), TwipsRect(1050, 735, 945, 270));

    detail_ = button("詳細設定start",
                     QStringLiteral("勤務時間\u3000\u3000\u3000\u3000\u3000\u3000\u3000詳細設定"),
                     TwipsRect(285, 1350, 1545, 435));
    clear_ = button("clear", QStringLiteral("クリアー"), TwipsRect(285, 1890, 1545, 435));
    calculate_ = button("計算", QStringLiteral("計算"), TwipsRect(285, 2445, 1545, 435));

    status_ = label("状態", InputPrompt(), TwipsRect(2220, 1245, 2085, 810));
    status_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    SetAccessibleRole(status_, QAccessible::StatusBar);
    const auto result = [client](const char* name, QRect geometry) {
        auto* l = new ResultLabel(NotCalculated(), client);
        l->setObjectName(QString::fromUtf8(name));
        l->setGeometry(geometry);
        return l;
    };
    label("Label8", kResultCaptions[0], TwipsRect(2490, 2085, 690, 330));
    daily_ = result("日", TwipsRect(3030, 2040, 765, 285));
    auto* dailyUnit = label("Label10", QStringLiteral("円"), TwipsRect(3780, 2085, 705, 255));
    label("Label11", kResultCaptions[1], TwipsRect(2385, 2400, 555, 225));
    weekly_ = result("週給料", TwipsRect(3060, 2415, 765, 255));
    auto* weeklyUnit = label("Label9", QStringLiteral("円"), TwipsRect(3780, 2430, 585, 240));
    label("Label12", kResultCaptions[2], TwipsRect(2400, 2760, 585, 255));
    monthly_ = result("月給料", TwipsRect(3060, 2775, 750, 195));
    auto* monthlyUnit = label("Label13", QStringLiteral("円"), TwipsRect(3765, 2775, 630, 300));
    // Each amount's label reaches a few pixels under its unit's: the amount
    // ends a pixel before the unit begins.
    constexpr int kGapBeforeUnit = 1;
    for (auto [amount, unit] : {std::pair{daily_, dailyUnit}, std::pair{weekly_, weeklyUnit},
                                std::pair{monthly_, monthlyUnit}}) {
        amount->setContentsMargins(
            0, 0, std::max(0, amount->geometry().right() + 1 + kGapBeforeUnit - unit->x()), 0);
    }

    // What a screen reader announces for each box: its caption.
    wage_->setAccessibleName(wageCaption->text());
    start_->setAccessibleName(hoursCaption_->text() + u' ' + startUnit_->text());
    end_->setAccessibleName(hoursCaption_->text() + u' ' + endUnit_->text());
    days_->setAccessibleName(daysCaption_->text());
    for (QLineEdit* b : {wage_, days_, start_, end_}) {
        NameOnFocus(b);
    }
    NameResults();

    setTabOrder(wage_, days_);
    setTabOrder(days_, start_);
    setTabOrder(start_, end_);
    setTabOrder(end_, detail_);
    setTabOrder(detail_, calculate_);
    setTabOrder(calculate_, clear_);

    connect(calculate_, &QPushButton::clicked, this,
            [this] { Guarded(this, [this] { Calculate(); }); });
    connect(clear_, &QPushButton::clicked, this, [this] { Guarded(this, [this] { Clear(); }); });
    connect(detail_, &QPushButton::clicked, this,
            [this] { Guarded(this, [] { Forms::ShowSchedule(); }); });
    connect(versionCommand, &QAction::triggered, this,
            [this] { Guarded(this, [] { Forms::ShowAbout(); }); });
    connect(endCommand, &QAction::triggered, this, &QWidget::close);
    // Enter in any box presses 計算, as the default button of a form.
    for (QLineEdit* b : {wage_, start_, end_, days_}) {
        connect(b, &QLineEdit::returnPressed, calculate_, &QPushButton::click);
    }

    // F10 selects the first menu command, as Alt does.
    auto* menuKey = new QShortcut(QKeySequence(Qt::Key_F10), this);
    connect(menuKey, &QShortcut::activated, menu, &MenuBar::ToggleKeyboardSelection);
}

void MainWindow::Calculate() {
    ApplyOutcome(EvaluateWage(ToUtf8(wage_), ToUtf8(start_), ToUtf8(end_), ToUtf8(days_),
                              Module1::DetailMode, Module1::WeeklyHours));
}

void MainWindow::ApplyOutcome(const WageOutcome& outcome) {
    switch (outcome.kind) {
    case WageOutcome::Kind::Message:
        ShowMessage(this, FromUtf8(outcome.text));
        return;
    case WageOutcome::Kind::Caution:
        status_->setText(FromUtf8(outcome.text));
        Announce(this, status_->text().simplified());
        return;
    case WageOutcome::Kind::Result:
        if (outcome.maskInputs) {
            const QString mask = FromUtf8(texts::kInputMask);
            days_->setText(mask);
            end_->setText(mask);
            start_->setText(mask);
        }
        status_->setText(FromUtf8(outcome.text));
        daily_->setText(FromUtf8(outcome.daily));
        weekly_->setText(FromUtf8(outcome.weekly));
        monthly_->setText(FromUtf8(outcome.monthly));
        NameResults();
        Announce(this, status_->text().simplified() + u' ' +
                           QStringList{daily_->accessibleName(), weekly_->accessibleName(),
                                       monthly_->accessibleName()}
                               .join(u'、'));
        return;
    }
}

void MainWindow::NameResults() {
    const std::pair<QLabel*, QString> results[] = {{daily_, kResultCaptions[0]},
                                                   {weekly_, kResultCaptions[1]},
                                                   {monthly_, kResultCaptions[2]}};
    for (const auto& [result, caption] : results) {
        // A pay is read with its unit; 未計算 and the mask without.
        const QString value = result->text();
        result->setAccessibleName(caption + u' ' + value +
                                  (IsPay(value.toStdString()) ? QStringLiteral(" 円") : QString()));
    }
}

void MainWindow::Clear() {
    Forms::UnloadSchedule();
    for (QLineEdit* b : {wage_, start_, end_, days_}) {
        b->clear();
    }
    for (ResultLabel* result : {daily_, weekly_, monthly_}) {
        result->setText(NotCalculated());
    }
    NameResults();
    status_->setText(InputPrompt());
    Forms::LoadSchedule();
    SetHourGroupEnabled(true);
    // Ready for the next calculation: what is typed next is the wage.
    wage_->setFocus(Qt::OtherFocusReason);
    wage_->end(false);
}

void MainWindow::MaskForDetailMode() {
    const QString mask = FromUtf8(texts::kDetailModeMask);
    days_->setText(mask);
    end_->setText(mask);
    start_->setText(mask);
    SetHourGroupEnabled(false);
}

void MainWindow::SetHourGroupEnabled(bool enabled) {
    for (QWidget* w : std::initializer_list<QWidget*>{
             days_, end_, start_, hoursCaption_, daysCaption_, daysUnit_, startUnit_, endUnit_}) {
        w->setEnabled(enabled);
    }
}

void MainWindow::closeEvent(QCloseEvent* event) {
    QMainWindow::closeEvent(event);
    if (event->isAccepted()) {
        Q_EMIT Closed();
    }
}

} // namespace soranika

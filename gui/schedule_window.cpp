#include "schedule_window.h"

#include "accessibility.h"
#include "design_font.h"
#include "guard.h"
#include "text_box.h"
#include "twips.h"
#include "wrap_button.h"
#include "wrap_label.h"

#include <QLineEdit>

namespace soranika {

namespace {

struct DayRow {
    const char* dayLabel;
    const char* dayName;
    int dayTop;
    const char* startField;
    int startTop;
    const char* fromLabel;
    int fromTop;
    const char* endField;
    int endTop;
    const char* untilLabel;
    int untilTop;
};

// The seven rows, Sunday first; the columns are shared.
constexpr DayRow kRows[] = {
    {"Label1", "日曜日", 585, "日_bigin", 555, "Label4", 585, "日_end", 555, "Label5", 600},
    {"Label2", "月曜日", 915, "月_bigin", 870, "Label6", 915, "月_end", 885, "Label3", 930},
    {"Label7", "火曜日", 1245, "火_bigin", 1200, "Label9", 1245, "火_end", 1200, "Label8", 1260},
    {"Label10", "水曜日", 1560, "水_bigin", 1515, "Label14", 1560, "水_end", 1515, "Label13", 1575},
    {"Label11", "木曜日", 1890, "木_bigin", 1845, "Label16", 1890, "木_end", 1830, "Label15", 1890},
    {"Label12", "金曜日", 2235, "金_bigin", 2175, "Label18", 2220, "金_end", 2175, "Label17", 2235},
    {"Label19", "土曜日", 2550, "土_bigin", 2505, "Label21", 2550, "土_end", 2505, "Label20", 2565},
};

} // namespace

QStringList ScheduleWindow::DayFieldNames() {
    QStringList names;
    for (const DayRow& row : kRows) {
        names << QString::fromUtf8(row.startField) << QString::fromUtf8(row.endField);
    }
    return names;
}

QString ScheduleWindow::DetailModeMessage() {
    return QString::fromUtf8(texts::kDetailModeMessage.data(),
                             qsizetype(texts::kDetailModeMessage.size()));
}

QString ScheduleWindow::CautionText() {
    // The blanks push the legal reference onto the second line.
    return QStringLiteral("【注意】\u3000\u3000\u3000毎週最低１日は休日が必要です。\u3000") +
           QString(56, QChar(u' ')) + QStringLiteral("（労働基準法第35条)");
}

ScheduleWindow::ScheduleWindow(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("詳細設定"));
    setWindowTitle(QStringLiteral("勤務時間\u3000詳細設定"));
    setFont(DesignFont());
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    resize(TwipsSize(4680, 3090));
    SetAccessibleRole(this, QAccessible::Window);

    const auto label = [this](const char* name, const QString& text, QRect geometry) {
        return new WrapLabel(name, text, geometry, this);
    };
    label("Label22", CautionText(), TwipsRect(195, 45, 4365, 495));

    std::size_t field = 0;
    for (const DayRow& row : kRows) {
        label(row.dayLabel, QString::fromUtf8(row.dayName), TwipsRect(765, row.dayTop, 675, 195));
        label(row.fromLabel, QStringLiteral("時から"), TwipsRect(1965, row.fromTop, 570, 195));
        label(row.untilLabel, QStringLiteral("時まで"), TwipsRect(2940, row.untilTop, 570, 240));
        for (const auto& [name, left, top] : {std::tuple{row.startField, 1500, row.startTop},
                                              std::tuple{row.endField, 2490, row.endTop}}) {
            auto* box = new TextBox(name, TwipsRect(left, top, 420, 270), this);
            box->setAccessibleName(
                QString::fromUtf8(row.dayName) +
                (field % 2 == 0 ? QStringLiteral(" 時から") : QStringLiteral(" 時まで")));
            NameOnFocus(box);
            connect(box, &QLineEdit::textChanged, this, [this] { state_.DayFieldChanged(); });
            // Enter in any field presses 入力完了, the window's default button.
            connect(box, &QLineEdit::returnPressed, this, [this] { confirm_->click(); });
            fields_[field++] = box;
        }
    }

    confirm_ = new WrapButton(QStringLiteral("入力完了"), this);
    confirm_->setObjectName(QStringLiteral("input_end"));
    confirm_->setGeometry(TwipsRect(3585, 2580, 990, 420));
    confirm_->setAutoDefault(false);
    confirm_->setDefault(true);
    connect(confirm_, &QPushButton::clicked, this,
            [this] { Guarded(this, [this] { Confirm(); }); });

    for (std::size_t i = 0; i + 1 < fields_.size(); ++i) {
        setTabOrder(fields_[i], fields_[i + 1]);
    }
    setTabOrder(fields_.back(), confirm_);

    state_.Loaded();
}

DayFields ScheduleWindow::Fields() const {
    DayFields fields;
    for (std::size_t i = 0; i < fields_.size(); ++i) {
        fields[i] = fields_[i]->text().toStdString();
    }
    return fields;
}

void ScheduleWindow::Confirm() {
    state_.Confirm(Fields(), [this] {
        Q_EMIT DetailModeEntered();
        ShowMessage(this, DetailModeMessage());
    });
    hide();
}

} // namespace soranika

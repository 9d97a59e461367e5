// The weekly schedule: a start and an end hour for each day of the week.
// Confirming an edited schedule switches the main window into detail mode,
// in which the pay comes from the weekly total.
#pragma once

#include "schedule.h"

#include <QWidget>

#include <array>

class QLineEdit;
class QPushButton;

namespace soranika {

class ScheduleWindow : public QWidget {
    Q_OBJECT

public:
    // Creating the window is loading it: no field edited yet, and detail
    // mode ends.
    explicit ScheduleWindow(QWidget* parent = nullptr);

    // The text of the caution at the top of the window.
    static QString CautionText();

    bool ScheduleChanged() const { return state_.Changed(); }

private:
    void Confirm();
    DayFields Fields() const;

    ScheduleState state_;
    // Sunday first: start, end, start, end, ...
    std::array<QLineEdit*, 14> fields_{};
    QPushButton* confirm_;
};

} // namespace soranika

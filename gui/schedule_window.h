// The weekly schedule: a start and an end hour for each day of the week.
// Confirming an edited schedule switches the program into detail mode, in
// which the pay comes from the weekly total, and announces it to whoever
// masks the inputs that the total replaces.
#pragma once

#include "schedule.h"

#include <QStringList>
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
    // The names of the fourteen day fields, Sunday first: start, end, ...
    static QStringList DayFieldNames();
    // The message shown when a confirmation switches detail mode on.
    static QString DetailModeMessage();

    bool ScheduleChanged() const { return state_.Changed(); }

Q_SIGNALS:
    // A confirmation switched detail mode on. Emitted while the window is
    // still on screen, before its message shows and before the total is
    // stored: a receiver masks the main window's inputs at once.
    void DetailModeEntered();

private:
    void Confirm();
    DayFields Fields() const;

    ScheduleState state_;
    // Sunday first: start, end, start, end, ...
    std::array<QLineEdit*, 14> fields_{};
    QPushButton* confirm_;
};

} // namespace soranika

#include "schedule.h"

#include "module1.h"
#include "runtime.h"

namespace soranika {

std::int16_t WeeklyTotal(const DayFields& fields) {
    double total = 0;
    for (std::size_t day = 0; day < 7; ++day) {
        const double start = NumberFromText(fields[2 * day]);
        const double end = NumberFromText(fields[2 * day + 1]);
        const double hours = CheckedSub(end, start);
        total = CheckedAdd(total, hours);
    }
    return ToInt16(total);
}

void ScheduleState::Loaded() {
    changed_ = false;
    Module1::DetailMode = 0;
}

void ScheduleState::EnterDetailMode() {
    Module1::DetailMode = 1;
}

void ScheduleState::StoreWeeklyHours(std::int16_t total) {
    Module1::WeeklyHours = total;
}

} // namespace soranika

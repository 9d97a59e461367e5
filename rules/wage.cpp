#include "wage.h"

#include "runtime.h"

namespace soranika {

namespace {

constexpr double kLowestWage = 681;
constexpr double kLatestEnd = 22;
constexpr double kEarliestStart = 5;
constexpr double kMostHoursPerDay = 8;
constexpr double kMostDaysPerWeek = 6;
constexpr double kCautionWeeklyHours = 40;
constexpr double kWeeksPerMonth = 4;
constexpr std::int16_t kDetailModeOn = 1;

WageOutcome DetailPay(double wage, std::int16_t weeklyHours) {
    // A schedule is never checked against the limits for minors, but pay is
    // never negative: a negative wage or a negative weekly total (a day that
    // ends before it starts) is rejected.
    if (wage < 0) {
        return WageOutcome::Message(std::string(texts::kBelowMinimumWage));
    }
    if (weeklyHours < 0) {
        return WageOutcome::Message(std::string(texts::kNoHours));
    }
    const double weekly = CheckedMul(wage, weeklyHours);
    const double monthly = CheckedMul(weekly, kWeeksPerMonth);
    return WageOutcome::Result(std::string(texts::kDailyMask), NumberToText(weekly),
                               NumberToText(monthly), true);
}

} // namespace

bool IsPay(std::string_view amount) {
    return !amount.empty() && ((amount[0] >= '0' && amount[0] <= '9') || amount[0] == '-');
}

WageOutcome WageOutcome::Message(std::string message) {
    WageOutcome outcome;
    outcome.kind = Kind::Message;
    outcome.text = std::move(message);
    return outcome;
}

WageOutcome WageOutcome::Caution() {
    WageOutcome outcome;
    outcome.kind = Kind::Caution;
    outcome.text = std::string(texts::kCaution);
    return outcome;
}

WageOutcome WageOutcome::Result(std::string daily, std::string weekly, std::string monthly,
                                bool maskInputs) {
    WageOutcome outcome;
    outcome.kind = Kind::Result;
    outcome.text = std::string(texts::kResultStatus);
    outcome.daily = std::move(daily);
    outcome.weekly = std::move(weekly);
    outcome.monthly = std::move(monthly);
    outcome.maskInputs = maskInputs;
    return outcome;
}

WageOutcome EvaluateWage(std::string_view wageText, std::string_view startText,
                         std::string_view endText, std::string_view daysText,
                         std::int16_t detailMode, std::int16_t weeklyHours) {
    if (detailMode == kDetailModeOn) {
        return DetailPay(NumberFromText(wageText), weeklyHours);
    }

    const auto message = [](std::string_view text) {
        return WageOutcome::Message(std::string(text));
    };
    const double wage = NumberFromText(wageText);
    if (wage == 0) {
        return message(texts::kNotEntered);
    }
    const double days = NumberFromText(daysText);
    if (days <= 0) { // no day, or a negative count of days
        return message(texts::kNoDays);
    }
    if (wage < kLowestWage) {
        return message(texts::kBelowMinimumWage);
    }
    const double end = NumberFromText(endText);
    if (end > kLatestEnd) {
        return message(texts::kAfter22);
    }
    const double start = NumberFromText(startText);
    if (start < kEarliestStart) {
        return message(texts::kBefore5);
    }
    const double hours = CheckedSub(end, start);
    if (hours > kMostHoursPerDay) {
        return message(texts::kOver8Hours);
    }
    if (days > kMostDaysPerWeek) {
        return message(texts::kOver6Days);
    }
    if (!(hours > 0)) {
        return message(texts::kNoHours);
    }
    if (CheckedMul(hours, days) > kCautionWeeklyHours) {
        return WageOutcome::Caution();
    }
    const double daily = CheckedMul(wage, hours);
    const double weekly = CheckedMul(daily, days);
    const double monthly = CheckedMul(weekly, kWeeksPerMonth);
    return WageOutcome::Result(NumberToText(daily), NumberToText(weekly), NumberToText(monthly),
                               false);
}

} // namespace soranika

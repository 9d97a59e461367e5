// Fuzz target: the decision behind 計算 over any four texts and any shared
// state.
//
// Input: DetailMode and WeeklyHours as two 16-bit integers (low byte first),
// then the wage, start, end and days texts separated by 0x1F.
//
// Properties: the outcome is exactly one of the three kinds, with the fields
// of its kind only; it is the one a plain model gives, in which the checks
// of normal mode are a table walked in order, each reading one value; a
// Result shows no negative pay, no "-0", "inf" or "nan"; overflow is raised
// only when a value the walk reaches is out of range. The model takes the
// values from NumberFromText, which has its own target.
//
// Pay is never negative: a negative day count stops at the day check, and
// in detail mode a negative wage or weekly total is rejected.
#include "check.h"
#include "number_text.h"
#include "runtime.h"
#include "wage.h"

#include <array>
#include <cmath>
#include <functional>
#include <optional>
#include <string>

using soranika::RuntimeError;
using soranika::RuntimeErrorKind;
using soranika::WageOutcome;
namespace texts = soranika::texts;

namespace {

struct Expected {
    enum class Kind { Message, Caution, Result, Overflow };
    Kind kind = Kind::Overflow;
    std::string_view message;
    std::optional<double> daily; // none in detail mode
    double weekly = 0;
    double monthly = 0;
};

Expected Overflow() {
    return {};
}
Expected Message(std::string_view text) {
    return {Expected::Kind::Message, text, {}, 0, 0};
}

// A typed value, or nothing when reading it overflows.
std::optional<double> Read(std::string_view text) {
    try {
        return soranika::NumberFromText(text);
    } catch (const RuntimeError& error) {
        if (error.Kind() != RuntimeErrorKind::Overflow) {
            throw;
        }
        return std::nullopt;
    }
}

// The pay from the products, left to right; overflow when one leaves the
// doubles.
Expected Pay(std::optional<double> daily, double weekly) {
    const double monthly = weekly * 4;
    if ((daily && !std::isfinite(*daily)) || !std::isfinite(weekly) || !std::isfinite(monthly)) {
        return Overflow();
    }
    return {Expected::Kind::Result, {}, daily, weekly, monthly};
}

Expected DetailModel(std::string_view wageText, std::int16_t weeklyHours) {
    const std::optional<double> wage = Read(wageText);
    if (!wage) {
        return Overflow();
    }
    if (*wage < 0) {
        return Message(texts::kBelowMinimumWage);
    }
    if (weeklyHours < 0) {
        return Message(texts::kNoHours);
    }
    return Pay(std::nullopt, *wage * weeklyHours);
}

Expected NormalModel(std::string_view wageText, std::string_view startText,
                     std::string_view endText, std::string_view daysText) {
    const std::optional<double> wage = Read(wageText);
    const std::optional<double> start = Read(startText);
    const std::optional<double> end = Read(endText);
    const std::optional<double> days = Read(daysText);
    std::optional<double> hours;
    if (start && end && std::isfinite(*end - *start)) {
        hours = *end - *start;
    }
    struct Step {
        const std::optional<double>& value; // what the check reads
        std::function<bool(double)> fires;
        std::string_view message;
    };
    const std::array<Step, 8> steps{{
        {wage, [](double v) { return v == 0; }, texts::kNotEntered},
        {days, [](double v) { return v <= 0; }, texts::kNoDays},
        {wage, [](double v) { return v < 681; }, texts::kBelowMinimumWage},
        {end, [](double v) { return v > 22; }, texts::kAfter22},
        {start, [](double v) { return v < 5; }, texts::kBefore5},
        {hours, [](double v) { return v > 8; }, texts::kOver8Hours},
        {days, [](double v) { return v > 6; }, texts::kOver6Days},
        {hours, [](double v) { return !(v > 0); }, texts::kNoHours},
    }};
    for (const Step& step : steps) {
        if (!step.value) {
            return Overflow();
        }
        if (step.fires(*step.value)) {
            return Message(step.message);
        }
    }
    if (*hours * *days > 40) {
        return {Expected::Kind::Caution, texts::kCaution, {}, 0, 0};
    }
    const double daily = *wage * *hours;
    return Pay(daily, daily * *days);
}

const char* KindName(Expected::Kind kind) {
    switch (kind) {
    case Expected::Kind::Message:
        return "Message";
    case Expected::Kind::Caution:
        return "Caution";
    case Expected::Kind::Result:
        return "Result";
    case Expected::Kind::Overflow:
        return "Overflow";
    }
    return "?";
}

void CheckPayText(const std::string& text, double expected, const fuzz::Detail& detail) {
    FUZZ_CHECK(!text.empty() && text[0] != '-', detail() + ": negative pay " + text);
    fuzz::CheckNumberText(expected, text, detail);
    FUZZ_CHECK(text == soranika::NumberToText(expected), detail() + ": pay " + text);
}

void CheckWage(std::string_view data) {
    const std::int16_t detailMode = fuzz::Int16At(data, 0);
    const std::int16_t weeklyHours = fuzz::Int16At(data, 2);
    data.remove_prefix(std::min<std::size_t>(4, data.size()));
    const std::vector<std::string_view> in = fuzz::Split(data, 4);
    const auto detail = [&] {
        return "DetailMode " + std::to_string(detailMode) + ", WeeklyHours " +
               std::to_string(weeklyHours) + ", wage '" + fuzz::Escaped(in[0]) + "', start '" +
               fuzz::Escaped(in[1]) + "', end '" + fuzz::Escaped(in[2]) + "', days '" +
               fuzz::Escaped(in[3]) + "'";
    };

    const bool detailModeOn = detailMode == 1;
    const Expected expected =
        detailModeOn ? DetailModel(in[0], weeklyHours) : NormalModel(in[0], in[1], in[2], in[3]);
    WageOutcome outcome;
    try {
        outcome = soranika::EvaluateWage(in[0], in[1], in[2], in[3], detailMode, weeklyHours);
    } catch (const RuntimeError& error) {
        FUZZ_CHECK(error.Kind() == RuntimeErrorKind::Overflow, detail());
        FUZZ_CHECK(expected.kind == Expected::Kind::Overflow,
                   detail() + ": overflow, expected " + KindName(expected.kind));
        return;
    }
    switch (outcome.kind) {
    case WageOutcome::Kind::Message:
        FUZZ_CHECK(expected.kind == Expected::Kind::Message,
                   detail() + ": Message, expected " + KindName(expected.kind));
        FUZZ_CHECK(outcome.text == expected.message, detail() + ": '" + outcome.text +
                                                         "', expected '" +
                                                         std::string(expected.message) + "'");
        break;
    case WageOutcome::Kind::Caution:
        FUZZ_CHECK(expected.kind == Expected::Kind::Caution,
                   detail() + ": Caution, expected " + KindName(expected.kind));
        FUZZ_CHECK(outcome.text == texts::kCaution, detail());
        break;
    case WageOutcome::Kind::Result:
        FUZZ_CHECK(expected.kind == Expected::Kind::Result,
                   detail() + ": Result, expected " + KindName(expected.kind));
        FUZZ_CHECK(outcome.text == texts::kResultStatus, detail());
        FUZZ_CHECK(outcome.maskInputs == detailModeOn, detail());
        if (expected.daily) {
            CheckPayText(outcome.daily, *expected.daily, detail);
        } else {
            FUZZ_CHECK(outcome.daily == texts::kDailyMask, detail());
        }
        CheckPayText(outcome.weekly, expected.weekly, detail);
        CheckPayText(outcome.monthly, expected.monthly, detail);
        return;
    default:
        FUZZ_CHECK(false, detail() + ": an outcome of no kind");
    }
    // A Message or a Caution carries its one text and nothing else.
    FUZZ_CHECK(outcome.daily.empty() && outcome.weekly.empty() && outcome.monthly.empty() &&
                   !outcome.maskInputs,
               detail());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return fuzz::Run(
        [&] { CheckWage(std::string_view(reinterpret_cast<const char*>(data), size)); });
}

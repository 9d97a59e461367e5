// Fuzz target: the weekly total of any fourteen day fields, and the
// confirmation of the schedule that stores it.
//
// Input: one byte whose lowest bit says whether a day field was edited since
// the load, WeeklyHours before the confirmation as a 16-bit integer (low
// byte first), then the fourteen fields, Sunday's start first, separated by
// 0x1F.
//
// Properties: the total is the seven differences added left to right in
// doubles and rounded halves-to-even (std::nearbyint here); overflow is
// raised exactly when a field, a difference, the sum or the rounded total is
// out of range. A confirmation that overflows leaves DetailMode and
// WeeklyHours as they were and does not touch the main window; otherwise
// detail mode is on exactly when a field was edited, switched on before the
// main window is told, and WeeklyHours is the total.
#include "check.h"
#include "module1.h"
#include "runtime.h"
#include "schedule.h"

#include <cfenv>
#include <cmath>
#include <optional>
#include <string>

using soranika::RuntimeError;
using soranika::RuntimeErrorKind;
namespace Module1 = soranika::Module1;

namespace {

// The total, or nothing when it overflows.
std::optional<std::int16_t> ModelTotal(const soranika::DayFields& fields) {
    double values[14];
    for (std::size_t i = 0; i < 14; ++i) {
        try {
            values[i] = soranika::NumberFromText(fields[i]);
        } catch (const RuntimeError& error) {
            if (error.Kind() != RuntimeErrorKind::Overflow) {
                throw;
            }
            return std::nullopt;
        }
    }
    double total = 0;
    for (std::size_t day = 0; day < 7; ++day) {
        total += values[2 * day + 1] - values[2 * day];
    }
    // Once a difference or a partial sum is infinite the total stays
    // infinite or becomes NaN.
    if (!std::isfinite(total)) {
        return std::nullopt;
    }
    const double rounded = std::nearbyint(total);
    if (rounded < -32768 || rounded > 32767) {
        return std::nullopt;
    }
    return static_cast<std::int16_t>(rounded);
}

void CheckWeek(std::string_view data) {
    const bool edited = !data.empty() && (static_cast<unsigned char>(data[0]) & 1) != 0;
    const std::int16_t previousHours = fuzz::Int16At(data, 1);
    data.remove_prefix(std::min<std::size_t>(3, data.size()));
    const std::vector<std::string_view> in = fuzz::Split(data, 14);
    soranika::DayFields fields;
    for (std::size_t i = 0; i < 14; ++i) {
        fields[i] = std::string(in[i]);
    }
    const auto detail = [&] {
        std::string shown = edited ? "edited," : "not edited,";
        for (const std::string_view field : in) {
            shown += " '" + fuzz::Escaped(field) + "'";
        }
        return shown;
    };
    FUZZ_CHECK(std::fegetround() == FE_TONEAREST, detail());

    const std::optional<std::int16_t> expected = ModelTotal(fields);
    try {
        const std::int16_t total = soranika::WeeklyTotal(fields);
        FUZZ_CHECK(expected && total == *expected,
                   detail() + ": total " + std::to_string(total) + ", expected " +
                       (expected ? std::to_string(*expected) : std::string("overflow")));
    } catch (const RuntimeError& error) {
        FUZZ_CHECK(error.Kind() == RuntimeErrorKind::Overflow, detail());
        FUZZ_CHECK(!expected, detail() + ": overflow, expected " +
                                  (expected ? std::to_string(*expected) : std::string()));
    }

    // The confirmation, from a freshly loaded window.
    Module1::Reset();
    Module1::WeeklyHours = previousHours;
    Module1::DetailMode = 1;
    soranika::ScheduleState state;
    state.Loaded();
    FUZZ_CHECK(Module1::DetailMode == 0 && !state.Changed(), detail());
    if (edited) {
        state.DayFieldChanged();
    }
    int switches = 0;
    const auto switchToDetailMode = [&] {
        FUZZ_CHECK(Module1::DetailMode == 1, detail() + ": main window told before detail() mode");
        ++switches;
    };
    try {
        state.Confirm(fields, switchToDetailMode);
        FUZZ_CHECK(expected, detail() + ": confirmed without overflow");
        FUZZ_CHECK(Module1::WeeklyHours == *expected, detail());
        FUZZ_CHECK(Module1::DetailMode == (edited ? 1 : 0), detail());
        FUZZ_CHECK(switches == (edited ? 1 : 0), detail());
    } catch (const RuntimeError& error) {
        FUZZ_CHECK(error.Kind() == RuntimeErrorKind::Overflow && !expected, detail());
        FUZZ_CHECK(Module1::WeeklyHours == previousHours && Module1::DetailMode == 0, detail());
        FUZZ_CHECK(switches == 0, detail());
    }
    FUZZ_CHECK(state.Changed() == edited, detail());
    Module1::Reset();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return fuzz::Run(
        [&] { CheckWeek(std::string_view(reinterpret_cast<const char*>(data), size)); });
}

// The logic of the weekly schedule window, free of any window: the flag that
// says whether a day field was edited since the window was loaded, and the
// weekly hour total of the seven start/end pairs.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace soranika {

namespace texts {
// The message of a confirmation that switched detail mode on.
inline constexpr std::string_view kDetailModeMessage =
    "勤務時間等が空白になりましたが、正常に計算できますのでそのまま[計算]ボタンを"
    "クリックしてください。";
} // namespace texts

// The fourteen day fields, Sunday first: start, end, start, end, ...
using DayFields = std::array<std::string, 14>;

// Sunday's difference, then Monday's, ... Saturday's, added left to right in
// double precision and converted to 16 bits (halves to even). Throws
// RuntimeError(Overflow) when the sum is no finite double or lies outside
// -32768..32767.
std::int16_t WeeklyTotal(const DayFields& fields);

class ScheduleState {
public:
    // The window was loaded: no field edited yet, and detail mode ends.
    void Loaded();
    // A day field's text changed, by any edit.
    void DayFieldChanged() { changed_ = true; }
    bool Changed() const { return changed_; }

    // Confirmation. The total is computed first, so that an overflow leaves
    // the shared state as it was. When a field was edited since the load,
    // detail mode is switched on and `switchToDetailMode` runs (it masks the
    // main window and shows its message) before the total is stored.
    template <typename SwitchMainWindow>
    void Confirm(const DayFields& fields, SwitchMainWindow&& switchToDetailMode) {
        const std::int16_t total = WeeklyTotal(fields);
        if (changed_) {
            EnterDetailMode();
            switchToDetailMode();
        }
        StoreWeeklyHours(total);
    }

private:
    static void EnterDetailMode();
    static void StoreWeeklyHours(std::int16_t total);
    bool changed_ = false;
};

} // namespace soranika

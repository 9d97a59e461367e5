// The decision behind the Calculate button: from the four typed texts and
// the shared state, exactly one outcome — a message that rejects the input,
// the weekly-hours caution, or the pay for a day, a week and a month.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace soranika {

struct WageOutcome {
    enum class Kind { Message, Caution, Result };

    Kind kind = Kind::Message;
    // Message: the message text. Caution and Result: the status text.
    std::string text;
    // Result only.
    std::string daily;
    std::string weekly;
    std::string monthly;
    bool maskInputs = false;

    static WageOutcome Message(std::string message);
    static WageOutcome Caution();
    static WageOutcome Result(std::string daily, std::string weekly, std::string monthly,
                              bool maskInputs);
    bool operator==(const WageOutcome&) const = default;
};

namespace texts {
inline constexpr std::string_view kNotEntered = "未入力です";
inline constexpr std::string_view kNoDays = "働く日がありません";
inline constexpr std::string_view kBelowMinimumWage = "時給が681円以下です。労働基準法違反です";
inline constexpr std::string_view kAfter22 = "22時以降は勤務できません。労働基準法第61条違反です";
inline constexpr std::string_view kBefore5 = "5時以前は勤務できません。労働基準法第61条違反です";
inline constexpr std::string_view kOver8Hours = "勤務時間が8時間以上です。労働基準法第32条違反です";
inline constexpr std::string_view kOver6Days =
    "1週間6日以上は勤務できません。労働基準法第35条違反です";
inline constexpr std::string_view kNoHours = "働く時間が0時間以下です！";
// 68 blanks, then the status.
inline constexpr std::string_view kResultStatus =
    "                                                                    ----計算結果表示中----";
inline constexpr std::string_view kCaution =
    "☆注意！☆   1週間の勤務時間合計が40時間以上になると労働基準法第32条     違反になります";
inline constexpr std::string_view kInputMask = "***";
inline constexpr std::string_view kDailyMask = "*****";
// What the hour and day boxes show once the weekly schedule has switched
// detail mode on.
inline constexpr std::string_view kDetailModeMask = "****";
} // namespace texts

// Whether an amount as a result shows it is a pay, which is read with its
// unit: a number the rules wrote (it begins with a digit or a minus sign),
// not 未計算 or a mask.
bool IsPay(std::string_view amount);

// Pure: reads only its arguments. Throws RuntimeError(Overflow) when a
// difference or product leaves the range of a double.
WageOutcome EvaluateWage(std::string_view wage, std::string_view start, std::string_view end,
                         std::string_view days, std::int16_t detailMode, std::int16_t weeklyHours);

} // namespace soranika

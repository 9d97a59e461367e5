// What the web page calls of the pay rules, over embind. No call throws into
// JavaScript: an error raised by the rules comes back as the one message the
// desktop shows for it, so that the page stays usable whatever is typed.
//
// Texts cross as UTF-8 (a JavaScript string, or a Uint8Array taken byte for
// byte); numbers as doubles.
#include "module1.h"
#include "runtime.h"
#include "schedule.h"
#include "sysinfo.h"
#include "wage.h"

#include <emscripten/bind.h>

#include <string>

namespace {

using emscripten::val;
using namespace soranika;

// The outcome of 計算 as the page applies it: kind is "message", "caution",
// "result" or "error" (text is then the error's message). inputMask is the
// text for the hour and day boxes when maskInputs is set.
struct PageOutcome {
    std::string kind;
    std::string text;
    std::string daily;
    std::string weekly;
    std::string monthly;
    bool maskInputs = false;
    std::string inputMask;
};

// A value, or the message of the error that computing it raised: kind is
// "value" or "error". A text result is in text, a number in value.
struct Answer {
    std::string kind;
    std::string text;
    double value = 0;
};

template <typename Compute> Answer Answered(Compute&& compute) {
    try {
        return compute();
    } catch (const std::exception& error) {
        return {"error", std::string(ErrorMessage(error)), 0};
    }
}

// An outcome that carries one text.
PageOutcome Said(std::string kind, std::string text) {
    PageOutcome said;
    said.kind = std::move(kind);
    said.text = std::move(text);
    return said;
}

PageOutcome Evaluate(const std::string& wage, const std::string& start, const std::string& end,
                     const std::string& days, std::int16_t detailMode, std::int16_t weeklyHours) {
    try {
        const WageOutcome outcome = EvaluateWage(wage, start, end, days, detailMode, weeklyHours);
        switch (outcome.kind) {
        case WageOutcome::Kind::Message:
            return Said("message", outcome.text);
        case WageOutcome::Kind::Caution:
            return Said("caution", outcome.text);
        case WageOutcome::Kind::Result:
            break;
        }
        PageOutcome result = Said("result", outcome.text);
        result.daily = outcome.daily;
        result.weekly = outcome.weekly;
        result.monthly = outcome.monthly;
        result.maskInputs = outcome.maskInputs;
        result.inputMask = texts::kInputMask;
        return result;
    } catch (const std::exception& error) {
        return Said("error", std::string(ErrorMessage(error)));
    }
}

Answer NumberFrom(const std::string& text) {
    return Answered([&] { return Answer{"value", {}, NumberFromText(text)}; });
}

Answer NumberTo(double value) {
    return Answered([&] { return Answer{"value", NumberToText(value), value}; });
}

Answer Int16From(double value) {
    return Answered([&] { return Answer{"value", {}, double(ToInt16(value))}; });
}

std::string IntegerText(std::int16_t value) {
    return IntegerToText(value);
}

DayFields Fields(const val& fields) {
    DayFields day;
    for (std::size_t i = 0; i < day.size(); ++i) {
        day[i] = fields[i].as<std::string>();
    }
    return day;
}

Answer Total(const val& fields) {
    return Answered([&] { return Answer{"value", {}, double(WeeklyTotal(Fields(fields)))}; });
}

// The one weekly schedule window's state. Loading the window makes it anew.
ScheduleState schedule;

void ScheduleLoaded() {
    schedule = ScheduleState();
    schedule.Loaded();
}

void DayFieldChanged() {
    schedule.DayFieldChanged();
}

bool ScheduleChanged() {
    return schedule.Changed();
}

// The confirmation: kind "value" with value 1 when detail mode was switched
// on (the page then masks the main window and shows its message), 0 when
// not; "error" when the total overflows, with nothing changed.
Answer ConfirmSchedule(const val& fields) {
    return Answered([&] {
        bool entered = false;
        schedule.Confirm(Fields(fields), [&] { entered = true; });
        return Answer{"value", {}, entered ? 1.0 : 0.0};
    });
}

std::int16_t DetailMode() {
    return Module1::DetailMode;
}

std::int16_t WeeklyHours() {
    return Module1::WeeklyHours;
}

// A browser has no registry, no file test and cannot start a program: the
// system-information tool is looked up as everywhere and is never found.
class NoRegistry final : public Registry {
public:
    long Open(std::uint32_t, const std::u16string&, std::uint32_t, RegHandle& handle) override {
        handle = 0;
        return kErrorFileNotFound;
    }
    long Query(RegHandle, const std::u16string&, std::uint32_t&, std::span<std::byte>,
               std::uint32_t&) override {
        return kErrorFileNotFound;
    }
    void Close(RegHandle) override {}
};

class NoFiles final : public FileTest {
public:
    bool IsOrdinaryFile(const std::u16string&) const override { return false; }
};

class NoLaunch final : public Launcher {
public:
    bool Launch(const std::u16string&) override { return false; }
};

// The message that StartSysInfo shows, or an empty text when it started the
// tool.
std::u16string SysInfo() {
    NoRegistry registry;
    NoFiles files;
    NoLaunch launcher;
    std::u16string shown;
    StartSysInfo(registry, files, launcher, [&](std::u16string_view message) { shown = message; });
    return shown;
}

// The message for a failure that the rules could not answer at all.
std::string OtherError() {
    return std::string(texts::kOtherError);
}

// The texts of detail mode: the main window's mask, and the message of the
// confirmation that switched it on.
std::string DetailModeMask() {
    return std::string(texts::kDetailModeMask);
}

std::string DetailModeMessage() {
    return std::string(texts::kDetailModeMessage);
}

// Whether a result's amount is a pay, read with its unit.
bool Pay(const std::string& amount) {
    return IsPay(amount);
}

} // namespace

EMSCRIPTEN_BINDINGS(soranika_rules) {
    using emscripten::function;
    emscripten::value_object<PageOutcome>("Outcome")
        .field("kind", &PageOutcome::kind)
        .field("text", &PageOutcome::text)
        .field("daily", &PageOutcome::daily)
        .field("weekly", &PageOutcome::weekly)
        .field("monthly", &PageOutcome::monthly)
        .field("maskInputs", &PageOutcome::maskInputs)
        .field("inputMask", &PageOutcome::inputMask);
    emscripten::value_object<Answer>("Answer")
        .field("kind", &Answer::kind)
        .field("text", &Answer::text)
        .field("value", &Answer::value);
    function("evaluateWage", &Evaluate);
    function("numberFromText", &NumberFrom);
    function("numberToText", &NumberTo);
    function("toInt16", &Int16From);
    function("integerToText", &IntegerText);
    function("weeklyTotal", &Total);
    function("scheduleLoaded", &ScheduleLoaded);
    function("dayFieldChanged", &DayFieldChanged);
    function("scheduleChanged", &ScheduleChanged);
    function("confirmSchedule", &ConfirmSchedule);
    function("detailMode", &DetailMode);
    function("weeklyHours", &WeeklyHours);
    function("startSysInfo", &SysInfo);
    function("otherError", &OtherError);
    function("detailModeMask", &DetailModeMask);
    function("detailModeMessage", &DetailModeMessage);
    function("isPay", &Pay);
}

// Fuzz target: reading a number from any typed text (the whole input is the
// text), writing it back, and the 16-bit conversion of what was read.
//
// Properties: the value is the one the independent reading of
// number_model.h gives, exactly; overflow is raised only when that reading
// finds the number out of range too; a character that cannot continue a
// number, added at the end, changes nothing; the text written for the value
// is well formed, reads back as the double nearest to the value rounded to
// 15 significant digits, and that double writes the same text; ToInt16
// rounds halves to even and overflows exactly outside -32768..32767.
#include "check.h"
#include "number_model.h"
#include "number_text.h"
#include "runtime.h"

#include <cfenv>
#include <charconv>
#include <cmath>
#include <string>

using soranika::RuntimeError;
using soranika::RuntimeErrorKind;

namespace {

void CheckToInt16(double value, const std::string& input) {
    const auto detail = [&] { return "ToInt16 for input '" + fuzz::Escaped(input) + "'"; };
    // nearbyint rounds in the current mode, which is to nearest, ties to even.
    FUZZ_CHECK(std::fegetround() == FE_TONEAREST, detail());
    const double rounded = std::nearbyint(value);
    const bool inRange = rounded >= -32768.0 && rounded <= 32767.0;
    try {
        const std::int16_t result = soranika::ToInt16(value);
        FUZZ_CHECK(inRange && result == rounded, detail());
        const std::string text = soranika::IntegerToText(result);
        FUZZ_CHECK(!text.empty() && text[0] != ' ' && text[0] != '+', detail());
        FUZZ_CHECK(soranika::NumberFromText(text) == result, detail());
    } catch (const RuntimeError& error) {
        FUZZ_CHECK(error.Kind() == RuntimeErrorKind::Overflow && !inRange, detail());
    }
}

void CheckNumber(const std::string& input) {
    const auto detail = [&] { return "input '" + fuzz::Escaped(input) + "'"; };
    const fuzz::ModelNumber expected = fuzz::ModelNumberFromText(input);
    double value = 0;
    try {
        value = soranika::NumberFromText(input);
    } catch (const RuntimeError& error) {
        FUZZ_CHECK(error.Kind() == RuntimeErrorKind::Overflow, detail());
        FUZZ_CHECK(expected.overflow, detail() + ": overflow raised for a number in range");
        return;
    }
    FUZZ_CHECK(!expected.overflow, detail() + ": no overflow raised");
    FUZZ_CHECK(std::isfinite(value), detail());
    FUZZ_CHECK(value == expected.value, detail() + ": read " + std::to_string(value) +
                                            ", expected " + std::to_string(expected.value));

    // Reading stops at the first character that cannot continue a number.
    FUZZ_CHECK(soranika::NumberFromText(input + "時") == value, detail());

    const std::string text = soranika::NumberToText(value);
    fuzz::CheckNumberText(value, text, detail);
    const double back = soranika::NumberFromText(text);
    FUZZ_CHECK(soranika::NumberToText(back) == text,
               detail() + ": '" + text + "' reads back as " + soranika::NumberToText(back));
    // It reads back as the double nearest to the value rounded to 15
    // significant digits, here by std::to_chars and std::from_chars.
    char digits[40];
    const auto written =
        std::to_chars(digits, digits + sizeof digits, value, std::chars_format::scientific, 14);
    FUZZ_CHECK(written.ec == std::errc(), detail());
    double nearest = 0;
    const auto parsed = std::from_chars(digits, written.ptr, nearest);
    FUZZ_CHECK(parsed.ec == std::errc() && parsed.ptr == written.ptr, detail());
    FUZZ_CHECK(back == nearest, detail() + ": '" + text + "' reads back as " +
                                    soranika::NumberToText(back) + ", not as " +
                                    std::string(digits, written.ptr));

    CheckToInt16(value, input);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return fuzz::Run([&] { CheckNumber(std::string(reinterpret_cast<const char*>(data), size)); });
}

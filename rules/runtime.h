// Runtime conversions shared by the pay rules and the windows: reading a
// number from typed text, writing a number as text, and the 16-bit integer
// conversion. Errors are raised as RuntimeError, which the windows turn into
// a message in one place.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace soranika {

enum class RuntimeErrorKind {
    Overflow, // a result or a conversion outside its range
};

class RuntimeError : public std::runtime_error {
public:
    RuntimeError(RuntimeErrorKind kind, const std::string& what)
        : std::runtime_error(what), kind_(kind) {}
    RuntimeErrorKind Kind() const noexcept { return kind_; }

private:
    RuntimeErrorKind kind_;
};

// Reads a number from the start of a text (UTF-8). Blanks, tabs and line
// feeds are dropped wherever they stand; an optional sign, digits with at
// most one decimal point and an optional exponent (E or D) are read; &H and
// &O introduce a hexadecimal or an octal integer. Reading stops at the first
// character that cannot continue the number, and no number gives 0.
// Full-width forms (U+FF01..U+FF5E) and the ideographic space read as their
// ASCII counterparts, as a Japanese input method types them.
// Throws RuntimeError(Overflow) when the number is outside the double range.
double NumberFromText(std::string_view text);

// Writes a double as plain decimal text: up to 15 significant digits, no
// grouping, no trailing zeros, no decimal point for whole numbers. Numbers
// of 1E15 or more in magnitude, or below 1E-4, are written with an exponent
// ("1E+15", "1E-05"). Zero is always "0", never "-0".
// Throws RuntimeError(Overflow) for infinity or NaN.
std::string NumberToText(double value);

// Writes a 16-bit integer as plain decimal text without a leading blank.
std::string IntegerToText(std::int16_t value);

// Rounds to the nearest integer, halves to the even neighbour.
// Throws RuntimeError(Overflow) outside -32768..32767 (and for NaN).
std::int16_t ToInt16(double value);

// What the user is told of an error raised by the rules: an overflow, or
// anything else (which the rules do not raise, but a front end may meet).
namespace texts {
inline constexpr std::string_view kOverflowError =
    "数値が大きすぎて計算できません。入力した数字を確かめてください。";
inline constexpr std::string_view kOtherError =
    "計算できませんでした。入力した内容を確かめてください。";
} // namespace texts

// The one message for an error: kOverflowError for a RuntimeError of kind
// Overflow, kOtherError for any other exception.
std::string_view ErrorMessage(const std::exception& error);

// Checked arithmetic: the result, or RuntimeError(Overflow) when it is not
// a finite double.
double CheckedSub(double a, double b);
double CheckedMul(double a, double b);
double CheckedAdd(double a, double b);

} // namespace soranika

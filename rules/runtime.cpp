#include "runtime.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace soranika {

namespace {

[[noreturn]] void RaiseOverflow() {
    throw RuntimeError(RuntimeErrorKind::Overflow, "overflow");
}

double Finite(double value) {
    if (!std::isfinite(value)) {
        RaiseOverflow();
    }
    return value;
}

// Decodes one UTF-8 code point at text[pos], advancing pos. A malformed
// sequence (a byte that cannot lead, a missing continuation byte, an overlong
// form, a surrogate, a code point beyond U+10FFFF) yields U+FFFD and advances
// by one byte, so every input ends and no bytes read as a character they do
// not encode.
char32_t NextCodePoint(std::string_view text, std::size_t& pos) {
    const auto lead = static_cast<unsigned char>(text[pos]);
    std::size_t length = 1;
    char32_t cp = lead;
    char32_t least = 0; // below this, the form is overlong
    if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        cp = lead & 0x07;
        least = 0x10000;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        cp = lead & 0x0F;
        least = 0x800;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        cp = lead & 0x1F;
        least = 0x80;
    } else if (lead >= 0x80) {
        ++pos;
        return 0xFFFD;
    }
    if (length > 1) {
        if (pos + length > text.size()) {
            ++pos;
            return 0xFFFD;
        }
        for (std::size_t i = 1; i < length; ++i) {
            const auto next = static_cast<unsigned char>(text[pos + i]);
            if ((next & 0xC0) != 0x80) {
                ++pos;
                return 0xFFFD;
            }
            cp = (cp << 6) | (next & 0x3F);
        }
        if (cp < least || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
            ++pos;
            return 0xFFFD;
        }
    }
    pos += length;
    return cp;
}

// The characters that take part in reading a number, after folding
// full-width forms; every other character becomes a stop mark.
std::string FoldForNumber(std::string_view text) {
    std::string folded;
    folded.reserve(text.size());
    std::size_t pos = 0;
    while (pos < text.size()) {
        char32_t cp = NextCodePoint(text, pos);
        if (cp == 0x3000) {
            cp = U' ';
        } else if (cp >= 0xFF01 && cp <= 0xFF5E) {
            cp = cp - 0xFF01 + 0x21;
        } else if (cp == 0x2212) { // minus sign
            cp = U'-';
        }
        if (cp == U' ' || cp == U'\t' || cp == U'\n') {
            continue;
        }
        if (cp >= 0x80 || cp == 0) {
            folded.push_back('\x01'); // cannot continue a number
            break;
        }
        folded.push_back(static_cast<char>(cp));
    }
    return folded;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

int DigitValue(char c) {
    if (IsDigit(c)) {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return 99;
}

// &H and &O integers: up to 16 bits are read as a 16-bit two's-complement
// integer, up to 32 bits as a 32-bit one; more digits overflow.
double RadixInteger(std::string_view digits, int radix) {
    std::uint64_t value = 0;
    std::size_t count = 0;
    for (char c : digits) {
        const int d = DigitValue(c);
        if (d >= radix) {
            break;
        }
        value = value * static_cast<unsigned>(radix) + static_cast<unsigned>(d);
        if (value > 0xFFFFFFFFu) {
            RaiseOverflow();
        }
        ++count;
    }
    if (count == 0) {
        return 0.0;
    }
    if (value <= 0xFFFFu) {
        return static_cast<double>(static_cast<std::int16_t>(static_cast<std::uint16_t>(value)));
    }
    return static_cast<double>(static_cast<std::int32_t>(static_cast<std::uint32_t>(value)));
}

} // namespace

double NumberFromText(std::string_view text) {
    const std::string s = FoldForNumber(text);
    std::size_t i = 0;
    if (s.size() >= 2 && s[0] == '&') {
        const char prefix = s[1];
        if (prefix == 'H' || prefix == 'h') {
            return RadixInteger(std::string_view(s).substr(2), 16);
        }
        if (prefix == 'O' || prefix == 'o') {
            return RadixInteger(std::string_view(s).substr(2), 8);
        }
        return 0.0;
    }
    std::string number;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        number.push_back(s[i]);
        ++i;
    }
    std::size_t mantissaDigits = 0;
    while (i < s.size() && IsDigit(s[i])) {
        number.push_back(s[i++]);
        ++mantissaDigits;
    }
    if (i < s.size() && s[i] == '.') {
        number.push_back(s[i++]);
        while (i < s.size() && IsDigit(s[i])) {
            number.push_back(s[i++]);
            ++mantissaDigits;
        }
    }
    if (mantissaDigits == 0) {
        return 0.0;
    }
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E' || s[i] == 'd' || s[i] == 'D')) {
        std::size_t j = i + 1;
        std::string exponent = "e";
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) {
            exponent.push_back(s[j++]);
        }
        const std::size_t firstDigit = j;
        while (j < s.size() && IsDigit(s[j])) {
            exponent.push_back(s[j++]);
        }
        if (j > firstDigit) {
            number += exponent;
        }
    }
    // strtod reads the whole of what was gathered; the C locale's decimal
    // point is a period, which is what we gathered.
    const double value = std::strtod(number.c_str(), nullptr);
    return Finite(value);
}

std::string NumberToText(double value) {
    Finite(value);
    if (value == 0.0) {
        return "0";
    }
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.15g", value);
    std::string text(buffer);
    // The exponent form is written as 1E+15 / 1.5E-05, with at least two
    // exponent digits as printf already gives.
    for (char& c : text) {
        if (c == 'e') {
            c = 'E';
        }
    }
    return text;
}

std::string IntegerToText(std::int16_t value) {
    return std::to_string(value);
}

std::int16_t ToInt16(double value) {
    if (std::isnan(value)) {
        RaiseOverflow();
    }
    double rounded = std::round(value); // halves away from zero
    if (std::fabs(value - std::trunc(value)) == 0.5 && std::fmod(rounded, 2.0) != 0.0) {
        rounded -= std::copysign(1.0, value); // back to the even neighbour
    }
    if (rounded < -32768.0 || rounded > 32767.0) {
        RaiseOverflow();
    }
    return static_cast<std::int16_t>(rounded);
}

double CheckedSub(double a, double b) {
    return Finite(a - b);
}
double CheckedMul(double a, double b) {
    return Finite(a * b);
}
double CheckedAdd(double a, double b) {
    return Finite(a + b);
}

std::string_view ErrorMessage(const std::exception& error) {
    if (const auto* runtime = dynamic_cast<const RuntimeError*>(&error)) {
        switch (runtime->Kind()) {
        case RuntimeErrorKind::Overflow:
            return texts::kOverflowError;
        }
    }
    return texts::kOtherError;
}

} // namespace soranika

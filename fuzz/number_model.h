// A second, deliberately plain reading of typed numbers, written apart from
// the rules so that the fuzz targets can compare the two: strict UTF-8
// decoding by the table of the Unicode standard, and the decimal conversion
// of std::from_chars instead of strtod.
#pragma once

#include <algorithm>
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

namespace fuzz {

struct ModelNumber {
    bool overflow = false;
    double value = 0;
};

// One code point of well-formed UTF-8 at text[pos], advancing pos; nullopt
// for anything the standard calls ill-formed (overlong forms, surrogates,
// beyond U+10FFFF, stray or missing continuation bytes).
inline std::optional<char32_t> DecodeStrict(std::string_view text, std::size_t& pos) {
    const auto at = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char b0 = at(pos);
    if (b0 < 0x80) {
        ++pos;
        return b0;
    }
    // The allowed range of the second byte for each lead byte.
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    std::size_t length = 0;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        length = 2;
    } else if (b0 == 0xE0) {
        length = 3;
        low = 0xA0;
    } else if (b0 == 0xED) {
        length = 3;
        high = 0x9F;
    } else if (b0 >= 0xE1 && b0 <= 0xEF) {
        length = 3;
    } else if (b0 == 0xF0) {
        length = 4;
        low = 0x90;
    } else if (b0 >= 0xF1 && b0 <= 0xF3) {
        length = 4;
    } else if (b0 == 0xF4) {
        length = 4;
        high = 0x8F;
    } else {
        return std::nullopt;
    }
    if (pos + length > text.size()) {
        return std::nullopt;
    }
    if (at(pos + 1) < low || at(pos + 1) > high) {
        return std::nullopt;
    }
    char32_t cp = b0 & (0xFF >> (length + 1));
    for (std::size_t i = 1; i < length; ++i) {
        if ((at(pos + i) & 0xC0) != 0x80) {
            return std::nullopt;
        }
        cp = (cp << 6) | (at(pos + i) & 0x3F);
    }
    pos += length;
    return cp;
}

// The ASCII characters that can take part in a number: full-width forms
// folded, blanks, tabs and line feeds dropped, up to the first character
// outside ASCII or the first ill-formed byte.
inline std::string NumberCharacters(std::string_view text) {
    std::string ascii;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::optional<char32_t> decoded = DecodeStrict(text, pos);
        if (!decoded) {
            break;
        }
        char32_t cp = *decoded;
        if (cp == 0x3000) {
            cp = ' ';
        } else if (cp >= 0xFF01 && cp <= 0xFF5E) {
            cp -= 0xFEE0;
        } else if (cp == 0x2212) {
            cp = '-';
        }
        if (cp >= 0x80) {
            break;
        }
        if (cp != ' ' && cp != '\t' && cp != '\n') {
            ascii.push_back(static_cast<char>(cp));
        }
    }
    return ascii;
}

inline bool IsDecimalDigit(char c) {
    return c >= '0' && c <= '9';
}

// &H / &O: the digits as an unsigned number, read as 16-bit two's
// complement up to 0xFFFF and as 32-bit up to 0xFFFFFFFF; beyond, overflow.
inline ModelNumber RadixModel(std::string_view s, int radix) {
    const std::string_view digitsOf = radix == 16 ? "0123456789ABCDEFabcdef" : "01234567";
    std::string_view digits = s.substr(0, s.find_first_not_of(digitsOf));
    digits.remove_prefix(std::min(digits.size(), digits.find_first_not_of('0')));
    const std::size_t mostDigits = radix == 16 ? 8 : 11;
    if (digits.size() > mostDigits) {
        return {true, 0};
    }
    std::uint64_t value = 0;
    if (!digits.empty()) {
        std::from_chars(digits.data(), digits.data() + digits.size(), value, radix);
    }
    if (value > 0xFFFFFFFFull) {
        return {true, 0};
    }
    double result = static_cast<double>(value);
    if (value <= 0xFFFF && value >= 0x8000) {
        result -= 65536.0;
    } else if (value > 0xFFFF && value >= 0x80000000ull) {
        result -= 4294967296.0;
    }
    return {false, result};
}

// Reads a number from typed text as NumberFromText should.
inline ModelNumber ModelNumberFromText(std::string_view text) {
    const std::string s = NumberCharacters(text);
    if (s.size() >= 2 && s[0] == '&') {
        if (s[1] == 'H' || s[1] == 'h') {
            return RadixModel(std::string_view(s).substr(2), 16);
        }
        if (s[1] == 'O' || s[1] == 'o') {
            return RadixModel(std::string_view(s).substr(2), 8);
        }
        return {false, 0};
    }
    std::string rest = s;
    bool negative = false;
    if (!rest.empty() && (rest[0] == '+' || rest[0] == '-')) {
        negative = rest[0] == '-';
        rest.erase(0, 1);
    }
    // from_chars takes no sign of its own here, nor "inf" and "nan": a number
    // starts with a digit, or with a point and a digit.
    const bool startsNumber =
        !rest.empty() &&
        (IsDecimalDigit(rest[0]) || (rest[0] == '.' && rest.size() > 1 && IsDecimalDigit(rest[1])));
    if (!startsNumber) {
        return {false, 0};
    }
    // The exponent may be written with D as well as E.
    const std::size_t mantissaEnd = rest.find_first_not_of("0123456789.");
    if (mantissaEnd != std::string::npos &&
        (rest[mantissaEnd] == 'D' || rest[mantissaEnd] == 'd')) {
        rest[mantissaEnd] = 'e';
    }
    double value = 0;
    const char* first = rest.data();
    const auto [end, error] =
        std::from_chars(first, first + rest.size(), value, std::chars_format::general);
    if (error == std::errc::result_out_of_range) {
        // Too large or too small: which one follows from the position of the
        // first significant digit and the exponent.
        const std::string_view read(first, static_cast<std::size_t>(end - first));
        const std::size_t point = std::min({read.find('.'), read.find_first_of("eE"), read.size()});
        const std::size_t firstDigit = read.find_first_of("123456789");
        long long scale = firstDigit < point ? static_cast<long long>(point - firstDigit)
                                             : -static_cast<long long>(firstDigit - point - 1);
        const std::size_t e = read.find_first_of("eE");
        if (e != std::string_view::npos) {
            long long exponent = 0;
            std::size_t i = e + 1;
            const bool exponentNegative = read[i] == '-';
            if (read[i] == '+' || read[i] == '-') {
                ++i;
            }
            for (; i < read.size() && exponent < 1'000'000'000; ++i) {
                exponent = exponent * 10 + (read[i] - '0');
            }
            scale += exponentNegative ? -exponent : exponent;
        }
        if (scale > 0) {
            return {true, 0};
        }
        return {false, negative ? -0.0 : 0.0};
    }
    return {false, negative ? -value : value};
}

} // namespace fuzz

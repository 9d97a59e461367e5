// What every number written for the user must look like, checked from the
// text alone: plain decimal or an exponent form, at most 15 significant
// digits, no trailing zeros, never "-0", "inf" or "nan".
#pragma once

#include "check.h"

#include <cmath>
#include <string>

namespace fuzz {

// Checks `text`, the number-to-text of the finite `value`; `about` names the
// input.
inline void CheckNumberText(double value, const std::string& text, const Detail& about) {
    const auto detail = [&] { return "value text '" + text + "' for " + about(); };
    FUZZ_CHECK(!text.empty(), detail());
    if (value == 0) {
        FUZZ_CHECK(text == "0", detail());
        return;
    }
    std::size_t i = 0;
    if (text[0] == '-') {
        FUZZ_CHECK(value < 0, detail());
        ++i;
    } else {
        FUZZ_CHECK(value > 0, detail());
    }
    // Mantissa: digits with at most one point, not at either end.
    std::size_t significant = 0;
    bool seenNonZero = false;
    bool point = false;
    const std::size_t mantissaStart = i;
    for (; i < text.size() && text[i] != 'E'; ++i) {
        const char c = text[i];
        if (c == '.') {
            FUZZ_CHECK(!point && i > mantissaStart, detail());
            point = true;
            continue;
        }
        FUZZ_CHECK(c >= '0' && c <= '9', detail());
        seenNonZero = seenNonZero || c != '0';
        significant += seenNonZero ? 1 : 0;
    }
    const std::size_t mantissaEnd = i;
    FUZZ_CHECK(mantissaEnd > mantissaStart && text[mantissaEnd - 1] != '.', detail());
    FUZZ_CHECK(seenNonZero && significant <= 15, detail());
    FUZZ_CHECK(!point || text[mantissaEnd - 1] != '0', detail()); // no trailing zeros
    const bool exponentForm = mantissaEnd < text.size();
    if (exponentForm) {
        // E, a sign, at least two digits.
        FUZZ_CHECK(text.size() >= mantissaEnd + 4, detail());
        FUZZ_CHECK(text[mantissaEnd + 1] == '+' || text[mantissaEnd + 1] == '-', detail());
        for (std::size_t j = mantissaEnd + 2; j < text.size(); ++j) {
            FUZZ_CHECK(text[j] >= '0' && text[j] <= '9', detail());
        }
    }
    // Plain decimal from 1E-4 up to 1E15 (with a margin for rounding to 15
    // digits at both ends), an exponent beyond.
    const double magnitude = std::fabs(value);
    if (magnitude >= 1e-4 && magnitude < 999999999999999.0) {
        FUZZ_CHECK(!exponentForm, detail());
    }
    if (magnitude >= 1e15 || magnitude < 0.99999999999999e-4) {
        FUZZ_CHECK(exponentForm, detail());
    }
    // Whole numbers below 1E15 show no point.
    if (magnitude < 1e15 && std::trunc(value) == value) {
        FUZZ_CHECK(!point && !exponentForm, detail());
    }
}

} // namespace fuzz

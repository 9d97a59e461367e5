// What the fuzz targets share: a property check that aborts, so that
// libFuzzer keeps the input that broke it, and the split of one input into
// texts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace fuzz {

// The texts of one input are separated by this byte. Inside a text it would
// only ever stop a number, like any other control character, so setting it
// aside costs the fuzzer nothing.
inline constexpr char kSeparator = '\x1f';

// The input as printable text, for the report of a failed property.
inline std::string Escaped(std::string_view text) {
    std::string out;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte < 0x7f && c != '\\') {
            out.push_back(c);
        } else {
            char hex[5];
            std::snprintf(hex, sizeof hex, "\\x%02X", byte);
            out += hex;
        }
    }
    return out;
}

// What a failed property reports about its input; built only when one fails,
// so that passing inputs cost no text.
using Detail = std::function<std::string()>;

[[noreturn]] inline void Fail(const char* file, int line, const char* condition,
                              const std::string& detail) {
    std::fprintf(stderr, "%s:%d: property does not hold: %s\n  %s\n", file, line, condition,
                 detail.c_str());
    std::abort();
}

// Runs one input's checks; an exception that leaves them is a failure too.
template <typename Checks> int Run(Checks&& checks) {
    try {
        checks();
    } catch (const std::exception& error) {
        Fail(__FILE__, __LINE__, "no exception escapes", error.what());
    } catch (...) {
        Fail(__FILE__, __LINE__, "no exception escapes", "not a std::exception");
    }
    return 0;
}

// Splits data into exactly `count` texts at kSeparator; missing texts are
// empty and the last text takes the rest, separators and all.
inline std::vector<std::string_view> Split(std::string_view data, std::size_t count) {
    std::vector<std::string_view> texts;
    while (texts.size() + 1 < count) {
        const std::size_t at = data.find(kSeparator);
        if (at == std::string_view::npos) {
            break;
        }
        texts.push_back(data.substr(0, at));
        data.remove_prefix(at + 1);
    }
    texts.push_back(data);
    texts.resize(count);
    return texts;
}

// A 16-bit integer from two bytes, low byte first; missing bytes are 0.
inline std::int16_t Int16At(std::string_view data, std::size_t at) {
    const auto byte = [&](std::size_t i) {
        return i < data.size() ? static_cast<unsigned char>(data[i]) : 0u;
    };
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(byte(at) | (byte(at + 1) << 8)));
}

} // namespace fuzz

// Aborts with the condition and `detail` (a std::string) when the condition
// is false.
#define FUZZ_CHECK(condition, detail)                                                              \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            ::fuzz::Fail(__FILE__, __LINE__, #condition, (detail));                                \
        }                                                                                          \
    } while (false)

// A small test harness in plain C++, so that the same tests build for Linux
// and, with MinGW-w64, for Windows under Wine. TEST(name) defines a case;
// CHECK and CHECK_EQ record a failure and go on; ROW names the row of a
// table that the following checks belong to. RunAll runs every case and
// ends with the line "N passed, N failed".
#pragma once

#include <sstream>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace check {

bool Add(const char* name, void (*run)());
void Fail(const std::string& what, const char* file, int line);
int RunAll();

std::string Utf8(std::u16string_view text);

template <class T> std::string Show(const T& value) {
    if constexpr (std::is_convertible_v<const T&, std::u16string_view>) {
        return '"' + Utf8(value) + '"';
    } else if constexpr (std::is_convertible_v<const T&, std::string_view>) {
        return '"' + std::string(std::string_view(value)) + '"';
    } else if constexpr (std::is_same_v<T, std::vector<std::u16string>>) {
        std::string shown = "{";
        for (const auto& item : value) {
            shown += (shown.size() > 1 ? ", " : "") + Show(item);
        }
        return shown + "}";
    } else {
        std::ostringstream out;
        out << value;
        return out.str();
    }
}

// Names the current table row in failure messages while it lives.
class Row {
public:
    explicit Row(std::string name);
    ~Row();
    Row(const Row&) = delete;
    Row& operator=(const Row&) = delete;
};

} // namespace check

#define CHECK_JOIN2(a, b) a##b
#define CHECK_JOIN(a, b) CHECK_JOIN2(a, b)

#define TEST(name)                                                                                 \
    static void name();                                                                            \
    [[maybe_unused]] static const bool CHECK_JOIN(name, Registered) = ::check::Add(#name, name);   \
    static void name()

#define ROW(name) const ::check::Row CHECK_JOIN(row, __LINE__)(name)

#define CHECK(condition)                                                                           \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            ::check::Fail("CHECK(" #condition ")", __FILE__, __LINE__);                            \
        }                                                                                          \
    } while (0)

#define CHECK_EQ(actual, expected)                                                                 \
    do {                                                                                           \
        const auto& checkActual = (actual);                                                        \
        const auto& checkExpected = (expected);                                                    \
        if (!(checkActual == checkExpected)) {                                                     \
            ::check::Fail(#actual " is " + ::check::Show(checkActual) + ", expected " +            \
                              ::check::Show(checkExpected),                                        \
                          __FILE__, __LINE__);                                                     \
        }                                                                                          \
    } while (0)

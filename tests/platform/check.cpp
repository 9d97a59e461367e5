#include "check.h"

#include <cstdio>
#include <exception>

namespace check {

namespace {

struct Case {
    const char* name;
    void (*run)();
};

std::vector<Case>& Cases() {
    static std::vector<Case> cases;
    return cases;
}

std::vector<std::string> rows;
std::vector<std::string> unwound;
const char* current = "";
int failures = 0;
int failuresBefore = 0;

} // namespace

bool Add(const char* name, void (*run)()) {
    Cases().push_back({name, run});
    return true;
}

Row::Row(std::string name) {
    rows.push_back(std::move(name));
}

Row::~Row() {
    if (std::uncaught_exceptions() > 0 && unwound.empty()) {
        unwound = rows; // named in the report of the exception
    }
    rows.pop_back();
}

void Fail(const std::string& what, const char* file, int line) {
    if (failures++ == failuresBefore) {
        std::printf("FAIL %s\n", current);
    }
    std::string where;
    for (const auto& row : rows) {
        where += " [" + row + "]";
    }
    std::printf("  %s:%d:%s %s\n", file, line, where.c_str(), what.c_str());
}

std::string Utf8(std::u16string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
        }
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

int RunAll() {
    int passed = 0;
    int failed = 0;
    for (const Case& test : Cases()) {
        current = test.name;
        failuresBefore = failures;
        unwound.clear();
        try {
            test.run();
        } catch (const std::exception& error) {
            rows = unwound;
            Fail(std::string("unexpected exception: ") + error.what(), "(case)", 0);
        } catch (...) {
            rows = unwound;
            Fail("unexpected exception", "(case)", 0);
        }
        rows.clear();
        if (failures == failuresBefore) {
            ++passed;
            std::printf("PASS %s\n", test.name);
        } else {
            ++failed;
        }
        std::fflush(stdout);
    }
    std::printf("%d passed, %d failed\n", passed, failed);
    return failed == 0 ? 0 : 1;
}

} // namespace check

int main() {
    return check::RunAll();
}

// GetKeyValue and StartSysInfo over fakes of the registry, the file test and
// the launcher. Built for Linux and, with MinGW-w64, for Windows.
#include "check.h"
#include "fake_system.h"
#include "sysinfo.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <optional>
#include <set>
#include <stdexcept>

using namespace soranika;
using namespace testing;

namespace {

const std::u16string kUnavailable(kSysInfoUnavailable);

// Every open asked for KEY_QUERY_VALUE only (no set value, create subkey or
// create link, which a standard user is refused), and every opened key was
// closed once, and nothing else was closed.
void CheckKeysReadOnlyAndClosed(const FakeRegistry& registry) {
    for (const std::uint32_t mask : registry.masks) {
        CHECK_EQ(mask, std::uint32_t{0x0001});
    }
    CHECK(registry.closed == registry.handles);
}

} // namespace

// The names under which Windows itself registers the tool: the fakes and
// the stand-in know them only from these constants.
TEST(RegistryNamesAreWindowsOwn) {
    CHECK_EQ(kMsinfoKey, std::u16string(u"SOFTWARE\\Microsoft\\Shared Tools\\MSINFO"));
    CHECK_EQ(kMsinfoPathValue, std::u16string(u"PATH"));
    CHECK_EQ(kLocationKey, std::u16string(u"SOFTWARE\\Microsoft\\Shared Tools Location"));
    CHECK_EQ(kLocationValue, std::u16string(u"MSINFO"));
}

TEST(GetKeyValueReadsByTypeAndSize) {
    const std::u16string kanji = u"D:\\ソラニカ 工具\\𝄞\\msinfo32.exe";
    const std::u16string longText(511, u'A'); // 1022 bytes, 1024 with the NUL

    struct Row {
        const char* name;
        std::optional<FakeValue> value; // none: the value is missing
        long openStatus;
        std::u16string keyValIn;
        bool result;
        std::u16string keyValOut;
    };
    const std::vector<Row> rows = {
        {"open fails", std::nullopt, kErrorFileNotFound, u"old", false, u""},
        {"open refused", FakeValue{kRegSz, Text(u"x")}, 5, u"old", false, u""},
        {"query fails", std::nullopt, kErrorSuccess, u"old", false, u""},
        {"query needs more than 1024 bytes", FakeValue{kRegSz, Text(std::u16string(600, u'B'))},
         kErrorSuccess, u"old", false, u""},
        {"REG_SZ replaces KeyVal", FakeValue{kRegSz, Text(u"C:\\Tools\\msinfo32.exe")},
         kErrorSuccess, u"old", true, u"C:\\Tools\\msinfo32.exe"},
        {"REG_SZ in any script", FakeValue{kRegSz, Text(kanji)}, kErrorSuccess, u"", true, kanji},
        {"REG_SZ without NUL", FakeValue{kRegSz, Text(u"abc", false)}, kErrorSuccess, u"", true,
         u"abc"},
        {"REG_SZ of a NUL only", FakeValue{kRegSz, Text(u"")}, kErrorSuccess, u"old", true, u""},
        {"size cuts the text", FakeValue{kRegSz, Text(u"abcd"), 4}, kErrorSuccess, u"", true,
         u"ab"},
        {"odd size reads a whole unit", FakeValue{kRegSz, Text(u"ab"), 3}, kErrorSuccess, u"", true,
         u"ab"},
        {"1024 bytes with NUL", FakeValue{kRegSz, Text(longText)}, kErrorSuccess, u"", true,
         longText},
        {"size above the buffer reads the buffer only",
         FakeValue{kRegSz, Text(std::u16string(512, u'C'), false), 5000}, kErrorSuccess, u"", true,
         std::u16string(512, u'C')},
        {"REG_DWORD keeps the caller's text", FakeValue{kRegDword, Dword(0x12345678)},
         kErrorSuccess, u"x", true, u"&hx12345678"},
        {"REG_DWORD units without leading zeros", FakeValue{kRegDword, Dword(0x00ab0c0d)},
         kErrorSuccess, u"", true, u"&hABC0D"},
        {"REG_DWORD of 0", FakeValue{kRegDword, Dword(0)}, kErrorSuccess, u"", true, u"&h0"},
        {"REG_EXPAND_SZ leaves KeyVal", FakeValue{kRegExpandSz, Text(u"%SystemRoot%\\x.exe")},
         kErrorSuccess, u"keep", true, u"keep"},
        {"REG_BINARY leaves KeyVal", FakeValue{3, Dword(7)}, kErrorSuccess, u"keep", true, u"keep"},
    };
    for (const Row& row : rows) {
        ROW(row.name);
        FakeRegistry registry;
        registry.keys[u"KEY"].openStatus = row.openStatus;
        if (row.value) {
            registry.keys[u"KEY"].values[u"VALUE"] = *row.value;
        }
        const std::u16string keyName = u"KEY";
        const std::u16string valueName = u"VALUE";
        std::u16string keyVal = row.keyValIn;
        CHECK_EQ(GetKeyValue(registry, kHkeyLocalMachine, keyName, valueName, keyVal), row.result);
        CHECK_EQ(keyVal, row.keyValOut);
        CHECK(registry.roots == std::vector<std::uint32_t>{kHkeyLocalMachine});
        CHECK(registry.openedKeys == std::vector<std::u16string>{u"KEY"});
        CHECK_EQ(registry.queriedValues.size(), registry.handles.size());
        CheckKeysReadOnlyAndClosed(registry);
    }
}

TEST(GetKeyValueOfZeroBytesRaisesAndClosesTheKey) {
    for (const std::uint32_t type : {kRegSz, kRegDword, kRegExpandSz}) {
        ROW("type " + std::to_string(type));
        FakeRegistry registry;
        registry.keys[u"KEY"].values[u"VALUE"] = FakeValue{type, {}};
        std::u16string keyVal = u"old";
        bool raised = false;
        try {
            GetKeyValue(registry, kHkeyLocalMachine, u"KEY", u"VALUE", keyVal);
        } catch (const std::invalid_argument&) {
            raised = true;
        }
        CHECK(raised);
        CHECK_EQ(registry.handles.size(), std::size_t{1});
        CheckKeysReadOnlyAndClosed(registry);
    }
}

TEST(GetKeyValueClosesTheKeyWhenTheQueryThrows) {
    FakeRegistry registry;
    registry.keys[u"KEY"].values[u"VALUE"] = FakeValue{kRegSz, Text(u"x"), std::nullopt, true};
    std::u16string keyVal;
    bool raised = false;
    try {
        GetKeyValue(registry, kHkeyLocalMachine, u"KEY", u"VALUE", keyVal);
    } catch (const std::runtime_error&) {
        raised = true;
    }
    CHECK(raised);
    CheckKeysReadOnlyAndClosed(registry);
}

TEST(StartSysInfoFindsAndLaunchesTheTool) {
    const std::u16string first = u"C:\\Program Files\\Common Files\\System\\MSInfo\\msinfo32.exe";
    const std::u16string folder = u"C:\\Program Files\\ソラニカ 情報";
    const std::u16string inFolder = folder + u"\\MSINFO32.EXE";

    struct Row {
        const char* name;
        std::optional<FakeValue> path;   // PATH of the MSINFO key
        std::optional<FakeValue> msinfo; // MSINFO of the location key
        bool fileThere;
        bool launchWorks;
        std::vector<std::u16string> asked;    // by the file test
        std::vector<std::u16string> launched; // in this order
        bool message;
    };
    const std::vector<Row> rows = {
        {"first value launched unchanged",
         FakeValue{kRegSz, Text(first)},
         FakeValue{kRegSz, Text(folder)},
         true,
         true,
         {},
         {first},
         false},
        {"first value, launch fails",
         FakeValue{kRegSz, Text(first)},
         std::nullopt,
         false,
         false,
         {},
         {first},
         true},
        {"first value of another type launches empty",
         FakeValue{kRegExpandSz, Text(first)},
         std::nullopt,
         false,
         true,
         {},
         {u""},
         true},
        {"first value REG_DWORD",
         FakeValue{kRegDword, Dword(1)},
         std::nullopt,
         false,
         true,
         {},
         {u"&h1"},
         true},
        {"second value with the file",
         std::nullopt,
         FakeValue{kRegSz, Text(folder)},
         true,
         true,
         {inFolder},
         {inFolder},
         false},
        {"second value without the file",
         std::nullopt,
         FakeValue{kRegSz, Text(folder)},
         false,
         true,
         {inFolder},
         {},
         true},
        {"second value with the file, launch fails",
         std::nullopt,
         FakeValue{kRegSz, Text(folder)},
         true,
         false,
         {inFolder},
         {inFolder},
         true},
        {"second value of another type",
         std::nullopt,
         FakeValue{kRegExpandSz, Text(folder)},
         false,
         true,
         {u"\\MSINFO32.EXE"},
         {},
         true},
        {"neither value", std::nullopt, std::nullopt, true, true, {}, {}, true},
        {"first value of 0 bytes",
         FakeValue{kRegSz, {}},
         FakeValue{kRegSz, Text(folder)},
         true,
         true,
         {},
         {},
         true},
        {"second value of 0 bytes", std::nullopt, FakeValue{kRegSz, {}}, true, true, {}, {}, true},
    };
    for (const Row& row : rows) {
        ROW(row.name);
        FakeRegistry registry;
        registry.keys[kMsinfoKey];
        registry.keys[kLocationKey];
        if (row.path) {
            registry.keys[kMsinfoKey].values[kMsinfoPathValue] = *row.path;
        }
        if (row.msinfo) {
            registry.keys[kLocationKey].values[kLocationValue] = *row.msinfo;
        }
        FakeFileTest files;
        if (row.fileThere) {
            files.files = {inFolder};
        }
        FakeLauncher launcher;
        if (row.launchWorks) {
            launcher.programs = {first, inFolder};
        }
        std::vector<std::u16string> messages;
        StartSysInfo(registry, files, launcher,
                     [&](std::u16string_view text) { messages.emplace_back(text); });

        CHECK_EQ(files.asked, row.asked);
        CHECK_EQ(launcher.launched, row.launched);
        CHECK_EQ(messages, row.message ? std::vector<std::u16string>{kUnavailable}
                                       : std::vector<std::u16string>{});
        CheckKeysReadOnlyAndClosed(registry);
        // The location key is looked at only when the first lookup fails.
        const std::vector<std::u16string> opened =
            row.path ? std::vector<std::u16string>{kMsinfoKey}
                     : std::vector<std::u16string>{kMsinfoKey, kLocationKey};
        CHECK_EQ(registry.openedKeys, opened);
    }
}

TEST(StartSysInfoReportsEveryFailureAsTheMessage) {
    const std::u16string folder = u"C:\\Tools";
    struct Row {
        const char* name;
        long msinfoOpen;
        bool fileTestThrows;
        bool launchThrows;
        bool queryThrows;
    };
    const std::vector<Row> rows = {
        {"keys refused to a standard user", 5, false, false, false},
        {"file test throws", kErrorSuccess, true, false, false},
        {"launch throws", kErrorSuccess, false, true, false},
        {"query throws", kErrorSuccess, false, false, true},
    };
    for (const Row& row : rows) {
        ROW(row.name);
        FakeRegistry registry;
        registry.keys[kMsinfoKey].openStatus = row.msinfoOpen;
        registry.keys[kLocationKey].openStatus = row.msinfoOpen;
        registry.keys[kLocationKey].values[kLocationValue] =
            FakeValue{kRegSz, Text(folder), std::nullopt, row.queryThrows};
        FakeFileTest files;
        files.files = {folder + u"\\MSINFO32.EXE"};
        files.throws = row.fileTestThrows;
        FakeLauncher launcher;
        launcher.programs = files.files;
        launcher.throws = row.launchThrows;
        std::vector<std::u16string> messages;
        StartSysInfo(registry, files, launcher,
                     [&](std::u16string_view text) { messages.emplace_back(text); });
        CHECK_EQ(messages, std::vector<std::u16string>{kUnavailable});
        CheckKeysReadOnlyAndClosed(registry);
    }
}

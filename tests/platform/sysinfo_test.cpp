// GetKeyValue and StartSysInfo over fakes of the registry, the file test and
// the launcher. Built for Linux and, with MinGW-w64, for Windows.
#include "check.h"
#include "sysinfo.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <optional>
#include <set>
#include <stdexcept>

using namespace soranika;

namespace {

const std::u16string kMsinfoKey = u"SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
const std::u16string kLocationKey = u"SOFTWARE\\Microsoft\\Shared Tools Location";
const std::u16string kUnavailable = u"現時点ではｼｽﾃﾑ情報を使用できません";

std::vector<std::byte> Bytes(const void* data, std::size_t size) {
    std::vector<std::byte> bytes(size);
    std::memcpy(bytes.data(), data, size);
    return bytes;
}

// A string as the registry stores it, with or without its terminating NUL.
std::vector<std::byte> Text(std::u16string_view text, bool withNul = true) {
    std::u16string stored(text);
    if (withNul) {
        stored.push_back(u'\0');
    }
    return Bytes(stored.data(), stored.size() * sizeof(char16_t));
}

std::vector<std::byte> Dword(std::uint32_t value) {
    return Bytes(&value, sizeof value);
}

struct FakeValue {
    FakeValue() = default;
    FakeValue(std::uint32_t type, std::vector<std::byte> bytes,
              std::optional<std::uint32_t> reportedSize = std::nullopt, bool throws = false)
        : type(type), bytes(std::move(bytes)), reportedSize(reportedSize), throws(throws) {}

    std::uint32_t type = kRegSz;
    std::vector<std::byte> bytes;
    // The size the query reports, when it is not the number of bytes.
    std::optional<std::uint32_t> reportedSize;
    bool throws = false;
};

struct FakeKey {
    long openStatus = kErrorSuccess;
    std::map<std::u16string, FakeValue> values;
};

// Keys of HKLM by name. Records every call.
class FakeRegistry final : public Registry {
public:
    std::map<std::u16string, FakeKey> keys;
    std::vector<std::uint32_t> roots;
    std::vector<std::uint32_t> masks;
    std::vector<std::u16string> openedKeys;
    std::vector<std::u16string> queriedValues;
    std::vector<RegHandle> handles; // given out by successful opens
    std::vector<RegHandle> closed;

    long Open(std::uint32_t root, const std::u16string& keyName, std::uint32_t accessMask,
              RegHandle& handle) override {
        roots.push_back(root);
        masks.push_back(accessMask);
        openedKeys.push_back(keyName);
        const auto key = keys.find(keyName);
        if (root != kHkeyLocalMachine || key == keys.end()) {
            return kErrorFileNotFound;
        }
        if (key->second.openStatus != kErrorSuccess) {
            return key->second.openStatus;
        }
        handle = 100 + handles.size();
        handles.push_back(handle);
        byHandle_[handle] = &key->second;
        return kErrorSuccess;
    }

    long Query(RegHandle handle, const std::u16string& valueName, std::uint32_t& type,
               std::span<std::byte> buffer, std::uint32_t& size) override {
        queriedValues.push_back(valueName);
        if (size != buffer.size()) {
            throw std::logic_error("size is not the buffer's");
        }
        const auto value = byHandle_.at(handle)->values.find(valueName);
        if (value == byHandle_.at(handle)->values.end()) {
            return kErrorFileNotFound;
        }
        const FakeValue& stored = value->second;
        if (stored.throws) {
            throw std::runtime_error("query");
        }
        type = stored.type;
        if (!stored.reportedSize && stored.bytes.size() > buffer.size()) {
            size = static_cast<std::uint32_t>(stored.bytes.size());
            return kErrorMoreData;
        }
        // copy_n, not memcpy: an empty value has no data pointer.
        std::copy_n(stored.bytes.begin(), std::min(stored.bytes.size(), buffer.size()),
                    buffer.begin());
        size = stored.reportedSize.value_or(static_cast<std::uint32_t>(stored.bytes.size()));
        return kErrorSuccess;
    }

    void Close(RegHandle handle) override { closed.push_back(handle); }

private:
    std::map<RegHandle, FakeKey*> byHandle_;
};

class FakeFileTest final : public FileTest {
public:
    std::set<std::u16string> files;
    bool throws = false;
    mutable std::vector<std::u16string> asked;

    bool IsOrdinaryFile(const std::u16string& path) const override {
        asked.push_back(path);
        if (throws) {
            throw std::runtime_error("file test");
        }
        return files.count(path) != 0;
    }
};

class FakeLauncher final : public Launcher {
public:
    std::set<std::u16string> programs; // the paths that start
    bool throws = false;
    std::vector<std::u16string> launched;

    bool Launch(const std::u16string& path) override {
        launched.push_back(path);
        if (throws) {
            throw std::runtime_error("launch");
        }
        return programs.count(path) != 0;
    }
};

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
            registry.keys[kMsinfoKey].values[u"PATH"] = *row.path;
        }
        if (row.msinfo) {
            registry.keys[kLocationKey].values[u"MSINFO"] = *row.msinfo;
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
        registry.keys[kLocationKey].values[u"MSINFO"] =
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

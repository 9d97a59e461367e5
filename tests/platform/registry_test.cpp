// The Windows registry, file test and launch, on a real Windows API (Wine):
// the tests write the values first, then read them through GetKeyValue and
// StartSysInfo, and start a stand-in tool at paths with blanks and in several
// scripts.
#include "check.h"
#include "sysinfo.h"

#include <windows.h>

#include <chrono>
#include <cstring>
#include <stdexcept>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

using namespace soranika;

namespace {

const std::u16string kTestKey = u"Software\\Soranika\\PlatformTest";
const std::u16string kUnavailable(kSysInfoUnavailable);

// Outside any ANSI code page: Japanese, a blank and a character beyond the
// Basic Multilingual Plane.
const std::u16string kFolder = u"C:\\Program Files\\ソラニカ 𝄞 test";
const std::u16string kTool = kFolder + u"\\msinfo32.exe";
const std::u16string kSplitTool = u"C:\\Program.exe"; // what a split at blanks would start
const std::u16string kLocation = u"C:\\ソラニカ location";
const std::u16string kEmptyLocation = u"C:\\ソラニカ empty";

std::wstring W(const std::u16string& text) {
    return std::wstring(text.begin(), text.end());
}

std::u16string U(const std::wstring& text) {
    return std::u16string(text.begin(), text.end());
}

HKEY Root(std::uint32_t root) {
    return root == kHkeyLocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

void Require(bool ok, const char* what) {
    if (!ok) {
        throw std::runtime_error(what);
    }
}

void SetValue(std::uint32_t root, const std::u16string& key, const std::u16string& name, DWORD type,
              const void* data, DWORD bytes) {
    HKEY handle = nullptr;
    Require(RegCreateKeyExW(Root(root), W(key).c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                            &handle, nullptr) == ERROR_SUCCESS,
            "RegCreateKeyExW");
    const LSTATUS status =
        RegSetValueExW(handle, W(name).c_str(), 0, type, static_cast<const BYTE*>(data), bytes);
    RegCloseKey(handle);
    Require(status == ERROR_SUCCESS, "RegSetValueExW");
}

void SetText(std::uint32_t root, const std::u16string& key, const std::u16string& name, DWORD type,
             const std::u16string& text) {
    SetValue(root, key, name, type, text.c_str(),
             static_cast<DWORD>((text.size() + 1) * sizeof(char16_t)));
}

void DeleteValue(std::uint32_t root, const std::u16string& key, const std::u16string& name) {
    RegDeleteKeyValueW(Root(root), W(key).c_str(), W(name).c_str());
}

// Passes every call on to the system's registry and checks how it is used:
// read-only opens, and every opened key closed.
class CheckedRegistry final : public Registry {
public:
    int open = 0;

    long Open(std::uint32_t root, const std::u16string& keyName, std::uint32_t accessMask,
              RegHandle& handle) override {
        CHECK_EQ(accessMask, static_cast<std::uint32_t>(KEY_QUERY_VALUE));
        const long status = SystemRegistry().Open(root, keyName, accessMask, handle);
        open += status == ERROR_SUCCESS ? 1 : 0;
        return status;
    }
    long Query(RegHandle handle, const std::u16string& valueName, std::uint32_t& type,
               std::span<std::byte> buffer, std::uint32_t& size) override {
        return SystemRegistry().Query(handle, valueName, type, buffer, size);
    }
    void Close(RegHandle handle) override {
        --open;
        SystemRegistry().Close(handle);
    }
};

// Records each launch on its way to the system's launcher.
class RecordingLauncher final : public Launcher {
public:
    std::vector<std::u16string> launched;
    bool Launch(const std::u16string& path) override {
        launched.push_back(path);
        return SystemLauncher().Launch(path);
    }
};

std::u16string OwnFolder() {
    wchar_t path[4096];
    const DWORD length = GetModuleFileNameW(nullptr, path, sizeof path / sizeof path[0]);
    Require(length > 0 && length < sizeof path / sizeof path[0], "GetModuleFileNameW");
    std::wstring self(path, length);
    return U(self.substr(0, self.find_last_of(L'\\')));
}

// Puts copies of the stand-in tool where the tests start it, and removes them.
class ToolFiles {
public:
    ToolFiles() {
        Remove();
        const std::wstring tool = W(OwnFolder() + u"\\fake_msinfo.exe");
        for (const auto& folder : {kFolder, kLocation, kEmptyLocation}) {
            CreateDirectoryW(W(folder).c_str(), nullptr);
        }
        for (const auto& copy : {kTool, kSplitTool, kLocation + u"\\MSINFO32.EXE"}) {
            Require(CopyFileW(tool.c_str(), W(copy).c_str(), FALSE), "CopyFileW");
        }
    }
    ~ToolFiles() { Remove(); }
    ToolFiles(const ToolFiles&) = delete;
    ToolFiles& operator=(const ToolFiles&) = delete;

    static void RemoveMarkers() {
        for (const auto& copy : {kTool, kSplitTool, kLocation + u"\\MSINFO32.EXE"}) {
            DeleteFileW(W(copy + u".ran").c_str());
        }
    }

private:
    static void Remove() {
        RemoveMarkers();
        for (const auto& copy : {kTool, kSplitTool, kLocation + u"\\MSINFO32.EXE"}) {
            DeleteFileW(W(copy).c_str());
        }
        for (const auto& folder : {kFolder, kLocation, kEmptyLocation}) {
            RemoveDirectoryW(W(folder).c_str());
        }
    }
};

// What the stand-in tool at path wrote (its argument count) once it ran, or
// "" when it has not run within 20 seconds.
std::string WaitForRun(const std::u16string& path) {
    const std::wstring marker = W(path + u".ran");
    for (int i = 0; i < 400; ++i) {
        HANDLE file = CreateFileW(marker.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            char text[16] = {};
            DWORD read = 0;
            ReadFile(file, text, sizeof text - 1, &read, nullptr);
            CloseHandle(file);
            return std::string(text, read);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return "";
}

bool Ran(const std::u16string& path) {
    return GetFileAttributesW(W(path + u".ran").c_str()) != INVALID_FILE_ATTRIBUTES;
}

} // namespace

TEST(RegistryValuesReadThroughAdvapi32) {
    const std::u16string path = kTool;
    const std::u16string longest(511, u'L'); // 1024 bytes with the NUL
    const std::u16string tooLong(600, u'M');
    const DWORD dword = 0x12345678;

    struct Row {
        const char* name;
        std::u16string key;
        DWORD type;
        const void* data; // nullptr: no value is written
        DWORD bytes;
        std::u16string keyValIn;
        bool result;
        std::u16string keyValOut;
    };
    const std::vector<Row> rows = {
        {"REG_SZ in any script", kTestKey, REG_SZ, path.c_str(),
         static_cast<DWORD>((path.size() + 1) * 2), u"old", true, path},
        {"REG_SZ without NUL", kTestKey, REG_SZ, u"abc", 6, u"", true, u"abc"},
        {"REG_SZ empty", kTestKey, REG_SZ, u"", 2, u"old", true, u""},
        {"REG_SZ of 1024 bytes", kTestKey, REG_SZ, longest.c_str(), 1024, u"", true, longest},
        {"REG_SZ over 1024 bytes", kTestKey, REG_SZ, tooLong.c_str(), 1202, u"old", false, u""},
        {"REG_DWORD after the caller's text", kTestKey, REG_DWORD, &dword, 4, u"x", true,
         u"&hx12345678"},
        {"REG_EXPAND_SZ leaves KeyVal", kTestKey, REG_EXPAND_SZ, u"%SystemRoot%\\x.exe", 38,
         u"keep", true, u"keep"},
        {"missing value", kTestKey, REG_SZ, nullptr, 0, u"old", false, u""},
        {"missing key", kTestKey + u"\\Missing", REG_SZ, nullptr, 0, u"old", false, u""},
    };
    for (const Row& row : rows) {
        ROW(row.name);
        DeleteValue(kHkeyCurrentUser, kTestKey, u"Value");
        SetValue(kHkeyCurrentUser, kTestKey, u"Other", REG_SZ, u"x", 4);
        if (row.data) {
            SetValue(kHkeyCurrentUser, kTestKey, u"Value", row.type, row.data, row.bytes);
        }
        CheckedRegistry registry;
        std::u16string keyVal = row.keyValIn;
        CHECK_EQ(GetKeyValue(registry, kHkeyCurrentUser, row.key, u"Value", keyVal), row.result);
        CHECK_EQ(keyVal, row.keyValOut);
        CHECK_EQ(registry.open, 0);
    }
    RegDeleteTreeW(HKEY_CURRENT_USER, W(kTestKey).c_str());
}

TEST(RegistryValueOfZeroBytesRaises) {
    SetValue(kHkeyCurrentUser, kTestKey, u"Empty", REG_SZ, nullptr, 0);
    CheckedRegistry registry;
    std::u16string keyVal;
    bool raised = false;
    try {
        GetKeyValue(registry, kHkeyCurrentUser, kTestKey, u"Empty", keyVal);
    } catch (const std::invalid_argument&) {
        raised = true;
    }
    CHECK(raised);
    CHECK_EQ(registry.open, 0);
    RegDeleteTreeW(HKEY_CURRENT_USER, W(kTestKey).c_str());
}

TEST(KeysAreOpenedForReadingOnly) {
    SetValue(kHkeyLocalMachine, kMsinfoKey, u"Soranika", REG_SZ, u"x", 4);
    RegHandle handle = 0;
    CHECK_EQ(SystemRegistry().Open(kHkeyLocalMachine, kMsinfoKey, kKeyQueryValue, handle),
             kErrorSuccess);
    CHECK(handle != 0);
    // The handle GetKeyValue works with can read, and cannot write.
    std::byte buffer[16];
    std::uint32_t type = 0;
    std::uint32_t size = sizeof buffer;
    CHECK_EQ(SystemRegistry().Query(handle, u"Soranika", type, buffer, size), kErrorSuccess);
    CHECK_EQ(type, kRegSz);
    CHECK_EQ(size, 4u);
    CHECK_EQ(RegSetValueExW(reinterpret_cast<HKEY>(handle), L"Soranika", 0, REG_SZ,
                            reinterpret_cast<const BYTE*>(L"y"), 4),
             static_cast<LSTATUS>(ERROR_ACCESS_DENIED));
    SystemRegistry().Close(handle);
    DeleteValue(kHkeyLocalMachine, kMsinfoKey, u"Soranika");
}

TEST(FileTestSeesOrdinaryFilesOnly) {
    const ToolFiles files;
    const std::u16string hidden = kLocation + u"\\hidden.exe";
    const std::u16string system = kLocation + u"\\system.exe";
    for (const auto& [path, attribute] :
         {std::pair{hidden, FILE_ATTRIBUTE_HIDDEN}, std::pair{system, FILE_ATTRIBUTE_SYSTEM}}) {
        CopyFileW(W(kTool).c_str(), W(path).c_str(), FALSE);
        SetFileAttributesW(W(path).c_str(), attribute);
    }
    const std::vector<std::pair<std::u16string, bool>> rows = {
        {kTool, true},
        {kLocation + u"\\MSINFO32.EXE", true},
        {kLocation + u"\\msinfo32.exe", true},
        {kFolder, false},
        {hidden, false},
        {system, false},
        {kEmptyLocation + u"\\MSINFO32.EXE", false},
        {u"\\MSINFO32.EXE", false},
        {kLocation + u"\\*.EXE", false},
    };
    for (const auto& [path, ordinary] : rows) {
        ROW(check::Utf8(path));
        CHECK_EQ(SystemFileTest().IsOrdinaryFile(path), ordinary);
    }
    for (const auto& path : {hidden, system}) {
        SetFileAttributesW(W(path).c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(W(path).c_str());
    }
}

TEST(LauncherStartsThePathAsOneProgram) {
    const ToolFiles files;
    CHECK(SystemLauncher().Launch(kTool));
    CHECK_EQ(WaitForRun(kTool), std::string("0")); // no arguments
    CHECK(!Ran(kSplitTool));
    for (const auto& path : {std::u16string(), kFolder, kFolder + u"\\missing.exe"}) {
        ROW(check::Utf8(path));
        CHECK(!SystemLauncher().Launch(path));
    }
}

TEST(StartSysInfoWithTheRealRegistry) {
    const ToolFiles files;
    const std::u16string inLocation = kLocation + u"\\MSINFO32.EXE";
    struct Row {
        const char* name;
        DWORD pathType; // REG_NONE: no PATH value
        std::u16string path;
        std::u16string location; // "": no MSINFO value
        std::vector<std::u16string> launched;
        std::u16string ran; // the copy of the tool that ran, if any
    };
    const std::vector<Row> rows = {
        {"PATH", REG_SZ, kTool, kLocation, {kTool}, kTool},
        {"PATH of a missing file",
         REG_SZ,
         kFolder + u"\\gone.exe",
         kLocation,
         {kFolder + u"\\gone.exe"},
         u""},
        {"PATH as REG_EXPAND_SZ", REG_EXPAND_SZ, kTool, kLocation, {u""}, u""},
        {"location with the tool", REG_NONE, u"", kLocation, {inLocation}, inLocation},
        {"location without the tool", REG_NONE, u"", kEmptyLocation, {}, u""},
        {"neither", REG_NONE, u"", u"", {}, u""},
    };
    for (const Row& row : rows) {
        ROW(row.name);
        ToolFiles::RemoveMarkers();
        DeleteValue(kHkeyLocalMachine, kMsinfoKey, kMsinfoPathValue);
        DeleteValue(kHkeyLocalMachine, kLocationKey, kLocationValue);
        if (row.pathType != REG_NONE) {
            SetText(kHkeyLocalMachine, kMsinfoKey, kMsinfoPathValue, row.pathType, row.path);
        }
        if (!row.location.empty()) {
            SetText(kHkeyLocalMachine, kLocationKey, kLocationValue, REG_SZ, row.location);
        }
        CheckedRegistry registry;
        RecordingLauncher launcher;
        std::vector<std::u16string> messages;
        StartSysInfo(registry, SystemFileTest(), launcher,
                     [&](std::u16string_view text) { messages.emplace_back(text); });
        CHECK_EQ(launcher.launched, row.launched);
        CHECK_EQ(messages, row.ran.empty() ? std::vector<std::u16string>{kUnavailable}
                                           : std::vector<std::u16string>{});
        if (!row.ran.empty()) {
            CHECK_EQ(WaitForRun(row.ran), std::string("0"));
        }
        CHECK(!Ran(kSplitTool));
        CHECK_EQ(registry.open, 0);
    }
    DeleteValue(kHkeyLocalMachine, kMsinfoKey, kMsinfoPathValue);
    DeleteValue(kHkeyLocalMachine, kLocationKey, kLocationValue);
}

// The executable's version resource carries the project's version: the
// numeric file version major.minor.0.revision and the texts.
TEST(VersionResourceCarriesTheProjectVersion) {
    wchar_t self[MAX_PATH];
    CHECK(GetModuleFileNameW(nullptr, self, MAX_PATH) > 0);
    DWORD ignored = 0;
    const DWORD bytes = GetFileVersionInfoSizeW(self, &ignored);
    CHECK(bytes > 0);
    std::vector<std::byte> info(bytes);
    CHECK(GetFileVersionInfoW(self, 0, bytes, info.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    CHECK(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    CHECK(fixed != nullptr);
    const std::string numbers = std::to_string(HIWORD(fixed->dwFileVersionMS)) + "." +
                                std::to_string(LOWORD(fixed->dwFileVersionMS)) + "." +
                                std::to_string(HIWORD(fixed->dwFileVersionLS)) + "." +
                                std::to_string(LOWORD(fixed->dwFileVersionLS));
    CHECK_EQ(numbers, std::string(SORANIKA_FILE_VERSION));

    const auto text = [&](const wchar_t* name) {
        wchar_t* value = nullptr;
        UINT units = 0;
        const std::wstring path = std::wstring(L"\\StringFileInfo\\041104B0\\") + name;
        if (!VerQueryValueW(info.data(), path.c_str(), reinterpret_cast<void**>(&value), &units) ||
            value == nullptr) {
            return std::u16string();
        }
        return U(std::wstring(value));
    };
    const auto ascii = [](std::string_view digits) {
        return std::u16string(digits.begin(), digits.end());
    };
    CHECK_EQ(text(L"FileVersion"), ascii(SORANIKA_FILE_VERSION));
    CHECK_EQ(text(L"ProductVersion"), ascii(SORANIKA_VERSION));
    CHECK_EQ(text(L"ProductName"), std::u16string(u"ソラニカ"));
}

// The Windows registry, file test and launch, on a real Windows API (Wine):
// the tests write the values first, then read them through GetKeyValue and
// StartSysInfo, and start a stand-in tool at paths with blanks and in several
// scripts.
#include "fake_system.h"
#include "sysinfo.h"
#include "test_platform.h"

#include <windows.h>

#include <QScopeGuard>

#include <chrono>
#include <cstring>
#include <stdexcept>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

using namespace soranika;
using namespace testing;

namespace {

const std::u16string kTestKey = u"Software\\Soranika\\PlatformTest";

// Outside any ANSI code page: Japanese, a blank and a character beyond the
// Basic Multilingual Plane.
const std::u16string kFolder = u"C:\\Program Files\\ソラニカ 𝄞 test";
const std::u16string kTool = kFolder + u"\\msinfo32.exe";
const std::u16string kSplitTool = u"C:\\Program.exe"; // what a split at blanks would start
const std::u16string kLocation = u"C:\\ソラニカ location";
const std::u16string kInLocation = kLocation + u"\\MSINFO32.EXE";
const std::u16string kEmptyLocation = u"C:\\ソラニカ empty";
const std::u16string kHidden = kLocation + u"\\hidden.exe";
const std::u16string kSystem = kLocation + u"\\system.exe";

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

void DeleteTestKey() {
    RegDeleteTreeW(HKEY_CURRENT_USER, W(kTestKey).c_str());
}

void DeleteMsinfoValues() {
    DeleteValue(kHkeyLocalMachine, kMsinfoKey, kMsinfoPathValue);
    DeleteValue(kHkeyLocalMachine, kLocationKey, kLocationValue);
}

// Passes every call on to the system's registry and records how it is used:
// the access asked for, and how many keys are open.
class CheckedRegistry final : public Registry {
public:
    std::vector<std::uint32_t> masks;
    int open = 0;

    long Open(std::uint32_t root, const std::u16string& keyName, std::uint32_t accessMask,
              RegHandle& handle) override {
        masks.push_back(accessMask);
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

// Every key was opened read-only, and every opened key was closed.
void CheckReadOnlyAndClosed(const CheckedRegistry& registry) {
    for (const std::uint32_t mask : registry.masks) {
        QCOMPARE(mask, static_cast<std::uint32_t>(KEY_QUERY_VALUE));
    }
    QCOMPARE(registry.open, 0);
}

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

// Puts copies of the stand-in tool where the tests start it, and removes them
// with what they wrote.
class ToolFiles {
public:
    ToolFiles() {
        Remove();
        const std::wstring tool = W(OwnFolder() + u"\\fake_msinfo.exe");
        for (const auto& folder : {kFolder, kLocation, kEmptyLocation}) {
            CreateDirectoryW(W(folder).c_str(), nullptr);
        }
        for (const auto& copy : {kTool, kSplitTool, kInLocation}) {
            Require(CopyFileW(tool.c_str(), W(copy).c_str(), FALSE), "CopyFileW");
        }
    }
    ~ToolFiles() { Remove(); }
    ToolFiles(const ToolFiles&) = delete;
    ToolFiles& operator=(const ToolFiles&) = delete;

private:
    static void Remove() {
        for (const auto& copy : {kTool, kSplitTool, kInLocation}) {
            DeleteFileW(W(copy + u".ran").c_str());
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

void TestPlatform::registryValuesReadThroughAdvapi32_data() {
    QTest::addColumn<QString>("key");
    QTest::addColumn<int>("type");
    QTest::addColumn<std::vector<std::byte>>("data"); // empty: no value is written
    QTest::addColumn<QString>("keyValIn");
    QTest::addColumn<bool>("result");
    QTest::addColumn<QString>("keyValOut");
    const std::u16string longest(511, u'L'); // 1024 bytes with the NUL
    const QString key = Q(kTestKey);
    const std::vector<std::byte> none;
    // clang-format off
    QTest::newRow("REG_SZ in any script") << key << REG_SZ << Text(kTool) << "old" << true << Q(kTool);
    QTest::newRow("REG_SZ without NUL") << key << REG_SZ << Text(u"abc", false) << "" << true << "abc";
    QTest::newRow("REG_SZ empty") << key << REG_SZ << Text(u"") << "old" << true << "";
    QTest::newRow("REG_SZ of 1024 bytes") << key << REG_SZ << Text(longest) << "" << true << Q(longest);
    QTest::newRow("REG_SZ over 1024 bytes") << key << REG_SZ << Text(std::u16string(600, u'M')) << "old" << false << "";
    QTest::newRow("REG_DWORD after the caller's text") << key << REG_DWORD << Dword(0x12345678) << "x" << true << "&hx12345678";
    QTest::newRow("REG_EXPAND_SZ leaves KeyVal") << key << REG_EXPAND_SZ << Text(u"%SystemRoot%\\x.exe") << "keep" << true << "keep";
    QTest::newRow("missing value") << key << REG_SZ << none << "old" << false << "";
    QTest::newRow("missing key") << Q(kTestKey + u"\\Missing") << REG_SZ << none << "old" << false << "";
    // clang-format on
}

void TestPlatform::registryValuesReadThroughAdvapi32() {
    QFETCH(QString, key);
    QFETCH(int, type);
    QFETCH(std::vector<std::byte>, data);
    QFETCH(QString, keyValIn);
    QFETCH(bool, result);
    QFETCH(QString, keyValOut);
    const auto deleteKey = qScopeGuard(DeleteTestKey);
    DeleteValue(kHkeyCurrentUser, kTestKey, u"Value");
    SetValue(kHkeyCurrentUser, kTestKey, u"Other", REG_SZ, u"x", 4);
    if (!data.empty()) {
        SetValue(kHkeyCurrentUser, kTestKey, u"Value", DWORD(type), data.data(),
                 DWORD(data.size()));
    }
    CheckedRegistry registry;
    std::u16string keyVal = keyValIn.toStdU16String();
    QCOMPARE(GetKeyValue(registry, kHkeyCurrentUser, key.toStdU16String(), u"Value", keyVal),
             result);
    QCOMPARE(Q(keyVal), keyValOut);
    CheckReadOnlyAndClosed(registry);
}

void TestPlatform::registryValueOfZeroBytesRaises() {
    const auto deleteKey = qScopeGuard(DeleteTestKey);
    SetValue(kHkeyCurrentUser, kTestKey, u"Empty", REG_SZ, nullptr, 0);
    CheckedRegistry registry;
    std::u16string keyVal;
    QVERIFY_THROWS_EXCEPTION(std::invalid_argument,
                             GetKeyValue(registry, kHkeyCurrentUser, kTestKey, u"Empty", keyVal));
    CheckReadOnlyAndClosed(registry);
}

void TestPlatform::keysAreOpenedForReadingOnly() {
    SetValue(kHkeyLocalMachine, kMsinfoKey, u"Soranika", REG_SZ, u"x", 4);
    const auto deleteValue =
        qScopeGuard([] { DeleteValue(kHkeyLocalMachine, kMsinfoKey, u"Soranika"); });
    RegHandle handle = 0;
    QCOMPARE(SystemRegistry().Open(kHkeyLocalMachine, kMsinfoKey, kKeyQueryValue, handle),
             kErrorSuccess);
    QVERIFY(handle != 0);
    const auto close = qScopeGuard([&] { SystemRegistry().Close(handle); });
    // The handle GetKeyValue works with can read, and cannot write.
    std::byte buffer[16];
    std::uint32_t type = 0;
    std::uint32_t size = sizeof buffer;
    QCOMPARE(SystemRegistry().Query(handle, u"Soranika", type, buffer, size), kErrorSuccess);
    QCOMPARE(type, kRegSz);
    QCOMPARE(size, 4u);
    QCOMPARE(RegSetValueExW(reinterpret_cast<HKEY>(handle), L"Soranika", 0, REG_SZ,
                            reinterpret_cast<const BYTE*>(L"y"), 4),
             static_cast<LSTATUS>(ERROR_ACCESS_DENIED));
}

void TestPlatform::fileTestSeesOrdinaryFilesOnly_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("ordinary");
    QTest::newRow("in any script") << Q(kTool) << true;
    QTest::newRow("in the location") << Q(kInLocation) << true;
    QTest::newRow("in another case") << Q(kLocation + u"\\msinfo32.exe") << true;
    QTest::newRow("folder") << Q(kFolder) << false;
    QTest::newRow("hidden") << Q(kHidden) << false;
    QTest::newRow("system") << Q(kSystem) << false;
    QTest::newRow("missing") << Q(kEmptyLocation + u"\\MSINFO32.EXE") << false;
    QTest::newRow("name only") << "\\MSINFO32.EXE" << false;
    QTest::newRow("wildcard") << Q(kLocation + u"\\*.EXE") << false;
}

void TestPlatform::fileTestSeesOrdinaryFilesOnly() {
    QFETCH(QString, path);
    QFETCH(bool, ordinary);
    const ToolFiles files;
    for (const auto& [file, attribute] :
         {std::pair{kHidden, FILE_ATTRIBUTE_HIDDEN}, std::pair{kSystem, FILE_ATTRIBUTE_SYSTEM}}) {
        CopyFileW(W(kTool).c_str(), W(file).c_str(), FALSE);
        SetFileAttributesW(W(file).c_str(), attribute);
    }
    const auto deleteMarked = qScopeGuard([] {
        for (const auto& file : {kHidden, kSystem}) {
            SetFileAttributesW(W(file).c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileW(W(file).c_str());
        }
    });
    QCOMPARE(SystemFileTest().IsOrdinaryFile(path.toStdU16String()), ordinary);
}

void TestPlatform::launcherStartsThePathAsOneProgram_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("starts");
    QTest::newRow("blanks and any script") << Q(kTool) << true;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("folder") << Q(kFolder) << false;
    QTest::newRow("missing") << Q(kFolder + u"\\missing.exe") << false;
}

void TestPlatform::launcherStartsThePathAsOneProgram() {
    QFETCH(QString, path);
    QFETCH(bool, starts);
    const ToolFiles files;
    QCOMPARE(SystemLauncher().Launch(path.toStdU16String()), starts);
    if (starts) {
        QCOMPARE(Q(WaitForRun(kTool)), QString("0")); // no arguments
        QVERIFY(!Ran(kSplitTool));
    }
}

void TestPlatform::startSysInfoWithTheRealRegistry_data() {
    QTest::addColumn<int>("pathType"); // REG_NONE: no PATH value
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("location"); // empty: no MSINFO value
    QTest::addColumn<QStringList>("launched");
    QTest::addColumn<QString>("ran"); // the copy of the tool that ran, if any
    const QString tool = Q(kTool);
    const QString gone = Q(kFolder + u"\\gone.exe");
    const QString location = Q(kLocation);
    const QString inLocation = Q(kInLocation);
    // clang-format off
    QTest::newRow("PATH") << REG_SZ << tool << location << QStringList{tool} << tool;
    QTest::newRow("PATH of a missing file") << REG_SZ << gone << location << QStringList{gone} << "";
    QTest::newRow("PATH as REG_EXPAND_SZ") << REG_EXPAND_SZ << tool << location << QStringList{""} << "";
    QTest::newRow("location with the tool") << REG_NONE << "" << location << QStringList{inLocation} << inLocation;
    QTest::newRow("location without the tool") << REG_NONE << "" << Q(kEmptyLocation) << QStringList() << "";
    QTest::newRow("neither") << REG_NONE << "" << "" << QStringList() << "";
    // clang-format on
}

void TestPlatform::startSysInfoWithTheRealRegistry() {
    QFETCH(int, pathType);
    QFETCH(QString, path);
    QFETCH(QString, location);
    QFETCH(QStringList, launched);
    QFETCH(QString, ran);
    const ToolFiles files;
    const auto deleteValues = qScopeGuard(DeleteMsinfoValues);
    DeleteMsinfoValues();
    if (pathType != REG_NONE) {
        SetText(kHkeyLocalMachine, kMsinfoKey, kMsinfoPathValue, DWORD(pathType),
                path.toStdU16String());
    }
    if (!location.isEmpty()) {
        SetText(kHkeyLocalMachine, kLocationKey, kLocationValue, REG_SZ, location.toStdU16String());
    }
    CheckedRegistry registry;
    RecordingLauncher launcher;
    std::vector<std::u16string> messages;
    StartSysInfo(registry, SystemFileTest(), launcher,
                 [&](std::u16string_view text) { messages.emplace_back(text); });
    QCOMPARE(Strings(launcher.launched), launched);
    QCOMPARE(Strings(messages),
             ran.isEmpty() ? QStringList{Q(kSysInfoUnavailable)} : QStringList());
    if (!ran.isEmpty()) {
        QCOMPARE(Q(WaitForRun(ran.toStdU16String())), QString("0"));
    }
    QVERIFY(!Ran(kSplitTool));
    CheckReadOnlyAndClosed(registry);
}

// The executable's version resource carries the project's version: the
// numeric file version major.minor.0.revision and the texts.
void TestPlatform::versionResourceCarriesTheProjectVersion() {
    wchar_t self[MAX_PATH];
    QVERIFY(GetModuleFileNameW(nullptr, self, MAX_PATH) > 0);
    DWORD ignored = 0;
    const DWORD bytes = GetFileVersionInfoSizeW(self, &ignored);
    QVERIFY(bytes > 0);
    std::vector<std::byte> info(bytes);
    QVERIFY(GetFileVersionInfoW(self, 0, bytes, info.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    QVERIFY(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    QVERIFY(fixed != nullptr);
    const std::string numbers = std::to_string(HIWORD(fixed->dwFileVersionMS)) + "." +
                                std::to_string(LOWORD(fixed->dwFileVersionMS)) + "." +
                                std::to_string(HIWORD(fixed->dwFileVersionLS)) + "." +
                                std::to_string(LOWORD(fixed->dwFileVersionLS));
    QCOMPARE(Q(numbers), QString(SORANIKA_FILE_VERSION));

    const auto text = [&](const wchar_t* name) {
        wchar_t* value = nullptr;
        UINT units = 0;
        const std::wstring path = std::wstring(L"\\StringFileInfo\\041104B0\\") + name;
        if (!VerQueryValueW(info.data(), path.c_str(), reinterpret_cast<void**>(&value), &units) ||
            value == nullptr) {
            return QString();
        }
        return Q(U(std::wstring(value)));
    };
    QCOMPARE(text(L"FileVersion"), QString(SORANIKA_FILE_VERSION));
    QCOMPARE(text(L"ProductVersion"), QString(SORANIKA_VERSION));
    QCOMPARE(text(L"ProductName"), QString("ソラニカ"));
}

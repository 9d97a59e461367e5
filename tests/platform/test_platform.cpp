// GetKeyValue and StartSysInfo over fakes of the registry, the file test and
// the launcher. Built for Linux and, with MinGW-w64, for Windows.
#include "test_platform.h"
#include "fake_system.h"
#include "sysinfo.h"

#include <optional>
#include <stdexcept>

using namespace soranika;
using namespace testing;

namespace {

// A value of the fake registry; none: the value is missing.
using Value = std::optional<FakeValue>;

const std::u16string kFirst = u"C:\\Program Files\\Common Files\\System\\MSInfo\\msinfo32.exe";
const std::u16string kToolFolder = u"C:\\Program Files\\ソラニカ 情報";
const std::u16string kInFolder = kToolFolder + u"\\MSINFO32.EXE";

// Every open asked for KEY_QUERY_VALUE only (no set value, create subkey or
// create link, which a standard user is refused), and every opened key was
// closed once, and nothing else was closed.
void CheckKeysReadOnlyAndClosed(const FakeRegistry& registry) {
    for (const std::uint32_t mask : registry.masks) {
        QCOMPARE(mask, std::uint32_t{0x0001});
    }
    QVERIFY(registry.closed == registry.handles);
}

} // namespace

// The names under which Windows itself registers the tool: the fakes and
// the stand-in know them only from these constants.
void TestPlatform::registryNamesAreWindowsOwn() {
    QCOMPARE(Q(kMsinfoKey), QString("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO"));
    QCOMPARE(Q(kMsinfoPathValue), QString("PATH"));
    QCOMPARE(Q(kLocationKey), QString("SOFTWARE\\Microsoft\\Shared Tools Location"));
    QCOMPARE(Q(kLocationValue), QString("MSINFO"));
}

void TestPlatform::getKeyValueReadsByTypeAndSize_data() {
    QTest::addColumn<Value>("value");
    QTest::addColumn<long>("openStatus");
    QTest::addColumn<QString>("keyValIn");
    QTest::addColumn<bool>("result");
    QTest::addColumn<QString>("keyValOut");
    const std::u16string kanji = u"D:\\ソラニカ 工具\\𝄞\\msinfo32.exe";
    const std::u16string longText(511, u'A'); // 1022 bytes, 1024 with the NUL
    const std::u16string full(512, u'C');
    // clang-format off
    QTest::newRow("open fails") << Value() << kErrorFileNotFound << "old" << false << "";
    QTest::newRow("open refused") << Value({kRegSz, Text(u"x")}) << 5L << "old" << false << "";
    QTest::newRow("query fails") << Value() << kErrorSuccess << "old" << false << "";
    QTest::newRow("query needs more than 1024 bytes") << Value({kRegSz, Text(std::u16string(600, u'B'))}) << kErrorSuccess << "old" << false << "";
    QTest::newRow("REG_SZ replaces KeyVal") << Value({kRegSz, Text(u"C:\\Tools\\msinfo32.exe")}) << kErrorSuccess << "old" << true << "C:\\Tools\\msinfo32.exe";
    QTest::newRow("REG_SZ in any script") << Value({kRegSz, Text(kanji)}) << kErrorSuccess << "" << true << Q(kanji);
    QTest::newRow("REG_SZ without NUL") << Value({kRegSz, Text(u"abc", false)}) << kErrorSuccess << "" << true << "abc";
    QTest::newRow("REG_SZ of a NUL only") << Value({kRegSz, Text(u"")}) << kErrorSuccess << "old" << true << "";
    QTest::newRow("size cuts the text") << Value({kRegSz, Text(u"abcd"), 4}) << kErrorSuccess << "" << true << "ab";
    QTest::newRow("odd size reads a whole unit") << Value({kRegSz, Text(u"ab"), 3}) << kErrorSuccess << "" << true << "ab";
    QTest::newRow("1024 bytes with NUL") << Value({kRegSz, Text(longText)}) << kErrorSuccess << "" << true << Q(longText);
    QTest::newRow("size above the buffer reads the buffer only") << Value({kRegSz, Text(full, false), 5000}) << kErrorSuccess << "" << true << Q(full);
    QTest::newRow("REG_DWORD keeps the caller's text") << Value({kRegDword, Dword(0x12345678)}) << kErrorSuccess << "x" << true << "&hx12345678";
    QTest::newRow("REG_DWORD units without leading zeros") << Value({kRegDword, Dword(0x00ab0c0d)}) << kErrorSuccess << "" << true << "&hABC0D";
    QTest::newRow("REG_DWORD of 0") << Value({kRegDword, Dword(0)}) << kErrorSuccess << "" << true << "&h0";
    QTest::newRow("REG_EXPAND_SZ leaves KeyVal") << Value({kRegExpandSz, Text(u"%SystemRoot%\\x.exe")}) << kErrorSuccess << "keep" << true << "keep";
    QTest::newRow("REG_BINARY leaves KeyVal") << Value({3, Dword(7)}) << kErrorSuccess << "keep" << true << "keep";
    // clang-format on
}

void TestPlatform::getKeyValueReadsByTypeAndSize() {
    QFETCH(Value, value);
    QFETCH(long, openStatus);
    QFETCH(QString, keyValIn);
    QFETCH(bool, result);
    QFETCH(QString, keyValOut);
    FakeRegistry registry;
    registry.keys[u"KEY"].openStatus = openStatus;
    if (value) {
        registry.keys[u"KEY"].values[u"VALUE"] = *value;
    }
    std::u16string keyVal = keyValIn.toStdU16String();
    QCOMPARE(GetKeyValue(registry, kHkeyLocalMachine, u"KEY", u"VALUE", keyVal), result);
    QCOMPARE(Q(keyVal), keyValOut);
    QVERIFY(registry.roots == std::vector<std::uint32_t>{kHkeyLocalMachine});
    QCOMPARE(Strings(registry.openedKeys), QStringList{"KEY"});
    QCOMPARE(registry.queriedValues.size(), registry.handles.size());
    CheckKeysReadOnlyAndClosed(registry);
}

void TestPlatform::getKeyValueOfZeroBytesRaisesAndClosesTheKey_data() {
    QTest::addColumn<std::uint32_t>("type");
    for (const std::uint32_t type : {kRegSz, kRegDword, kRegExpandSz}) {
        QTest::addRow("type %u", type) << type;
    }
}

void TestPlatform::getKeyValueOfZeroBytesRaisesAndClosesTheKey() {
    QFETCH(std::uint32_t, type);
    FakeRegistry registry;
    registry.keys[u"KEY"].values[u"VALUE"] = FakeValue{type, {}};
    std::u16string keyVal = u"old";
    QVERIFY_THROWS_EXCEPTION(std::invalid_argument,
                             GetKeyValue(registry, kHkeyLocalMachine, u"KEY", u"VALUE", keyVal));
    QCOMPARE(registry.handles.size(), std::size_t{1});
    CheckKeysReadOnlyAndClosed(registry);
}

void TestPlatform::getKeyValueClosesTheKeyWhenTheQueryThrows() {
    FakeRegistry registry;
    registry.keys[u"KEY"].values[u"VALUE"] = FakeValue{kRegSz, Text(u"x"), std::nullopt, true};
    std::u16string keyVal;
    QVERIFY_THROWS_EXCEPTION(std::runtime_error,
                             GetKeyValue(registry, kHkeyLocalMachine, u"KEY", u"VALUE", keyVal));
    CheckKeysReadOnlyAndClosed(registry);
}

void TestPlatform::startSysInfoFindsAndLaunchesTheTool_data() {
    QTest::addColumn<Value>("path");   // PATH of the MSINFO key
    QTest::addColumn<Value>("msinfo"); // MSINFO of the location key
    QTest::addColumn<bool>("fileThere");
    QTest::addColumn<bool>("launchWorks");
    QTest::addColumn<QStringList>("asked");    // by the file test
    QTest::addColumn<QStringList>("launched"); // in this order
    QTest::addColumn<bool>("message");
    const Value first({kRegSz, Text(kFirst)});
    const Value folder({kRegSz, Text(kToolFolder)});
    const QStringList inFolder{Q(kInFolder)};
    // clang-format off
    QTest::newRow("first value launched unchanged") << first << folder << true << true << QStringList() << QStringList{Q(kFirst)} << false;
    QTest::newRow("first value, launch fails") << first << Value() << false << false << QStringList() << QStringList{Q(kFirst)} << true;
    QTest::newRow("first value of another type launches empty") << Value({kRegExpandSz, Text(kFirst)}) << Value() << false << true << QStringList() << QStringList{""} << true;
    QTest::newRow("first value REG_DWORD") << Value({kRegDword, Dword(1)}) << Value() << false << true << QStringList() << QStringList{"&h1"} << true;
    QTest::newRow("second value with the file") << Value() << folder << true << true << inFolder << inFolder << false;
    QTest::newRow("second value without the file") << Value() << folder << false << true << inFolder << QStringList() << true;
    QTest::newRow("second value with the file, launch fails") << Value() << folder << true << false << inFolder << inFolder << true;
    QTest::newRow("second value of another type") << Value() << Value({kRegExpandSz, Text(kToolFolder)}) << false << true << QStringList{"\\MSINFO32.EXE"} << QStringList() << true;
    QTest::newRow("neither value") << Value() << Value() << true << true << QStringList() << QStringList() << true;
    QTest::newRow("first value of 0 bytes") << Value({kRegSz, {}}) << folder << true << true << QStringList() << QStringList() << true;
    QTest::newRow("second value of 0 bytes") << Value() << Value({kRegSz, {}}) << true << true << QStringList() << QStringList() << true;
    // clang-format on
}

void TestPlatform::startSysInfoFindsAndLaunchesTheTool() {
    QFETCH(Value, path);
    QFETCH(Value, msinfo);
    QFETCH(bool, fileThere);
    QFETCH(bool, launchWorks);
    QFETCH(QStringList, asked);
    QFETCH(QStringList, launched);
    QFETCH(bool, message);
    FakeRegistry registry;
    registry.keys[kMsinfoKey];
    registry.keys[kLocationKey];
    if (path) {
        registry.keys[kMsinfoKey].values[kMsinfoPathValue] = *path;
    }
    if (msinfo) {
        registry.keys[kLocationKey].values[kLocationValue] = *msinfo;
    }
    FakeFileTest files;
    if (fileThere) {
        files.files = {kInFolder};
    }
    FakeLauncher launcher;
    if (launchWorks) {
        launcher.programs = {kFirst, kInFolder};
    }
    std::vector<std::u16string> messages;
    StartSysInfo(registry, files, launcher,
                 [&](std::u16string_view text) { messages.emplace_back(text); });

    QCOMPARE(Strings(files.asked), asked);
    QCOMPARE(Strings(launcher.launched), launched);
    QCOMPARE(Strings(messages), message ? QStringList{Q(kSysInfoUnavailable)} : QStringList());
    // The location key is looked at only when the first lookup fails.
    const QStringList opened =
        path ? QStringList{Q(kMsinfoKey)} : QStringList{Q(kMsinfoKey), Q(kLocationKey)};
    QCOMPARE(Strings(registry.openedKeys), opened);
    CheckKeysReadOnlyAndClosed(registry);
}

void TestPlatform::startSysInfoReportsEveryFailureAsTheMessage_data() {
    QTest::addColumn<long>("msinfoOpen");
    QTest::addColumn<bool>("fileTestThrows");
    QTest::addColumn<bool>("launchThrows");
    QTest::addColumn<bool>("queryThrows");
    QTest::newRow("keys refused to a standard user") << 5L << false << false << false;
    QTest::newRow("file test throws") << kErrorSuccess << true << false << false;
    QTest::newRow("launch throws") << kErrorSuccess << false << true << false;
    QTest::newRow("query throws") << kErrorSuccess << false << false << true;
}

void TestPlatform::startSysInfoReportsEveryFailureAsTheMessage() {
    QFETCH(long, msinfoOpen);
    QFETCH(bool, fileTestThrows);
    QFETCH(bool, launchThrows);
    QFETCH(bool, queryThrows);
    const std::u16string folder = u"C:\\Tools";
    FakeRegistry registry;
    registry.keys[kMsinfoKey].openStatus = msinfoOpen;
    registry.keys[kLocationKey].openStatus = msinfoOpen;
    registry.keys[kLocationKey].values[kLocationValue] =
        FakeValue{kRegSz, Text(folder), std::nullopt, queryThrows};
    FakeFileTest files;
    files.files = {folder + u"\\MSINFO32.EXE"};
    files.throws = fileTestThrows;
    FakeLauncher launcher;
    launcher.programs = files.files;
    launcher.throws = launchThrows;
    std::vector<std::u16string> messages;
    StartSysInfo(registry, files, launcher,
                 [&](std::u16string_view text) { messages.emplace_back(text); });
    QCOMPARE(Strings(messages), QStringList{Q(kSysInfoUnavailable)});
    CheckKeysReadOnlyAndClosed(registry);
}

QTEST_APPLESS_MAIN(TestPlatform)

// The stand-ins for the registry, the file test and the launch on systems
// other than Windows, on real files and programs in a temporary folder.
#include "standins.h"
#include "test_platform.h"

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <thread>

using namespace soranika;
using namespace testing;
namespace fs = std::filesystem;

namespace {

using Names = std::span<const std::string_view>;
constexpr std::string_view kCpuXOnly[] = {"cpu-x"};

const std::u16string kStandInTool = u"/opt/ソラニカ tools/hardinfo";

// A fresh folder, removed with its contents at the end of the case.
class TempFolder {
public:
    TempFolder() {
        std::string pattern = (fs::temp_directory_path() / "soranika-platform-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("mkdtemp");
        }
        path_ = pattern;
    }
    ~TempFolder() {
        std::error_code error;
        fs::remove_all(path_, error);
    }
    const fs::path& path() const { return path_; }

    // A path of a table row, where "<tmp>" stands for this folder.
    QString In(QString row) const { return row.replace("<tmp>", Q(path_.u16string())); }

private:
    fs::path path_;
};

void WriteFile(const fs::path& file, const std::string& text, bool executable) {
    fs::create_directories(file.parent_path());
    std::ofstream(file) << text;
    chmod(file.c_str(), executable ? 0755 : 0644);
}

// A program that writes the number of its arguments to marker.
void WriteProgram(const fs::path& file, const fs::path& marker) {
    WriteFile(file, "#!/bin/sh\necho \"$#\" > '" + marker.string() + "'\n", true);
}

// The marker's text once the program has written it, or "" after 10 s.
std::string WaitForMarker(const fs::path& marker) {
    for (int i = 0; i < 500; ++i) {
        std::ifstream in(marker);
        std::string text;
        if (in && std::getline(in, text)) {
            return text;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return "";
}

// Sets PATH for the lifetime of the object.
class ScopedPath {
public:
    explicit ScopedPath(const std::string& value) {
        const char* old = std::getenv("PATH");
        hadOld_ = old != nullptr;
        old_ = old ? old : "";
        setenv("PATH", value.c_str(), 1);
    }
    ~ScopedPath() {
        if (hadOld_) {
            setenv("PATH", old_.c_str(), 1);
        } else {
            unsetenv("PATH");
        }
    }

private:
    bool hadOld_;
    std::string old_;
};

} // namespace

void TestPlatform::findProgramTakesTheFirstNamedExecutable_data() {
    QTest::addColumn<QString>("searchPath");
    QTest::addColumn<Names>("names");
    QTest::addColumn<QString>("found"); // in the temporary folder; empty: none
    // clang-format off
    QTest::newRow("preferred name before PATH order") << "<tmp>/a:<tmp>/b b" << Names(kSysInfoPrograms) << "b b/kinfocenter";
    QTest::newRow("non-executable and folder skipped") << "<tmp>/a" << Names(kSysInfoPrograms) << "a/hardinfo";
    QTest::newRow("empty PATH") << "" << Names(kSysInfoPrograms) << "";
    QTest::newRow("missing folder") << "<tmp>/missing" << Names(kSysInfoPrograms) << "";
    QTest::newRow("relative and empty entries skipped") << ".:b b::" << Names(kSysInfoPrograms) << "";
    QTest::newRow("a folder of the name") << "<tmp>/a" << Names(kCpuXOnly) << "";
    // clang-format on
}

void TestPlatform::findProgramTakesTheFirstNamedExecutable() {
    QFETCH(QString, searchPath);
    QFETCH(Names, names);
    QFETCH(QString, found);
    TempFolder temp;
    const fs::path a = temp.path() / "a";
    WriteFile(a / "hardinfo", "", true);
    WriteFile(a / "kinfocenter", "", false); // not executable
    fs::create_directories(a / "cpu-x");     // a folder
    WriteFile(temp.path() / "b b" / "kinfocenter", "", true);

    const fs::path oldCwd = fs::current_path();
    fs::current_path(temp.path()); // so that the relative entries would find b b/kinfocenter
    const auto program = FindProgram(temp.In(searchPath).toStdString(), names);
    fs::current_path(oldCwd);
    QCOMPARE(program.has_value(), !found.isEmpty());
    if (program) {
        QCOMPARE(Q(program->string()), Q((temp.path() / found.toStdString()).string()));
    }
}

void TestPlatform::standInRegistryHoldsTheToolAsMsinfoPath_data() {
    QTest::addColumn<std::uint32_t>("root");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("toolInstalled");
    QTest::addColumn<bool>("result");
    QTest::addColumn<QString>("keyVal");
    const QString key = Q(kMsinfoKey);
    const QString path = Q(kMsinfoPathValue);
    const QString tool = Q(kStandInTool);
    // clang-format off
    QTest::newRow("installed") << kHkeyLocalMachine << key << path << true << true << tool;
    QTest::newRow("names in any case") << kHkeyLocalMachine << key.toLower() << path.toLower() << true << true << tool;
    QTest::newRow("not installed") << kHkeyLocalMachine << key << path << false << false << "";
    QTest::newRow("other root") << kHkeyCurrentUser << key << path << true << false << "";
    QTest::newRow("other key") << kHkeyLocalMachine << Q(kLocationKey) << Q(kLocationValue) << true << false << "";
    QTest::newRow("other value") << kHkeyLocalMachine << key << Q(kLocationValue) << true << false << "";
    // clang-format on
}

void TestPlatform::standInRegistryHoldsTheToolAsMsinfoPath() {
    QFETCH(std::uint32_t, root);
    QFETCH(QString, key);
    QFETCH(QString, value);
    QFETCH(bool, toolInstalled);
    QFETCH(bool, result);
    QFETCH(QString, keyVal);
    StandInRegistry registry([&] { return toolInstalled ? kStandInTool : u""; });
    std::u16string read = u"old";
    QCOMPARE(GetKeyValue(registry, root, key.toStdU16String(), value.toStdU16String(), read),
             result);
    QCOMPARE(Q(read), keyVal);
}

void TestPlatform::standInRegistryRefusesWritingAndTellsTheSize() {
    StandInRegistry registry([] { return kStandInTool; });
    RegHandle handle = 0;
    QCOMPARE(registry.Open(kHkeyLocalMachine, kMsinfoKey, 0x2003F, handle), 5L);
    QCOMPARE(handle, RegHandle{0});
    QCOMPARE(registry.Open(kHkeyLocalMachine, kMsinfoKey, 0x20019, handle), kErrorSuccess);
    std::byte small[8];
    std::uint32_t type = 0;
    std::uint32_t size = sizeof small;
    QCOMPARE(registry.Query(handle, kMsinfoPathValue, type, small, size), kErrorMoreData);
    QCOMPARE(size, static_cast<std::uint32_t>((kStandInTool.size() + 1) * 2));
}

void TestPlatform::fileTestFindsOrdinaryFilesOnly_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("ordinary");
    QTest::newRow("file") << "<tmp>/file" << true;
    QTest::newRow("in any script") << "<tmp>/ソラニカ 情報/MSINFO32.EXE" << true;
    QTest::newRow("link") << "<tmp>/link" << true;
    QTest::newRow("folder") << "<tmp>/folder" << false;
    QTest::newRow("dangling link") << "<tmp>/dangling" << false;
    QTest::newRow("missing") << "<tmp>/missing" << false;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("name only") << "\\MSINFO32.EXE" << false;
    QTest::newRow("not a valid file name") << QString("<tmp>/") + QChar(0xD800) << false;
}

void TestPlatform::fileTestFindsOrdinaryFilesOnly() {
    QFETCH(QString, path);
    QFETCH(bool, ordinary);
    TempFolder temp;
    WriteFile(temp.path() / "file", "x", false);
    WriteFile(temp.path() / "ソラニカ 情報" / "MSINFO32.EXE", "x", false);
    fs::create_directories(temp.path() / "folder");
    fs::create_symlink(temp.path() / "file", temp.path() / "link");
    fs::create_symlink(temp.path() / "gone", temp.path() / "dangling");
    QCOMPARE(SystemFileTest().IsOrdinaryFile(temp.In(path).toStdU16String()), ordinary);
}

void TestPlatform::launcherStartsThePathAsOneProgramWithoutArguments_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("starts");
    QTest::newRow("blanks and any script") << "<tmp>/dir with blank/ソラニカ tool" << true;
    QTest::newRow("missing") << "<tmp>/missing" << false;
    QTest::newRow("folder") << "<tmp>/dir with blank" << false;
    QTest::newRow("not executable") << "<tmp>/plain" << false;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("not a valid file name") << QString("<tmp>/") + QChar(0xD800) << false;
}

void TestPlatform::launcherStartsThePathAsOneProgramWithoutArguments() {
    QFETCH(QString, path);
    QFETCH(bool, starts);
    TempFolder temp;
    // Split at its first blank, the path would name the program "dir".
    WriteProgram(temp.path() / "dir with blank" / "ソラニカ tool", temp.path() / "tool.ran");
    WriteProgram(temp.path() / "dir", temp.path() / "decoy.ran");
    WriteFile(temp.path() / "plain", "#!/bin/sh\n", false);

    QCOMPARE(SystemLauncher().Launch(temp.In(path).toStdU16String()), starts);
    if (starts) {
        QCOMPARE(Q(WaitForMarker(temp.path() / "tool.ran")), QString("0"));
        QVERIFY(!fs::exists(temp.path() / "decoy.ran"));
    }
}

void TestPlatform::startSysInfoStartsTheDesktopToolFoundOnPath() {
    TempFolder temp;
    const fs::path bin = temp.path() / "bin";
    WriteProgram(bin / "hardinfo", temp.path() / "hardinfo.ran");
    fs::create_directories(temp.path() / "empty");

    std::vector<std::u16string> messages;
    const auto show = [&](std::u16string_view text) { messages.emplace_back(text); };
    {
        const ScopedPath path((temp.path() / "empty").string() + ":" + bin.string());
        StartSysInfo(SystemRegistry(), SystemFileTest(), SystemLauncher(), show);
    }
    QCOMPARE(Q(WaitForMarker(temp.path() / "hardinfo.ran")), QString("0"));
    QVERIFY(messages.empty());

    {
        const ScopedPath path((temp.path() / "empty").string());
        StartSysInfo(SystemRegistry(), SystemFileTest(), SystemLauncher(), show);
    }
    QCOMPARE(Strings(messages), QStringList{Q(kSysInfoUnavailable)});
}

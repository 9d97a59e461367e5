// The stand-ins for the registry, the file test and the launch on systems
// other than Windows, on real files and programs in a temporary folder.
#include "check.h"
#include "standins.h"

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <thread>

using namespace soranika;
namespace fs = std::filesystem;

namespace {

std::u16string AsciiLower(std::u16string text) {
    for (char16_t& c : text) {
        if (c >= u'A' && c <= u'Z') {
            c = char16_t(c - u'A' + u'a');
        }
    }
    return text;
}

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

TEST(FindProgramTakesTheFirstNamedExecutable) {
    TempFolder temp;
    const fs::path a = temp.path() / "a";
    const fs::path b = temp.path() / "b b";
    WriteFile(a / "hardinfo", "", true);
    WriteFile(a / "kinfocenter", "", false); // not executable
    fs::create_directories(a / "cpu-x");     // a folder
    WriteFile(b / "kinfocenter", "", true);

    struct Row {
        const char* name;
        std::string searchPath;
        std::optional<fs::path> found;
    };
    const std::vector<Row> rows = {
        {"preferred name before PATH order", a.string() + ":" + b.string(), b / "kinfocenter"},
        {"non-executable and folder skipped", a.string(), a / "hardinfo"},
        {"empty PATH", "", std::nullopt},
        {"missing folder", (temp.path() / "missing").string(), std::nullopt},
        {"relative and empty entries skipped", ".:b b::", std::nullopt},
    };
    const fs::path oldCwd = fs::current_path();
    fs::current_path(temp.path()); // so that the relative entries would find b b/kinfocenter
    for (const Row& row : rows) {
        ROW(row.name);
        const auto found = FindProgram(row.searchPath, kSysInfoPrograms);
        CHECK_EQ(found.has_value(), row.found.has_value());
        if (found && row.found) {
            CHECK_EQ(found->string(), row.found->string());
        }
    }
    const std::string_view onlyCpuX[] = {"cpu-x"};
    CHECK(!FindProgram(a.string(), onlyCpuX));
    fs::current_path(oldCwd);
}

TEST(StandInRegistryHoldsTheToolAsMsinfoPath) {
    const std::u16string tool = u"/opt/ソラニカ tools/hardinfo";
    std::u16string found = tool;
    StandInRegistry registry([&] { return found; });

    struct Row {
        const char* name;
        std::uint32_t root;
        std::u16string key;
        std::u16string value;
        bool toolInstalled;
        bool result;
        std::u16string keyVal;
    };
    const std::vector<Row> rows = {
        {"installed", kHkeyLocalMachine, kMsinfoKey, kMsinfoPathValue, true, true, tool},
        {"names in any case", kHkeyLocalMachine, AsciiLower(kMsinfoKey),
         AsciiLower(kMsinfoPathValue), true, true, tool},
        {"not installed", kHkeyLocalMachine, kMsinfoKey, kMsinfoPathValue, false, false, u""},
        {"other root", kHkeyCurrentUser, kMsinfoKey, kMsinfoPathValue, true, false, u""},
        {"other key", kHkeyLocalMachine, kLocationKey, kLocationValue, true, false, u""},
        {"other value", kHkeyLocalMachine, kMsinfoKey, kLocationValue, true, false, u""},
    };
    for (const Row& row : rows) {
        ROW(row.name);
        found = row.toolInstalled ? tool : u"";
        std::u16string keyVal = u"old";
        CHECK_EQ(GetKeyValue(registry, row.root, row.key, row.value, keyVal), row.result);
        CHECK_EQ(keyVal, row.keyVal);
    }

    RegHandle handle = 0;
    CHECK_EQ(registry.Open(kHkeyLocalMachine, kMsinfoKey, 0x2003F, handle), 5L);
    CHECK_EQ(handle, RegHandle{0});
    CHECK_EQ(registry.Open(kHkeyLocalMachine, kMsinfoKey, 0x20019, handle), kErrorSuccess);
    std::byte small[8];
    std::uint32_t type = 0;
    std::uint32_t size = sizeof small;
    CHECK_EQ(registry.Query(handle, kMsinfoPathValue, type, small, size), kErrorMoreData);
    CHECK_EQ(size, static_cast<std::uint32_t>((tool.size() + 1) * 2));
}

TEST(FileTestFindsOrdinaryFilesOnly) {
    TempFolder temp;
    WriteFile(temp.path() / "file", "x", false);
    WriteFile(temp.path() / "ソラニカ 情報" / "MSINFO32.EXE", "x", false);
    fs::create_directories(temp.path() / "folder");
    fs::create_symlink(temp.path() / "file", temp.path() / "link");
    fs::create_symlink(temp.path() / "gone", temp.path() / "dangling");

    const std::u16string base = temp.path().u16string();
    struct Row {
        std::u16string path;
        bool ordinary;
    };
    const std::vector<Row> rows = {
        {base + u"/file", true},
        {base + u"/ソラニカ 情報/MSINFO32.EXE", true},
        {base + u"/link", true},
        {base + u"/folder", false},
        {base + u"/dangling", false},
        {base + u"/missing", false},
        {u"", false},
        {u"\\MSINFO32.EXE", false},
        {base + u"/\xD800", false}, // not a valid file name
    };
    for (const Row& row : rows) {
        ROW(check::Utf8(row.path));
        CHECK_EQ(SystemFileTest().IsOrdinaryFile(row.path), row.ordinary);
    }
}

TEST(LauncherStartsThePathAsOneProgramWithoutArguments) {
    TempFolder temp;
    // Split at its first blank, the path would name the program "dir".
    const fs::path program = temp.path() / "dir with blank" / "ソラニカ tool";
    WriteProgram(program, temp.path() / "tool.ran");
    WriteProgram(temp.path() / "dir", temp.path() / "decoy.ran");

    CHECK(SystemLauncher().Launch(program.u16string()));
    CHECK_EQ(WaitForMarker(temp.path() / "tool.ran"), std::string("0"));
    CHECK(!fs::exists(temp.path() / "decoy.ran"));

    WriteFile(temp.path() / "plain", "#!/bin/sh\n", false);
    const std::u16string base = temp.path().u16string();
    for (const std::u16string& path : {base + u"/missing", base + u"/dir with blank",
                                       base + u"/plain", std::u16string(), base + u"/\xD800"}) {
        ROW(check::Utf8(path));
        CHECK(!SystemLauncher().Launch(path));
    }
}

TEST(StartSysInfoStartsTheDesktopToolFoundOnPath) {
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
    CHECK_EQ(WaitForMarker(temp.path() / "hardinfo.ran"), std::string("0"));
    CHECK(messages.empty());

    {
        const ScopedPath path((temp.path() / "empty").string());
        StartSysInfo(SystemRegistry(), SystemFileTest(), SystemLauncher(), show);
    }
    CHECK_EQ(messages, std::vector<std::u16string>{std::u16string(kSysInfoUnavailable)});
}

// The stand-ins for the registry, the file test and the program launch on
// systems other than Windows.
#include "standins.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>

extern char** environ;

namespace soranika {

namespace {

constexpr RegHandle kMsinfoHandle = 1;
constexpr std::uint32_t kKeyRead = 0x20019; // KEY_READ: read control, query, enumerate, notify
constexpr long kErrorAccessDenied = 5;

bool SameName(std::u16string_view a, std::u16string_view b) {
    const auto lower = [](char16_t c) { return c >= u'A' && c <= u'Z' ? c - u'A' + u'a' : c; };
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [&](char16_t x, char16_t y) { return lower(x) == lower(y); });
}

class PosixFileTest final : public FileTest {
public:
    bool IsOrdinaryFile(const std::u16string& path) const override {
        try {
            std::error_code error;
            return !path.empty() && std::filesystem::is_regular_file(path, error);
        } catch (const std::exception&) {
            return false; // not a valid file name here
        }
    }
};

class PosixLauncher final : public Launcher {
public:
    bool Launch(const std::u16string& path) override {
        std::string file;
        try {
            file = std::filesystem::path(path).string();
        } catch (const std::exception&) {
            return false;
        }
        if (file.empty()) {
            return false;
        }
        // posix_spawn reports a failed exec as its result; no shell is used.
        char* argv[] = {file.data(), nullptr};
        pid_t pid = 0;
        if (posix_spawn(&pid, file.c_str(), nullptr, nullptr, argv, environ) != 0) {
            return false;
        }
        // The program runs on its own; collect its end so it leaves no zombie.
        std::thread([pid] {
            int status = 0;
            waitpid(pid, &status, 0);
        }).detach();
        return true;
    }
};

} // namespace

std::optional<std::filesystem::path> FindProgram(std::string_view searchPath,
                                                 std::span<const std::string_view> names) {
    std::vector<std::filesystem::path> folders;
    for (std::size_t start = 0; start <= searchPath.size();) {
        const std::size_t end = std::min(searchPath.find(':', start), searchPath.size());
        std::filesystem::path folder(searchPath.substr(start, end - start));
        if (folder.is_absolute()) {
            folders.push_back(std::move(folder));
        }
        start = end + 1;
    }
    for (const std::string_view name : names) {
        for (const auto& folder : folders) {
            std::filesystem::path candidate = folder / name;
            std::error_code error;
            if (std::filesystem::is_regular_file(candidate, error) &&
                access(candidate.c_str(), X_OK) == 0) {
                return candidate;
            }
        }
    }
    return std::nullopt;
}

StandInRegistry::StandInRegistry(std::function<std::u16string()> findTool)
    : findTool_(std::move(findTool)) {}

long StandInRegistry::Open(std::uint32_t root, const std::u16string& keyName,
                           std::uint32_t accessMask, RegHandle& handle) {
    handle = 0;
    if (root != kHkeyLocalMachine || !SameName(keyName, kMsinfoKey)) {
        return kErrorFileNotFound;
    }
    if ((accessMask & ~kKeyRead) != 0) {
        return kErrorAccessDenied;
    }
    handle = kMsinfoHandle;
    return kErrorSuccess;
}

long StandInRegistry::Query(RegHandle handle, const std::u16string& valueName, std::uint32_t& type,
                            std::span<std::byte> buffer, std::uint32_t& size) {
    if (handle != kMsinfoHandle || !SameName(valueName, kMsinfoPathValue)) {
        return kErrorFileNotFound;
    }
    const std::u16string tool = findTool_();
    if (tool.empty()) {
        return kErrorFileNotFound;
    }
    type = kRegSz;
    const std::size_t bytes = (tool.size() + 1) * sizeof(char16_t); // with the NUL
    const bool fits = bytes <= std::min<std::size_t>(size, buffer.size());
    size = static_cast<std::uint32_t>(bytes);
    if (!fits) {
        return kErrorMoreData;
    }
    std::memcpy(buffer.data(), tool.c_str(), bytes);
    return kErrorSuccess;
}

void StandInRegistry::Close(RegHandle) {}

Registry& SystemRegistry() {
    static StandInRegistry registry([]() -> std::u16string {
        const char* searchPath = std::getenv("PATH");
        try {
            const auto tool = FindProgram(searchPath ? searchPath : "", kSysInfoPrograms);
            return tool ? tool->u16string() : std::u16string();
        } catch (const std::exception&) {
            return {}; // a file name that is not UTF-8
        }
    });
    return registry;
}

const FileTest& SystemFileTest() {
    static const PosixFileTest files;
    return files;
}

Launcher& SystemLauncher() {
    static PosixLauncher launcher;
    return launcher;
}

} // namespace soranika

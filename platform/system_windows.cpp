// The registry, the file test and the program launch of Windows, through the
// wide-character calls so that paths in any script survive.
#include "sysinfo.h"

#include <windows.h>

#include <algorithm>

namespace soranika {

static_assert(kHkeyLocalMachine == 0x80000002 && kKeyQueryValue == KEY_QUERY_VALUE);
static_assert(kRegSz == REG_SZ && kRegExpandSz == REG_EXPAND_SZ && kRegDword == REG_DWORD);
static_assert(kErrorSuccess == ERROR_SUCCESS && kErrorFileNotFound == ERROR_FILE_NOT_FOUND &&
              kErrorMoreData == ERROR_MORE_DATA);

namespace {

std::wstring Wide(const std::u16string& text) {
    return std::wstring(text.begin(), text.end());
}

// A predefined root key from its 32-bit value, sign-extended to a handle as
// winreg.h defines HKEY_LOCAL_MACHINE and the others.
HKEY RootKey(std::uint32_t root) {
    return reinterpret_cast<HKEY>(static_cast<LONG_PTR>(static_cast<std::int32_t>(root)));
}

class WindowsRegistry final : public Registry {
public:
    long Open(std::uint32_t root, const std::u16string& keyName, std::uint32_t accessMask,
              RegHandle& handle) override {
        HKEY key = nullptr;
        const LSTATUS status =
            RegOpenKeyExW(RootKey(root), Wide(keyName).c_str(), 0, accessMask, &key);
        handle = status == ERROR_SUCCESS ? reinterpret_cast<RegHandle>(key) : 0;
        return status;
    }

    long Query(RegHandle handle, const std::u16string& valueName, std::uint32_t& type,
               std::span<std::byte> buffer, std::uint32_t& size) override {
        DWORD valueType = 0;
        DWORD bytes = static_cast<DWORD>(std::min<std::size_t>(size, buffer.size()));
        const LSTATUS status =
            RegQueryValueExW(reinterpret_cast<HKEY>(handle), Wide(valueName).c_str(), nullptr,
                             &valueType, reinterpret_cast<BYTE*>(buffer.data()), &bytes);
        type = valueType;
        size = bytes;
        return status;
    }

    void Close(RegHandle handle) override {
        if (handle != 0) {
            RegCloseKey(reinterpret_cast<HKEY>(handle));
        }
    }
};

class WindowsFileTest final : public FileTest {
public:
    bool IsOrdinaryFile(const std::u16string& path) const override {
        constexpr DWORD kNotOrdinary =
            FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
        const DWORD attributes = GetFileAttributesW(Wide(path).c_str());
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & kNotOrdinary) == 0;
    }
};

class WindowsLauncher final : public Launcher {
public:
    bool Launch(const std::u16string& path) override {
        if (path.empty()) {
            return false;
        }
        // The program is named on its own, so nothing is split at blanks or
        // searched for; its command line is just its quoted name.
        const std::wstring program = Wide(path);
        std::wstring commandLine = L"\"" + program + L"\"";
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESHOWWINDOW;
        startup.wShowWindow = SW_SHOWNORMAL;
        PROCESS_INFORMATION process{};
        if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                            nullptr, nullptr, &startup, &process)) {
            return false;
        }
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        return true;
    }
};

} // namespace

Registry& SystemRegistry() {
    static WindowsRegistry registry;
    return registry;
}

const FileTest& SystemFileTest() {
    static const WindowsFileTest files;
    return files;
}

Launcher& SystemLauncher() {
    static WindowsLauncher launcher;
    return launcher;
}

} // namespace soranika

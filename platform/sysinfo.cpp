#include "sysinfo.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <stdexcept>

namespace soranika {

namespace {

// The value as UTF-16 units: the bytes stored, at most the buffer's, rounded
// up to whole units (the buffer starts zeroed), less one NUL at the end.
std::u16string StoredText(std::span<const std::byte> buffer, std::uint32_t size) {
    if (size == 0) {
        throw std::invalid_argument("registry value of 0 bytes");
    }
    const std::size_t bytes = std::min<std::size_t>(size, buffer.size());
    std::u16string text((bytes + 1) / 2, u'\0');
    std::memcpy(text.data(), buffer.data(), bytes);
    if (text.back() == u'\0') {
        text.pop_back();
    }
    return text;
}

// Upper-case hexadecimal digits without leading zeros ("0" for 0).
std::u16string HexDigits(char16_t unit) {
    static constexpr char16_t kDigits[] = u"0123456789ABCDEF";
    std::u16string digits;
    unsigned value = unit;
    do {
        digits.insert(digits.begin(), kDigits[value % 16]);
        value /= 16;
    } while (value != 0);
    return digits;
}

bool ReadValue(Registry& registry, RegHandle handle, const std::u16string& valueName,
               std::u16string& value) {
    std::array<std::byte, kKeyValueBufferBytes> buffer{};
    std::uint32_t type = 0;
    std::uint32_t size = kKeyValueBufferBytes;
    if (registry.Query(handle, valueName, type, buffer, size) != kErrorSuccess) {
        value.clear();
        return false;
    }
    const std::u16string text = StoredText(buffer, size);
    switch (type) {
    case kRegSz:
        value = text;
        break;
    case kRegDword:
        // The digits follow whatever the caller passed in. "&h" and the
        // digits are kept as they stand: the value is not turned into a
        // number, so that a caller's text in front of the digits survives.
        for (auto unit = text.rbegin(); unit != text.rend(); ++unit) {
            value += HexDigits(*unit);
        }
        value.insert(0, u"&h");
        break;
    default:
        break;
    }
    return true;
}

} // namespace

bool GetKeyValue(Registry& registry, std::uint32_t keyRoot, const std::u16string& keyName,
                 const std::u16string& valueName, std::u16string& keyValue) {
    RegHandle handle = 0;
    if (registry.Open(keyRoot, keyName, kKeyQueryValue, handle) != kErrorSuccess) {
        keyValue.clear();
        return false;
    }
    bool found = false;
    try {
        found = ReadValue(registry, handle, valueName, keyValue);
    } catch (...) {
        registry.Close(handle);
        throw;
    }
    registry.Close(handle);
    return found;
}

void StartSysInfo(Registry& registry, const FileTest& files, Launcher& launcher,
                  const std::function<void(std::u16string_view)>& showMessage) {
    static constexpr char16_t kToolFile[] = u"\\MSINFO32.EXE";
    try {
        std::u16string path;
        if (GetKeyValue(registry, kHkeyLocalMachine, kMsinfoKey, kMsinfoPathValue, path)) {
            // Launched as it stands: a missing file fails in the launch.
            if (launcher.Launch(path)) {
                return;
            }
        } else if (GetKeyValue(registry, kHkeyLocalMachine, kLocationKey, kLocationValue, path) &&
                   files.IsOrdinaryFile(path + kToolFile)) {
            path += kToolFile;
            if (launcher.Launch(path)) {
                return;
            }
        }
    } catch (...) {
        // Any failure on the way is reported like a missing tool.
    }
    showMessage(kSysInfoUnavailable);
}

} // namespace soranika

// Finding and starting the operating system's system-information tool for
// the About window, over three small interfaces to the operating system: the
// registry, a file test and the launch of a program. Standard C++ only, so
// that the same code runs on Windows and, over stand-ins, elsewhere.
// Texts are UTF-16 (std::u16string), as Qt and the Windows wide-character
// calls hold them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

namespace soranika {

// Registry values of the Windows API (winreg.h, winerror.h).
inline constexpr std::uint32_t kHkeyCurrentUser = 0x80000001;
inline constexpr std::uint32_t kHkeyLocalMachine = 0x80000002;
inline constexpr std::uint32_t kKeyQueryValue = 0x0001;
inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegExpandSz = 2;
inline constexpr std::uint32_t kRegDword = 4;
inline constexpr long kErrorSuccess = 0;
inline constexpr long kErrorFileNotFound = 2;
inline constexpr long kErrorMoreData = 234;

// The number of bytes GetKeyValue reads of a value at most.
inline constexpr std::size_t kKeyValueBufferBytes = 1024;

// Where Windows registers the system-information tool, under
// HKEY_LOCAL_MACHINE: the value kMsinfoPathValue of kMsinfoKey names the
// program; the value kLocationValue of kLocationKey names its folder.
inline const std::u16string kMsinfoKey = u"SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
inline const std::u16string kMsinfoPathValue = u"PATH";
inline const std::u16string kLocationKey = u"SOFTWARE\\Microsoft\\Shared Tools Location";
inline const std::u16string kLocationValue = u"MSINFO";

// The message shown whenever the system-information tool cannot be started.
inline constexpr std::u16string_view kSysInfoUnavailable = u"現時点ではｼｽﾃﾑ情報を使用できません";

// An open registry key; 0 is no key.
using RegHandle = std::uintptr_t;

// The calls of the registry that GetKeyValue makes, with the meaning of the
// Windows wide-character calls: a status of 0 is success, anything else is
// an error code.
class Registry {
public:
    virtual ~Registry() = default;
    // Opens keyName under the predefined root key root (a 32-bit root such
    // as kHkeyLocalMachine) with the access rights accessMask.
    virtual long Open(std::uint32_t root, const std::u16string& keyName, std::uint32_t accessMask,
                      RegHandle& handle) = 0;
    // Reads the value valueName into buffer. On entry size is the buffer's
    // size in bytes; on return type is the value's type and size the number
    // of bytes stored (or, with kErrorMoreData, the number needed).
    virtual long Query(RegHandle handle, const std::u16string& valueName, std::uint32_t& type,
                       std::span<std::byte> buffer, std::uint32_t& size) = 0;
    virtual void Close(RegHandle handle) = 0;
};

class FileTest {
public:
    virtual ~FileTest() = default;
    // True when path names an existing ordinary file: not a folder, and on
    // Windows neither hidden nor a system file.
    virtual bool IsOrdinaryFile(const std::u16string& path) const = 0;
};

class Launcher {
public:
    virtual ~Launcher() = default;
    // Starts the program at path, with no arguments and in a normal window
    // that takes the focus, without a shell: the path is one file name,
    // blanks and all. Returns false when the program could not be started.
    virtual bool Launch(const std::u16string& path) = 0;
};

// Reads the value valueName of the key keyName under keyRoot into keyValue and
// returns true when a value was read. The key is opened for querying values
// only. A failed open or query empties keyValue and returns false. A string
// (REG_SZ) becomes keyValue, less its terminating NUL; a REG_DWORD appends the
// hexadecimal digits of its UTF-16 units to keyValue, last unit first, then
// puts "&h" in front; any other type leaves keyValue as it was but still counts
// as read. At most kKeyValueBufferBytes bytes are read; a larger value fails
// as a query. A value of 0 bytes throws std::invalid_argument (after the key
// is closed), as there is no last character to look at.
bool GetKeyValue(Registry& registry, std::uint32_t keyRoot, const std::u16string& keyName,
                 const std::u16string& valueName, std::u16string& keyValue);

// Starts the system-information tool: the program named by the value
// kMsinfoPathValue of kMsinfoKey, launched as it stands, or else MSINFO32.EXE
// in the folder named by the value kLocationValue of kLocationKey when that
// file is there.
// Any failure, an exception included, ends in
// showMessage(kSysInfoUnavailable).
void StartSysInfo(Registry& registry, const FileTest& files, Launcher& launcher,
                  const std::function<void(std::u16string_view)>& showMessage);

// The implementations for this system. On Windows: the registry through
// advapi32, the file attributes and CreateProcessW. Elsewhere: a stand-in
// registry whose MSINFO PATH value names the desktop's system-information
// program found on PATH (no value when none is installed), a test for a
// regular file, and posix_spawn.
Registry& SystemRegistry();
const FileTest& SystemFileTest();
Launcher& SystemLauncher();

} // namespace soranika

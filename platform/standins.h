// What stands in for the Windows registry on other systems: a registry that
// holds one value, the PATH of the MSINFO key, naming the desktop's
// system-information program when one is installed.
#pragma once

#include "sysinfo.h"

#include <filesystem>
#include <optional>

namespace soranika {

// Well-known system-information programs of the desktops, preferred first.
inline constexpr std::string_view kSysInfoPrograms[] = {"kinfocenter", "hardinfo2", "hardinfo",
                                                        "cpu-x"};

// The first of names, in their order, that is an executable regular file in
// a folder of searchPath (a PATH value, folders separated by ':'). Empty and
// relative entries, which would name the current folder, are skipped.
std::optional<std::filesystem::path> FindProgram(std::string_view searchPath,
                                                 std::span<const std::string_view> names);

// A read-only registry with the key kMsinfoKey (names compared without
// regard to ASCII case). Its value PATH, a REG_SZ, is
// what findTool gives at the time of the query; an empty text means no value.
// A key opened with more than read rights is refused, as for a standard user.
class StandInRegistry final : public Registry {
public:
    explicit StandInRegistry(std::function<std::u16string()> findTool);

    long Open(std::uint32_t root, const std::u16string& keyName, std::uint32_t accessMask,
              RegHandle& handle) override;
    long Query(RegHandle handle, const std::u16string& valueName, std::uint32_t& type,
               std::span<std::byte> buffer, std::uint32_t& size) override;
    void Close(RegHandle handle) override;

private:
    std::function<std::u16string()> findTool_;
};

} // namespace soranika

// A registry, file test and launch of the tests' own, for GetKeyValue,
// StartSysInfo and the About window's system-information button: nothing
// real is ever read or started. Standard C++ only, so that the window tests,
// the platform tests and their Windows build under Wine share them.
#pragma once

#include "sysinfo.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace testing {

// A string as the registry stores it, with or without its terminating NUL.
std::vector<std::byte> Text(std::u16string_view text, bool withNul = true);
std::vector<std::byte> Dword(std::uint32_t value);

struct FakeValue {
    FakeValue() = default;
    FakeValue(std::uint32_t type, std::vector<std::byte> bytes,
              std::optional<std::uint32_t> reportedSize = std::nullopt, bool throws = false)
        : type(type), bytes(std::move(bytes)), reportedSize(reportedSize), throws(throws) {}

    std::uint32_t type = soranika::kRegSz;
    std::vector<std::byte> bytes;
    // The size the query reports, when it is not the number of bytes.
    std::optional<std::uint32_t> reportedSize;
    bool throws = false;
};

struct FakeKey {
    long openStatus = soranika::kErrorSuccess;
    std::map<std::u16string, FakeValue> values;
};

// Keys of HKLM by name. Records every call.
class FakeRegistry final : public soranika::Registry {
public:
    std::map<std::u16string, FakeKey> keys;
    std::vector<std::uint32_t> roots;
    std::vector<std::uint32_t> masks;
    std::vector<std::u16string> openedKeys;
    std::vector<std::u16string> queriedValues;
    std::vector<soranika::RegHandle> handles; // given out by successful opens
    std::vector<soranika::RegHandle> closed;

    long Open(std::uint32_t root, const std::u16string& keyName, std::uint32_t accessMask,
              soranika::RegHandle& handle) override;
    long Query(soranika::RegHandle handle, const std::u16string& valueName, std::uint32_t& type,
               std::span<std::byte> buffer, std::uint32_t& size) override;
    void Close(soranika::RegHandle handle) override { closed.push_back(handle); }

private:
    std::map<soranika::RegHandle, FakeKey*> byHandle_;
};

// The files that exist; records every question.
class FakeFileTest final : public soranika::FileTest {
public:
    std::set<std::u16string> files;
    bool throws = false;
    mutable std::vector<std::u16string> asked;

    bool IsOrdinaryFile(const std::u16string& path) const override;
};

// Records every launch; only the paths in programs start.
class FakeLauncher final : public soranika::Launcher {
public:
    std::set<std::u16string> programs;
    bool throws = false;
    std::vector<std::u16string> launched;

    bool Launch(const std::u16string& path) override;
};

} // namespace testing

// A registry, file test and launch of the tests' own, for the About window's
// system-information button: nothing real is ever read or started.
#pragma once

#include "sysinfo.h"

#include <QStringList>

#include <cstring>
#include <map>
#include <string>

namespace testing {

// Key name -> value name -> value. Records the access the last open asked for.
class FakeRegistry : public soranika::Registry {
public:
    struct Value {
        std::uint32_t type = soranika::kRegSz;
        std::u16string text;
        bool empty = false; // stored with 0 bytes
    };
    std::map<std::u16string, std::map<std::u16string, Value>> keys;
    std::uint32_t lastAccess = 0;

    long Open(std::uint32_t, const std::u16string& keyName, std::uint32_t access,
              soranika::RegHandle& handle) override {
        lastAccess = access;
        auto found = keys.find(keyName);
        if (found == keys.end()) {
            return soranika::kErrorFileNotFound;
        }
        open_ = &found->second;
        handle = 1;
        return soranika::kErrorSuccess;
    }
    long Query(soranika::RegHandle, const std::u16string& valueName, std::uint32_t& type,
               std::span<std::byte> buffer, std::uint32_t& size) override {
        if (open_ == nullptr) {
            return soranika::kErrorFileNotFound;
        }
        auto found = open_->find(valueName);
        if (found == open_->end()) {
            return soranika::kErrorFileNotFound;
        }
        const Value& value = found->second;
        type = value.type;
        if (value.empty) {
            size = 0;
            return soranika::kErrorSuccess;
        }
        const std::size_t bytes = (value.text.size() + 1) * sizeof(char16_t);
        if (bytes > buffer.size()) {
            return soranika::kErrorMoreData;
        }
        std::memcpy(buffer.data(), value.text.c_str(), bytes);
        size = std::uint32_t(bytes);
        return soranika::kErrorSuccess;
    }
    void Close(soranika::RegHandle) override { open_ = nullptr; }

private:
    std::map<std::u16string, Value>* open_ = nullptr;
};

// One ordinary file, or none.
class FakeFiles : public soranika::FileTest {
public:
    std::u16string existing;
    bool IsOrdinaryFile(const std::u16string& path) const override {
        return !existing.empty() && path == existing;
    }
};

// Records every launch; like the system's, an empty path never starts.
class FakeLauncher : public soranika::Launcher {
public:
    bool succeeds = true;
    QStringList launched;
    bool Launch(const std::u16string& path) override {
        launched.append(QString::fromStdU16String(path));
        return succeeds && !path.empty();
    }
};

} // namespace testing

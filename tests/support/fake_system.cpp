#include "fake_system.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace testing {

using namespace soranika;

namespace {

std::vector<std::byte> Bytes(const void* data, std::size_t size) {
    std::vector<std::byte> bytes(size);
    if (size != 0) {
        std::memcpy(bytes.data(), data, size);
    }
    return bytes;
}

} // namespace

std::vector<std::byte> Text(std::u16string_view text, bool withNul) {
    std::u16string stored(text);
    if (withNul) {
        stored.push_back(u'\0');
    }
    return Bytes(stored.data(), stored.size() * sizeof(char16_t));
}

std::vector<std::byte> Dword(std::uint32_t value) {
    return Bytes(&value, sizeof value);
}

long FakeRegistry::Open(std::uint32_t root, const std::u16string& keyName, std::uint32_t accessMask,
                        RegHandle& handle) {
    roots.push_back(root);
    masks.push_back(accessMask);
    openedKeys.push_back(keyName);
    const auto key = keys.find(keyName);
    if (root != kHkeyLocalMachine || key == keys.end()) {
        return kErrorFileNotFound;
    }
    if (key->second.openStatus != kErrorSuccess) {
        return key->second.openStatus;
    }
    handle = 100 + handles.size();
    handles.push_back(handle);
    byHandle_[handle] = &key->second;
    return kErrorSuccess;
}

long FakeRegistry::Query(RegHandle handle, const std::u16string& valueName, std::uint32_t& type,
                         std::span<std::byte> buffer, std::uint32_t& size) {
    queriedValues.push_back(valueName);
    if (size != buffer.size()) {
        throw std::logic_error("size is not the buffer's");
    }
    const auto value = byHandle_.at(handle)->values.find(valueName);
    if (value == byHandle_.at(handle)->values.end()) {
        return kErrorFileNotFound;
    }
    const FakeValue& stored = value->second;
    if (stored.throws) {
        throw std::runtime_error("query");
    }
    type = stored.type;
    if (!stored.reportedSize && stored.bytes.size() > buffer.size()) {
        size = static_cast<std::uint32_t>(stored.bytes.size());
        return kErrorMoreData;
    }
    // copy_n, not memcpy: an empty value has no data pointer.
    std::copy_n(stored.bytes.begin(), std::min(stored.bytes.size(), buffer.size()), buffer.begin());
    size = stored.reportedSize.value_or(static_cast<std::uint32_t>(stored.bytes.size()));
    return kErrorSuccess;
}

bool FakeFileTest::IsOrdinaryFile(const std::u16string& path) const {
    asked.push_back(path);
    if (throws) {
        throw std::runtime_error("file test");
    }
    return files.count(path) != 0;
}

bool FakeLauncher::Launch(const std::u16string& path) {
    launched.push_back(path);
    if (throws) {
        throw std::runtime_error("launch");
    }
    return programs.count(path) != 0;
}

} // namespace testing

// Fuzz target: reading one registry value with GetKeyValue, over a fake
// registry that answers whatever the input says: any open and query result,
// any handle, any value type, any reported size (0 and more than the buffer
// included) and any bytes.
//
// Input, in this order (missing bytes read as 0):
//   1 byte   open: lowest bit set = success, else the error below
//   4 bytes  open error (any non-zero value; 0 reads as 1)
//   8 bytes  the handle the fake hands out (also on a failed open)
//   1 byte   query, by its value modulo 8: 0..5 = success, 6 = the error
//            below, 7 = the fake throws
//   4 bytes  query error (any non-zero value; 0 reads as 1)
//   1 byte   type: below 0x60 REG_SZ, below 0xC0 REG_DWORD, else the next 4 bytes
//   4 bytes  that other type
//   1 byte   reported size: 0 = the bytes written, 1 = one more, 2 = none,
//            3 = the next 4 bytes, anything else = the bytes written
//   4 bytes  that reported size
//   4 bytes  KeyRoot
//   then KeyName, SubKeyRef, KeyVal as passed in, and the value's bytes,
//   separated by 0x1F (the last part takes the rest); the three texts are
//   UTF-16 units, low byte first.
//
// Properties: the key is opened once, under KeyRoot and KeyName, asking only
// to query values, into a handle variable that starts at 0; a failed open
// queries and closes nothing, empties KeyVal and gives false. After a
// successful open the value SubKeyRef is queried once, through the handle the
// open gave, with a buffer of 1024 bytes and a size of 1024, and that handle
// is closed exactly once, last, whatever happens (a failed query, a value of
// 0 bytes, a query that throws). A failed query empties KeyVal and gives
// false; a value of 0 bytes throws std::invalid_argument and leaves KeyVal;
// otherwise the result is true and KeyVal is, by type, the stored text less
// one terminating NUL (REG_SZ), "&h" + the old KeyVal + the hexadecimal
// digits of the units last first (REG_DWORD), or the old KeyVal. Nothing
// reads or writes outside the buffer: the fake writes at most the buffer it
// is given, and AddressSanitizer watches the rest.
#include "check.h"
#include "sysinfo.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

using soranika::RegHandle;

namespace {

// Reads fixed-size fields from the front of the input.
class Fields {
public:
    explicit Fields(std::string_view data) : data_(data) {}

    std::uint8_t Byte() {
        if (data_.empty()) {
            return 0;
        }
        const auto byte = static_cast<std::uint8_t>(data_.front());
        data_.remove_prefix(1);
        return byte;
    }
    std::uint64_t Bytes(int count) {
        std::uint64_t value = 0;
        for (int i = 0; i < count; ++i) {
            value |= static_cast<std::uint64_t>(Byte()) << (8 * i);
        }
        return value;
    }
    std::uint32_t U32() { return static_cast<std::uint32_t>(Bytes(4)); }
    // A status that is not success: any 32-bit value but 0.
    long Error() {
        const auto value = static_cast<std::int32_t>(U32());
        return value == 0 ? 1 : value;
    }
    std::string_view Rest() const { return data_; }

private:
    std::string_view data_;
};

std::u16string Units(std::string_view bytes) {
    std::u16string units;
    for (std::size_t i = 0; i < bytes.size(); i += 2) {
        const auto low = static_cast<unsigned char>(bytes[i]);
        const auto high = i + 1 < bytes.size() ? static_cast<unsigned char>(bytes[i + 1]) : 0u;
        units.push_back(static_cast<char16_t>(low | (high << 8)));
    }
    return units;
}

std::string Shown(std::u16string_view text) {
    std::string shown;
    for (const char16_t unit : text) {
        char hex[8];
        std::snprintf(hex, sizeof hex, "%s%04X", shown.empty() ? "" : " ", unsigned{unit});
        shown += hex;
    }
    return "[" + shown + "]";
}

struct Answers {
    bool openSucceeds = false;
    long openError = 0;
    RegHandle handle = 0;
    enum class QueryAnswer { Success, Throws, Error } query = QueryAnswer::Success;
    long queryError = 0;
    std::uint32_t type = 0;
    std::optional<std::uint32_t> reportedSize; // none: the bytes written
    std::string_view bytes;
};

class FuzzRegistry final : public soranika::Registry {
public:
    explicit FuzzRegistry(const Answers& answers) : answers_(answers) {}

    long Open(std::uint32_t root, const std::u16string& keyName, std::uint32_t accessMask,
              RegHandle& handle) override {
        log.push_back('O');
        openedRoot = root;
        openedKey = keyName;
        openedMask = accessMask;
        handleBeforeOpen = handle;
        // The handle variable is written on failure too: a caller must not
        // take it for an open key.
        handle = answers_.handle;
        return answers_.openSucceeds ? soranika::kErrorSuccess : answers_.openError;
    }

    long Query(RegHandle handle, const std::u16string& valueName, std::uint32_t& type,
               std::span<std::byte> buffer, std::uint32_t& size) override {
        log.push_back('Q');
        queriedHandle = handle;
        queriedValue = valueName;
        bufferBytes = buffer.size();
        sizeOnEntry = size;
        type = answers_.type;
        if (answers_.query == Answers::QueryAnswer::Throws) {
            throw std::runtime_error("registry query");
        }
        // The fake writes at most the buffer it is given, so that any access
        // beyond it is the caller's.
        const std::size_t written = std::min(answers_.bytes.size(), buffer.size());
        std::transform(answers_.bytes.begin(), answers_.bytes.begin() + written, buffer.begin(),
                       [](char c) { return static_cast<std::byte>(c); });
        size = answers_.reportedSize.value_or(static_cast<std::uint32_t>(written));
        return answers_.query == Answers::QueryAnswer::Success ? soranika::kErrorSuccess
                                                               : answers_.queryError;
    }

    void Close(RegHandle handle) override {
        log.push_back('C');
        closedHandles.push_back(handle);
    }

    std::string log; // O, Q and C for each call, in order
    std::uint32_t openedRoot = 0;
    std::u16string openedKey;
    std::uint32_t openedMask = 0;
    RegHandle handleBeforeOpen = 0;
    RegHandle queriedHandle = 0;
    std::u16string queriedValue;
    std::size_t bufferBytes = 0;
    std::uint32_t sizeOnEntry = 0;
    std::vector<RegHandle> closedHandles;

private:
    const Answers& answers_;
};

// The text the query stored, as the buffer holds it after the call: the
// bytes written, zeros after them, cut at the reported size (at most the
// buffer), as whole UTF-16 units, less one NUL at the end.
std::u16string ModelStoredText(std::string_view written, std::uint32_t size) {
    std::string buffer(soranika::kKeyValueBufferBytes, '\0');
    std::copy_n(written.begin(), std::min(written.size(), buffer.size()), buffer.begin());
    buffer.resize(std::min<std::size_t>(size, buffer.size()));
    std::u16string text = Units(buffer);
    if (!text.empty() && text.back() == u'\0') {
        text.pop_back();
    }
    return text;
}

std::u16string ModelHexDigits(char16_t unit) {
    char digits[8];
    std::snprintf(digits, sizeof digits, "%X", unsigned{unit});
    return std::u16string(digits, digits + std::char_traits<char>::length(digits));
}

void CheckKeyValue(std::string_view data) {
    Fields fields(data);
    Answers answers;
    answers.openSucceeds = (fields.Byte() & 1) != 0;
    answers.openError = fields.Error();
    answers.handle = static_cast<RegHandle>(fields.Bytes(8));
    const std::uint8_t query = fields.Byte();
    answers.query = query % 8 < 6    ? Answers::QueryAnswer::Success
                    : query % 8 == 6 ? Answers::QueryAnswer::Error
                                     : Answers::QueryAnswer::Throws;
    answers.queryError = fields.Error();
    const std::uint8_t type = fields.Byte();
    const std::uint32_t otherType = fields.U32();
    answers.type = type < 0x60 ? soranika::kRegSz : type < 0xC0 ? soranika::kRegDword : otherType;
    const std::uint8_t sizeMode = fields.Byte();
    const std::uint32_t otherSize = fields.U32();
    const std::uint32_t root = fields.U32();
    const std::vector<std::string_view> parts = fuzz::Split(fields.Rest(), 4);
    const std::u16string keyName = Units(parts[0]);
    const std::u16string valueName = Units(parts[1]);
    const std::u16string keyValBefore = Units(parts[2]);
    answers.bytes = parts[3];
    const std::uint32_t written =
        static_cast<std::uint32_t>(std::min(answers.bytes.size(), soranika::kKeyValueBufferBytes));
    switch (sizeMode) {
    case 1:
        answers.reportedSize = written + 1;
        break;
    case 2:
        answers.reportedSize = 0;
        break;
    case 3:
        answers.reportedSize = otherSize;
        break;
    default:
        break;
    }
    const std::uint32_t reportedSize = answers.reportedSize.value_or(written);

    // Built only for the report of a failed property.
    const auto detail = [&] {
        char header[160];
        std::snprintf(header, sizeof header,
                      "open %s, handle %#llx, query %u, type %u, size %u, written %u, root %#x",
                      answers.openSucceeds ? "ok" : "fails",
                      static_cast<unsigned long long>(answers.handle), unsigned{query},
                      answers.type, reportedSize, written, root);
        return std::string(header) + ", KeyName " + Shown(keyName) + ", SubKeyRef " +
               Shown(valueName) + ", KeyVal " + Shown(keyValBefore) + ", bytes '" +
               fuzz::Escaped(parts[3]) + "'";
    };

    FuzzRegistry registry(answers);
    std::u16string keyVal = keyValBefore;
    bool result = false;
    enum class Ending { Returned, InvalidArgument, QueryException } ending = Ending::Returned;
    try {
        result = soranika::GetKeyValue(registry, root, keyName, valueName, keyVal);
    } catch (const std::invalid_argument&) {
        ending = Ending::InvalidArgument;
    } catch (const std::runtime_error& error) {
        FUZZ_CHECK(std::string_view(error.what()) == "registry query",
                   detail() + ": unexpected exception " + error.what());
        ending = Ending::QueryException;
    }

    // The open.
    FUZZ_CHECK(!registry.log.empty() && registry.log[0] == 'O',
               detail() + ": calls " + registry.log);
    FUZZ_CHECK(registry.openedRoot == root && registry.openedKey == keyName, detail());
    FUZZ_CHECK(registry.openedMask == soranika::kKeyQueryValue,
               detail() + ": access mask " + std::to_string(registry.openedMask));
    FUZZ_CHECK(registry.handleBeforeOpen == 0, detail());
    if (!answers.openSucceeds) {
        FUZZ_CHECK(registry.log == "O", detail() + ": calls after a failed open: " + registry.log);
        FUZZ_CHECK(ending == Ending::Returned && !result && keyVal.empty(),
                   detail() + ": KeyVal " + Shown(keyVal));
        return;
    }

    // The query and the close, whatever the query gave.
    FUZZ_CHECK(registry.log == "OQC", detail() + ": calls " + registry.log);
    FUZZ_CHECK(registry.queriedHandle == answers.handle && registry.queriedValue == valueName,
               detail());
    FUZZ_CHECK(registry.bufferBytes == soranika::kKeyValueBufferBytes &&
                   registry.sizeOnEntry == soranika::kKeyValueBufferBytes,
               detail() + ": buffer " + std::to_string(registry.bufferBytes) + ", size " +
                   std::to_string(registry.sizeOnEntry));
    FUZZ_CHECK(registry.closedHandles.size() == 1 && registry.closedHandles[0] == answers.handle,
               detail());

    switch (answers.query) {
    case Answers::QueryAnswer::Throws:
        FUZZ_CHECK(ending == Ending::QueryException && keyVal == keyValBefore, detail());
        return;
    case Answers::QueryAnswer::Error:
        FUZZ_CHECK(ending == Ending::Returned && !result && keyVal.empty(),
                   detail() + ": KeyVal " + Shown(keyVal));
        return;
    case Answers::QueryAnswer::Success:
        break;
    }
    if (reportedSize == 0) {
        FUZZ_CHECK(ending == Ending::InvalidArgument && keyVal == keyValBefore,
                   detail() + ": a value of 0 bytes, KeyVal " + Shown(keyVal));
        return;
    }
    FUZZ_CHECK(ending == Ending::Returned && result, detail());
    const std::u16string stored = ModelStoredText(answers.bytes, reportedSize);
    std::u16string expected = keyValBefore;
    if (answers.type == soranika::kRegSz) {
        expected = stored;
    } else if (answers.type == soranika::kRegDword) {
        for (std::size_t i = stored.size(); i-- > 0;) {
            expected += ModelHexDigits(stored[i]);
        }
        expected = u"&h" + expected;
    }
    FUZZ_CHECK(keyVal == expected,
               detail() + ": KeyVal " + Shown(keyVal) + ", expected " + Shown(expected));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return fuzz::Run(
        [&] { CheckKeyValue(std::string_view(reinterpret_cast<const char*>(data), size)); });
}

// The rules' UTF-8 texts as Qt strings, for comparing with what the windows
// show.
#pragma once

#include <QString>

#include <string_view>

namespace testing {

inline QString Q(std::string_view text) {
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

} // namespace testing

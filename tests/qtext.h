// The rules' UTF-8 texts and the platform library's UTF-16 texts as Qt
// strings, for comparing with what the windows show and for printing.
#pragma once

#include <QString>
#include <QStringList>

#include <string>
#include <string_view>
#include <vector>

namespace testing {

inline QString Q(std::string_view text) {
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

// Unit for unit, unpaired surrogates included.
inline QString Q(std::u16string_view text) {
    return QStringView(text.data(), qsizetype(text.size())).toString();
}

// What a fake recorded, as a list to compare and print.
inline QStringList Strings(const std::vector<std::u16string>& texts) {
    QStringList list;
    for (const std::u16string& text : texts) {
        list.append(Q(text));
    }
    return list;
}

} // namespace testing

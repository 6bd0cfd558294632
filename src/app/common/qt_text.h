#pragma once
// The string table's texts as Qt strings.

#include "core/common/windows1252.h"
#include "core/strings/strings.h"

#include <QString>

#include <initializer_list>
#include <string>

namespace veltrane {

inline QString qtr(Str id) {
    return QString::fromStdString(tr(id));
}

inline QString qformat(Str id, std::initializer_list<std::string> args) {
    return QString::fromStdString(format(id, args));
}

// A UTF-8 text (the string table's, a path, a message).
inline QString toQString(const std::string& text) {
    return QString::fromStdString(text);
}

// A text as the project holds it (tree items, grid cells): Windows-1252 bytes.
inline QString fromStored(const std::string& stored) {
    return QString::fromStdString(windows1252ToUtf8(stored));
}

} // namespace veltrane

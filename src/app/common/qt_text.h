#pragma once
// The string table's texts as Qt strings.

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

inline QString toQString(const std::string& text) {
    return QString::fromStdString(text);
}

} // namespace veltrane

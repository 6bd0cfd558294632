#pragma once
// Every user-visible text lives in this string table, one entry per text, grouped by concern in the
// strings_*.inc files of this folder. Code refers to texts by id only.

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

namespace veltrane {

enum class Str : std::uint16_t {
#define VELTRANE_STRING(name, number, text) name,
#include "core/strings/strings_common.inc"
#include "core/strings/strings_app.inc"
#include "core/strings/strings_window.inc"
#include "core/strings/strings_editor.inc"
#include "core/strings/strings_fieldbus_subnet.inc"
#include "core/strings/strings_mapping.inc"
#include "core/strings/strings_export.inc"
#include "core/strings/strings_link.inc"
#include "core/strings/strings_serial_link.inc"
#include "core/strings/strings_debug.inc"
#include "core/strings/strings_ethernet.inc"
#include "core/strings/strings_table.inc"
#include "core/strings/strings_project_kind.inc"
#undef VELTRANE_STRING
    Count_
};

// The text of an entry.
const std::string& tr(Str id);

// The entry's number in the gateway vendor's table, or 0 when the text has no known number.
std::uint32_t tableNumber(Str id);

// The entry whose text equals the given text exactly; Str::Count_ when there is none.
Str findText(std::string_view text);

// printf-style formatting of a table text with %d, %s, %x and %% ("%02x" and similar widths are honoured).
std::string format(Str id, std::initializer_list<std::string> args);

}  // namespace veltrane

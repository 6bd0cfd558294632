#include "core/strings/strings.h"

#include <array>
#include <cstdio>
#include <cstdlib>

namespace veltrane {

namespace {
struct Entry {
    std::uint32_t number;
    std::string text;
};

const std::array<Entry, static_cast<std::size_t>(Str::Count_)>& table() {
    static const std::array<Entry, static_cast<std::size_t>(Str::Count_)> entries{{
#define VELTRANE_STRING(name, number, text) {number, text},
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
    }};
    return entries;
}
}  // namespace

const std::string& tr(Str id) { return table()[static_cast<std::size_t>(id)].text; }

std::uint32_t tableNumber(Str id) { return table()[static_cast<std::size_t>(id)].number; }

Str findText(std::string_view text) {
    const auto& entries = table();
    for (std::size_t i = 0; i < entries.size(); ++i)
        if (entries[i].text == text)
            return static_cast<Str>(i);
    return Str::Count_;
}

std::string format(Str id, std::initializer_list<std::string> args) {
    const std::string& pattern = tr(id);
    std::string out;
    auto arg = args.begin();
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] != '%' || i + 1 >= pattern.size()) {
            out += pattern[i];
            continue;
        }
        if (pattern[i + 1] == '%') {
            out += '%';
            ++i;
            continue;
        }
        // A conversion: flags and width, then d, s or x. Arguments arrive as text; numbers are
        // re-read so that widths and hexadecimal conversions work.
        std::size_t j = i + 1;
        while (j < pattern.size() && (pattern[j] == '0' || pattern[j] == '-' || (pattern[j] >= '1' && pattern[j] <= '9')))
            ++j;
        if (j >= pattern.size() || (pattern[j] != 'd' && pattern[j] != 's' && pattern[j] != 'x' && pattern[j] != 'X')) {
            out += pattern[i];
            continue;
        }
        const std::string conversion = pattern.substr(i, j - i + 1);
        const std::string value = arg != args.end() ? *arg++ : std::string();
        char buffer[64];
        if (pattern[j] == 's') {
            out += value;
        } else {
            const long long number = std::strtoll(value.c_str(), nullptr, 10);
            const std::string widened = conversion.substr(0, conversion.size() - 1) + "ll" + conversion.back();
            std::snprintf(buffer, sizeof buffer, widened.c_str(), number);
            out += buffer;
        }
        i = j;
    }
    return out;
}

}  // namespace veltrane

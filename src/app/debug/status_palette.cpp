#include "app/debug/status_palette.h"

#include "core/debug/debug_report.h"

namespace veltrane {

std::optional<QColor> statusRowBackground(std::uint8_t status) {
    switch (status) {
    case report_status::Exception:
        return QColor(0xFF, 0xF0, 0xC8);  // amber
    case report_status::Error:
        return QColor(0xF8, 0xD7, 0xD5);  // red
    case report_status::Timeout:
        return QColor(0xE4, 0xE1, 0xF0);  // slate violet
    default:
        return std::nullopt;
    }
}

QColor statusRowText() { return QColor(0x20, 0x20, 0x20); }

QColor statusMarkColour(std::uint8_t status) {
    switch (status) {
    case report_status::Exception:
        return QColor(0xD0, 0x8A, 0x00);
    case report_status::Error:
        return QColor(0xC0, 0x39, 0x2B);
    default:
        return QColor(0x6A, 0x5A, 0x9C);
    }
}

}  // namespace veltrane

#pragma once
// A workbook made from a template: the template's zip entries are copied as they are, except the
// worksheets that receive texts.

#include "core/common/result.h"
#include "xlsx/sheet_editor.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <vector>

namespace veltrane::xlsx {

// What a template may make the export read and inflate. A template is input from outside: an
// absurd entry or a zip bomb is refused before it costs more than these bounds. The installed
// template is a few kilobytes; these leave room for any template a person could make.
struct TemplateLimits {
    std::uint64_t fileBytes = 16u << 20;       // the template file itself
    std::uint64_t entryCount = 4096;           // zip entries
    std::uint64_t entryBytes = 32u << 20;      // one entry, inflated
    std::uint64_t inflatedBytes = 64u << 20;   // all entries together, inflated
};
inline constexpr TemplateLimits kTemplateLimits{};

struct SheetTexts {
    QString sheetName;  // matched without regard to case, as spreadsheet applications do
    std::vector<CellText> cells;
};

// Reads a template file whole, so that the output may even replace it. Anything but a regular
// file is refused at once ("cannot be read"), and so is a file above the limit. The messages name
// the template.
Result<QByteArray> readTemplateFile(const QString& path, const TemplateLimits& limits = kTemplateLimits);

// The template with every sheet's texts written. Every zip entry that is not one of these sheets
// keeps its compressed bytes, its time and its attributes. A template that is not a complete
// workbook (damaged or truncated, two sheets on one part, entries beyond the limits) is refused
// with the kind Format and a message naming `templateName`; the kind Io means the workbook could
// not be assembled.
Result<QByteArray> fillWorkbook(const QByteArray& templateBytes, const std::vector<SheetTexts>& sheets,
                                const QString& templateName = {}, const TemplateLimits& limits = kTemplateLimits);

}  // namespace veltrane::xlsx

#pragma once
// A workbook made from a template: the template's zip entries are copied as they are, except the
// worksheets that receive texts.

#include "xlsx/sheet_editor.h"

#include <QByteArray>
#include <QString>

#include <vector>

namespace veltrane::xlsx {

enum class WorkbookError {
    None,
    TemplateMissing,     // no file at the template's path
    TemplateUnreadable,  // the file is there but cannot be read
    TemplateDamaged,     // not a zip, a damaged entry, or parts that do not make a workbook
    SheetMissing,        // the workbook has no sheet of a needed name
    OutputFailed,        // the output could not be written completely
};

struct SheetTexts {
    QString sheetName;  // matched without regard to case, as spreadsheet applications do
    std::vector<CellText> cells;
};

struct FillResult {
    WorkbookError error = WorkbookError::None;
    QString sheetName;    // the missing sheet, for SheetMissing
    QByteArray workbook;  // the bytes of the new workbook when there is no error
};

// Reads a template file whole, so that the output may even replace it.
WorkbookError readTemplateFile(const QString& path, QByteArray& bytes);

// The template with every sheet's texts written. Every zip entry that is not one of these sheets
// keeps its compressed bytes, its time and its attributes.
FillResult fillWorkbook(const QByteArray& templateBytes, const std::vector<SheetTexts>& sheets);

}  // namespace veltrane::xlsx

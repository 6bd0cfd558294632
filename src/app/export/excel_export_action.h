#pragma once
// What the "Export EXCEL" command needs from Qt: the workbook written from the template, the
// desktop's opener and the save dialog. The flow itself is core's runExcelExport.

#include "core/document/excel_export_flow.h"

#include <QString>

#include <functional>

class QFileDialog;
class QWidget;

namespace veltrane {

// Opens a finished workbook in the desktop's default application; false when nothing could.
using WorkbookOpener = std::function<bool(const QString& path)>;

struct ExcelExportOptions {
    WorkbookOpener openWorkbook;  // empty: QDesktopServices::openUrl
    QString templatePath;         // empty: the template installed beside the program
};

// Fills the template workbook and opens results with the desktop.
class TemplateWorkbookWriter : public WorkbookWriter {
public:
    explicit TemplateWorkbookWriter(ExcelExportOptions options = {}) : m_options(std::move(options)) {}
    Status write(Project& project, const ProjectState& state, const std::string& path) override;
    bool open(const std::string& path) override;

private:
    ExcelExportOptions m_options;
};

// The save dialog the command shows: .xlsx files, the suffix added when the name lacks it.
QFileDialog* createExportFileDialog(QWidget* parent, const QString& suggestedPath);

}  // namespace veltrane

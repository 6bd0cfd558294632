#pragma once
// The "Export EXCEL" command: the whole flow from the save dialog to the offer to open the
// workbook. The main window calls runExcelExport from its menu command.

#include "core/document/document.h"
#include "core/interaction/prompter.h"

#include <QString>

#include <functional>

class QFileDialog;
class QWidget;

namespace veltrane {

// Asks for the workbook's path; returns it, or an empty text when the user cancels.
using SaveFileChooser = std::function<QString(QWidget* parent, const QString& suggestedPath)>;
// Opens a finished workbook in the desktop's default application; false when nothing could.
using WorkbookOpener = std::function<bool(const QString& path)>;

struct ExcelExportOptions {
    SaveFileChooser chooseFile;   // empty: the save dialog of createExportFileDialog
    WorkbookOpener openWorkbook;  // empty: QDesktopServices::openUrl
    QString templatePath;         // empty: the template installed beside the program
};

// The save dialog the command shows: .xlsx files, the suffix added when the name lacks it.
QFileDialog* createExportFileDialog(QWidget* parent, const QString& suggestedPath);

// Exports the open project. Every failure ends in a message; the application goes on either way.
void runExcelExport(QWidget* parent, Document& document, Prompter& prompter, ExcelExportOptions options = {});

}  // namespace veltrane

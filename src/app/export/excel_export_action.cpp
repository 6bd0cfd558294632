#include "app/export/excel_export_action.h"

#include "core/strings/strings.h"
#include "xlsx/workbook_export.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QUrl>

namespace veltrane {

namespace {
QString qs(const std::string& text) { return QString::fromStdString(text); }
}  // namespace

Status TemplateWorkbookWriter::write(Project& project, const ProjectState& state, const std::string& path) {
    const QString templatePath = m_options.templatePath.isEmpty() ? installedTemplatePath() : m_options.templatePath;
    return exportWorkbook(project, state, templatePath, qs(path));
}

bool TemplateWorkbookWriter::open(const std::string& path) {
    if (m_options.openWorkbook)
        return m_options.openWorkbook(qs(path));
    return QDesktopServices::openUrl(QUrl::fromLocalFile(qs(path)));
}

QFileDialog* createExportFileDialog(QWidget* parent, const QString& suggestedPath) {
    auto* dialog = new QFileDialog(parent, qs(tr(Str::ExportDialogTitle)), suggestedPath, qs(tr(Str::ExportFileFilter)));
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setFileMode(QFileDialog::AnyFile);
    dialog->setDefaultSuffix(qs(tr(Str::ExportFileExtension)));
    // The command has always replaced a chosen workbook without asking.
    dialog->setOption(QFileDialog::DontConfirmOverwrite);
    return dialog;
}

}  // namespace veltrane

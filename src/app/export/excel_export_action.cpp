#include "app/export/excel_export_action.h"

#include "core/export/export_cells.h"
#include "core/strings/strings.h"
#include "xlsx/workbook_export.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QUrl>

#include <memory>

namespace veltrane {

namespace {

QString qs(const std::string& text) { return QString::fromStdString(text); }

// Beside the project file and named after it; an untitled project suggests its title.
QString suggestedPath(const Document& document) {
    const QString suffix = u'.' + qs(tr(Str::ExportFileExtension));
    if (document.filePath().empty())
        return qs(document.title()) + suffix;
    const QFileInfo project(qs(document.filePath()));
    return project.dir().filePath(project.completeBaseName() + suffix);
}

QString chooseWithDialog(QWidget* parent, const QString& suggested) {
    std::unique_ptr<QFileDialog> dialog(createExportFileDialog(parent, suggested));
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty())
        return {};
    return dialog->selectedFiles().front();
}

bool openWithDesktop(const QString& path) { return QDesktopServices::openUrl(QUrl::fromLocalFile(path)); }

}  // namespace

QFileDialog* createExportFileDialog(QWidget* parent, const QString& suggestedPath) {
    auto* dialog = new QFileDialog(parent, qs(tr(Str::ExportDialogTitle)), suggestedPath, qs(tr(Str::ExportFileFilter)));
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setFileMode(QFileDialog::AnyFile);
    dialog->setDefaultSuffix(qs(tr(Str::ExportFileExtension)));
    // The command has always replaced a chosen workbook without asking.
    dialog->setOption(QFileDialog::DontConfirmOverwrite);
    return dialog;
}

void runExcelExport(QWidget* parent, Document& document, Prompter& prompter, ExcelExportOptions options) {
    // Said before the dialog: asking for a file and then writing nothing would look like success.
    if (!exportSupported(document.state())) {
        prompter.message(tr(Str::ExportEtherNetIPOnly));
        return;
    }
    const SaveFileChooser choose = options.chooseFile ? options.chooseFile : SaveFileChooser(chooseWithDialog);
    const QString path = choose(parent, suggestedPath(document));
    if (path.isEmpty())
        return;

    const QString templatePath = options.templatePath.isEmpty() ? installedTemplatePath() : options.templatePath;
    if (const Status exported = exportWorkbook(document.project(), document.state(), templatePath, path); !exported) {
        prompter.message(exported.message());
        return;
    }

    const std::string shownPath = QDir::toNativeSeparators(path).toStdString();
    if (prompter.ask(format(Str::ExportOpenQuestion, {shownPath}), Buttons::YesNo) != Answer::Yes)
        return;
    const WorkbookOpener open = options.openWorkbook ? options.openWorkbook : WorkbookOpener(openWithDesktop);
    if (!open(path))
        prompter.message(format(Str::ExportOpenFailed, {shownPath}));
}

}  // namespace veltrane

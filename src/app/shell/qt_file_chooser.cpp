#include "app/shell/qt_file_chooser.h"

#include "app/common/qt_text.h"
#include "app/export/excel_export_action.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

#include <memory>

namespace veltrane {

namespace {
QString defaultSuffix() {
    return qtr(Str::FileExtension).mid(1);
}
} // namespace

std::optional<std::string> QtFileChooser::chooseOpenFile() {
    QFileDialog dialog(m_parent, qtr(Str::OpenDialogTitle), m_lastDirectory, qtr(Str::FileFilter));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    const QString path = dialog.selectedFiles().constFirst();
    m_lastDirectory = QFileInfo(path).absolutePath();
    return path.toStdString();
}

std::optional<std::string> QtFileChooser::chooseSaveFile(const std::string& suggestedName) {
    QFileDialog dialog(m_parent, qtr(Str::SaveAsDialogTitle), m_lastDirectory, qtr(Str::FileFilter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(defaultSuffix());
    // The save is atomic and the old file survives a failure, so an overwrite needs no question.
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    dialog.selectFile(toQString(suggestedName));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    const QString path = dialog.selectedFiles().constFirst();
    m_lastDirectory = QFileInfo(path).absolutePath();
    return path.toStdString();
}

std::optional<std::string> QtFileChooser::chooseWorkbookFile(const std::string& suggestedPath) {
    std::unique_ptr<QFileDialog> dialog(createExportFileDialog(m_parent, toQString(suggestedPath)));
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty())
        return std::nullopt;
    return dialog->selectedFiles().constFirst().toStdString();
}

} // namespace veltrane

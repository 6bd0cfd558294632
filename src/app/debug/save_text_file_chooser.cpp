#include "app/debug/save_text_file_chooser.h"

#include "app/common/qt_text.h"

#include <QFileDialog>

namespace veltrane {

std::optional<std::string> SaveTextFileChooser::chooseSaveFile(const std::string& suggestedName) {
    const bool trace = QString::fromStdString(suggestedName).endsWith(u'.' + qtr(Str::DebugTraceExtension));
    QFileDialog dialog(m_parent, {}, toQString(suggestedName), qtr(trace ? Str::DebugTraceFilter : Str::DebugSaveFilter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(qtr(trace ? Str::DebugTraceExtension : Str::DebugSaveExtension));
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().front().toStdString();
}

}  // namespace veltrane

// The File menu: its commands and their handlers.

#include "app/shell/command_router.h"
#include "app/common/qt_text.h"
#include "app/table/command_import_dialog.h"
#include "core/strings/strings.h"
#include "core/table/command_table.h"
#include "app/shell/new_for_gateway_dialog.h"
#include "app/shell/new_project_kind_setting.h"
#include "app/shell/recent_files.h"
#include "xlsx/table_workbook.h"

#include <QFileDialog>
#include <QFileInfo>

namespace veltrane {

std::vector<CommandRouter::CommandRow> CommandRouter::fileCommands() {
    using K = QKeySequence;
    using M = CommandMenu;
    return {
        {CommandId::FileNew, M::File, Str::ItemNew, Str::PromptNew, Str::ToolNew, {K(Qt::CTRL | Qt::Key_N)},
         &CommandRouter::onFileNew},
        {CommandId::NewForGateway, M::File, Str::ItemNewForGateway, Str::PromptNewForGateway, std::nullopt, {},
         &CommandRouter::onNewForGateway},
        {CommandId::FileOpen, M::File, Str::ItemOpen, Str::PromptOpen, Str::ToolOpen, {K(Qt::CTRL | Qt::Key_O)},
         &CommandRouter::onFileOpen},
        {CommandId::FileSave, M::File, Str::ItemSave, Str::PromptSave, Str::ToolSave, {K(Qt::CTRL | Qt::Key_S)},
         &CommandRouter::onFileSave},
        {CommandId::FileSaveAs, M::File, Str::ItemSaveAs, Str::PromptSaveAs, std::nullopt, {},
         &CommandRouter::onFileSaveAs},
        {CommandId::ExportCommands, M::File, Str::ItemExportCommands, Str::PromptExportCommands, std::nullopt, {},
         &CommandRouter::onExportCommands},
        {CommandId::ImportCommands, M::File, Str::ItemImportCommands, Str::PromptImportCommands, std::nullopt, {},
         &CommandRouter::onImportCommands},
        // The recent files go in between, after a separator.
        {CommandId::AppExit, M::File, Str::ItemExit, Str::PromptExit, std::nullopt, {}, &CommandRouter::onAppExit,
         nullptr, false, true},
    };
}

void CommandRouter::onFileNew() {
    const NewProjectKind kind = m_context.settings ? loadNewProjectKind(*m_context.settings) : NewProjectKind{};
    if (m_context.lifecycle.newProject(kind))
        emit documentReplaced();
}

void CommandRouter::onNewForGateway() {
    const NewProjectKind current = m_context.settings ? loadNewProjectKind(*m_context.settings) : NewProjectKind{};
    // Window-modal without a nested event loop; the save question follows the choice, so that
    // cancelling the dialog costs no question.
    auto* dialog = new NewForGatewayDialog(current, m_context.window);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::accepted, this, [this, dialog] {
        const NewProjectKind kind = dialog->kind();
        if (m_context.settings)
            storeNewProjectKind(*m_context.settings, kind);
        if (m_context.lifecycle.newProject(kind))
            emit documentReplaced();
    });
    dialog->open();
}

void CommandRouter::onFileOpen() {
    if (m_context.lifecycle.openProject()) {
        rememberFile();
        emit documentReplaced();
    }
}

bool CommandRouter::openFile(const QString& path) {
    if (!m_context.lifecycle.openProject(path.toStdString()))
        return false;
    rememberFile();
    emit documentReplaced();
    return true;
}

void CommandRouter::openRecentFile(const QString& path) {
    if (!openFile(path) && !QFileInfo::exists(path)) {
        // A file that has gone away is dropped from the list; a damaged one stays so that the
        // user can see which it was.
        m_context.recentFiles.remove(path);
    }
}

void CommandRouter::onFileSave() {
    if (m_context.lifecycle.save()) {
        rememberFile();
        emit documentSaved();
    }
}

void CommandRouter::onFileSaveAs() {
    if (m_context.lifecycle.saveAs()) {
        rememberFile();
        emit documentSaved();
    }
}

void CommandRouter::onExportCommands() {
    const QString path = QFileDialog::getSaveFileName(m_context.window, qtr(Str::ItemExportCommands).remove(QStringLiteral("...")),
                                                      QString(), qtr(Str::TableFileFilter));
    if (path.isEmpty())
        return;
    Document& document = m_context.document;
    const Status written =
        xlsx::writeTableFile(path.toStdString(), exportCommandTable(document.project(), document.state()));
    if (!written)
        document.prompter().message(written.message());
}

void CommandRouter::onImportCommands() {
    const QString path = QFileDialog::getOpenFileName(m_context.window, qtr(Str::ItemImportCommands).remove(QStringLiteral("...")),
                                                      QString(), qtr(Str::TableFileFilter));
    if (path.isEmpty())
        return;
    Document& document = m_context.document;
    Result<std::vector<TableRow>> rows = xlsx::readTableFile(path.toStdString());
    if (!rows) {
        document.prompter().message(rows.message());
        return;
    }
    Result<CommandTable> table = readCommandTable(std::move(*rows));
    if (!table) {
        document.prompter().message(table.message());
        return;
    }
    auto* dialog = new CommandImportDialog(document.editor(), std::move(*table), QFileInfo(path).fileName(), m_context.window);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &CommandImportDialog::imported, this, [this] { updateEnabling(); });
    dialog->open();
}

// The window asks the save question when it closes, whatever closes it.
void CommandRouter::onAppExit() {
    emit exitRequested();
}

} // namespace veltrane

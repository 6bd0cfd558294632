// The File menu: its commands and their handlers.

#include "app/shell/command_router.h"
#include "core/strings/strings.h"
#include "app/shell/recent_files.h"

#include <QFileInfo>

namespace veltrane {

std::vector<CommandRouter::CommandRow> CommandRouter::fileCommands() {
    using K = QKeySequence;
    using M = CommandMenu;
    return {
        {CommandId::FileNew, M::File, Str::ItemNew, Str::PromptNew, Str::ToolNew, {K(Qt::CTRL | Qt::Key_N)},
         &CommandRouter::onFileNew},
        {CommandId::FileOpen, M::File, Str::ItemOpen, Str::PromptOpen, Str::ToolOpen, {K(Qt::CTRL | Qt::Key_O)},
         &CommandRouter::onFileOpen},
        {CommandId::FileSave, M::File, Str::ItemSave, Str::PromptSave, Str::ToolSave, {K(Qt::CTRL | Qt::Key_S)},
         &CommandRouter::onFileSave},
        {CommandId::FileSaveAs, M::File, Str::ItemSaveAs, Str::PromptSaveAs, std::nullopt, {},
         &CommandRouter::onFileSaveAs},
        // The recent files go in between, after a separator.
        {CommandId::AppExit, M::File, Str::ItemExit, Str::PromptExit, std::nullopt, {}, &CommandRouter::onAppExit,
         nullptr, false, true},
    };
}

void CommandRouter::onFileNew() {
    if (m_context.lifecycle.newProject())
        emit documentReplaced();
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

// The window asks the save question when it closes, whatever closes it.
void CommandRouter::onAppExit() {
    emit exitRequested();
}

} // namespace veltrane

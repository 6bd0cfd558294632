// The Edit menu and the tree's context menu: their commands and their handlers. The enabling
// follows the editor's change events, so the handlers only run the edit.

#include "app/grid/select_command_dialog.h"
#include "app/shell/command_router.h"
#include "core/strings/strings.h"

namespace veltrane {

std::vector<CommandRouter::CommandRow> CommandRouter::editCommands() {
    using K = QKeySequence;
    using M = CommandMenu;
    using R = CommandRouter;
    using E = CommandEnabling;
    return {
        // Their texts name the step they would take back or apply (updateEnabling).
        {CommandId::Undo, M::Edit, Str::ItemUndo, Str::PromptUndo, std::nullopt, {K(Qt::CTRL | Qt::Key_Z)},
         &R::onUndo, &E::undo},
        {CommandId::Redo, M::Edit, Str::ItemRedo, Str::PromptRedo, std::nullopt,
         {K(Qt::CTRL | Qt::Key_Y), K(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)}, &R::onRedo, &E::redo},
        {CommandId::AddNode, M::Edit, Str::ItemAddNode, Str::PromptAddNode, Str::ToolAddNode, {}, &R::onAddNode,
         &E::addNode, false, true},
        {CommandId::DeleteNode, M::Edit, Str::ItemDeleteNode, Str::PromptDeleteNode, Str::ToolDeleteNode, {},
         &R::onDeleteNode, &E::deleteNode},
        {CommandId::AddCommand, M::Edit, Str::ItemAddCommand, Str::PromptAddCommand, Str::ToolAddCommand, {},
         &R::onAddCommand, &E::addCommand},
        {CommandId::DeleteCommand, M::Edit, Str::ItemDeleteCommand, Str::PromptDeleteCommand,
         Str::ToolDeleteCommand, {}, &R::onDeleteCommand, &E::deleteCommand},
        {CommandId::ContextAddNode, M::ContextOnly, Str::ContextAddNode, Str::PromptAddNode, std::nullopt, {},
         &R::onAddNode, &E::addNode, true},
        {CommandId::ContextDeleteNode, M::ContextOnly, Str::ContextDeleteNode, Str::PromptDeleteNode, std::nullopt,
         {}, &R::onContextDeleteNode, &E::deleteNode, true},
        {CommandId::ContextAddCommand, M::ContextOnly, Str::ContextAddCommand, Str::PromptAddCommand, std::nullopt,
         {}, &R::onAddCommand, &E::addCommand, true},
        {CommandId::ContextDeleteCommand, M::ContextOnly, Str::ContextDeleteCommand, Str::PromptDeleteCommand,
         std::nullopt, {}, &R::onContextDeleteCommand, &E::deleteCommand, true},
        // Ctrl+C belongs to Copy Node alone; Content gets no key so that the two never compete.
        {CommandId::CopyNode, M::Edit, Str::ItemCopyNode, Str::PromptCopyNode, std::nullopt,
         {K(Qt::CTRL | Qt::Key_C), K(Qt::CTRL | Qt::Key_Insert)}, &R::onCopyNode, &E::copyNode, true},
        {CommandId::PasteNode, M::Edit, Str::ItemPasteNode, Str::PromptPasteNode, std::nullopt,
         {K(Qt::CTRL | Qt::Key_V), K(Qt::SHIFT | Qt::Key_Insert)}, &R::onPasteNode, &E::pasteNode, true},
    };
}

void CommandRouter::onUndo() {
    m_context.document.editor().undo();
}
void CommandRouter::onRedo() {
    m_context.document.editor().redo();
}
void CommandRouter::onAddNode() {
    m_context.document.editor().addNode();
}
void CommandRouter::onDeleteNode() {
    m_context.document.editor().deleteNode(EditOrigin::Menu);
}
void CommandRouter::onAddCommand() {
    // Not modal: the list stays open beside the tree so that several commands can be added.
    if (!m_selectCommand)
        m_selectCommand = new SelectCommandDialog(m_context.document.editor(), m_context.window);
    m_selectCommand->show();
    m_selectCommand->raise();
    m_selectCommand->activateWindow();
}
void CommandRouter::onDeleteCommand() {
    m_context.document.editor().deleteCommand(EditOrigin::Menu);
}
void CommandRouter::onContextDeleteNode() {
    m_context.document.editor().deleteNode(EditOrigin::ContextMenu);
}
void CommandRouter::onContextDeleteCommand() {
    m_context.document.editor().deleteCommand(EditOrigin::ContextMenu);
}
void CommandRouter::onCopyNode() {
    m_context.document.editor().copyNode();
}
void CommandRouter::onPasteNode() {
    m_context.document.editor().pasteNode();
}

} // namespace veltrane

// The Tools menu: its commands and their handlers.

#include "app/debug/debug_connection_choice.h"
#include "app/debug/debug_dialog.h"
#include "app/debug/save_text_file_chooser.h"
#include "app/mapping/conflict_detection_dialog.h"
#include "app/shell/command_router.h"
#include "core/strings/strings.h"
#include "core/mapping/mapping_calculator.h"

namespace veltrane {

std::vector<CommandRouter::CommandRow> CommandRouter::toolsCommands() {
    using K = QKeySequence;
    using M = CommandMenu;
    using R = CommandRouter;
    using E = CommandEnabling;
    return {
        {CommandId::SerialConnection, M::Tools, Str::ItemSerialConnection, Str::PromptSerialConnection,
         std::nullopt, {}, &R::onSerialConnection, &E::serialConnection},
        {CommandId::EthernetConnection, M::Tools, Str::ItemEthernetConnection, Str::PromptEthernetConnection,
         std::nullopt, {}, &R::onEthernetConnection, &E::ethernetConnection},
        {CommandId::Upload, M::Tools, Str::ItemUpload, Str::PromptUpload, Str::ToolUpload, {}, &R::onUpload},
        {CommandId::Download, M::Tools, Str::ItemDownload, Str::PromptDownload, Str::ToolDownload, {},
         &R::onDownload},
        {CommandId::CalculateMapping, M::Tools, Str::ItemCalculateMapping, Str::PromptCalculateMapping,
         Str::ToolAutoMap, {K(Qt::CTRL | Qt::Key_M)}, &R::onCalculateMapping, &E::calculateMapping},
        {CommandId::ConflictDetection, M::Tools, Str::ItemConflictDetection, Str::PromptConflictDetection,
         Str::ToolConflict, {}, &R::onConflictDetection, &E::conflictDetection},
        {CommandId::ExportExcel, M::Tools, Str::ItemExportExcel, Str::PromptExportExcel, Str::ToolExport, {},
         &R::onExportExcel},
        {CommandId::Debug, M::Tools, Str::ItemDebug, Str::PromptDebug, Str::ToolDebug, {}, &R::onDebug, &E::debug},
    };
}

void CommandRouter::onSerialConnection() {
    notAvailable();
}
void CommandRouter::onEthernetConnection() {
    notAvailable();
}
void CommandRouter::onUpload() {
    notAvailable();
}
void CommandRouter::onDownload() {
    notAvailable();
}
void CommandRouter::onCalculateMapping() {
    runCalculateMappingAddress(m_context.document.editor());
}
void CommandRouter::onConflictDetection() {
    // Window-modal without a nested event loop; the dialog owns its detection list, so closing it
    // in any way releases the list.
    auto* dialog = new ConflictDetectionDialog(m_context.document.project(), m_context.document.state(),
                                               m_conflictState, m_context.window);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->open();
}
void CommandRouter::onExportExcel() {
    runExcelExport(m_context.window, m_context.document, m_context.document.prompter(), m_context.exportOptions);
}
void CommandRouter::onDebug() {
    const auto connection = askDebugConnection(m_context.document.state(), m_context.window, m_debugAddress, m_debugDevice);
    if (!connection)
        return;
    SaveTextFileChooser files(m_context.window);
    DebugDialog dialog(*connection, m_context.document.prompter(), files, m_context.window);
    dialog.exec();
}

} // namespace veltrane

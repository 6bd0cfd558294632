// The Tools menu: its commands and their handlers.

#include "app/ethernet/ethernet_connection_dialog.h"
#include "app/ethernet/ethernet_download_dialog.h"
#include "app/ethernet/ethernet_upload_dialog.h"
#include "app/ethernet/scan_dialog.h"
#include "app/mapping/conflict_detection_dialog.h"
#include "link/ethernet/ethernet_environment.h"
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
    auto* dialog = new EthernetConnectionDialog(m_gatewaySelection, m_context.window);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->open();
}
void CommandRouter::onUpload() {
    // Other device types go over the serial link.
    if (m_context.document.state().DeviceType == device::EtherNetIP)
        runEthernetTransfer(ethernet::EthernetOperation::Upload);
    else
        notAvailable();
}
void CommandRouter::onDownload() {
    if (m_context.document.state().DeviceType == device::EtherNetIP)
        runEthernetTransfer(ethernet::EthernetOperation::Download);
    else
        notAvailable();
}
void CommandRouter::runEthernetTransfer(ethernet::EthernetOperation operation) {
    // Window-modal dialogs opened without nested event loops: each step continues from a signal.
    const ethernet::EthernetEndpoints endpoints = endpointsFromEnvironment();
    Document& document = m_context.document;
    auto* scan = new ScanDialog(m_gatewaySelection, endpoints, {}, document.prompter(), m_context.window);
    scan->setAttribute(Qt::WA_DeleteOnClose);
    connect(scan, &QDialog::accepted, this, [this, operation, endpoints, &document] {
        if (!ethernet::entryAllowed(operation, m_gatewaySelection, document.state(), document.prompter()))
            return;
        const ethernet::GatewayEndpoint gateway{m_gatewaySelection.GatewayAddress, endpoints.gatewayTcpPort};
        QDialog* dialog = nullptr;
        if (operation == ethernet::EthernetOperation::Download) {
            if (!ethernet::downloadMayOpen(document.project(), document.state(), document.prompter(), m_conflictState))
                return;
            dialog = new EthernetDownloadDialog(document, gateway, m_context.window);
        } else {
            dialog = new EthernetUploadDialog(document, gateway, m_context.window);
        }
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        dialog->open();
    });
    scan->open();
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
    notAvailable();
}

} // namespace veltrane

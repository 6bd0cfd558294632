// The Tools menu: its commands and their handlers.

#include "app/debug/debug_dialog.h"
#include "app/debug/save_text_file_chooser.h"
#include "app/ethernet/ethernet_connection_dialog.h"
#include "app/ethernet/ethernet_download_dialog.h"
#include "app/ethernet/ethernet_upload_dialog.h"
#include "app/ethernet/scan_dialog.h"
#include "app/mapping/conflict_detection_dialog.h"
#include "app/serial/serial_port_dialog.h"
#include "app/serial/serial_transfer_dialog.h"
#include "link/ethernet/ethernet_environment.h"
#include "link/serial_port_enumeration.h"
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
    m_serialChoice.rebuildList(availableSerialPorts(), m_context.document.state().DeviceType);
    SerialPortDialog dialog(m_serialChoice, m_context.document.state().DeviceType, m_context.window);
    dialog.exec();
}

void CommandRouter::chooseSerialPortOnFirstUse() {
    const int deviceType = m_context.document.state().DeviceType;
    if (m_serialChoice.SerialPortList.empty())
        m_serialChoice.rebuildList(availableSerialPorts(), deviceType);
    if (!m_serialChoice.SerialPortConfigured) {
        // First use in this run: the choice comes first, whichever button closes it.
        SerialPortDialog choice(m_serialChoice, deviceType, m_context.window);
        choice.exec();
        m_serialChoice.SerialPortConfigured = true;
    }
}

void CommandRouter::scanThen(std::function<void()> loggedIn) {
    // Window-modal without a nested event loop: what follows the scan continues from its signal.
    auto* scan = new ScanDialog(m_gatewaySelection, endpointsFromEnvironment(), {}, m_context.document.prompter(),
                                m_context.window);
    scan->setAttribute(Qt::WA_DeleteOnClose);
    connect(scan, &QDialog::accepted, this, std::move(loggedIn));
    scan->open();
}

void CommandRouter::openSerialTransfer(bool download) {
    chooseSerialPortOnFirstUse();
    auto* dialog = new SerialTransferDialog(
        download ? SerialTransferDialog::Kind::Download : SerialTransferDialog::Kind::Upload, m_context.document,
        m_serialChoice, m_conflictState, m_context.window);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    if (!dialog->ready()) {
        dialog->close();
        return;
    }
    dialog->open();
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
        openSerialTransfer(false);
}
void CommandRouter::onDownload() {
    if (m_context.document.state().DeviceType == device::EtherNetIP)
        runEthernetTransfer(ethernet::EthernetOperation::Download);
    else
        openSerialTransfer(true);
}
void CommandRouter::runEthernetTransfer(ethernet::EthernetOperation operation) {
    Document& document = m_context.document;
    scanThen([this, operation, &document] {
        if (!ethernet::entryAllowed(operation, m_gatewaySelection, document.state(), document.prompter()))
            return;
        const ethernet::GatewayEndpoint gateway{m_gatewaySelection.GatewayAddress,
                                                endpointsFromEnvironment().gatewayTcpPort};
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
    TemplateWorkbookWriter writer(m_context.exportOptions);
    runExcelExport(m_context.document, m_context.fileChooser, writer);
}
void CommandRouter::onDebug() {
    Document& document = m_context.document;
    DebugConnection connection;
    connection.transport = debugTransportFor(document.state());
    const auto openMonitor = [this](const DebugConnection& chosen) {
        SaveTextFileChooser files(m_context.window);
        DebugDialog dialog(chosen, m_context.document.prompter(), files, m_context.window);
        dialog.exec();
    };
    if (connection.transport == DebugTransport::Ethernet) {
        // The monitor talks to the gateway picked in the Scan dialog.
        scanThen([this, connection, openMonitor]() mutable {
            connection.gateway = QHostAddress(QString::fromStdString(m_gatewaySelection.GatewayAddress));
            openMonitor(connection);
        });
        return;
    }
    if (connection.transport == DebugTransport::Serial) {
        chooseSerialPortOnFirstUse();
        const std::optional<std::string> device = m_serialChoice.deviceToOpen();
        if (!device) {
            document.prompter().message(veltrane::tr(Str::SerialNoPortChosen));
            return;
        }
        connection.device = QString::fromStdString(*device);
    }
    openMonitor(connection);
}

} // namespace veltrane

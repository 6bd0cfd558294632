// The Tools menu: its commands and their handlers.

#include "app/compare/compare_dialog.h"
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
#include "app/shell/qt_prompter.h"
#include "core/strings/strings.h"
#include "core/mapping/mapping_calculator.h"
#include "core/transfer/download_checks.h"

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
        {CommandId::CompareGateway, M::Tools, Str::ItemCompareGateway, Str::PromptCompareGateway, std::nullopt, {},
         &R::onCompareGateway},
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
    // The ports may have changed since (an adapter plugged in); the settings chosen stay.
    m_session.serialPort.refreshPorts(availableSerialPorts());
    auto* dialog = new SerialPortDialog(m_session.serialPort, m_context.document.state().DeviceType, m_context.window);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->open();
}

void CommandRouter::withSerialPortChosen(std::function<void()> then) {
    serial::SerialPortChoice& choice = m_session.serialPort;
    if (choice.SerialPortList.empty())
        choice.refreshPorts(availableSerialPorts());
    if (choice.SerialPortConfigured) {
        then();
        return;
    }
    auto* dialog = new SerialPortDialog(choice, m_context.document.state().DeviceType, m_context.window);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::finished, this, [this, then = std::move(then)] {
        m_session.serialPort.SerialPortConfigured = true;
        then();
    });
    dialog->open();
}

void CommandRouter::scanThen(std::function<void()> loggedIn) {
    // Window-modal without a nested event loop: what follows the scan continues from its signal.
    auto* scan = new ScanDialog(m_session.gateway, endpointsFromEnvironment(), {}, m_context.document.prompter(),
                                m_context.window);
    scan->setAttribute(Qt::WA_DeleteOnClose);
    connect(scan, &QDialog::accepted, this, std::move(loggedIn));
    scan->open();
}

void CommandRouter::openSerialTransfer(bool download) {
    withSerialPortChosen([this, download] {
        auto* dialog = new SerialTransferDialog(
            download ? SerialTransferDialog::Kind::Download : SerialTransferDialog::Kind::Upload, m_context.document,
            m_session, m_context.window);
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        dialog->setReplaceCheck([this] { return m_context.lifecycle.confirmDiscard(); });
        if (!dialog->ready()) {
            dialog->close();
            return;
        }
        dialog->open();
    });
}
void CommandRouter::onEthernetConnection() {
    auto* dialog = new EthernetConnectionDialog(m_session.gateway, m_context.window);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->open();
}
void CommandRouter::onUpload() {
    // Other device types go over the serial link.
    if (m_context.document.state().DeviceType == device::EtherNetIP)
        runEthernetTransfer(EthernetOperation::Upload);
    else
        openSerialTransfer(false);
}
void CommandRouter::onDownload() {
    if (m_context.document.state().DeviceType == device::EtherNetIP)
        runEthernetTransfer(EthernetOperation::Download);
    else
        openSerialTransfer(true);
}
void CommandRouter::onCompareGateway() {
    Document& document = m_context.document;
    const auto open = [this](CompareDialog* dialog) {
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        dialog->open();
    };
    if (document.state().DeviceType == device::EtherNetIP) {
        scanThen([this, &document, open] {
            if (!ethernetEntryAllowed(EthernetOperation::Upload, m_session.gateway, document.state(),
                                      document.prompter()))
                return;
            open(CompareDialog::overEthernet(
                document, {m_session.gateway.GatewayAddress, endpointsFromEnvironment().gatewayTcpPort},
                m_context.window));
        });
        return;
    }
    withSerialPortChosen([this, &document, open] {
        const std::optional<std::string> device = m_session.serialPort.deviceToOpen();
        if (!device) {
            document.prompter().message(veltrane::tr(Str::SerialNoPortChosen));
            return;
        }
        open(CompareDialog::overSerial(document, *device, m_session.serialPort.lineSettings(), m_context.window));
    });
}
void CommandRouter::runEthernetTransfer(EthernetOperation operation) {
    Document& document = m_context.document;
    scanThen([this, operation, &document] {
        if (!ethernetEntryAllowed(operation, m_session.gateway, document.state(), document.prompter()))
            return;
        const ethernet::GatewayEndpoint gateway{m_session.gateway.GatewayAddress,
                                                endpointsFromEnvironment().gatewayTcpPort};
        QDialog* dialog = nullptr;
        if (operation == EthernetOperation::Download) {
            if (!ethernetDownloadMayOpen(document.project(), document.state(), document.prompter(),
                                         m_session.conflicts))
                return;
            dialog = new EthernetDownloadDialog(document, gateway, m_context.window);
        } else {
            auto* upload = new EthernetUploadDialog(document, gateway, m_context.window);
            upload->setReplaceCheck([this] { return m_context.lifecycle.confirmDiscard(); });
            dialog = upload;
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
                                               m_session.conflicts, m_context.window);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->open();
}
void CommandRouter::onExportExcel() {
    TemplateWorkbookWriter writer(m_context.exportOptions);
    runExcelExport(m_context.document, m_context.fileChooser, writer);
}
void CommandRouter::openDebugMonitor(const DebugConnection& connection) {
    // The debug window's boxes belong to it, not to the main window that it blocks: they open over
    // it, and closing them hands the keys back to it. A scripted prompter is used as it is.
    auto files = std::make_unique<SaveTextFileChooser>(m_context.window);
    std::unique_ptr<QtPrompter> boxes;
    if (dynamic_cast<QtPrompter*>(&m_context.document.prompter()))
        boxes = std::make_unique<QtPrompter>(m_context.window);
    auto* dialog = new DebugDialog(connection, boxes ? *boxes : m_context.document.prompter(), *files,
                                   m_context.window);
    files->setParent(dialog);
    if (boxes)
        boxes->setParent(dialog);
    m_debugFiles = std::move(files);
    m_debugPrompter = std::move(boxes);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->open();
}
void CommandRouter::onDebug() {
    Document& document = m_context.document;
    DebugConnection connection;
    connection.transport = debugTransportFor(document.state());
    if (connection.transport == DebugTransport::Ethernet) {
        // The monitor talks to the gateway picked in the Scan dialog.
        scanThen([this, connection]() mutable {
            connection.gateway = QHostAddress(QString::fromStdString(m_session.gateway.GatewayAddress));
            openDebugMonitor(connection);
        });
        return;
    }
    if (connection.transport != DebugTransport::Serial) {
        openDebugMonitor(connection);
        return;
    }
    withSerialPortChosen([this, connection]() mutable {
        const std::optional<std::string> device = m_session.serialPort.deviceToOpen();
        if (!device) {
            m_context.document.prompter().message(veltrane::tr(Str::SerialNoPortChosen));
            return;
        }
        connection.device = QString::fromStdString(*device);
        openDebugMonitor(connection);
    });
}

} // namespace veltrane

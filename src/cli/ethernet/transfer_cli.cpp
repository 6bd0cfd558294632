#include "cli/ethernet/ethernet_commands.h"
#include "cli/ethernet/gateway_login.h"

#include "cli/cli_prompter.h"
#include "cli/difference_printer.h"
#include "core/compare/gateway_comparison.h"
#include "core/document/document.h"
#include "core/link/ethernet/ethernet_transfer.h"
#include "core/model/file_io.h"
#include "core/strings/strings.h"
#include "core/transfer/download_checks.h"
#include "core/transfer/ethernet_entry.h"
#include "core/transfer/link_session.h"
#include "core/transfer/upload_adoption.h"
#include "link/ethernet/ethernet_environment.h"
#include "link/steady_clock.h"
#include "link/tcp_stream_socket.h"

namespace veltrane::cli {

namespace {

void showFailure(const Error& error, Prompter& prompter) {
    if (!error.message.empty())
        prompter.messageWithDetail(error.message, error.detail);
}

ethernet::GatewayEndpoint gatewayOf(const ethernet::GatewaySelection& selection) {
    return {selection.GatewayAddress, endpointsFromEnvironment().gatewayTcpPort};
}

// The project must be one of the Ethernet gateway; then the Log In, as the Scan dialog's.
bool logInFor(const Document& document, const GatewayTarget& target, ethernet::GatewaySelection& selection,
              std::ostream& out, std::ostream& err) {
    if (document.state().DeviceType != device::EtherNetIP) {
        err << tr(Str::EthNotEthernetProject) << '\n';
        return false;
    }
    return logIn(target.to, target.broadcast, target.localAddresses, selection, out);
}

}  // namespace

int runDownloadCommand(const DownloadOptions& options, std::ostream& out, std::ostream& err) {
    PrintingPrompter prompter({options.restart ? Answer::Ok : Answer::Cancel}, out);
    Document document(prompter);
    if (!openProjectToSend(document, options.file))
        return 1;
    LinkSession session;
    if (!logInFor(document, options.gateway, session.gateway, out, err))
        return 1;
    if (!ethernetEntryAllowed(EthernetOperation::Download, session.gateway, document.state(), prompter) ||
        !ethernetDownloadMayOpen(document.project(), document.state(), prompter, session.conflicts) ||
        !prepareEthernetDownload(document.project(), prompter))
        return 1;

    TcpStreamSocket socket;
    const auto image = ethernet::buildConfigurationImage(document.project(), document.state());
    if (auto written = ethernet::downloadImage(socket, gatewayOf(session.gateway), image); !written) {
        showFailure(written.error(), prompter);
        return 1;
    }
    prompter.message(tr(Str::SerialDownloadSuccess));
    int exitCode = 0;
    if (options.verify) {
        // Read back on a connection of its own: the download's stays open for the restart.
        TcpStreamSocket readSocket;
        SteadyClock clock;
        const auto readBack = ethernet::uploadImage(readSocket, gatewayOf(session.gateway), clock);
        if (!readBack) {
            showFailure(readBack.error(), prompter);
            socket.close();
            return 1;
        }
        const auto differences = compareWithEthernetGateway(document.project(), document.state(), *readBack);
        if (!differences.empty()) {
            err << kReadBackDiffers << '\n';
            printDifferences(differences, false, out);
            exitCode = kWrittenButDifferent;
        }
    }
    if (prompter.ask(tr(Str::EthRestartQuestion), Buttons::OkCancel) == Answer::Ok) {
        if (ethernet::sendRestart(socket))
            out << tr(Str::EthRestartSent) << '\n';
    } else {
        socket.close();
    }
    out.flush();
    return exitCode;
}

int runCompareCommand(const CompareOptions& options, std::ostream& out, std::ostream& err) {
    // Standard output holds only the list; messages go to standard error.
    PrintingPrompter prompter({}, err);
    Document document(prompter);
    if (!openProjectToSend(document, options.file))
        return kCompareTrouble;
    LinkSession session;
    if (!logInFor(document, options.gateway, session.gateway, err, err) ||
        !ethernetEntryAllowed(EthernetOperation::Upload, session.gateway, document.state(), prompter))
        return kCompareTrouble;
    TcpStreamSocket socket;
    SteadyClock clock;
    const auto image = ethernet::uploadImage(socket, gatewayOf(session.gateway), clock);
    if (!image) {
        showFailure(image.error(), prompter);
        return kCompareTrouble;
    }
    const auto differences = compareWithEthernetGateway(document.project(), document.state(), *image);
    printDifferences(differences, options.json, out);
    if (!out.flush())
        return kCompareTrouble;
    return differences.empty() ? 0 : 1;
}

int runUploadCommand(const UploadOptions& options, std::ostream& out, std::ostream& err) {
    PrintingPrompter prompter({}, out);
    Document document(prompter);
    if (options.into) {
        if (!document.openDocument(*options.into))
            return 1;
    } else {
        document.newDocument();
    }
    // An output that could never be saved is told before the gateway is asked anything.
    if (const Status usable = checkSaveTarget(options.output); !usable) {
        prompter.message(usable.message());
        return 1;
    }
    LinkSession session;
    if (!logInFor(document, options.gateway, session.gateway, out, err) ||
        !ethernetEntryAllowed(EthernetOperation::Upload, session.gateway, document.state(), prompter))
        return 1;
    TcpStreamSocket socket;
    SteadyClock clock;
    auto image = ethernet::uploadImage(socket, gatewayOf(session.gateway), clock);
    if (!image) {
        showFailure(image.error(), prompter);
        return 1;
    }
    adoptEthernetUpload(document, *image, gatewayOf(session.gateway).address);
    if (!document.saveDocument(options.output))
        return 1;
    prompter.message(tr(Str::SerialUploadSuccess));
    out << ethernetUploadNotCarried() << '\n';
    return 0;
}

}  // namespace veltrane::cli

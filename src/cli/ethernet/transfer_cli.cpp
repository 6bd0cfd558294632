#include "cli/ethernet/ethernet_commands.h"
#include "cli/ethernet/gateway_login.h"

#include "cli/cli_prompter.h"
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
    if (prompter.ask(tr(Str::EthRestartQuestion), Buttons::OkCancel) == Answer::Ok) {
        if (ethernet::sendRestart(socket))
            out << tr(Str::EthRestartSent) << '\n';
    } else {
        socket.close();
    }
    out.flush();
    return 0;
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
    adoptEthernetUpload(document, *image);
    if (!document.saveDocument(options.output))
        return 1;
    prompter.message(tr(Str::SerialUploadSuccess));
    return 0;
}

}  // namespace veltrane::cli

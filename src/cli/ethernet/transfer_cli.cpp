#include "cli/ethernet/ethernet_commands.h"
#include "cli/ethernet/gateway_login.h"

#include "core/document/document.h"
#include "core/link/ethernet/ethernet_transfer.h"
#include "core/mapping/conflict_state.h"
#include "core/strings/strings.h"
#include "link/ethernet/ethernet_environment.h"
#include "link/steady_clock.h"
#include "link/tcp_stream_socket.h"

namespace veltrane::cli {

namespace {

// Shows every message and question on `out`; questions take the answers given in advance.
class StreamPrompter : public ScriptedPrompter {
public:
    StreamPrompter(std::ostream& out, std::vector<Answer> answers) : ScriptedPrompter(std::move(answers)), m_out(out) {}
    void message(const std::string& text) override {
        ScriptedPrompter::message(text);
        m_out << text << '\n';
    }
    Answer ask(const std::string& text, Buttons buttons) override {
        m_out << text << '\n';
        return ScriptedPrompter::ask(text, buttons);
    }

private:
    std::ostream& m_out;
};

void showFailure(const Error& error, Prompter& prompter) {
    if (!error.message.empty())
        prompter.message(error.message);
}

ethernet::GatewayEndpoint gatewayOf(const ethernet::GatewaySelection& selection) {
    return {selection.GatewayAddress, endpointsFromEnvironment().gatewayTcpPort};
}

}  // namespace

int runDownloadCommand(const DownloadOptions& options, std::ostream& out, std::ostream& err) {
    StreamPrompter prompter(out, {options.restart ? Answer::Ok : Answer::Cancel});
    Document document(prompter);
    if (!document.openDocument(options.file))
        return 1;
    if (document.state().DeviceType != device::EtherNetIP) {
        err << tr(Str::EthNotEthernetProject) << '\n';
        return 1;
    }
    ethernet::GatewaySelection selection;
    if (!logIn(options.to, options.broadcast, options.localAddresses, selection, out))
        return 1;
    MappingConflictState conflictState;
    if (!ethernet::entryAllowed(ethernet::EthernetOperation::Download, selection, document.state(), prompter) ||
        !ethernet::downloadMayOpen(document.project(), document.state(), prompter, conflictState) ||
        !ethernet::prepareDownload(document.project(), prompter))
        return 1;

    TcpStreamSocket socket;
    const auto image = ethernet::buildConfigurationImage(document.project(), document.state());
    if (auto written = ethernet::downloadImage(socket, gatewayOf(selection), image); !written) {
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
    StreamPrompter prompter(out, {});
    Document document(prompter);
    if (options.into) {
        if (!document.openDocument(*options.into))
            return 1;
    } else {
        document.newDocument();
    }
    if (document.state().DeviceType != device::EtherNetIP) {
        err << tr(Str::EthNotEthernetProject) << '\n';
        return 1;
    }
    ethernet::GatewaySelection selection;
    if (!logIn(options.to, options.broadcast, options.localAddresses, selection, out))
        return 1;
    if (!ethernet::entryAllowed(ethernet::EthernetOperation::Upload, selection, document.state(), prompter))
        return 1;
    TcpStreamSocket socket;
    SteadyClock clock;
    auto image = ethernet::uploadImage(socket, gatewayOf(selection), clock);
    if (!image) {
        showFailure(image.error(), prompter);
        return 1;
    }
    ethernet::adoptUploadedImage(*image, document.project(), document.state());
    if (!document.saveDocument(options.output))
        return 1;
    prompter.message(tr(Str::SerialUploadSuccess));
    return 0;
}

}  // namespace veltrane::cli

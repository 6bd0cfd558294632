#include "app/ethernet/ethernet_download_dialog.h"

#include "app/common/qt_text.h"
#include "app/common/verify_after_download.h"
#include "core/compare/gateway_comparison.h"
#include "core/transfer/download_checks.h"
#include "link/tcp_stream_socket.h"

#include <QCheckBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace veltrane {

EthernetDownloadDialog::EthernetDownloadDialog(Document& document, ethernet::GatewayEndpoint gateway, QWidget* parent)
    : EthernetTransferDialog(document, std::move(gateway), Str::EthDownloadTitle, Str::EthDownloadPrompt, parent) {
    m_verify = makeVerifyCheckBox(qtr(Str::VerifyAfterDownload), this);
    if (auto* column = qobject_cast<QVBoxLayout*>(layout()))
        column->insertWidget(1, m_verify);
}

void EthernetDownloadDialog::start() {
    if (m_runner.isRunning())
        return;
    // The checks and the byte counts belong to the UI thread; the worker gets the finished image.
    // A cancelled download puts the byte counts back as they were.
    m_beforeDownload = m_document.project();
    if (!prepareEthernetDownload(m_document.project(), m_document.prompter()))
        return;
    const ethernet::ConfigurationImage image = ethernet::buildConfigurationImage(m_document.project(), m_document.state());
    m_restarting = false;
    auto readBack = std::make_shared<std::optional<ethernet::ConfigurationImage>>();
    m_readBack = readBack;
    const bool verify = m_verify->isChecked();
    run(
        [gateway = m_gateway, image, verify, readBack](TransferContext& context) -> Status {
            const auto cancelled = [&context] { return context.progress.isCancelled(); };
            auto socket = std::make_unique<TcpStreamSocket>();
            socket->setCancelCheck(cancelled);
            Status written = ethernet::downloadImage(*socket, gateway, image);
            socket->setCancelCheck({});  // the context ends with this job
            if (!written)
                return written;
            context.connection = std::move(socket);  // kept open on this worker for the restart request
            if (verify) {
                // Read back on a connection of its own, before any restart.
                TcpStreamSocket reading;
                reading.setCancelCheck(cancelled);
                auto read = ethernet::uploadImage(reading, gateway, context.clock);
                if (!read)
                    return read.error();
                *readBack = *read;
            }
            return written;
        },
        Str::EthBusyDownload);
}

void EthernetDownloadDialog::reject() {
    if (m_runner.isRunning())
        return;
    if (!m_downloaded ||
        m_document.prompter().ask(veltrane::tr(Str::EthRestartQuestion), Buttons::OkCancel) != Answer::Ok) {
        m_runner.stop();  // closes the connection a download left open
        QDialog::reject();
        return;
    }
    m_restarting = true;
    run(
        [](TransferContext& context) -> Status {
            if (!context.connection)
                return makeError(ErrorKind::Io, std::string());
            Status sent = ethernet::sendRestart(*context.connection);
            context.connection.reset();
            return sent;
        },
        Str::EthBusyRestart);
}

void EthernetDownloadDialog::onFinished(const Status& status) {
    if (m_restarting) {
        m_restarting = false;
        // A sent request is said here and the next Exit closes; a failed one keeps the question
        // for the next Exit.
        if (status) {
            m_downloaded = false;
            setStatusText(aboutGateway(Str::EthRestartSentTo));
        } else {
            setStatus(Str::SerialDownloadSuccess);
        }
        emit transferFinished();
        return;
    }
    if (status) {
        setStatus(Str::SerialDownloadSuccess);
        m_downloaded = true;
        m_document.editor().expandAll();
        if (m_readBack && m_readBack->has_value())
            reportReadBack(compareWithEthernetGateway(m_document.project(), m_document.state(), **m_readBack),
                           m_document.prompter());
    } else {
        downloadButton()->setEnabled(true);
        if (status.kind() == ErrorKind::Cancelled && m_beforeDownload)
            m_document.project() = *m_beforeDownload;
        showFailure(status, Str::EthDownloadCancelled);
    }
    m_beforeDownload.reset();
    // The byte counts may have changed.
    m_document.editor().notifyProjectChanged(ProjectChange::Replaced);
    emit transferFinished();
}

}  // namespace veltrane

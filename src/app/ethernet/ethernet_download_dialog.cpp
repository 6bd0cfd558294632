#include "app/ethernet/ethernet_download_dialog.h"

#include "app/common/qt_text.h"
#include "link/tcp_stream_socket.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <unistd.h>

namespace veltrane {

EthernetDownloadDialog::EthernetDownloadDialog(Document& document, ethernet::GatewayEndpoint gateway, QWidget* parent)
    : QDialog(parent), m_document(document), m_gateway(std::move(gateway)), m_runner(document.prompter()) {
    setWindowTitle(qtr(Str::EthDownloadTitle));
    m_status = new QLabel(qtr(Str::EthDownloadPrompt), this);
    m_download = new QPushButton(qtr(Str::EthDownloadTitle), this);
    auto* exit = new QPushButton(qtr(Str::EthExit), this);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_download);
    buttons->addWidget(exit);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_status);
    layout->addLayout(buttons);
    connect(m_download, &QPushButton::clicked, this, &EthernetDownloadDialog::startDownload);
    connect(exit, &QPushButton::clicked, this, &EthernetDownloadDialog::reject);
    connect(&m_runner, &TransferRunner::finished, this, &EthernetDownloadDialog::onFinished);
}

EthernetDownloadDialog::~EthernetDownloadDialog() {
    m_runner.cancel();
    closeConnection();
}

QString EthernetDownloadDialog::statusText() const { return m_status->text(); }

void EthernetDownloadDialog::closeConnection() {
    if (*m_connection >= 0)
        ::close(*m_connection);
    *m_connection = -1;
}

void EthernetDownloadDialog::startDownload() {
    if (m_runner.isRunning())
        return;
    // The checks and the byte counts belong to the UI thread; the worker gets the finished image.
    if (!ethernet::prepareDownload(m_document.project(), m_document.prompter()))
        return;
    const ethernet::ConfigurationImage image = ethernet::buildConfigurationImage(m_document.project(), m_document.state());
    m_download->setEnabled(false);
    m_restarting = false;
    m_runner.start([gateway = m_gateway, image, connection = m_connection](TransferContext&) -> Status {
        TcpStreamSocket socket;
        Status written = ethernet::downloadImage(socket, gateway, image);
        if (written)
            *connection = socket.releaseDescriptor();
        return written;
    });
}

void EthernetDownloadDialog::reject() {
    if (m_runner.isRunning())
        return;
    if (!m_downloaded) {
        closeConnection();
        QDialog::reject();
        return;
    }
    if (m_document.prompter().ask(veltrane::tr(Str::EthRestartQuestion), Buttons::OkCancel) != Answer::Ok) {
        closeConnection();
        QDialog::reject();
        return;
    }
    const int descriptor = *m_connection;
    *m_connection = -1;
    m_restarting = true;
    m_runner.start([descriptor](TransferContext&) -> Status {
        TcpStreamSocket socket;
        if (auto adopted = socket.adoptDescriptor(descriptor); !adopted)
            return makeError(ErrorKind::Io, std::string());
        return ethernet::sendRestart(socket);
    });
}

void EthernetDownloadDialog::onFinished(const Status& status) {
    if (m_restarting) {
        m_restarting = false;
        emit transferFinished();
        // A failed restart keeps the dialog open; the next Exit asks again.
        if (status)
            QDialog::reject();
        return;
    }
    if (status) {
        m_status->setText(qtr(Str::SerialDownloadSuccess));
        m_downloaded = true;
        Editor& editor = m_document.editor();
        editor.expandAll();
        if (!editor.tree().topLevel().empty())
            editor.selectItem(editor.tree().topLevel().front());
    } else {
        m_download->setEnabled(true);
        if (!status.message().empty())
            m_document.prompter().message(status.message());
    }
    // The byte counts may have changed.
    m_document.editor().notifyProjectChanged(ProjectChange::Replaced);
    emit transferFinished();
}

}  // namespace veltrane

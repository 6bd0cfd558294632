#include "app/ethernet/ethernet_upload_dialog.h"

#include "app/common/qt_text.h"
#include "link/tcp_stream_socket.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace veltrane {

EthernetUploadDialog::EthernetUploadDialog(Document& document, ethernet::GatewayEndpoint gateway, QWidget* parent)
    : QDialog(parent), m_document(document), m_gateway(std::move(gateway)), m_runner(document.prompter()) {
    setWindowTitle(qtr(Str::EthUploadTitle));
    m_status = new QLabel(qtr(Str::EthUploadPrompt), this);
    m_upload = new QPushButton(qtr(Str::EthUploadTitle), this);
    auto* exit = new QPushButton(qtr(Str::EthExit), this);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_upload);
    buttons->addWidget(exit);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_status);
    layout->addLayout(buttons);
    connect(m_upload, &QPushButton::clicked, this, &EthernetUploadDialog::startUpload);
    connect(exit, &QPushButton::clicked, this, &QDialog::reject);
    connect(&m_runner, &TransferRunner::finished, this, &EthernetUploadDialog::onFinished);
}

EthernetUploadDialog::~EthernetUploadDialog() { m_runner.cancel(); }

QString EthernetUploadDialog::statusText() const { return m_status->text(); }

void EthernetUploadDialog::startUpload() {
    if (m_runner.isRunning())
        return;
    m_upload->setEnabled(false);
    auto image = std::make_shared<ethernet::ConfigurationImage>();
    m_image = image;
    m_runner.start([gateway = m_gateway, image](TransferContext& context) -> Status {
        TcpStreamSocket socket;
        auto read = ethernet::uploadImage(socket, gateway, context.clock);
        if (!read)
            return read.error();
        *image = *read;
        return {};
    });
}

void EthernetUploadDialog::onFinished(const Status& status) {
    m_upload->setEnabled(true);
    if (!status) {
        if (!status.message().empty())
            m_document.prompter().message(status.message());
        emit transferFinished();
        return;
    }
    ethernet::adoptUploadedImage(*m_image, m_document.project(), m_document.state());
    m_status->setText(qtr(Str::SerialUploadSuccess));
    Editor& editor = m_document.editor();
    editor.rebuildTree();
    editor.expandAll();
    if (!editor.tree().topLevel().empty())
        editor.selectItem(editor.tree().topLevel().front());
    editor.notifyProjectChanged(ProjectChange::Replaced);
    emit transferFinished();
}

}  // namespace veltrane

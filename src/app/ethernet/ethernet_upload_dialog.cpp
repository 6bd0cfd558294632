#include "app/ethernet/ethernet_upload_dialog.h"

#include "app/common/qt_text.h"
#include "core/transfer/upload_adoption.h"
#include "link/tcp_stream_socket.h"

#include <QPushButton>

namespace veltrane {

EthernetUploadDialog::EthernetUploadDialog(Document& document, ethernet::GatewayEndpoint gateway, QWidget* parent)
    : EthernetTransferDialog(document, std::move(gateway), Str::EthUploadTitle, Str::EthUploadPrompt, parent) {
    connect(uploadButton(), &QPushButton::clicked, this, &EthernetUploadDialog::startUpload);
    connect(&m_runner, &TransferRunner::finished, this, &EthernetUploadDialog::onFinished);
}

void EthernetUploadDialog::startUpload() {
    if (m_runner.isRunning())
        return;
    uploadButton()->setEnabled(false);
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
    uploadButton()->setEnabled(true);
    if (status) {
        adoptEthernetUpload(m_document, *m_image);
        setStatus(Str::SerialUploadSuccess);
    } else {
        showFailure(status);
    }
    emit transferFinished();
}

}  // namespace veltrane

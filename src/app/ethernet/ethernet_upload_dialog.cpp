#include "app/ethernet/ethernet_upload_dialog.h"

#include "app/common/qt_text.h"
#include "core/transfer/upload_adoption.h"
#include "link/tcp_stream_socket.h"

#include <QPushButton>

namespace veltrane {

EthernetUploadDialog::EthernetUploadDialog(Document& document, ethernet::GatewayEndpoint gateway, QWidget* parent)
    : EthernetTransferDialog(document, std::move(gateway), Str::EthUploadTitle, Str::EthUploadPrompt, parent) {}

void EthernetUploadDialog::start() {
    if (isBusy())
        return;
    auto image = std::make_shared<ethernet::ConfigurationImage>();
    m_image = image;
    run(
        [gateway = m_gateway, image](TransferContext& context) -> Status {
            TcpStreamSocket socket;
            socket.setCancelCheck([&context] { return context.progress.isCancelled(); });
            auto read = ethernet::uploadImage(socket, gateway, context.clock);
            if (!read)
                return read.error();
            *image = *read;
            return {};
        },
        Str::EthBusyUpload);
}

void EthernetUploadDialog::onFinished(const Status& status) {
    uploadButton()->setEnabled(true);
    if (status) {
        adoptEthernetUpload(m_document, *m_image);
        setStatus(Str::SerialUploadSuccess);
    } else {
        showFailure(status, Str::EthUploadCancelled);
    }
    emit transferFinished();
}

}  // namespace veltrane

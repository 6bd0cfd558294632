#include "app/ethernet/ethernet_upload_dialog.h"

#include "app/common/qt_text.h"
#include "core/transfer/upload_adoption.h"
#include "link/tcp_stream_socket.h"

#include <QBoxLayout>
#include <QLabel>
#include <QPushButton>

namespace veltrane {

EthernetUploadDialog::EthernetUploadDialog(Document& document, ethernet::GatewayEndpoint gateway, QWidget* parent)
    : EthernetTransferDialog(document, std::move(gateway), Str::EthUploadTitle, Str::EthUploadPrompt, parent) {
    m_note = new QLabel(this);
    m_note->setWordWrap(true);
    m_note->hide();
    if (auto* box = qobject_cast<QBoxLayout*>(layout()))
        box->insertWidget(1, m_note);  // under the status line
}

QString EthernetUploadDialog::uploadNote() const { return m_note->isHidden() ? QString() : m_note->text(); }

void EthernetUploadDialog::start() {
    if (isBusy())
        return;
    if (m_replaceCheck && !m_replaceCheck())
        return;
    m_note->hide();
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
        adoptEthernetUpload(m_document, *m_image, m_gateway.address);
        setStatus(Str::SerialUploadSuccess);
        m_note->setText(toQString(ethernetUploadNotCarried()));
        m_note->show();
    } else {
        showFailure(status, Str::EthUploadCancelled);
    }
    emit transferFinished();
}

}  // namespace veltrane

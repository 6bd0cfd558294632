#pragma once
// "Upload": reads the gateway's image on the worker and, on success, puts it into the project on the
// UI thread. A failed upload leaves the project as it was.

#include "app/ethernet/ethernet_transfer_dialog.h"

#include <memory>

namespace veltrane {

class EthernetUploadDialog : public EthernetTransferDialog {
    Q_OBJECT
public:
    EthernetUploadDialog(Document& document, ethernet::GatewayEndpoint gateway, QWidget* parent = nullptr);

    QPushButton* uploadButton() const { return actionButton(); }

private:
    void start() override;
    void onFinished(const Status& status) override;

    std::shared_ptr<ethernet::ConfigurationImage> m_image;
};

}  // namespace veltrane

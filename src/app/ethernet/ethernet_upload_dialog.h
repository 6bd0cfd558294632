#pragma once
// "Upload": reads the gateway's image on the worker and, on success, puts it into the project on the
// UI thread. A failed upload leaves the project as it was.

#include "app/ethernet/ethernet_transfer_dialog.h"

#include <functional>
#include <memory>

namespace veltrane {

class EthernetUploadDialog : public EthernetTransferDialog {
    Q_OBJECT
public:
    EthernetUploadDialog(Document& document, ethernet::GatewayEndpoint gateway, QWidget* parent = nullptr);

    QPushButton* uploadButton() const { return actionButton(); }
    // Asked before an upload may replace the project (the save question); false keeps it.
    void setReplaceCheck(std::function<bool()> check) { m_replaceCheck = std::move(check); }
    // What Ethernet could not carry, shown below the success line.
    QString uploadNote() const;

private:
    void start() override;
    void onFinished(const Status& status) override;

    std::shared_ptr<ethernet::ConfigurationImage> m_image;
    std::function<bool()> m_replaceCheck;
    QLabel* m_note = nullptr;
};

}  // namespace veltrane

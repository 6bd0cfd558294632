#pragma once
// "Download": checks the project, writes its image to the gateway on the worker, and on Exit offers
// to restart the gateway over the connection the download left open on that worker.

#include "app/ethernet/ethernet_transfer_dialog.h"

#include <optional>

namespace veltrane {

class EthernetDownloadDialog : public EthernetTransferDialog {
    Q_OBJECT
public:
    EthernetDownloadDialog(Document& document, ethernet::GatewayEndpoint gateway, QWidget* parent = nullptr);

    void reject() override;  // Exit, the close box and Escape
    QPushButton* downloadButton() const { return actionButton(); }

private:
    void start() override;
    void onFinished(const Status& status) override;

    bool m_downloaded = false;
    bool m_restarting = false;
    std::optional<Project> m_beforeDownload;  // the project as it was before the byte counts
};

}  // namespace veltrane

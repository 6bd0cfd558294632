#pragma once
// "Download": checks the project, writes its image to the gateway on the worker, and on Exit offers
// to restart the gateway over the connection the download left open on that worker.

#include "app/ethernet/ethernet_transfer_dialog.h"

#include <memory>
#include <optional>

class QCheckBox;

namespace veltrane {

class EthernetDownloadDialog : public EthernetTransferDialog {
    Q_OBJECT
public:
    EthernetDownloadDialog(Document& document, ethernet::GatewayEndpoint gateway, QWidget* parent = nullptr);

    void reject() override;  // Exit, the close box and Escape
    QPushButton* downloadButton() const { return actionButton(); }
    QCheckBox* verifyBox() const { return m_verify; }

private:
    void start() override;
    void onFinished(const Status& status) override;

    bool m_downloaded = false;
    bool m_restarting = false;
    QCheckBox* m_verify;
    // What the worker read back after the download; empty when it was not asked to.
    std::shared_ptr<std::optional<ethernet::ConfigurationImage>> m_readBack;
    std::optional<Project> m_beforeDownload;  // the project as it was before the byte counts
};

}  // namespace veltrane

#pragma once
// "Download": checks the project, writes its image to the gateway on a worker, and on Exit offers
// to restart the gateway over the connection the download left open.

#include "core/document/document.h"
#include "core/link/ethernet/ethernet_transfer.h"
#include "link/transfer_runner.h"

#include <QDialog>

#include <memory>

class QLabel;
class QPushButton;

namespace veltrane {

class EthernetDownloadDialog : public QDialog {
    Q_OBJECT
public:
    EthernetDownloadDialog(Document& document, ethernet::GatewayEndpoint gateway, QWidget* parent = nullptr);
    ~EthernetDownloadDialog() override;

    void startDownload();
    void reject() override;  // Exit, the close box and Escape
    QPushButton* downloadButton() const { return m_download; }
    QString statusText() const;
    bool isBusy() const { return m_runner.isRunning(); }

signals:
    void transferFinished();

private:
    void onFinished(const Status& status);
    void closeConnection();

    Document& m_document;
    ethernet::GatewayEndpoint m_gateway;
    TransferRunner m_runner;
    // The open connection after a download, handed between workers as a descriptor.
    std::shared_ptr<int> m_connection = std::make_shared<int>(-1);
    bool m_downloaded = false;
    bool m_restarting = false;
    QLabel* m_status;
    QPushButton* m_download;
};

}  // namespace veltrane

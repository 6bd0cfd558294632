#pragma once
// "Upload": reads the gateway's image on a worker and, on success, puts it into the project on the
// UI thread. A failed upload leaves the project as it was.

#include "core/document/document.h"
#include "core/link/ethernet/ethernet_transfer.h"
#include "link/transfer_runner.h"

#include <QDialog>

#include <memory>

class QLabel;
class QPushButton;

namespace veltrane {

class EthernetUploadDialog : public QDialog {
    Q_OBJECT
public:
    EthernetUploadDialog(Document& document, ethernet::GatewayEndpoint gateway, QWidget* parent = nullptr);
    ~EthernetUploadDialog() override;

    void startUpload();
    QPushButton* uploadButton() const { return m_upload; }
    QString statusText() const;
    bool isBusy() const { return m_runner.isRunning(); }

signals:
    void transferFinished();

private:
    void onFinished(const Status& status);

    Document& m_document;
    ethernet::GatewayEndpoint m_gateway;
    TransferRunner m_runner;
    std::shared_ptr<ethernet::ConfigurationImage> m_image;
    QLabel* m_status;
    QPushButton* m_upload;
};

}  // namespace veltrane

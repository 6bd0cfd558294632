#pragma once
// "Scan": lists the gateways that answer the discovery request; "Log In" accepts the clicked row.
// The scan runs on a worker, so the window stays responsive while it waits for answers.

#include "core/link/ethernet/ethernet_endpoints.h"
#include "core/link/ethernet/gateway_selection.h"
#include "core/link/ethernet/scan_session.h"
#include "link/transfer_runner.h"

#include <QDialog>

#include <memory>

class QGroupBox;
class QProgressBar;
class QPushButton;
class QTableWidget;

namespace veltrane {

class ScanDialog : public QDialog {
    Q_OBJECT
public:
    // localAddresses: empty for the host's own.
    ScanDialog(ethernet::GatewaySelection& selection, ethernet::EthernetEndpoints endpoints,
               std::vector<std::string> localAddresses, Prompter& prompter, QWidget* parent = nullptr);
    ~ScanDialog() override;

    void refresh();
    bool isScanning() const { return m_runner.isRunning(); }
    QTableWidget* list() const { return m_list; }
    QPushButton* logInButton() const { return m_logIn; }
    QPushButton* refreshButton() const { return m_refresh; }
    QProgressBar* progressBar() const { return m_progress; }
    QString statusText() const;

signals:
    void scanFinished();

private:
    void startScan(bool refreshing);
    void onFinished(const Status& status);
    void onRowClicked(int row);

    ethernet::GatewaySelection& m_selection;
    Prompter& m_prompter;
    ethernet::EthernetEndpoints m_endpoints;
    std::vector<std::string> m_localAddresses;
    TransferRunner m_runner;
    std::shared_ptr<ethernet::ScanResult> m_result;
    bool m_refreshing = false;
    QGroupBox* m_group;
    QTableWidget* m_list;
    QProgressBar* m_progress;
    QPushButton* m_refresh;
    QPushButton* m_logIn;
};

}  // namespace veltrane

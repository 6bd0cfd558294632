#pragma once
// "Compare with Gateway": reads the gateway's configuration on a worker (upload exchanges only)
// and lists where it differs from the open project, which stays as it is.

#include "core/compare/project_diff.h"
#include "core/document/document.h"
#include "core/link/ethernet/ethernet_transfer.h"
#include "core/link/serial_line_settings.h"
#include "link/transfer_runner.h"

#include <QDialog>

#include <functional>
#include <vector>

class QLabel;
class QPushButton;
class QTreeWidget;

namespace veltrane {

class CompareDialog : public QDialog {
    Q_OBJECT
public:
    // `read` runs on the worker and keeps what it read; `compare` runs on the UI thread after it
    // succeeded and compares what was read with the project.
    using Compare = std::function<std::vector<ProjectDifference>()>;
    CompareDialog(Document& document, TransferJob read, Compare compare, QWidget* parent = nullptr);
    ~CompareDialog() override;

    // The dialog reading an Ethernet gateway's image, or a serial gateway's configuration.
    static CompareDialog* overEthernet(Document& document, const ethernet::GatewayEndpoint& gateway,
                                       QWidget* parent = nullptr);
    static CompareDialog* overSerial(Document& document, const std::string& device, const SerialLineSettings& settings,
                                     QWidget* parent = nullptr);

    // Presses "Compare".
    void start();
    bool isBusy() const { return m_runner.isRunning(); }
    QString statusText() const;
    QTreeWidget* list() const { return m_list; }
    QPushButton* compareButton() const { return m_compare; }
    void showDifferences(const std::vector<ProjectDifference>& differences);

signals:
    void compared();

protected:
    void reject() override;

private:
    void onFinished(const Status& status);

    Document& m_document;
    TransferJob m_read;
    Compare m_compareStep;
    TransferRunner m_runner;
    QLabel* m_status;
    QTreeWidget* m_list;
    QPushButton* m_compare;
};

}  // namespace veltrane

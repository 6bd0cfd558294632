#pragma once
// What the Ethernet "Download" and "Upload" dialogs share: the status line, the action button and
// "Exit", and the runner whose one worker does their TCP work. The runner is stopped before the
// dialog goes, so the worker never outlives what it reports to.

#include "core/document/document.h"
#include "core/link/ethernet/ethernet_transfer.h"
#include "link/transfer_runner.h"

#include <QDialog>

#include <cstdint>

class QLabel;
class QPushButton;

namespace veltrane {

// The string table's ids; its header is not for moc, which cannot read the generated enum.
enum class Str : std::uint16_t;

class EthernetTransferDialog : public QDialog {
    Q_OBJECT
public:
    ~EthernetTransferDialog() override;

    QPushButton* actionButton() const { return m_action; }
    QString statusText() const;
    bool isBusy() const { return m_runner.isRunning(); }

signals:
    void transferFinished();

protected:
    // `action` names the dialog and its button; `prompt` is the first status line.
    EthernetTransferDialog(Document& document, ethernet::GatewayEndpoint gateway, Str action, Str prompt,
                           QWidget* parent);

    // The action button's press.
    virtual void start() = 0;
    // Runs a job on the dialog's worker with the action button disabled; false while one runs.
    bool run(TransferJob job);
    // The job's result, on the UI thread.
    virtual void onFinished(const Status& status) = 0;
    void setStatus(Str text);
    // Shows a failed exchange's message; some failures are silent (an empty message).
    void showFailure(const Status& status);

    Document& m_document;
    const ethernet::GatewayEndpoint m_gateway;
    TransferRunner m_runner;

private:
    QLabel* m_status;
    QPushButton* m_action;
};

}  // namespace veltrane

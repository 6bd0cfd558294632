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
class QProgressBar;
class QPushButton;

namespace veltrane {

// The string table's ids; its header is not for moc, which cannot read the generated enum.
enum class Str : std::uint16_t;

class EthernetTransferDialog : public QDialog {
    Q_OBJECT
public:
    ~EthernetTransferDialog() override;

    QPushButton* actionButton() const { return m_action; }
    QPushButton* cancelButton() const { return m_cancel; }
    QProgressBar* busyIndicator() const { return m_busy; }
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
    // Runs a job on the dialog's worker with the action button disabled, the busy indicator and
    // `busyText` (which names the gateway's address) shown and Cancel offered; false while one runs.
    bool run(TransferJob job, Str busyText);
    // The job's result, on the UI thread, once the busy indicator is gone.
    virtual void onFinished(const Status& status) = 0;
    void setStatus(Str text);
    void setStatusText(const QString& text);
    // The gateway's address in a status text.
    QString aboutGateway(Str text) const;
    // Shows a failed exchange's message in a box and in the status line; some failures are silent
    // (an empty message), and a cancelled job shows nothing but `cancelled` in the status line.
    void showFailure(const Status& status, Str cancelled);

    Document& m_document;
    const ethernet::GatewayEndpoint m_gateway;
    TransferRunner m_runner;

private:
    void afterRun(const Status& status);

    const Str m_prompt;
    QLabel* m_status;
    QProgressBar* m_busy;
    QPushButton* m_action;
    QPushButton* m_cancel;
};

}  // namespace veltrane

#pragma once
// "Download Configuration" and "Upload Configuration" for serial gateways: progress lines with their
// icons, the transfer on a worker thread, its messages. Only the UI thread changes the project:
// an upload is adopted once every exchange has succeeded.

#include <QDialog>
#include <array>
#include <functional>
#include <memory>

#include "core/document/document.h"
#include "core/link/serial/serial_sequence.h"
#include "core/link/serial/serial_upload.h"
#include "core/transfer/link_session.h"
#include "link/transfer_runner.h"

class QCheckBox;
class QLabel;
class QPushButton;

namespace veltrane {

class SerialTransferDialog : public QDialog {
    Q_OBJECT

public:
    enum class Kind { Download, Upload };

    // A download checks the project first; ready() tells whether it may open.
    SerialTransferDialog(Kind kind, Document& document, LinkSession& session, QWidget* parent = nullptr);
    ~SerialTransferDialog() override;

    // False when the dialog refused to open (an incomplete project); the message was shown.
    bool ready() const { return m_ready; }
    // Presses "Download" / "Upload".
    void start();
    bool isRunning() const { return m_runner.isRunning(); }
    QString secondLine() const;
    // Asked before an upload may replace the project (the save question); false keeps it.
    void setReplaceCheck(std::function<bool()> check) { m_replaceCheck = std::move(check); }
    // What the link could not carry, shown below the success line of an upload.
    QString uploadNote() const;
    // "Verify after download"; none in the upload dialog.
    QCheckBox* verifyBox() const { return m_verify; }
    // The port and line settings a start uses.
    QString portLine() const;
    QPushButton* startButton() const { return m_go; }

signals:
    void transferEnded(bool succeeded);

protected:
    void reject() override;  // "Exit" and the title bar: stop a transfer, then close

private:
    void showPortLine();
    void showCaptions(int deviceCode);
    void markDone(const std::vector<int>& lines);
    void onFinished(const Status& result);
    void startTransfer(bool askBeforeReplace);
    bool offerGatewayTypeUpload(const Status& result);

    Kind m_kind;
    Document& m_document;
    LinkSession& m_session;
    bool m_ready = true;
    TransferRunner m_runner;
    std::shared_ptr<serial::SerialSequence> m_sequence;
    QLabel* m_portLine = nullptr;
    QLabel* m_title = nullptr;
    QLabel* m_second = nullptr;
    std::array<QLabel*, serial::kStepLines + serial::kSubnetLines> m_icons{};
    std::array<QLabel*, serial::kStepLines + serial::kSubnetLines> m_captions{};
    QPushButton* m_go = nullptr;
    QLabel* m_note = nullptr;
    std::string m_portName;  // of the transfer running or last run
    std::function<bool()> m_replaceCheck;
    serial::SerialUpload::Base m_uploadBase = serial::SerialUpload::Base::OpenProject;
    QCheckBox* m_verify = nullptr;
    // The read-back after a download with verification; null without.
    std::shared_ptr<serial::SerialUpload> m_readBack;
};

}  // namespace veltrane

#pragma once
// "Download Configuration" and "Upload Configuration" for serial gateways: progress lines with their
// icons, the transfer on a worker thread, its messages. Only the UI thread changes the project:
// an upload is adopted once every exchange has succeeded.

#include <QDialog>
#include <array>
#include <memory>

#include "core/document/document.h"
#include "core/link/serial/serial_sequence.h"
#include "core/transfer/link_session.h"
#include "link/transfer_runner.h"

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
};

}  // namespace veltrane

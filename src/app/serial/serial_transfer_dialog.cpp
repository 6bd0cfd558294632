#include "app/serial/serial_transfer_dialog.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

#include "app/common/qt_text.h"
#include "app/common/verify_after_download.h"
#include "core/compare/gateway_comparison.h"
#include "core/link/serial/serial_download.h"
#include "core/link/serial/serial_transfer.h"
#include "core/link/serial/serial_upload.h"
#include "core/model/project_kind.h"
#include "core/strings/strings.h"
#include "core/transfer/download_checks.h"
#include "core/transfer/upload_adoption.h"
#include "link/gateway_port.h"

namespace veltrane {

namespace {
// Forwards a worker's reports to the dialog on the UI thread; dropped if the dialog is gone.
class QueuedObserver : public serial::SerialTransferObserver {
public:
    QueuedObserver(SerialTransferDialog* dialog, std::function<void(int)> captions,
                   std::function<void(std::vector<int>)> done, Prompter& prompter)
        : m_dialog(dialog), m_captions(std::move(captions)), m_done(std::move(done)), m_prompter(prompter) {}
    void deviceReported(int code) override {
        QMetaObject::invokeMethod(m_dialog, [f = m_captions, code] { f(code); }, Qt::QueuedConnection);
    }
    void linesDone(const std::vector<int>& lines) override {
        QMetaObject::invokeMethod(m_dialog, [f = m_done, lines] { f(lines); }, Qt::QueuedConnection);
    }
    // The transfer waits for OK, as it does for every message.
    void notice(const Error& message) override { m_prompter.message(message.message); }

private:
    SerialTransferDialog* m_dialog;
    std::function<void(int)> m_captions;
    std::function<void(std::vector<int>)> m_done;
    Prompter& m_prompter;
};
}  // namespace

SerialTransferDialog::SerialTransferDialog(Kind kind, Document& document, LinkSession& session, QWidget* parent)
    : QDialog(parent), m_kind(kind), m_document(document), m_session(session), m_runner(document.prompter()) {
    const bool download = kind == Kind::Download;
    setWindowTitle(qtr(download ? Str::DownloadDialogTitle : Str::UploadDialogTitle));
    connect(&m_runner, &TransferRunner::finished, this, &SerialTransferDialog::onFinished);

    m_portLine = new QLabel(this);
    m_title = new QLabel(this);
    m_second = new QLabel(this);
    m_second->setWordWrap(true);
    auto* lines = new QGridLayout;
    for (std::size_t i = 0; i < m_icons.size(); ++i) {
        m_icons[i] = new QLabel(this);
        m_icons[i]->setFixedSize(20, 20);
        m_icons[i]->setPixmap(style()->standardIcon(QStyle::SP_DialogApplyButton).pixmap(16, 16));
        m_icons[i]->hide();
        m_captions[i] = new QLabel(this);
        lines->addWidget(m_icons[i], static_cast<int>(i), 0);
        lines->addWidget(m_captions[i], static_cast<int>(i), 1);
    }
    lines->setColumnStretch(1, 1);
    m_go = new QPushButton(qtr(download ? Str::TransferDownloadButton : Str::TransferUploadButton), this);
    auto* exit = new QPushButton(qtr(Str::TransferExitButton), this);
    connect(m_go, &QPushButton::clicked, this, &SerialTransferDialog::start);
    connect(exit, &QPushButton::clicked, this, &SerialTransferDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_go);
    buttons->addWidget(exit);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_portLine);
    layout->addWidget(m_title);
    layout->addWidget(m_second);
    layout->addLayout(lines);
    m_note = new QLabel(this);
    m_note->setWordWrap(true);
    m_note->hide();
    layout->addWidget(m_note);
    if (download) {
        m_verify = makeVerifyCheckBox(qtr(Str::VerifyAfterDownload), this);
        layout->addWidget(m_verify);
    }
    layout->addStretch();
    layout->addLayout(buttons);
    setMinimumWidth(460);

    showPortLine();
    if (download)
        m_ready = serialDownloadMayOpen(m_document.project(), m_document.state(), m_document.prompter());
}

void SerialTransferDialog::showPortLine() {
    const std::optional<std::string> device = m_session.serialPort.deviceToOpen();
    if (!device) {
        m_portLine->setText(qtr(Str::SerialNoPortChosen));
        return;
    }
    static constexpr std::array<Str, 5> kParityNames{Str::ParityNone, Str::ParityOdd, Str::ParityEven,
                                                     Str::ParityMark, Str::ParitySpace};
    const SerialLineSettings line = m_session.serialPort.lineSettings();
    const auto parity = std::find(serial::kParities.begin(), serial::kParities.end(), line.parity);
    const std::string parityName =
        parity == serial::kParities.end() ? std::string()
                                          : veltrane::tr(kParityNames[static_cast<std::size_t>(parity - serial::kParities.begin())]);
    m_portLine->setText(qformat(Str::SerialPortSettingsLine,
                                {*device, std::to_string(line.baudRate), std::to_string(line.dataBits), parityName,
                                 std::to_string(line.stopBits)}));
}

QString SerialTransferDialog::portLine() const { return m_portLine->text(); }

// The worker reports to this dialog: it ends before anything here goes.
SerialTransferDialog::~SerialTransferDialog() { m_runner.stop(); }

QString SerialTransferDialog::secondLine() const { return m_second->text(); }
QString SerialTransferDialog::uploadNote() const { return m_note->isHidden() ? QString() : m_note->text(); }

void SerialTransferDialog::start() { startTransfer(true); }

void SerialTransferDialog::startTransfer(bool askBeforeReplace) {
    if (m_runner.isRunning())
        return;
    const bool download = m_kind == Kind::Download;
    Prompter& prompter = m_document.prompter();
    if (!download && askBeforeReplace && m_replaceCheck && !m_replaceCheck())
        return;
    if (download &&
        !prepareSerialDownload(m_document.project(), m_document.state(), prompter, m_session.conflicts))
        return;
    showPortLine();  // the choice may have changed since the dialog opened
    const std::optional<std::string> device = m_session.serialPort.deviceToOpen();
    if (!device) {
        prompter.message(veltrane::tr(Str::SerialNoPortChosen));
        return;
    }
    for (std::size_t i = 0; i < m_icons.size(); ++i) {
        m_icons[i]->hide();
        m_captions[i]->clear();
    }
    m_title->setText(qtr(download ? Str::SerialDownloadingTitle : Str::SerialUploadingTitle));
    m_second->setText(qtr(Str::SerialPleaseWait));
    if (download)
        m_sequence = std::make_shared<serial::SerialDownload>(m_document.project(), m_document.state());
    else
        m_sequence = std::make_shared<serial::SerialUpload>(
            m_document.state(), std::exchange(m_uploadBase, serial::SerialUpload::Base::OpenProject));
    m_note->hide();
    m_readBack = download && m_verify->isChecked() ? std::make_shared<serial::SerialUpload>(m_document.state())
                                                   : nullptr;
    m_go->setEnabled(false);
    m_portName = *device;

    auto sequence = m_sequence;
    auto readBack = m_readBack;
    const SerialLineSettings settings = m_session.serialPort.lineSettings();
    auto captions = [this](int code) { showCaptions(code); };
    auto done = [this](std::vector<int> lines) { markDone(lines); };
    m_runner.start([sequence, readBack, device = *device, settings, captions, done,
                    this](TransferContext& context) -> Status {
        // The port is made, used and closed on this worker thread.
        SerialPortStream port;
        if (auto opened = openGatewayPort(port, device, settings); !opened)
            return opened;
        QueuedObserver observer(this, captions, done, context.prompter);
        const auto cancelled = [&context] { return context.progress.isCancelled(); };
        const auto result = serial::runSerialTransfer(*sequence, port, context.clock, observer, cancelled);
        if (!result.status || !readBack || !sequence->finished())
            return result.status;
        // Read back over the same line; its progress is not shown over the download's lines.
        serial::SerialTransferObserver quiet;
        return serial::runSerialTransfer(*readBack, port, context.clock, quiet, cancelled).status;
    });
}

void SerialTransferDialog::showCaptions(int deviceCode) {
    const serial::StepCaptions captions =
        m_kind == Kind::Download ? serial::downloadCaptions(deviceCode) : serial::uploadCaptions(deviceCode);
    for (int i = 0; i < serial::kStepLines; ++i)
        m_captions[static_cast<std::size_t>(i)]->setText(QString::fromStdString(captions.steps[static_cast<std::size_t>(i)]));
    for (int i = 0; i < serial::kSubnetLines; ++i)
        m_captions[static_cast<std::size_t>(serial::kStepLines + i)]->setText(
            QString::fromStdString(captions.subnets[static_cast<std::size_t>(i)]));
}

void SerialTransferDialog::markDone(const std::vector<int>& lines) {
    for (int line : lines)
        if (line >= 0 && static_cast<std::size_t>(line) < m_icons.size())
            m_icons[static_cast<std::size_t>(line)]->show();
}

void SerialTransferDialog::onFinished(const Status& result) {
    m_go->setEnabled(true);
    const bool succeeded = result.ok() && m_sequence && m_sequence->finished();
    if (succeeded) {
        if (m_kind == Kind::Upload) {
            adoptSerialUpload(m_document, static_cast<const serial::SerialUpload&>(*m_sequence), m_portName);
            m_note->setText(toQString(serialUploadNotCarried()));
            m_note->show();
        } else {
            m_document.editor().expandAll();
            if (m_readBack && m_readBack->finished())
                reportReadBack(compareWithSerialGateway(m_document.project(), m_document.state(), *m_readBack),
                               m_document.prompter());
        }
        m_title->clear();
        m_second->setText(qtr(m_kind == Kind::Download ? Str::SerialDownloadSuccess : Str::SerialUploadSuccess));
    } else if (!result.ok()) {
        // "Please wait ..." gives way to what stopped the transfer.
        const bool shown = result.kind() != ErrorKind::Cancelled && !result.message().empty();
        m_second->setText(result.kind() == ErrorKind::Cancelled ? qtr(Str::TransferCancelled)
                                                                : toQString(result.message()));
        if (offerGatewayTypeUpload(result))
            return;
        if (shown)
            m_document.prompter().messageWithDetail(result.message(), result.detail());
    }
    emit transferEnded(succeeded);
}

// A gateway of another serial type than the project's: rather than only refusing, offer to read it
// into a new project of its own type. True when the question was asked (and answered).
bool SerialTransferDialog::offerGatewayTypeUpload(const Status& result) {
    if (m_kind != Kind::Upload || result.ok() || result.kind() != ErrorKind::DeviceMismatch || !m_sequence)
        return false;
    const std::optional<std::int32_t> gatewayType = serialDeviceTypeOfCode(m_sequence->deviceCode());
    if (!gatewayType)
        return false;
    const std::string detail = format(Str::UlMismatchOffer, {deviceTypeDescription(m_document.state().DeviceType),
                                                             deviceTypeDescription(*gatewayType)});
    emit transferEnded(false);
    if (m_document.prompter().askWithDetail(result.message(), detail, Buttons::OkCancel) == Answer::Ok) {
        // The save question was asked when Upload was pressed; the project has not changed since.
        m_uploadBase = serial::SerialUpload::Base::GatewayType;
        startTransfer(false);
    }
    return true;
}

void SerialTransferDialog::reject() {
    // Stops the transfer between exchanges and waits for the worker, which closes the port.
    m_runner.stop();
    QDialog::reject();
}

}  // namespace veltrane

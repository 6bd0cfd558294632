#include "app/ethernet/ethernet_transfer_dialog.h"

#include "app/common/qt_text.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace veltrane {

EthernetTransferDialog::EthernetTransferDialog(Document& document, ethernet::GatewayEndpoint gateway, Str action,
                                               Str prompt, QWidget* parent)
    : QDialog(parent), m_document(document), m_gateway(std::move(gateway)), m_runner(document.prompter()),
      m_prompt(prompt) {
    setWindowTitle(qtr(action));
    m_status = new QLabel(qtr(prompt), this);
    m_status->setWordWrap(true);
    m_status->setMinimumWidth(360);
    // Moves while a job runs: the wire gives no measure of how far a transfer got.
    m_busy = new QProgressBar(this);
    m_busy->setRange(0, 0);
    m_busy->setTextVisible(false);
    m_busy->hide();
    m_action = new QPushButton(qtr(action), this);
    m_cancel = new QPushButton(qtr(Str::ButtonCancel), this);
    m_cancel->setEnabled(false);
    auto* exit = new QPushButton(qtr(Str::EthExit), this);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_action);
    buttons->addWidget(m_cancel);
    buttons->addWidget(exit);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_status);
    layout->addWidget(m_busy);
    layout->addLayout(buttons);
    connect(exit, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_action, &QPushButton::clicked, this, &EthernetTransferDialog::start);
    // The job sees the request between its waits and ends with a Cancelled result.
    connect(m_cancel, &QPushButton::clicked, this, [this] {
        m_cancel->setEnabled(false);
        m_runner.cancel();
    });
    connect(&m_runner, &TransferRunner::finished, this, &EthernetTransferDialog::afterRun);
}

EthernetTransferDialog::~EthernetTransferDialog() { m_runner.stop(); }

QString EthernetTransferDialog::statusText() const { return m_status->text(); }

bool EthernetTransferDialog::run(TransferJob job, Str busyText) {
    if (!m_runner.start(std::move(job)))
        return false;
    m_action->setEnabled(false);
    setStatusText(aboutGateway(busyText));
    m_busy->show();
    m_cancel->setEnabled(true);
    return true;
}

void EthernetTransferDialog::afterRun(const Status& status) {
    m_busy->hide();
    m_cancel->setEnabled(false);
    onFinished(status);
}

void EthernetTransferDialog::setStatus(Str text) { setStatusText(qtr(text)); }

void EthernetTransferDialog::setStatusText(const QString& text) { m_status->setText(text); }

QString EthernetTransferDialog::aboutGateway(Str text) const { return qformat(text, {m_gateway.address}); }

void EthernetTransferDialog::showFailure(const Status& status, Str cancelled) {
    if (status)
        return;
    if (status.kind() == ErrorKind::Cancelled) {
        setStatus(cancelled);
        return;
    }
    if (status.message().empty()) {
        setStatus(m_prompt);
        return;
    }
    setStatusText(QString::fromStdString(status.message()));
    m_document.prompter().messageWithDetail(status.message(), status.detail());
}

}  // namespace veltrane

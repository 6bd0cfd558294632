#include "app/ethernet/ethernet_transfer_dialog.h"

#include "app/common/qt_text.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace veltrane {

EthernetTransferDialog::EthernetTransferDialog(Document& document, ethernet::GatewayEndpoint gateway, Str action,
                                               Str prompt, QWidget* parent)
    : QDialog(parent), m_document(document), m_gateway(std::move(gateway)), m_runner(document.prompter()) {
    setWindowTitle(qtr(action));
    m_status = new QLabel(qtr(prompt), this);
    m_action = new QPushButton(qtr(action), this);
    auto* exit = new QPushButton(qtr(Str::EthExit), this);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_action);
    buttons->addWidget(exit);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_status);
    layout->addLayout(buttons);
    connect(exit, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_action, &QPushButton::clicked, this, &EthernetTransferDialog::start);
    connect(&m_runner, &TransferRunner::finished, this, &EthernetTransferDialog::onFinished);
}

EthernetTransferDialog::~EthernetTransferDialog() { m_runner.stop(); }

QString EthernetTransferDialog::statusText() const { return m_status->text(); }

bool EthernetTransferDialog::run(TransferJob job) {
    if (!m_runner.start(std::move(job)))
        return false;
    m_action->setEnabled(false);
    return true;
}

void EthernetTransferDialog::setStatus(Str text) { m_status->setText(qtr(text)); }

void EthernetTransferDialog::showFailure(const Status& status) {
    if (!status && !status.message().empty())
        m_document.prompter().message(status.message());
}

}  // namespace veltrane

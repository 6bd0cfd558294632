#include "app/ethernet/ethernet_connection_dialog.h"

#include "app/common/qt_text.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QVBoxLayout>

namespace veltrane {

EthernetConnectionDialog::EthernetConnectionDialog(ethernet::GatewaySelection& selection, QWidget* parent)
    : QDialog(parent), m_selection(selection) {
    setWindowTitle(qtr(Str::EthConnectionTitle));
    m_useSearch = new QCheckBox(qtr(Str::EthUseSearch), this);
    m_address = new QLineEdit(this);
    m_address->setInputMask(QStringLiteral("000.000.000.000;_"));
    m_useSearch->setChecked(!selection.DirectAddressMode);
    m_address->setEnabled(selection.DirectAddressMode);
    if (selection.DirectAddressMode)
        m_address->setText(toQString(selection.GatewayAddress));
    connect(m_useSearch, &QCheckBox::toggled, m_address, [this](bool on) { m_address->setEnabled(!on); });
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_useSearch);
    layout->addWidget(m_address);
    layout->addWidget(buttons);
}

void EthernetConnectionDialog::accept() {
    // An empty address control reads 0.0.0.0, as the classic IP address control does.
    QStringList parts = m_address->text().split(QLatin1Char('.'));
    for (QString& part : parts)
        part = QString::number(part.trimmed().toInt());
    ethernet::applyEthernetConnection(m_selection, m_useSearch->isChecked(), parts.join(QLatin1Char('.')).toStdString());
    QDialog::accept();
}

}  // namespace veltrane

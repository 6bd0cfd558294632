#include "app/serial/serial_port_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "app/common/qt_text.h"
#include "core/strings/strings.h"

namespace veltrane {

namespace {
QComboBox* comboOf(const QStringList& items, int index, QWidget* parent) {
    auto* combo = new QComboBox(parent);
    combo->addItems(items);
    combo->setCurrentIndex(index >= 0 && index < combo->count() ? index : -1);
    return combo;
}
}  // namespace

SerialPortDialog::SerialPortDialog(serial::SerialPortChoice& choice, int deviceType, QWidget* parent)
    : QDialog(parent), m_choice(choice) {
    m_choice.applyFirstBaudDefault(deviceType);
    setWindowTitle(qtr(Str::PortDialogTitle));

    QStringList ports;
    for (const serial::SerialPortEntry& entry : m_choice.SerialPortList)
        ports << QString::fromStdString(entry.label);
    QStringList bauds;
    for (int rate : serial::kBaudRates)
        bauds << QString::number(rate);
    const QStringList parities{qtr(Str::ParityNone), qtr(Str::ParityOdd), qtr(Str::ParityEven),
                               qtr(Str::ParityMark), qtr(Str::ParitySpace)};

    m_port = comboOf(ports, m_choice.SerialPortIndex, this);
    m_device = new QLineEdit(this);
    m_device->setPlaceholderText(QStringLiteral("/dev/ttyUSB0, /dev/pts/3 ..."));
    const auto listed = [this](int index) -> QString {
        return index >= 0 && static_cast<std::size_t>(index) < m_choice.SerialPortList.size()
                   ? QString::fromStdString(m_choice.SerialPortList[static_cast<std::size_t>(index)].device)
                   : QString();
    };
    // The list shows a port only beside its own device: a typed path that is no listed port leaves
    // the list blank, and typing a listed port's path selects it.
    const auto showListedFor = [this](const QString& path) {
        int index = -1;
        for (std::size_t i = 0; i < m_choice.SerialPortList.size(); ++i)
            if (QString::fromStdString(m_choice.SerialPortList[i].device) == path.trimmed())
                index = static_cast<int>(i);
        const QSignalBlocker quiet(m_port);
        m_port->setCurrentIndex(index);
    };
    if (m_choice.SerialPortPath.empty()) {
        m_device->setText(listed(m_port->currentIndex()));
    } else {
        m_device->setText(QString::fromStdString(m_choice.SerialPortPath));
        showListedFor(m_device->text());
    }
    connect(m_port, &QComboBox::currentIndexChanged, this, [this, listed](int index) { m_device->setText(listed(index)); });
    connect(m_device, &QLineEdit::textEdited, this, showListedFor);
    m_baud = comboOf(bauds, m_choice.BaudRateIndex, this);
    m_parity = comboOf(parities, m_choice.ParityIndex, this);
    m_dataBits = comboOf({"8", "7", "6", "5"}, m_choice.DataBitsIndex, this);
    m_stopBits = comboOf({"1", "2"}, m_choice.StopBitsIndex, this);

    auto* form = new QFormLayout;
    form->addRow(qtr(Str::PortDialogPort), m_port);
    form->addRow(qtr(Str::PortDialogDevice), m_device);
    form->addRow(qtr(Str::PortDialogBaudrate), m_baud);
    form->addRow(qtr(Str::PortDialogParity), m_parity);
    form->addRow(qtr(Str::PortDialogDataBits), m_dataBits);
    form->addRow(qtr(Str::PortDialogStopBit), m_stopBits);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

void SerialPortDialog::accept() {
    m_choice.SerialPortIndex = m_port->currentIndex();
    m_choice.BaudRateIndex = m_baud->currentIndex();
    m_choice.ParityIndex = m_parity->currentIndex();
    m_choice.DataBitsIndex = m_dataBits->currentIndex();
    m_choice.StopBitsIndex = m_stopBits->currentIndex();
    // A typed path (a pseudo-terminal, say) wins; the listed device is opened by its own entry.
    const std::string typed = m_device->text().trimmed().toStdString();
    const bool isListed = m_choice.SerialPortIndex >= 0 &&
                          static_cast<std::size_t>(m_choice.SerialPortIndex) < m_choice.SerialPortList.size() &&
                          m_choice.SerialPortList[static_cast<std::size_t>(m_choice.SerialPortIndex)].device == typed;
    m_choice.SerialPortPath = isListed ? std::string() : typed;
    m_choice.SerialPortConfigured = true;
    QDialog::accept();
}

}  // namespace veltrane

#pragma once
// "Serial Port Configuration": the port and its line settings for gateway transfers.

#include <QDialog>

#include "core/link/serial/serial_port_choice.h"

class QComboBox;
class QLineEdit;

namespace veltrane {

class SerialPortDialog : public QDialog {
    Q_OBJECT

public:
    // Applies the one-time baud default of the device type, then shows the stored choice.
    SerialPortDialog(serial::SerialPortChoice& choice, int deviceType, QWidget* parent = nullptr);

    void accept() override;

    QComboBox* portBox() const { return m_port; }
    QLineEdit* deviceEdit() const { return m_device; }

private:
    serial::SerialPortChoice& m_choice;
    QComboBox* m_port = nullptr;
    QLineEdit* m_device = nullptr;
    QComboBox* m_baud = nullptr;
    QComboBox* m_parity = nullptr;
    QComboBox* m_dataBits = nullptr;
    QComboBox* m_stopBits = nullptr;
};

}  // namespace veltrane

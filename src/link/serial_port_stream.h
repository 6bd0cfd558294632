#pragma once
// A serial port behind ByteStream, for the gateway's configuration line and the debug monitor.
//
// Threading: create, use and destroy a SerialPortStream on one thread, the transfer's worker
// thread. It works in Qt's blocking style (waitForReadyRead / waitForBytesWritten) and needs no
// event loop; never use it on the UI thread, whose window would freeze during the waits, and never
// hand it to another thread, since the Qt port underneath belongs to the thread that made it.

#include <QSerialPort>
#include <optional>
#include <string>

#include "core/link/serial_line_settings.h"
#include "core/link/transport/byte_stream.h"

namespace veltrane {

class SerialPortStream : public ByteStream {
public:
    SerialPortStream() = default;
    ~SerialPortStream() override { close(); }

    // Opens a device exclusively by path (/dev/ttyUSB0, a pseudo-terminal such as /dev/pts/3) or
    // by name (ttyS0), applies the line settings and drops anything queued in either direction.
    Status open(const std::string& device, const SerialLineSettings& settings);
    void close();
    bool isOpen() const { return m_port.isOpen(); }
    const std::string& device() const { return m_device; }
    // Why the last open() failed, when the system said (no permission, busy, missing); the
    // error's message is then this reason alone.
    const std::optional<std::string>& openFailureReason() const { return m_openFailureReason; }

    Result<std::size_t> bytesWaiting() override;
    Result<Bytes> read(std::size_t maxBytes) override;
    Status write(const Bytes& bytes) override;
    Status discardInput() override;
    void clearError() override;
    int baudRate() const override { return m_baudRate; }

private:
    QSerialPort m_port;
    std::string m_device;
    std::optional<std::string> m_openFailureReason;
    int m_baudRate = 19200;
};

}  // namespace veltrane

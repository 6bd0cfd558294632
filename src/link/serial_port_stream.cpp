#include "link/serial_port_stream.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include "core/strings/strings.h"

namespace veltrane {

namespace {

QSerialPort::Parity toQt(Parity parity) {
    switch (parity) {
    case Parity::None: return QSerialPort::NoParity;
    case Parity::Odd: return QSerialPort::OddParity;
    case Parity::Even: return QSerialPort::EvenParity;
    case Parity::Mark: return QSerialPort::MarkParity;
    case Parity::Space: return QSerialPort::SpaceParity;
    }
    return QSerialPort::NoParity;
}

// Unix98 pseudo-terminal slaves (/dev/pts/N) have majors 136 to 143.
bool isPseudoTerminal(const std::string& device) {
    struct stat info {};
    if (::stat(device.c_str(), &info) != 0 || !S_ISCHR(info.st_mode))
        return false;
    return major(info.st_rdev) >= 136 && major(info.st_rdev) <= 143;
}

bool applySettings(QSerialPort& port, const SerialLineSettings& s, bool pseudoTerminal) {
    if (s.dataBits < 5 || s.dataBits > 8 || (s.stopBits != 1 && s.stopBits != 2) || s.baudRate <= 0)
        return false;
    if (!port.setBaudRate(s.baudRate) || !port.setStopBits(s.stopBits == 1 ? QSerialPort::OneStop : QSerialPort::TwoStop))
        return false;
    // The kernel keeps a pseudo-terminal at 8 bits without parity, whatever is asked; bytes pass
    // through it unframed, so the refusal changes nothing on the line.
    const bool framing = port.setDataBits(static_cast<QSerialPort::DataBits>(s.dataBits)) && port.setParity(toQt(s.parity));
    if (!framing && pseudoTerminal) {
        port.clearError();
        return true;
    }
    return framing;
}

// Why the path itself cannot be used (an errno value), 0 when it names something that exists or
// simply does not exist.
int pathFailure(const std::string& device) {
    struct stat info {};
    if (::stat(device.c_str(), &info) == 0 || errno == ENOENT)
        return 0;
    return errno;
}

Error portError(const QSerialPort& port, Str id) {
    return makeError(ErrorKind::Io, format(id, {port.errorString().toStdString()}));
}

}  // namespace

Status SerialPortStream::open(const std::string& device, const SerialLineSettings& settings) {
    close();
    m_device = device;
    m_port.setPortName(QString::fromStdString(device));
    m_openFailureReason.reset();
    if (!m_port.open(QIODevice::ReadWrite)) {
        const auto error = m_port.error();
        m_port.clearError();
        // Qt folds some causes (a name too long, a path through a file) into its permission or
        // not-found errors; the system's own reason for the path comes first, so that the
        // dialout hint is only given to a device that exists and may not be opened.
        if (const int cause = pathFailure(device); cause != 0) {
            m_openFailureReason = format(Str::SerialPortSystemError, {device, std::strerror(cause)});
            return makeError(ErrorKind::Io, *m_openFailureReason);
        }
        switch (error) {
        case QSerialPort::PermissionError:
            // Serial devices belong to the dialout group; a user outside it gets this every time.
            m_openFailureReason = format(Str::SerialPortPermissionDenied, {device});
            break;
        case QSerialPort::DeviceNotFoundError:
            m_openFailureReason = format(Str::SerialPortNotFound, {device});
            break;
        case QSerialPort::OpenError:
            m_openFailureReason = format(Str::SerialPortBusy, {device});
            break;
        default:
            return makeError(ErrorKind::Io, format(Str::SerialPortOpenFailed, {device}));
        }
        return makeError(ErrorKind::Io, *m_openFailureReason);
    }
    if (!applySettings(m_port, settings, isPseudoTerminal(device))) {
        m_port.close();
        return makeError(ErrorKind::LineSettings, tr(Str::SerialSettingError));
    }
    m_baudRate = settings.baudRate;
    // Gateways' configuration ports expect DTR and RTS raised, as most adapters leave them. A
    // pseudo-terminal has no control lines at all, so a refusal here is not a failure.
    m_port.setDataTerminalReady(true);
    m_port.setRequestToSend(true);
    m_port.clearError();
    m_port.clear(QSerialPort::AllDirections);
    m_port.clearError();
    return {};
}

void SerialPortStream::close() {
    if (m_port.isOpen())
        m_port.close();
}

Result<std::size_t> SerialPortStream::bytesWaiting() {
    if (!m_port.isOpen())
        return makeError(ErrorKind::Io, tr(Str::SerialPortNotOpen));
    // Without an event loop Qt moves received bytes into the port's buffer only while it waits;
    // a wait of 0 ms does that without blocking.
    m_port.waitForReadyRead(0);
    const auto error = m_port.error();
    if (error != QSerialPort::NoError && error != QSerialPort::TimeoutError) {
        Error failure = portError(m_port, Str::SerialReadFailed);
        m_port.clearError();
        if (error == QSerialPort::ResourceError)
            return failure;  // the device went away
    }
    m_port.clearError();
    return static_cast<std::size_t>(m_port.bytesAvailable());
}

Result<Bytes> SerialPortStream::read(std::size_t maxBytes) {
    if (!m_port.isOpen())
        return makeError(ErrorKind::Io, tr(Str::SerialPortNotOpen));
    const QByteArray data = m_port.read(static_cast<qint64>(maxBytes));
    if (data.isEmpty() && m_port.error() == QSerialPort::ResourceError) {
        Error failure = portError(m_port, Str::SerialReadFailed);
        m_port.clearError();
        return failure;
    }
    return Bytes(data.begin(), data.end());
}

Status SerialPortStream::write(const Bytes& bytes) {
    if (!m_port.isOpen())
        return makeError(ErrorKind::Io, tr(Str::SerialPortNotOpen));
    const QByteArray data(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
    if (m_port.write(data) != data.size()) {
        Error failure = portError(m_port, Str::SerialWriteFailed);
        m_port.clearError();
        return failure;
    }
    // Twice the time the bytes take on the line at 11 bits each, and never less than a second.
    const qint64 lineMs = static_cast<qint64>(bytes.size()) * 11 * 1000 / std::max(m_baudRate, 1);
    const int boundMs = static_cast<int>(std::max<qint64>(1000, 2 * lineMs));
    while (m_port.bytesToWrite() > 0) {
        if (!m_port.waitForBytesWritten(boundMs)) {
            Error failure = portError(m_port, Str::SerialWriteFailed);
            m_port.clearError();
            return failure;
        }
    }
    return {};
}

Status SerialPortStream::discardInput() {
    if (!m_port.isOpen())
        return makeError(ErrorKind::Io, tr(Str::SerialPortNotOpen));
    m_port.waitForReadyRead(0);
    m_port.readAll();
    m_port.clear(QSerialPort::Input);
    m_port.clearError();
    return {};
}

void SerialPortStream::clearError() { m_port.clearError(); }

}  // namespace veltrane

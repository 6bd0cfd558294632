#include "core/debug/debug_report.h"

#include "core/common/wire_order.h"
#include "core/strings/strings.h"

namespace veltrane {

namespace {
constexpr std::size_t kHeaderSize = 8;
constexpr std::size_t kFixedBody = kEthernetReportFixedSize - kHeaderSize;
// An exception's code is the last byte of a 32-bit field right after the fixed part.
constexpr std::size_t kExceptionFieldSize = 4;
constexpr std::size_t kSerialFixedSize = 5;
constexpr std::size_t kSerialExceptionSize = 6;

Error malformed(Str what) { return makeError(ErrorKind::MalformedReply, tr(what)); }
}  // namespace

Bytes DebugReport::encodeEthernet() const {
    const bool exception = status == report_status::Exception;
    const std::size_t dataSize = exception ? kExceptionFieldSize : data.size();
    Bytes out;
    out.reserve(kEthernetReportFixedSize + dataSize);
    wire::append32(out, kDebugReportCode);
    wire::append32(out, static_cast<std::uint32_t>(kFixedBody + dataSize));
    wire::append32(out, subnet);
    wire::append32(out, status);
    wire::append16(out, slave);
    wire::append16(out, start);
    if (exception)
        wire::append32(out, exceptionCode);
    else
        out.insert(out.end(), data.begin(), data.end());
    return out;
}

Bytes DebugReport::encodeSerial() const {
    Bytes out{status, slave};
    wire::append16(out, start);
    if (status == report_status::Exception) {
        out.push_back(1);
        out.push_back(exceptionCode);
        return out;
    }
    out.push_back(static_cast<std::uint8_t>(data.size()));
    out.insert(out.end(), data.begin(), data.end());
    return out;
}

Result<DebugReport> DebugReport::decodeEthernet(ByteView datagram) {
    if (datagram.size() < kEthernetReportFixedSize)
        return malformed(Str::DebugReportTooShort);
    if (datagram.size() > kEthernetReportMaxSize)
        return malformed(Str::DebugReportTooLong);
    // The whole 32-bit length is read, not only its low byte, so a body of 256 bytes or more
    // cannot pass for a short one.
    if (wire::get32(datagram, 4) != datagram.size() - kHeaderSize)
        return malformed(Str::DebugReportLengthMismatch);
    DebugReport report;
    report.subnet = datagram[11];
    report.status = datagram[15];
    report.slave = datagram[17];
    report.start = wire::get16(datagram, 18);
    const ByteView rest = datagram.subspan(kEthernetReportFixedSize);
    if (report.status == report_status::Exception) {
        if (rest.size() < kExceptionFieldSize)
            return malformed(Str::DebugExceptionWithoutCode);
        report.exceptionCode = rest[kExceptionFieldSize - 1];
    } else {
        report.data.assign(rest.begin(), rest.end());
    }
    return report;
}

std::size_t DebugReport::serialReportSize(ByteView bytes) {
    if (bytes.empty())
        return 0;
    switch (bytes[0]) {
    case report_status::Exception:
        return kSerialExceptionSize;
    case report_status::Correct:
    case report_status::Error:
    case report_status::Timeout:
        return bytes.size() < kSerialFixedSize ? 0 : kSerialFixedSize + bytes[4];
    default:
        return 0;
    }
}

Result<DebugReport> DebugReport::decodeSerial(ByteView bytes) {
    if (bytes.empty())
        return malformed(Str::DebugReportEmpty);
    if (bytes.size() > kSerialReportMaxSize)
        return malformed(Str::DebugReportTooLong);
    DebugReport report;
    report.status = bytes[0];
    const std::size_t size = serialReportSize(bytes);
    if (size == 0) {
        // Idle and unknown reports have no fixed layout; only their status matters.
        if (report.status == report_status::Correct || report.status == report_status::Error ||
            report.status == report_status::Timeout)
            return malformed(Str::DebugReportTooShort);
        return report;
    }
    if (bytes.size() != size)
        return malformed(bytes.size() < size ? Str::DebugReportTooShort : Str::DebugReportTooLong);
    report.slave = bytes[1];
    report.start = wire::get16(bytes, 2);
    if (report.status == report_status::Exception)
        report.exceptionCode = bytes[5];
    else
        report.data.assign(bytes.begin() + kSerialFixedSize, bytes.end());
    return report;
}

}  // namespace veltrane

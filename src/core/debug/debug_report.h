#pragma once
// A gateway's report on one Modbus command it sent on a subnet: the outcome and the answer's data.
// Reports come from the network or a serial line and are untrusted: decoding refuses anything that
// does not have the exact layout, and never reads past the bytes it was given.

#include "core/common/result.h"
#include "core/debug/debug_transport.h"

#include <cstdint>

namespace veltrane {

namespace report_status {
inline constexpr std::uint8_t Correct = 0;
inline constexpr std::uint8_t Exception = 1;
inline constexpr std::uint8_t Error = 2;
inline constexpr std::uint8_t Timeout = 3;
inline constexpr std::uint8_t Idle = 0xFF;  // serial only: acknowledged, never shown
}  // namespace report_status

// Ethernet reports are read into a buffer of this size; the gateway never sends more.
inline constexpr std::size_t kEthernetReportMaxSize = 300;
// A serial report is at most status, slave, address, count and 255 data bytes.
inline constexpr std::size_t kSerialReportMaxSize = 5 + 255;
// The fixed part of an Ethernet report: header, subnet, status, slave and address fields.
inline constexpr std::size_t kEthernetReportFixedSize = 20;
// The code in an Ethernet report's header. The tool never looks at it.
inline constexpr std::uint32_t kDebugReportCode = 0x0F;

struct DebugReport {
    std::uint8_t status = report_status::Correct;
    std::uint8_t subnet = 0;  // 0-based; Ethernet only, serial reports do not name their subnet
    std::uint8_t slave = 0;
    std::uint16_t start = 0;         // the command's starting address
    std::uint8_t exceptionCode = 0;  // status Exception only
    Bytes data;                      // the answer's data bytes; empty with status Exception

    // Ethernet layout: header (code, body length 12 + n), then 32-bit subnet index, 32-bit status,
    // 16-bit slave, 16-bit starting address and n data bytes; an exception carries its code as
    // 4 data bytes.
    Bytes encodeEthernet() const;
    // Serial layout: status, slave, address (2), then n and n data bytes; an exception instead has
    // 01 and its code.
    Bytes encodeSerial() const;

    static Result<DebugReport> decodeEthernet(ByteView datagram);
    // One whole report, as cut from the byte stream (see SerialReportAssembler).
    static Result<DebugReport> decodeSerial(ByteView bytes);
    // The size of the serial report that `bytes` begins with, or 0 when it cannot be told (yet):
    // too few bytes, or a status whose layout is not fixed.
    static std::size_t serialReportSize(ByteView bytes);

    friend bool operator==(const DebugReport&, const DebugReport&) = default;
};

}  // namespace veltrane

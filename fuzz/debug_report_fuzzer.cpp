// Feeds arbitrary bytes to the debug monitor's side of the link: the report decoders, the serial
// report assembler, the monitor itself over Ethernet and serial, and the "Send" check. Nothing may
// crash; accepted reports survive their own encoding, the assembler hands on exactly the bytes it
// was given, the monitor shows only the gateway's reports and never more rows than its history
// holds, and an accepted write stays inside the output buffer.

#include "core/debug/debug_monitor.h"
#include "core/debug/debug_report.h"
#include "core/debug/send_validation.h"
#include "core/debug/serial_report_assembler.h"
#include "core/mapping/buffer_layout.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <string_view>

using namespace veltrane;

namespace {
#define check(condition) checkAt((condition), __LINE__)
void checkAt(bool condition, int line) {
    if (condition)
        return;
    std::fprintf(stderr, "debug_report_fuzzer: check at line %d failed\n", line);
    std::abort();
}

// Cuts the input into pieces whose sizes the input chooses: each piece is preceded by its length.
template <class Piece>
void inPieces(ByteView bytes, Piece piece) {
    std::size_t at = 0;
    while (at < bytes.size()) {
        const std::uint8_t control = bytes[at++];
        const std::size_t size = std::min<std::size_t>(bytes.size() - at, control & 0x7F);
        piece(bytes.subspan(at, size), control >> 7 != 0);
        at += size;
    }
}

void roundTrips(ByteView bytes) {
    if (const auto ethernet = DebugReport::decodeEthernet(bytes)) {
        const auto again = DebugReport::decodeEthernet(ethernet->encodeEthernet());
        check(again && *again == *ethernet);
    }
    if (const auto serial = DebugReport::decodeSerial(bytes)) {
        const auto again = DebugReport::decodeSerial(serial->encodeSerial());
        check(again && *again == *serial);
    }
}

void assemblerKeepsEveryByte(ByteView bytes) {
    SerialReportAssembler assembler;
    Bytes handedOn;
    inPieces(bytes, [&](ByteView piece, bool) {
        for (const Bytes& report : assembler.feed(piece)) {
            check(!report.empty());
            handedOn.insert(handedOn.end(), report.begin(), report.end());
        }
    });
    const Bytes rest = assembler.flush();
    handedOn.insert(handedOn.end(), rest.begin(), rest.end());
    check(!assembler.pending());
    // Only the length bytes of inPieces are not fed.
    Bytes fed;
    inPieces(bytes, [&](ByteView piece, bool) { fed.insert(fed.end(), piece.begin(), piece.end()); });
    check(handedOn == fed);
}

void monitorsStayBounded(ByteView bytes) {
    const std::size_t history = bytes.empty() ? 1 : 1 + bytes[0] % 8;
    const Ipv4Endpoint gateway{0x7F000002, 18802};
    const Ipv4Endpoint stranger{0x7F000009, 18802};
    DebugMonitor ethernet = DebugMonitor::ethernet(gateway, history);
    inPieces(bytes, [&](ByteView datagram, bool fromStranger) {
        const MonitorStep step = ethernet.receiveDatagram(datagram, fromStranger ? stranger : gateway);
        check((step.outcome == MonitorStep::Outcome::Foreign) == fromStranger);
        if (step.outcome == MonitorStep::Outcome::Shown)
            check(step.row.has_value() && step.report.has_value());
        check(ethernet.rows().size() <= history);
    });
    const MonitorCounts& counts = ethernet.counts();
    check(counts.shown <= counts.acknowledged);

    DebugMonitor serial = DebugMonitor::serial(history);
    inPieces(bytes, [&](ByteView piece, bool quiet) {
        for (const MonitorStep& step : serial.receiveSerial(piece))
            check(step.outcome != MonitorStep::Outcome::Foreign);
        if (quiet)
            (void)serial.serialQuiet();
        check(serial.rows().size() <= history);
    });
}

void sendStaysInTheOutputBuffer(ByteView bytes) {
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    const std::size_t cut = std::min<std::size_t>(text.size(), 4);
    for (DebugTransport transport : {DebugTransport::Ethernet, DebugTransport::Serial}) {
        const auto payload = validateSend(text.substr(0, cut), text.substr(cut), transport);
        if (!payload)
            continue;
        check(!payload->data.empty());
        check(payload->address >= kOutputBufferFirst);
        check(payload->address + static_cast<std::int64_t>(payload->data.size()) - 1 <= kOutputBufferLast);
        if (transport == DebugTransport::Serial)
            check(payload->data.size() <= kSerialWriteMaxBytes);
    }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const ByteView bytes(data, size);
    roundTrips(bytes);
    assemblerKeepsEveryByte(bytes);
    monitorsStayBounded(bytes);
    sendStaysInTheOutputBuffer(bytes);
    return 0;
}

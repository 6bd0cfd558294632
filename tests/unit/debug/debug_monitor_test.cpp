#include "core/debug/debug_monitor.h"

#include "support/hex_bytes.h"

#include <gtest/gtest.h>

using namespace veltrane;
using veltrane::testing::hexBytes;
using veltrane::testing::hexText;
using Outcome = MonitorStep::Outcome;

namespace {

const Ipv4Endpoint kGateway{0x7F000002, kDebugGatewayPort};
const char* const kAck = "00 00 00 10 00 00 00 04 00 00 00 00";

Bytes ethernetReport(std::uint8_t status, std::uint16_t start = 0) {
    return DebugReport{status, 0, 1, start, 2, {0x01, 0x02}}.encodeEthernet();
}

TEST(DebugMonitor, AnswersEveryKnownReportAndNothingElse) {
    DebugMonitor monitor = DebugMonitor::ethernet(kGateway);
    EXPECT_EQ(hexText(monitor.startMessage()), "00 00 00 0E 00 00 00 08 EA EA EA EA 00 00 00 00");
    EXPECT_EQ(hexText(monitor.stopMessage()), "00 00 00 0E 00 00 00 08 F0 F0 F0 F0 00 00 00 00");

    for (std::uint8_t status = 0; status <= 3; ++status) {
        const MonitorStep step = monitor.receiveDatagram(ethernetReport(status), kGateway);
        EXPECT_EQ(step.outcome, Outcome::Shown);
        EXPECT_EQ(hexText(step.reply), kAck);
        EXPECT_FALSE(step.saveText.empty());
    }

    const std::pair<Bytes, Ipv4Endpoint> dropped[] = {
        {ethernetReport(4), kGateway},
        {ethernetReport(0xFF), kGateway},
        {hexBytes("00 00 00 0F 00 00 00 0C 00 00"), kGateway},
        {ethernetReport(0), Ipv4Endpoint{0x7F000003, kDebugGatewayPort}},  // another host
        {ethernetReport(0), Ipv4Endpoint{kGateway.address, 18801}},         // another port of the gateway
    };
    for (const auto& [bytes, sender] : dropped) {
        const MonitorStep step = monitor.receiveDatagram(bytes, sender);
        EXPECT_NE(step.outcome, Outcome::Shown);
        EXPECT_TRUE(step.reply.empty());
        EXPECT_TRUE(step.saveText.empty());
        EXPECT_FALSE(step.report);
    }
    EXPECT_EQ(monitor.rows().size(), 4u);
    const MonitorCounts& counts = monitor.counts();
    EXPECT_EQ(counts.acknowledged, 4u);
    EXPECT_EQ(counts.ignored, 2u);
    EXPECT_EQ(counts.malformed, 1u);
    EXPECT_EQ(counts.foreign, 2u);
}

TEST(DebugMonitor, KeepsTheNewestRowsAndSaysHowManyWereDropped) {
    DebugMonitor monitor = DebugMonitor::ethernet(kGateway, 150);
    for (std::uint16_t i = 0; i < 150; ++i)
        EXPECT_EQ(monitor.receiveDatagram(ethernetReport(0, i), kGateway).droppedRows, 0u);
    // The 151st and later reports push the oldest rows out instead of emptying the list.
    const MonitorStep step = monitor.receiveDatagram(ethernetReport(0, 150), kGateway);
    EXPECT_EQ(step.droppedRows, 1u);
    monitor.receiveDatagram(ethernetReport(0, 151), kGateway);
    ASSERT_EQ(monitor.rows().size(), 150u);
    EXPECT_EQ(monitor.rows().front().start, "2");
    EXPECT_EQ(monitor.rows().back().start, "151");
}

TEST(DebugMonitor, PausedReportsAreStillAnsweredAndSaved) {
    DebugMonitor monitor = DebugMonitor::ethernet(kGateway);
    monitor.receiveDatagram(ethernetReport(0), kGateway);
    monitor.setPaused(true);
    const MonitorStep step = monitor.receiveDatagram(ethernetReport(2), kGateway);
    EXPECT_EQ(step.outcome, Outcome::Acknowledged);
    EXPECT_FALSE(step.row);
    EXPECT_EQ(hexText(step.reply), kAck);
    EXPECT_NE(step.saveText.find("Response Error"), std::string::npos);
    EXPECT_EQ(monitor.rows().size(), 1u);  // the list keeps its rows while paused

    monitor.setPaused(false);  // and starts afresh on resuming
    EXPECT_TRUE(monitor.rows().empty());
    EXPECT_EQ(monitor.receiveDatagram(ethernetReport(0), kGateway).outcome, Outcome::Shown);
}

TEST(DebugMonitor, PendingWriteReplacesTheNextAcknowledgementOnly) {
    DebugMonitor monitor = DebugMonitor::ethernet(kGateway);
    ASSERT_TRUE(monitor.queueWrite({0x4000, {0x00, 0x01, 0x02, 0x03}}).ok());
    // Reports that are not answered leave the write waiting.
    EXPECT_TRUE(monitor.receiveDatagram(ethernetReport(9), kGateway).reply.empty());
    EXPECT_TRUE(monitor.receiveDatagram(ethernetReport(0), Ipv4Endpoint{1, 2}).reply.empty());
    EXPECT_TRUE(monitor.writePending());

    const MonitorStep written = monitor.receiveDatagram(ethernetReport(0), kGateway);
    EXPECT_TRUE(written.wroteData);
    EXPECT_EQ(hexText(written.reply), "00 00 00 10 00 00 00 0A 00 00 00 01 40 00 00 01 02 03");
    EXPECT_EQ(written.outcome, Outcome::Shown);
    EXPECT_FALSE(monitor.writePending());
    EXPECT_EQ(hexText(monitor.receiveDatagram(ethernetReport(0), kGateway).reply), kAck);

    ASSERT_TRUE(monitor.queueWrite({0x4000, {0x01}}).ok());
    monitor.cancelWrite();
    EXPECT_EQ(hexText(monitor.receiveDatagram(ethernetReport(0), kGateway).reply), kAck);
}

TEST(DebugMonitor, SerialReportsInPiecesIdleAndWrites) {
    DebugMonitor monitor = DebugMonitor::serial();
    EXPECT_TRUE(monitor.receiveSerial(hexBytes("00 01 00")).empty());
    std::vector<MonitorStep> steps = monitor.receiveSerial(hexBytes("0A 01 7F 03 02 00 05 00"));
    ASSERT_EQ(steps.size(), 2u);
    EXPECT_EQ(steps[0].row->cells(DebugTransport::Serial),
              (std::vector<std::string>{"Responding correctly", "1", "10", "7f "}));
    EXPECT_EQ(hexText(steps[0].reply), "00");
    EXPECT_EQ(steps[1].row->data, "No response from the node");

    // The idle status is answered but not shown; a write waiting goes out in its place.
    ASSERT_TRUE(monitor.queueWrite({0x41EB, {0xFF}}).ok());
    EXPECT_TRUE(monitor.receiveSerial(hexBytes("FF")).empty());
    const std::optional<MonitorStep> idle = monitor.serialQuiet();
    ASSERT_TRUE(idle);
    EXPECT_EQ(idle->outcome, Outcome::Acknowledged);
    EXPECT_TRUE(idle->saveText.empty());
    EXPECT_EQ(hexText(idle->reply), "01 41 EB 01 FF");
    EXPECT_FALSE(monitor.serialQuiet());

    // An unknown status is not answered.
    monitor.receiveSerial(hexBytes("44 01"));
    const std::optional<MonitorStep> unknown = monitor.serialQuiet();
    ASSERT_TRUE(unknown);
    EXPECT_EQ(unknown->outcome, Outcome::Ignored);
    EXPECT_TRUE(unknown->reply.empty());
    EXPECT_EQ(monitor.rows().size(), 2u);

    // One serial write carries at most 255 bytes.
    EXPECT_FALSE(monitor.queueWrite({0x4000, Bytes(256, 0)}).ok());
    EXPECT_FALSE(monitor.writePending());
}

}  // namespace

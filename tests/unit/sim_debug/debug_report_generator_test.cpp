#include "sim/engine/debug/debug_report_generator.h"

#include "core/debug/debug_monitor.h"
#include "core/debug/live_table.h"

#include "support/hex_bytes.h"
#include "support/project_builder.h"

#include <gtest/gtest.h>

using namespace veltrane;
using namespace veltrane::sim;
using veltrane::testing::hexBytes;
using veltrane::testing::ProjectBuilder;

namespace {

const Ipv4Endpoint kGateway{0x7F000002, kDebugGatewayPort};

std::vector<PolledCommand> sampleCommands() {
    ProjectBuilder b;
    b.state.SubnetCount = 2;
    b.node(1, "1");
    b.command(1, 1, {"3", "4", "0", "", "No Swap", "100"});
    b.command(1, 1, {"16", "2", "4000", "", "No Swap", "200"});
    b.node(2, "7");
    b.command(2, 1, {"1", "10", "20", "0", "No Swap", "0"});
    b.node(3, "9");  // a subnet beyond SubnetCount is not polled
    b.command(3, 1, {"3", "1", "30"});
    return polledCommands(b.project, b.state);
}

TEST(DebugReportGenerator, PollsTheProjectsCommands) {
    const std::vector<PolledCommand> commands = sampleCommands();
    ASSERT_EQ(commands.size(), 3u);
    EXPECT_EQ(commands[0].slave, 1);
    EXPECT_EQ(commands[0].start, 100);
    EXPECT_EQ(replyByteCount(commands[0]), 8u);
    EXPECT_EQ(commands[1].mappingAddress, 0x4000);
    EXPECT_EQ(replyByteCount(commands[1]), 4u);
    EXPECT_EQ(commands[2].subnet, 1);
    EXPECT_EQ(commands[2].slave, 7);
    EXPECT_EQ(replyByteCount(commands[2]), 2u);  // ten coils
}

// Runs the generator against the monitor the way the programs connect them; returns the steps.
std::vector<MonitorStep> exchange(DebugReportGenerator& gateway, DebugMonitor& monitor, int reports) {
    std::vector<MonitorStep> steps;
    for (int i = 0; i < reports; ++i) {
        const std::optional<Bytes> report = gateway.nextReport();
        if (!report)
            break;
        if (monitor.transport() == DebugTransport::Ethernet) {
            steps.push_back(monitor.receiveDatagram(*report, kGateway));
        } else {
            for (MonitorStep& step : monitor.receiveSerial(*report))
                steps.push_back(std::move(step));
        }
        if (!steps.empty() && !steps.back().reply.empty())
            gateway.receive(steps.back().reply);
    }
    return steps;
}

TEST(DebugReportGenerator, RoundTripOverBothTransports) {
    for (const DebugTransport transport : {DebugTransport::Ethernet, DebugTransport::Serial}) {
        SCOPED_TRACE(transport == DebugTransport::Ethernet ? "Ethernet" : "serial");
        ReportGeneratorOptions options;
        options.transport = transport;
        options.seed = 7;
        options.exceptionPercent = 10;
        options.timeoutPercent = 10;
        options.errorPercent = 5;
        DebugReportGenerator gateway(sampleCommands(), options);
        DebugMonitor monitor = transport == DebugTransport::Ethernet ? DebugMonitor::ethernet(kGateway, 50)
                                                                     : DebugMonitor::serial(50);
        if (transport == DebugTransport::Ethernet) {
            EXPECT_FALSE(gateway.nextReport());  // silent until started
            gateway.receive(monitor.startMessage());
        }

        LiveTable table;
        const std::vector<MonitorStep> steps = exchange(gateway, monitor, 600);
        ASSERT_EQ(steps.size(), 600u);
        for (const MonitorStep& step : steps) {
            ASSERT_EQ(step.outcome, MonitorStep::Outcome::Shown);
            table.record(*step.report, transport, {});
        }
        EXPECT_EQ(gateway.acknowledgements(), 600u);
        EXPECT_EQ(gateway.refusedMessages(), 0u);
        EXPECT_EQ(monitor.rows().size(), 50u);

        // Every command got its share, with every kind of outcome somewhere.
        ASSERT_EQ(table.rows().size(), 3u);
        std::array<std::uint64_t, 4> totals{};
        for (const LiveRow& row : table.rows()) {
            EXPECT_EQ(row.counts[0] + row.counts[1] + row.counts[2] + row.counts[3], 200u);
            for (std::size_t s = 0; s < 4; ++s)
                totals[s] += row.counts[s];
        }
        for (const std::uint64_t total : totals)
            EXPECT_GT(total, 0u);
        EXPECT_GT(totals[0], 300u);
        EXPECT_EQ(table.rows()[0].key.serialIndex, transport == DebugTransport::Ethernet ? 1 : 0);
    }
}

TEST(DebugReportGenerator, WritesAreRecordedAndShowUpInWriteCommandReports) {
    ReportGeneratorOptions options;
    options.exceptionPercent = options.timeoutPercent = options.errorPercent = 0;
    DebugReportGenerator gateway(sampleCommands(), options);
    DebugMonitor monitor = DebugMonitor::ethernet(kGateway);
    gateway.receive(monitor.startMessage());

    ASSERT_TRUE(monitor.queueWrite({0x4000, {0xCA, 0xFE, 0x00, 0x01}}).ok());
    std::vector<MonitorStep> steps = exchange(gateway, monitor, 1);
    ASSERT_TRUE(steps.at(0).wroteData);
    ASSERT_EQ(gateway.writes().size(), 1u);
    EXPECT_EQ(gateway.writes()[0], (WritePayload{0x4000, {0xCA, 0xFE, 0x00, 0x01}}));

    // The second command writes its slave from 0x4000: its report carries the written bytes.
    steps = exchange(gateway, monitor, 1);
    EXPECT_EQ(steps.at(0).row->data, "ca fe 00 01 ");

    // Over a serial line the write arrives in pieces.
    options.transport = DebugTransport::Serial;
    DebugReportGenerator serialGateway(sampleCommands(), options);
    serialGateway.receive(hexBytes("01 41"));
    serialGateway.receive(hexBytes("EA 02 AB"));
    EXPECT_TRUE(serialGateway.writes().empty());
    serialGateway.receive(hexBytes("CD 00"));
    ASSERT_EQ(serialGateway.writes().size(), 1u);
    EXPECT_EQ(serialGateway.writes()[0], (WritePayload{0x41EA, {0xAB, 0xCD}}));
    EXPECT_EQ(serialGateway.outputBuffer()[0x1EA], 0xAB);
    EXPECT_EQ(serialGateway.outputBuffer()[0x1EB], 0xCD);
    EXPECT_EQ(serialGateway.acknowledgements(), 1u);
}

TEST(DebugReportGenerator, WaitsForAnswersUnlessToldNotToAndStopsOnStop) {
    ReportGeneratorOptions options;
    DebugReportGenerator waiting(sampleCommands(), options);
    waiting.receive(DebugCommand::start().encodeEthernet());
    EXPECT_TRUE(waiting.nextReport());
    EXPECT_FALSE(waiting.nextReport());
    waiting.receive(DebugCommand::acknowledge().encodeEthernet());
    EXPECT_TRUE(waiting.nextReport());
    waiting.receive(DebugCommand::stop().encodeEthernet());
    EXPECT_FALSE(waiting.nextReport());
    waiting.receive(hexBytes("00 00 00 10 00 00 00 04 00 00"));
    EXPECT_EQ(waiting.refusedMessages(), 1u);

    options.waitForAcknowledge = false;
    options.transport = DebugTransport::Serial;
    DebugReportGenerator eager(sampleCommands(), options);
    for (int i = 0; i < 5; ++i)
        EXPECT_TRUE(eager.nextReport());

    // The same seed gives the same reports.
    DebugReportGenerator again(sampleCommands(), options);
    DebugReportGenerator twin(sampleCommands(), options);
    for (int i = 0; i < 20; ++i)
        EXPECT_EQ(again.nextReport(), twin.nextReport());
}

}  // namespace

#include "core/debug/debug_monitor.h"
#include "core/debug/trace_csv.h"

#include <gtest/gtest.h>

using namespace veltrane;

namespace {

const Ipv4Endpoint kGateway{0x7F000002, kDebugGatewayPort};

TEST(TraceCsv, WallClockIsIso8601WithTheOffset) {
    const struct {
        std::int64_t epochMs;
        int offset;
        const char* text;
    } cases[] = {
        {0, 0, "1970-01-01T00:00:00.000+00:00"},
        {1796980443127, 0, "2026-12-11T09:14:03.127+00:00"},
        {1796980443127, 60, "2026-12-11T10:14:03.127+01:00"},
        {1796980443127, 330, "2026-12-11T14:44:03.127+05:30"},
        // The day before, behind UTC.
        {1796980443127, -600, "2026-12-10T23:14:03.127-10:00"},
        {951782400999, 0, "2000-02-29T00:00:00.999+00:00"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(isoWallClock(c.epochMs, c.offset), c.text) << c.epochMs << " " << c.offset;
}

TEST(TraceCsv, QuotesOnlyWhatNeedsIt) {
    EXPECT_EQ(csvField("Responding correctly"), "Responding correctly");
    EXPECT_EQ(csvField(""), "");
    EXPECT_EQ(csvField("a,b"), "\"a,b\"");
    EXPECT_EQ(csvField("say \"hi\""), "\"say \"\"hi\"\"\"");
    EXPECT_EQ(csvField("two\nlines"), "\"two\nlines\"");
}

// The rows the monitor makes carry their arrival time and their values into the line.
TEST(TraceCsv, LinesOfTheMonitorsRows) {
    DebugMonitor ethernet = DebugMonitor::ethernet(kGateway);
    const ReportTime first{12, 1796980443127}, second{15, 1796980443130}, third{20, 1796980443135};
    const MonitorStep step =
        ethernet.receiveDatagram(DebugReport{0, 1, 7, 300, 0, {0x12, 0x34, 0xFF, 0xFF, 0x05}}.encodeEthernet(),
                                 kGateway, first);
    EXPECT_EQ(step.time, first);
    ethernet.receiveDatagram(DebugReport{1, 0, 7, 300, 3, {}}.encodeEthernet(), kGateway, second);
    ethernet.receiveDatagram(DebugReport{3, 0, 7, 300, 0, {}}.encodeEthernet(), kGateway, third);
    ASSERT_EQ(ethernet.rows().size(), 3u);
    EXPECT_EQ(ethernet.rows()[0].time, first);

    std::string trace = traceCsvHeader();
    for (const DebugRow& row : ethernet.rows())
        trace += traceCsvLine(row, 60);
    EXPECT_EQ(trace,
              "time_ms,wall_clock,serial_index,status,slave,start,data,values\n"
              "12,2026-12-11T10:14:03.127+01:00,2,Responding correctly,7,300,12 34 ff ff 05,4660 65535 5\n"
              "15,2026-12-11T10:14:03.130+01:00,1,Abnormal response,7,300,3,\n"
              "20,2026-12-11T10:14:03.135+01:00,1,Response Timeout,,,,\n");

    // A serial exception's text has no comma; a serial time-out names its node.
    DebugMonitor serial = DebugMonitor::serial();
    serial.receiveSerialReport(DebugReport{3, 0, 4, 16, 0, {}}.encodeSerial(), first);
    ASSERT_EQ(serial.rows().size(), 1u);
    EXPECT_EQ(traceCsvLine(serial.rows()[0], 0),
              "12,2026-12-11T09:14:03.127+00:00,,Response Timeout,4,16,No response from the node,\n");
}

}  // namespace

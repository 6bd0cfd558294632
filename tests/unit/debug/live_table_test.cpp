#include "core/debug/live_table.h"

#include <gtest/gtest.h>

using namespace veltrane;

namespace {

using Clock = LiveRow::Clock;

TEST(LiveTable, OneRowPerCommandWithCountsAndLatestOutcome) {
    LiveTable table;
    const Clock::time_point t0{};
    const auto t = [&](int s) { return t0 + std::chrono::seconds(s); };

    auto change = table.record({0, 1, 5, 100, 0, {0x00, 0x2A}}, DebugTransport::Ethernet, t(1));
    ASSERT_TRUE(change);
    EXPECT_TRUE(change->inserted);
    EXPECT_EQ(change->row, 0u);
    // Sorted by subnet, slave, address: this one lands in front.
    change = table.record({0, 0, 5, 100, 0, {0x01}}, DebugTransport::Ethernet, t(2));
    EXPECT_EQ(change->row, 0u);
    EXPECT_TRUE(change->inserted);

    table.record({1, 1, 5, 100, 3, {}}, DebugTransport::Ethernet, t(3));
    table.record({3, 1, 5, 100, 0, {}}, DebugTransport::Ethernet, t(4));
    change = table.record({2, 1, 5, 100, 0, {}}, DebugTransport::Ethernet, t(5));
    EXPECT_FALSE(change->inserted);
    EXPECT_EQ(change->row, 1u);
    EXPECT_FALSE(table.record({4, 1, 5, 100, 0, {}}, DebugTransport::Ethernet, t(6)));

    ASSERT_EQ(table.rows().size(), 2u);
    const LiveRow& row = table.rows()[1];
    EXPECT_EQ(row.key, (LiveKey{2, 5, 100}));
    EXPECT_EQ(row.lastStatus, report_status::Error);
    EXPECT_EQ(row.lastException, 3);
    EXPECT_EQ(row.lastData, (Bytes{}));  // the error report carried no data
    EXPECT_EQ(row.counts, (std::array<std::uint64_t, 4>{1, 1, 1, 1}));
    EXPECT_EQ(row.lastReport, t(5));

    // A time-out or an exception leaves no values of an earlier answer beside it.
    for (const std::uint8_t status : {report_status::Timeout, report_status::Exception}) {
        table.record({0, 0, 5, 100, 0, {0xBE, 0xEF}}, DebugTransport::Serial, t(7));
        table.record({status, 0, 5, 100, 0, {0x00, 0x00, 0x00, 0x02}}, DebugTransport::Serial, t(8));
        ASSERT_EQ(table.rows().size(), 3u);
        EXPECT_EQ(table.rows()[0].key.serialIndex, 0);
        EXPECT_EQ(table.rows()[0].lastData, (Bytes{}));
        EXPECT_EQ(table.rows()[0].lastStatus, status);
    }

    table.reset();
    EXPECT_TRUE(table.rows().empty());
}

TEST(LiveTable, DataAsRegisters) {
    EXPECT_EQ(registerValues(Bytes{0x12, 0x34, 0xFF, 0xFF, 0x07}), (std::vector<std::uint16_t>{0x1234, 0xFFFF, 7}));
    EXPECT_EQ(registerText(Bytes{0x00, 0x01, 0x01, 0x00}), "1 256");
    EXPECT_EQ(registerText(Bytes{}), "");
}

}  // namespace

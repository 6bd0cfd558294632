#include "core/debug/trend_series.h"

#include <gtest/gtest.h>

using namespace veltrane;

namespace {

DebugReport values(std::uint8_t slave, std::vector<std::uint16_t> registers) {
    DebugReport report;
    report.slave = slave;
    report.start = 100;
    for (const std::uint16_t v : registers) {
        report.data.push_back(static_cast<std::uint8_t>(v >> 8));
        report.data.push_back(static_cast<std::uint8_t>(v));
    }
    return report;
}

DebugReport outcome(std::uint8_t slave, std::uint8_t status) {
    DebugReport report;
    report.slave = slave;
    report.start = 100;
    report.status = status;
    return report;
}

const LiveKey a{1, 1, 100}, b{1, 2, 100}, c{2, 1, 100};

TEST(TrendSeries, FollowsTheSelectedCommandsOnly) {
    TrendSeries series;
    series.record(a, values(1, {9}), 5);  // nothing selected yet
    series.select({a, b});
    series.record(a, values(1, {1, 65535}), 10);
    series.record(c, values(1, {7}), 11);
    series.record(b, outcome(2, report_status::Timeout), 12);
    series.record(a, outcome(1, report_status::Exception), 13);
    series.record(a, outcome(1, report_status::Error), 14);
    series.record(a, values(1, {2, 3}), 15);
    series.record(a, outcome(1, 7), 16);  // not a status: nothing

    ASSERT_EQ(series.tracks().size(), 2u);
    const TrendTrack& first = series.tracks()[0];
    EXPECT_EQ(first.key, a);
    ASSERT_EQ(first.samples.size(), 2u);
    EXPECT_EQ(first.samples[0].timeMs, 10);
    ASSERT_EQ(first.samples[0].count, 2);
    EXPECT_EQ(first.samples[0].values[1], 65535);
    EXPECT_EQ(first.samples[1].values[0], 2);
    ASSERT_EQ(first.marks.size(), 2u);
    EXPECT_EQ(first.marks[0].status, report_status::Exception);
    EXPECT_EQ(first.marks[1].status, report_status::Error);
    EXPECT_EQ(series.tracks()[1].marks.size(), 1u);
    EXPECT_EQ(series.latestMs(), 15);

    // A command that stays selected keeps its data; a new one starts empty, a dropped one goes.
    series.select({c, a});
    ASSERT_EQ(series.tracks().size(), 2u);
    EXPECT_EQ(series.tracks()[0].key, c);
    EXPECT_TRUE(series.tracks()[0].samples.empty());
    EXPECT_EQ(series.tracks()[1].samples.size(), 2u);

    // A long command keeps its first values only.
    std::vector<std::uint16_t> many(40, 3);
    series.record(a, values(1, many), 20);
    EXPECT_EQ(series.tracks()[1].samples.back().count, kTrendMaxValues);
}

TEST(TrendSeries, KeepsTheWindowAndItsBoundAtAnyRate) {
    TrendSeries series(1000, 100);
    series.select({a});
    // Ten reports a millisecond for two seconds: far more than the bound.
    for (std::int64_t i = 0; i < 20000; ++i) {
        series.record(a, values(1, {static_cast<std::uint16_t>(i)}), i / 10);
        if (i % 1000 == 0)
            series.record(a, outcome(1, report_status::Timeout), i / 10);
    }
    const TrendTrack& track = series.tracks()[0];
    EXPECT_LE(track.samples.size(), 100u);
    EXPECT_GE(track.samples.size(), 50u);
    // Thinned, not cut: the samples still reach back over most of the window, newest last.
    EXPECT_EQ(track.samples.back().values[0], 19999);
    EXPECT_GE(track.samples.front().timeMs, 999);
    EXPECT_LT(track.samples.front().timeMs, 1100);
    for (std::size_t i = 1; i < track.samples.size(); ++i)
        EXPECT_LE(track.samples[i - 1].timeMs, track.samples[i].timeMs);
    ASSERT_FALSE(track.marks.empty());
    EXPECT_GE(track.marks.front().timeMs, 999);

    // Time moving on without reports of this command empties it.
    series.prune(5000);
    EXPECT_TRUE(series.tracks()[0].samples.empty());
    EXPECT_TRUE(series.tracks()[0].marks.empty());
}

}  // namespace

#pragma once
// The data behind the debug window's trend plot: for each selected command (a live-table key), the
// 16-bit values of its reports against the time they arrived, and marks where it answered with an
// exception, an error or not at all. Memory stays bounded at any report rate: only the last
// `windowMs` are kept, and a track that fills up is thinned to every other sample and from then on
// keeps samples that far apart (the newest always replaces a last one that came too soon), so it
// covers the whole window at a coarser, even step instead of losing its oldest part.

#include "core/debug/debug_report.h"
#include "core/debug/live_table.h"

#include <array>
#include <cstdint>
#include <deque>
#include <vector>

namespace veltrane {

// Commands plotted at once, and values plotted per command; more would not read as lines.
inline constexpr std::size_t kTrendMaxKeys = 8;
inline constexpr std::size_t kTrendMaxValues = 16;
inline constexpr std::int64_t kTrendDefaultWindowMs = 10 * 60 * 1000;
inline constexpr std::size_t kTrendDefaultMaxSamples = 20000;

struct TrendSample {
    std::int64_t timeMs = 0;
    std::uint8_t count = 0;  // values used; a command's later values beyond kTrendMaxValues are not kept
    std::array<std::uint16_t, kTrendMaxValues> values{};
};

struct TrendMark {
    std::int64_t timeMs = 0;
    std::uint8_t status = report_status::Exception;  // Exception, Error or Timeout
};

struct TrendTrack {
    LiveKey key;
    std::deque<TrendSample> samples;  // oldest first
    std::deque<TrendMark> marks;      // oldest first
    // The least time between two kept samples (marks); 0 until the track first filled up.
    std::int64_t sampleStepMs = 0;
    std::int64_t markStepMs = 0;
};

class TrendSeries {
public:
    explicit TrendSeries(std::int64_t windowMs = kTrendDefaultWindowMs,
                         std::size_t maxSamples = kTrendDefaultMaxSamples);

    // The commands to follow, at most kTrendMaxKeys (the first ones). A key that stays keeps its
    // data; a new one starts empty.
    void select(const std::vector<LiveKey>& keys);
    // A report that arrived at `timeMs`: a correct answer adds a sample, an exception, error or
    // time-out a mark. Reports of commands not selected are ignored. Times are expected in order;
    // an earlier one is taken as the latest (a clock cannot go back on the plot).
    void record(const LiveKey& key, const DebugReport& report, std::int64_t timeMs);
    // Drops what lies before the window that ends at `nowMs`, on every track.
    void prune(std::int64_t nowMs);
    void clear();

    const std::vector<TrendTrack>& tracks() const { return m_tracks; }
    std::int64_t windowMs() const { return m_windowMs; }
    std::size_t maxSamples() const { return m_maxSamples; }
    // The time of the latest report recorded; 0 before the first.
    std::int64_t latestMs() const { return m_latestMs; }

private:
    void pruneTrack(TrendTrack& track, std::int64_t nowMs) const;

    std::int64_t m_windowMs;
    std::size_t m_maxSamples;
    std::int64_t m_latestMs = 0;
    std::vector<TrendTrack> m_tracks;
};

}  // namespace veltrane

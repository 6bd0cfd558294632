#include "core/debug/trend_series.h"

#include <algorithm>

namespace veltrane {

namespace {

// Every other element removed, the oldest and the newest kept.
template <class Item>
void thinOut(std::deque<Item>& items) {
    std::deque<Item> kept;
    for (std::size_t i = 0; i < items.size(); i += 2)
        kept.push_back(std::move(items[i]));
    if (items.size() % 2 == 0)
        kept.push_back(std::move(items.back()));
    items.swap(kept);
}

// Appends `item`, or lets it replace the last one when that came less than `stepMs` after the one
// before it; a full deque is thinned and the step set to the spacing that leaves.
template <class Item>
void keepBounded(std::deque<Item>& items, Item item, std::int64_t& stepMs, std::size_t limit) {
    const std::size_t n = items.size();
    if (n >= 2 && item.timeMs - items[n - 2].timeMs < stepMs) {
        items.back() = std::move(item);
        return;
    }
    items.push_back(std::move(item));
    if (items.size() <= limit)
        return;
    thinOut(items);
    const std::int64_t span = items.back().timeMs - items.front().timeMs;
    const auto gaps = static_cast<std::int64_t>(items.size() - 1);
    stepMs = std::max<std::int64_t>({stepMs, 1, (span + gaps - 1) / gaps});
}

// A track that pruning left sparse takes samples more finely again.
template <class Item>
void relax(const std::deque<Item>& items, std::int64_t& stepMs, std::size_t limit) {
    if (stepMs > 0 && items.size() < limit / 4)
        stepMs /= 2;
}

}  // namespace

TrendSeries::TrendSeries(std::int64_t windowMs, std::size_t maxSamples)
    : m_windowMs(std::max<std::int64_t>(windowMs, 1)), m_maxSamples(std::max<std::size_t>(maxSamples, 2)) {}

void TrendSeries::select(const std::vector<LiveKey>& keys) {
    std::vector<TrendTrack> tracks;
    for (const LiveKey& key : keys) {
        if (tracks.size() == kTrendMaxKeys)
            break;
        if (std::any_of(tracks.begin(), tracks.end(), [&](const TrendTrack& t) { return t.key == key; }))
            continue;
        const auto kept = std::find_if(m_tracks.begin(), m_tracks.end(), [&](const TrendTrack& t) { return t.key == key; });
        if (kept != m_tracks.end())
            tracks.push_back(std::move(*kept));
        else
            tracks.push_back(TrendTrack{key, {}, {}, 0, 0});
    }
    m_tracks = std::move(tracks);
}

void TrendSeries::record(const LiveKey& key, const DebugReport& report, std::int64_t timeMs) {
    if (report.status > report_status::Timeout)
        return;
    const auto track = std::find_if(m_tracks.begin(), m_tracks.end(), [&](const TrendTrack& t) { return t.key == key; });
    if (track == m_tracks.end())
        return;
    timeMs = std::max(timeMs, m_latestMs);
    m_latestMs = timeMs;
    if (report.status == report_status::Correct) {
        TrendSample sample;
        sample.timeMs = timeMs;
        const std::vector<std::uint16_t> values = registerValues(report.data);
        sample.count = static_cast<std::uint8_t>(std::min(values.size(), kTrendMaxValues));
        std::copy_n(values.begin(), sample.count, sample.values.begin());
        keepBounded(track->samples, sample, track->sampleStepMs, m_maxSamples);
    } else {
        keepBounded(track->marks, TrendMark{timeMs, report.status}, track->markStepMs, m_maxSamples);
    }
    pruneTrack(*track, timeMs);
}

void TrendSeries::pruneTrack(TrendTrack& track, std::int64_t nowMs) const {
    const std::int64_t oldest = nowMs - m_windowMs;
    while (!track.samples.empty() && track.samples.front().timeMs < oldest)
        track.samples.pop_front();
    while (!track.marks.empty() && track.marks.front().timeMs < oldest)
        track.marks.pop_front();
    relax(track.samples, track.sampleStepMs, m_maxSamples);
    relax(track.marks, track.markStepMs, m_maxSamples);
}

void TrendSeries::prune(std::int64_t nowMs) {
    for (TrendTrack& track : m_tracks)
        pruneTrack(track, nowMs);
}

void TrendSeries::clear() {
    for (TrendTrack& track : m_tracks)
        track = TrendTrack{track.key, {}, {}, 0, 0};
}

}  // namespace veltrane

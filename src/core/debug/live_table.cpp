#include "core/debug/live_table.h"

#include "core/common/wire_order.h"

#include <algorithm>

namespace veltrane {

std::optional<LiveTable::Change> LiveTable::record(const DebugReport& report, DebugTransport transport,
                                                   LiveRow::Clock::time_point now) {
    if (report.status > report_status::Timeout)
        return std::nullopt;
    const LiveKey key = liveKey(report, transport);
    auto it = std::lower_bound(m_rows.begin(), m_rows.end(), key,
                               [](const LiveRow& row, const LiveKey& k) { return row.key < k; });
    Change change;
    if (it == m_rows.end() || it->key != key) {
        it = m_rows.insert(it, LiveRow{});
        it->key = key;
        change.inserted = true;
    }
    change.row = static_cast<std::size_t>(it - m_rows.begin());

    LiveRow& row = *it;
    row.lastStatus = report.status;
    ++row.counts[report.status];
    row.lastReport = now;
    if (report.status == report_status::Exception)
        row.lastException = report.exceptionCode;
    const bool carriesValues = report.status == report_status::Correct || report.status == report_status::Error;
    row.lastData = carriesValues ? report.data : Bytes{};
    return change;
}

LiveKey liveKey(const DebugReport& report, DebugTransport transport) {
    return {transport == DebugTransport::Ethernet ? report.subnet + 1 : 0, report.slave, report.start};
}

std::vector<std::uint16_t> registerValues(ByteView data) {
    std::vector<std::uint16_t> values;
    values.reserve((data.size() + 1) / 2);
    std::size_t i = 0;
    for (; i + 1 < data.size(); i += 2)
        values.push_back(wire::get16(data, i));
    if (i < data.size())
        values.push_back(data[i]);
    return values;
}

std::string registerText(ByteView data) {
    std::string out;
    for (const std::uint16_t value : registerValues(data)) {
        if (!out.empty())
            out += ' ';
        out += std::to_string(value);
    }
    return out;
}

}  // namespace veltrane

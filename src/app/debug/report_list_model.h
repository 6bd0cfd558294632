#pragma once
// The report list: the rows the monitor shows, with the oldest dropped past its history limit.
// Rows are queued as reports arrive and reach the view in batches, so a fast gateway costs one
// view update per batch instead of one per report.

#include "app/debug/debug_table_model.h"
#include "core/debug/debug_transport.h"

#include <deque>
#include <vector>

namespace veltrane {

// Kept out of moc's sight: the string table it includes is generated.
struct DebugRow;

class ReportListModel : public DebugTableModel {
    Q_OBJECT
public:
    ReportListModel(DebugTransport transport, std::size_t historyLimit, QObject* parent = nullptr);

    // A row the monitor appended for a report of `status`; the history limit alone decides which
    // rows are dropped.
    void queue(const DebugRow& row, std::uint8_t status);
    // Resuming the display empties the list.
    void clear();
    // Applies everything queued; true when rows were added.
    bool flush();
    bool hasQueued() const { return !m_queued.empty(); }

private:
    std::size_t shownRows() const override { return m_rows.size(); }
    QVariant cell(std::size_t row, int column) const override;
    std::optional<std::uint8_t> rowStatus(std::size_t row) const override { return m_rows[row].status; }

    struct Row {
        std::vector<std::string> cells;
        std::uint8_t status = 0;
    };

    DebugTransport m_transport;
    std::size_t m_historyLimit;
    std::deque<Row> m_rows;
    std::deque<Row> m_queued;
};

}  // namespace veltrane

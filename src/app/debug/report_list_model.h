#pragma once
// The report list: the rows the monitor shows, with the oldest dropped past its history limit, and
// after the transport's columns the time each report arrived. Rows are queued as reports arrive
// and reach the view in batches, so a fast gateway costs one view update per batch instead of one
// per report.

#include "app/debug/debug_table_model.h"
#include "core/debug/debug_transport.h"

#include <deque>
#include <memory>

namespace veltrane {

// Kept out of moc's sight: the string table it includes is generated.
struct DebugRow;

class ReportListModel : public DebugTableModel {
    Q_OBJECT
public:
    ReportListModel(DebugTransport transport, std::size_t historyLimit, QObject* parent = nullptr);
    ~ReportListModel() override;

    // A row the monitor appended for a report of `status`; the history limit alone decides which
    // rows are dropped.
    void queue(const DebugRow& row, std::uint8_t status);
    // Resuming the display empties the list.
    void clear();
    // Applies everything queued; true when rows were added.
    bool flush();
    bool hasQueued() const;
    // The shown rows, oldest first: the history a trace starts with.
    const std::deque<DebugRow>& rows() const;
    // The column with each report's arrival time.
    int timeColumn() const { return columnCount() - 1; }

private:
    std::size_t shownRows() const override;
    QVariant cell(std::size_t row, int column) const override;
    std::optional<std::uint8_t> rowStatus(std::size_t row) const override;

    DebugTransport m_transport;
    std::size_t m_historyLimit;
    // Shown and queued rows; behind a pointer, as the row type is kept out of moc's sight.
    struct Rows;
    std::unique_ptr<Rows> m_store;
};

}  // namespace veltrane

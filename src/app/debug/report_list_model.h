#pragma once
// The report list: the rows the monitor shows, with the oldest dropped past its history limit.
// Rows are queued as reports arrive and reach the view in batches, so a fast gateway costs one
// view update per batch instead of one per report.

#include "core/debug/debug_transport.h"

#include <QAbstractTableModel>

#include <deque>
#include <vector>

namespace veltrane {

// Kept out of moc's sight: the string table it includes is generated.
struct DebugRow;

class ReportListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    ReportListModel(DebugTransport transport, std::size_t historyLimit, QObject* parent = nullptr);

    // A row the monitor appended; the history limit alone decides which rows are dropped.
    void queue(const DebugRow& row);
    // Resuming the display empties the list.
    void clear();
    // Applies everything queued; true when rows were added.
    bool flush();
    bool hasQueued() const { return !m_queued.empty(); }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    DebugTransport m_transport;
    std::size_t m_historyLimit;
    std::vector<QString> m_titles;
    std::deque<std::vector<std::string>> m_rows;
    std::deque<std::vector<std::string>> m_queued;
};

}  // namespace veltrane

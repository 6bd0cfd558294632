#pragma once
// One buffer grid of the Conflict Detection dialog: 1024 rows of 16 bytes, column 0 the row's
// address. Colours are computed on demand from the detection's counters, so a full buffer costs
// nothing until a cell is painted.

#include "core/mapping/conflict_detection.h"

#include <QAbstractTableModel>

namespace veltrane {

class BufferGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int kRows = 1024;
    static constexpr int kColumns = 17;

    BufferGridModel(const ConflictDetection& detection, BufferGrid grid, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    BufferGrid grid() const { return m_grid; }
    // The grid byte (0..0x3FFF) of a cell; -1 for the address column.
    static std::int64_t byteOf(const QModelIndex& index);
    // Tells the views that the colours of these grid bytes may have changed.
    void refresh(std::int64_t first, std::int64_t end);

private:
    const ConflictDetection& m_detection;
    BufferGrid m_grid;
};

}  // namespace veltrane

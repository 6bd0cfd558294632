#include "app/mapping/buffer_grid_model.h"

#include "app/mapping/buffer_colours.h"

#include <QBrush>
#include <QString>

namespace veltrane {

BufferGridModel::BufferGridModel(const ConflictDetection& detection, BufferGrid grid, QObject* parent)
    : QAbstractTableModel(parent), m_detection(detection), m_grid(grid) {}

int BufferGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kRows;
}

int BufferGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumns;
}

std::int64_t BufferGridModel::byteOf(const QModelIndex& index) {
    if (!index.isValid() || index.column() < 1)
        return -1;
    return std::int64_t{index.row()} * 16 + index.column() - 1;
}

QVariant BufferGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid())
        return {};
    if (index.column() == 0) {
        if (role == Qt::DisplayRole) {
            const std::int64_t address =
                (m_grid == BufferGrid::Output ? kOutputGridBase : 0) + index.row() * 16;
            return QStringLiteral("%1").arg(address, 4, 16, QLatin1Char('0')).toUpper();
        }
        if (role == Qt::TextAlignmentRole)
            return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
        // The address column reads as a fixed heading column.
        if (role == Qt::BackgroundRole)
            return QBrush(QColor(224, 224, 224));
        return {};
    }
    if (role == Qt::BackgroundRole) {
        const QColor colour = cellQColor(m_detection.cellColour(m_grid, byteOf(index)));
        return colour.isValid() ? QVariant(QBrush(colour)) : QVariant();
    }
    return {};
}

void BufferGridModel::refresh(std::int64_t first, std::int64_t end) {
    if (first >= end)
        return;
    emit dataChanged(index(static_cast<int>(first / 16), 1),
                     index(static_cast<int>((end - 1) / 16), kColumns - 1), {Qt::BackgroundRole});
}

}  // namespace veltrane

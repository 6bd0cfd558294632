#include "app/debug/debug_table_model.h"

#include "app/debug/status_palette.h"

#include <QBrush>

namespace veltrane {

DebugTableModel::DebugTableModel(std::vector<QString> titles, QObject* parent)
    : QAbstractTableModel(parent), m_titles(std::move(titles)) {}

int DebugTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(shownRows());
}

int DebugTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_titles.size());
}

QVariant DebugTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || static_cast<std::size_t>(index.row()) >= shownRows())
        return {};
    if (role == Qt::TextAlignmentRole)
        return int(Qt::AlignCenter);
    if (role == Qt::BackgroundRole || role == Qt::ForegroundRole) {
        const auto status = rowStatus(static_cast<std::size_t>(index.row()));
        const auto background = status ? statusRowBackground(*status) : std::nullopt;
        if (!background)
            return {};
        return QBrush(role == Qt::BackgroundRole ? *background : statusRowText());
    }
    if (role != Qt::DisplayRole)
        return {};
    return cell(static_cast<std::size_t>(index.row()), index.column());
}

QVariant DebugTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        static_cast<std::size_t>(section) >= m_titles.size())
        return QAbstractTableModel::headerData(section, orientation, role);
    return m_titles[static_cast<std::size_t>(section)];
}

}  // namespace veltrane

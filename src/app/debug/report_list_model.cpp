#include "app/debug/report_list_model.h"

#include "app/common/qt_text.h"
#include "core/debug/report_row.h"

#include <algorithm>

namespace veltrane {

ReportListModel::ReportListModel(DebugTransport transport, std::size_t historyLimit, QObject* parent)
    : QAbstractTableModel(parent), m_transport(transport), m_historyLimit(std::max<std::size_t>(1, historyLimit)),
      m_titles() {
    for (const Str title : columnTitles(transport))
        m_titles.push_back(qtr(title));
}

void ReportListModel::queue(const DebugRow& row) {
    m_queued.push_back(row.cells(m_transport));
    if (m_queued.size() > m_historyLimit)
        m_queued.pop_front();
}

void ReportListModel::clear() {
    m_queued.clear();
    if (m_rows.empty())
        return;
    beginResetModel();
    m_rows.clear();
    endResetModel();
}

bool ReportListModel::flush() {
    if (m_queued.empty())
        return false;
    const std::size_t incoming = m_queued.size();
    const std::size_t overflow = m_rows.size() + incoming > m_historyLimit ? m_rows.size() + incoming - m_historyLimit : 0;
    const std::size_t drop = std::min(overflow, m_rows.size());
    if (drop > 0) {
        beginRemoveRows({}, 0, static_cast<int>(drop) - 1);
        m_rows.erase(m_rows.begin(), m_rows.begin() + static_cast<std::ptrdiff_t>(drop));
        endRemoveRows();
    }
    const int first = static_cast<int>(m_rows.size());
    beginInsertRows({}, first, first + static_cast<int>(incoming) - 1);
    for (auto& cells : m_queued)
        m_rows.push_back(std::move(cells));
    m_queued.clear();
    endInsertRows();
    return true;
}

int ReportListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int ReportListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_titles.size());
}

QVariant ReportListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || static_cast<std::size_t>(index.row()) >= m_rows.size())
        return {};
    if (role == Qt::TextAlignmentRole)
        return int(Qt::AlignCenter);
    if (role != Qt::DisplayRole)
        return {};
    const auto& cells = m_rows[static_cast<std::size_t>(index.row())];
    const auto column = static_cast<std::size_t>(index.column());
    return column < cells.size() ? toQString(cells[column]) : QVariant();
}

QVariant ReportListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        static_cast<std::size_t>(section) >= m_titles.size())
        return QAbstractTableModel::headerData(section, orientation, role);
    return m_titles[static_cast<std::size_t>(section)];
}

}  // namespace veltrane

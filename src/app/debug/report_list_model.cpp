#include "app/debug/report_list_model.h"

#include "app/common/qt_text.h"
#include "core/debug/report_row.h"

#include <algorithm>

namespace veltrane {

namespace {
std::vector<QString> listTitles(DebugTransport transport) {
    std::vector<QString> texts;
    for (const Str title : columnTitles(transport))
        texts.push_back(qtr(title));
    return texts;
}
}  // namespace

ReportListModel::ReportListModel(DebugTransport transport, std::size_t historyLimit, QObject* parent)
    : DebugTableModel(listTitles(transport), parent), m_transport(transport),
      m_historyLimit(std::max<std::size_t>(1, historyLimit)) {}

void ReportListModel::queue(const DebugRow& row, std::uint8_t status) {
    m_queued.push_back({row.cells(m_transport), status});
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
    for (Row& row : m_queued)
        m_rows.push_back(std::move(row));
    m_queued.clear();
    endInsertRows();
    return true;
}

QVariant ReportListModel::cell(std::size_t row, int column) const {
    const auto& cells = m_rows[row].cells;
    const auto at = static_cast<std::size_t>(column);
    return at < cells.size() ? toQString(cells[at]) : QVariant();
}

}  // namespace veltrane

#include "app/debug/report_list_model.h"

#include "app/common/qt_text.h"
#include "core/debug/report_row.h"

#include <QDateTime>

#include <algorithm>

namespace veltrane {

namespace {
std::vector<QString> listTitles(DebugTransport transport) {
    std::vector<QString> texts;
    for (const Str title : columnTitles(transport))
        texts.push_back(qtr(title));
    if (!texts.empty())
        texts.push_back(qtr(Str::DebugColumnTime));
    return texts;
}

// The local wall-clock time and the time since the monitor started: "09:14:03.127  +12.345 s".
QString timeText(const ReportTime& time) {
    const QString wall = QDateTime::fromMSecsSinceEpoch(time.wallClockMs).toString(QStringLiteral("HH:mm:ss.zzz"));
    return QStringLiteral("%1  +%2 s").arg(wall, QString::number(static_cast<double>(time.sinceStartMs) / 1000.0, 'f', 3));
}
}  // namespace

struct ReportListModel::Rows {
    std::deque<DebugRow> shown;
    std::deque<DebugRow> queued;
    // The report status of each row, beside it: it decides the row's colour.
    std::deque<std::uint8_t> shownStatus;
    std::deque<std::uint8_t> queuedStatus;
};

ReportListModel::ReportListModel(DebugTransport transport, std::size_t historyLimit, QObject* parent)
    : DebugTableModel(listTitles(transport), parent), m_transport(transport),
      m_historyLimit(std::max<std::size_t>(1, historyLimit)), m_store(std::make_unique<Rows>()) {}

ReportListModel::~ReportListModel() = default;

bool ReportListModel::hasQueued() const { return !m_store->queued.empty(); }

const std::deque<DebugRow>& ReportListModel::rows() const { return m_store->shown; }

std::size_t ReportListModel::shownRows() const { return m_store->shown.size(); }

std::optional<std::uint8_t> ReportListModel::rowStatus(std::size_t row) const { return m_store->shownStatus[row]; }

void ReportListModel::queue(const DebugRow& row, std::uint8_t status) {
    auto& queued = m_store->queued;
    queued.push_back(row);
    m_store->queuedStatus.push_back(status);
    if (queued.size() > m_historyLimit) {
        queued.pop_front();
        m_store->queuedStatus.pop_front();
    }
}

void ReportListModel::clear() {
    m_store->queued.clear();
    m_store->queuedStatus.clear();
    if (m_store->shown.empty())
        return;
    beginResetModel();
    m_store->shown.clear();
    m_store->shownStatus.clear();
    endResetModel();
}

bool ReportListModel::flush() {
    auto& [shown, queued, shownStatus, queuedStatus] = *m_store;
    if (queued.empty())
        return false;
    const std::size_t incoming = queued.size();
    const std::size_t overflow = shown.size() + incoming > m_historyLimit ? shown.size() + incoming - m_historyLimit : 0;
    const std::size_t drop = std::min(overflow, shown.size());
    if (drop > 0) {
        beginRemoveRows({}, 0, static_cast<int>(drop) - 1);
        shown.erase(shown.begin(), shown.begin() + static_cast<std::ptrdiff_t>(drop));
        shownStatus.erase(shownStatus.begin(), shownStatus.begin() + static_cast<std::ptrdiff_t>(drop));
        endRemoveRows();
    }
    const int first = static_cast<int>(shown.size());
    beginInsertRows({}, first, first + static_cast<int>(incoming) - 1);
    for (auto& row : queued)
        shown.push_back(std::move(row));
    shownStatus.insert(shownStatus.end(), queuedStatus.begin(), queuedStatus.end());
    queued.clear();
    queuedStatus.clear();
    endInsertRows();
    return true;
}

QVariant ReportListModel::cell(std::size_t row, int column) const {
    const DebugRow& shown = m_store->shown[row];
    if (column == timeColumn())
        return timeText(shown.time);
    const auto cells = shown.cells(m_transport);
    const auto at = static_cast<std::size_t>(column);
    return at < cells.size() ? toQString(cells[at]) : QVariant();
}

}  // namespace veltrane

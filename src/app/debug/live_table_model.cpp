#include "app/debug/live_table_model.h"

#include "app/common/qt_text.h"
#include "core/debug/report_row.h"

#include <QDateTime>

namespace veltrane {

namespace {
std::vector<QString> liveTitles() {
    static const Str titles[LiveTableModel::ColumnCount] = {
        Str::DebugColumnSerialIndex, Str::DebugColumnSlave,   Str::DebugColumnStart,   Str::DebugLiveLastStatus,
        Str::DebugLiveLastData,      Str::DebugLiveRegisters, Str::DebugLiveCorrect,   Str::DebugLiveException,
        Str::DebugLiveError,         Str::DebugLiveTimeout,   Str::DebugLiveLastReport};
    std::vector<QString> texts;
    for (Str title : titles)
        texts.push_back(qtr(title));
    return texts;
}
}  // namespace

LiveTableModel::LiveTableModel(DebugTransport transport, QObject* parent)
    : DebugTableModel(liveTitles(), parent), m_transport(transport) {}

void LiveTableModel::record(const DebugReport& report, LiveRow::Clock::time_point now) {
    if (m_table.record(report, m_transport, now))
        m_changed = true;
}

void LiveTableModel::reset() {
    beginResetModel();
    m_table.reset();
    m_shown.clear();
    m_changed = false;
    endResetModel();
}

void LiveTableModel::flush() {
    if (!m_changed)
        return;
    m_changed = false;
    // The view reads a copy, so it never sees the table between two flushes. Rows are only ever
    // added (reset() aside), both lists are sorted by key: each key the copy lacks is inserted.
    const std::vector<LiveRow>& rows = m_table.rows();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (i < m_shown.size() && m_shown[i].key == rows[i].key)
            continue;
        beginInsertRows({}, static_cast<int>(i), static_cast<int>(i));
        m_shown.insert(m_shown.begin() + static_cast<std::ptrdiff_t>(i), rows[i]);
        endInsertRows();
    }
    m_shown = rows;
    if (!m_shown.empty())
        emit dataChanged(index(0, 0), index(static_cast<int>(m_shown.size()) - 1, ColumnCount - 1));
}

QVariant LiveTableModel::cell(std::size_t rowIndex, int column) const {
    const LiveRow& row = m_shown[rowIndex];
    switch (column) {
    case SerialIndex:
        return m_transport == DebugTransport::Ethernet ? QVariant(row.key.serialIndex) : QVariant();
    case Slave:
        return int(row.key.slave);
    case Start:
        return int(row.key.start);
    case LastStatus:
        return toQString(statusText(row.lastStatus));
    case LastData:
        // An exception or a time-out says so in words; no values of an earlier answer stay beside it.
        if (row.lastStatus == report_status::Exception)
            return toQString(exceptionText(row.lastException));
        if (row.lastStatus == report_status::Timeout)
            return qtr(Str::DebugNoResponse);
        return toQString(dataColumnText(row.lastData));
    case Registers:
        return toQString(registerText(row.lastData));
    case Correct:
    case Exception:
    case Error:
    case Timeout:
        return QVariant::fromValue<qulonglong>(row.count(static_cast<std::uint8_t>(column - Correct)));
    case LastReport:
        return QDateTime::fromMSecsSinceEpoch(
                   std::chrono::duration_cast<std::chrono::milliseconds>(row.lastReport.time_since_epoch()).count())
            .toString(QStringLiteral("HH:mm:ss.zzz"));
    default:
        return {};
    }
}

}  // namespace veltrane

#pragma once
// The live table: one row per (serial index, slave, starting address) with the latest outcome and
// the counts of each, from core's LiveTable. Refreshed in batches like the report list.

#include "app/debug/debug_table_model.h"
#include "core/debug/live_table.h"

namespace veltrane {

class LiveTableModel : public DebugTableModel {
    Q_OBJECT
public:
    enum Column { SerialIndex, Slave, Start, LastStatus, LastData, Registers, Correct, Exception, Error, Timeout, LastReport, ColumnCount };

    explicit LiveTableModel(DebugTransport transport, QObject* parent = nullptr);

    void record(const DebugReport& report, LiveRow::Clock::time_point now);
    void reset();
    // Shows what was recorded since the last flush. New commands are inserted as rows, so a
    // selection in the view stays on its commands.
    void flush();
    const LiveTable& table() const { return m_table; }
    // The command a shown row stands for.
    LiveKey keyAt(int row) const { return m_shown.at(static_cast<std::size_t>(row)).key; }

private:
    std::size_t shownRows() const override { return m_shown.size(); }
    QVariant cell(std::size_t row, int column) const override;
    std::optional<std::uint8_t> rowStatus(std::size_t row) const override { return m_shown[row].lastStatus; }

    DebugTransport m_transport;
    LiveTable m_table;
    bool m_changed = false;
    std::vector<LiveRow> m_shown;
};

}  // namespace veltrane

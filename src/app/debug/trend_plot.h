#pragma once
// The trend plot of the debug window: the selected commands' 16-bit values against the time their
// reports arrived, newest at the right, with exceptions, errors and time-outs marked below the time
// axis. It paints straight from the TrendSeries, reduced to one value range per pixel column, so a
// paint costs the samples in view and never one line per report. Keys: + and - zoom, Space pauses,
// Left and Right move through time while paused; the mouse wheel zooms.

#include "core/debug/debug_transport.h"

#include <QWidget>

#include <cstdint>

namespace veltrane {

// Kept out of moc's sight: the string table it includes is generated.
class TrendSeries;

class TrendPlot : public QWidget {
    Q_OBJECT
public:
    TrendPlot(const TrendSeries& series, DebugTransport transport, QWidget* parent = nullptr);

    // New data: painted at once unless paused.
    void seriesChanged();
    void setPaused(bool paused);
    bool paused() const { return m_paused; }
    void zoomIn();
    void zoomOut();
    // The time shown across the plot.
    std::int64_t spanMs() const { return m_spanMs; }
    // The time at the right edge: the latest report, or where the view stood when paused.
    std::int64_t endMs() const;

    QSize sizeHint() const override { return {600, 220}; }
    QSize minimumSizeHint() const override { return {200, 120}; }

signals:
    void pausedChanged(bool paused);
    void spanChanged(qint64 spanMs);

protected:
    void paintEvent(QPaintEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void setSpan(std::int64_t spanMs);
    void pan(int direction);

    const TrendSeries& m_series;
    DebugTransport m_transport;
    std::int64_t m_spanMs = 60'000;
    bool m_paused = false;
    std::int64_t m_pausedEndMs = 0;
};

}  // namespace veltrane

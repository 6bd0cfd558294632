#include "app/debug/trend_plot.h"

#include "app/common/qt_text.h"
#include "app/debug/status_palette.h"
#include "core/debug/trend_series.h"

#include <QKeyEvent>
#include <QPainter>
#include <QWheelEvent>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <limits>

namespace veltrane {

namespace {

// The spans a zoom steps through.
constexpr std::array<std::int64_t, 12> kSpans = {1'000,  2'000,  5'000,   10'000,  20'000,  30'000,
                                                 60'000, 120'000, 300'000, 600'000, 1'200'000, 3'600'000};
// Distinct, muted line colours; a command's values take consecutive ones.
constexpr std::array<QRgb, 10> kLineColours = {0x1F77B4, 0xE07B00, 0x2CA02C, 0x9467BD, 0x8C564B,
                                               0x17BECF, 0xD62728, 0x7F7F7F, 0xBCBD22, 0xE377C2};
constexpr int kLeftMargin = 58;
constexpr int kRightMargin = 12;
constexpr int kTopMargin = 24;     // the legend's row
constexpr int kMarkStrip = 12;     // marks, below the plot area
constexpr int kBottomMargin = kMarkStrip + 20;

// One pixel column of one value's line.
struct ColumnRange {
    std::uint16_t low = std::numeric_limits<std::uint16_t>::max();
    std::uint16_t high = 0;
    bool used() const { return low <= high; }
};

std::int64_t niceStep(std::int64_t rough) {
    for (const std::int64_t step : {100, 200, 500, 1'000, 2'000, 5'000, 10'000, 15'000, 30'000, 60'000, 120'000,
                                    300'000, 600'000})
        if (step >= rough)
            return step;
    return 600'000;
}

std::int64_t niceValueStep(std::int64_t rough) {
    std::int64_t step = 1;
    while (step * 10 < rough)
        step *= 10;
    for (const std::int64_t factor : {1, 2, 5, 10})
        if (step * factor >= rough)
            return step * factor;
    return step * 10;
}

std::string secondsText(std::int64_t ms) {
    if (ms % 1000 == 0)
        return std::to_string(ms / 1000);
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", static_cast<double>(ms) / 1000.0);
    return text;
}

}  // namespace

TrendPlot::TrendPlot(const TrendSeries& series, DebugTransport transport, QWidget* parent)
    : QWidget(parent), m_series(series), m_transport(transport) {
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setSpan(std::min<std::int64_t>(m_spanMs, series.windowMs()));
}

void TrendPlot::seriesChanged() {
    if (!m_paused)
        update();
}

std::int64_t TrendPlot::endMs() const { return m_paused ? m_pausedEndMs : m_series.latestMs(); }

void TrendPlot::setPaused(bool paused) {
    if (paused == m_paused)
        return;
    m_pausedEndMs = m_series.latestMs();
    m_paused = paused;
    update();
    emit pausedChanged(paused);
}

void TrendPlot::setSpan(std::int64_t spanMs) {
    spanMs = std::clamp<std::int64_t>(spanMs, kSpans.front(), std::max(kSpans.front(), m_series.windowMs()));
    if (spanMs == m_spanMs)
        return;
    m_spanMs = spanMs;
    update();
    emit spanChanged(spanMs);
}

void TrendPlot::zoomIn() {
    const auto smaller = std::find_if(kSpans.rbegin(), kSpans.rend(), [&](std::int64_t s) { return s < m_spanMs; });
    if (smaller != kSpans.rend())
        setSpan(*smaller);
}

void TrendPlot::zoomOut() {
    const auto larger = std::find_if(kSpans.begin(), kSpans.end(), [&](std::int64_t s) { return s > m_spanMs; });
    if (larger != kSpans.end())
        setSpan(*larger);
}

void TrendPlot::pan(int direction) {
    if (!m_paused)
        return;
    // A quarter of the view per step, never past the newest report.
    m_pausedEndMs = std::min(m_series.latestMs(), m_pausedEndMs + direction * m_spanMs / 4);
    update();
}

void TrendPlot::wheelEvent(QWheelEvent* event) {
    const int steps = event->angleDelta().y();
    if (steps > 0)
        zoomIn();
    else if (steps < 0)
        zoomOut();
    event->accept();
}

void TrendPlot::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Plus:
    case Qt::Key_Equal:
        zoomIn();
        break;
    case Qt::Key_Minus:
        zoomOut();
        break;
    case Qt::Key_Space:
        setPaused(!m_paused);
        break;
    case Qt::Key_Left:
        pan(-1);
        break;
    case Qt::Key_Right:
        pan(1);
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
}

void TrendPlot::mousePressEvent(QMouseEvent* event) {
    setFocus(Qt::MouseFocusReason);
    QWidget::mousePressEvent(event);
}

void TrendPlot::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QPalette& pal = palette();
    painter.fillRect(rect(), pal.color(QPalette::Base));
    const QRect area(kLeftMargin, kTopMargin, std::max(1, width() - kLeftMargin - kRightMargin),
                     std::max(1, height() - kTopMargin - kBottomMargin));
    const QColor text = pal.color(QPalette::Text);
    const QColor grid = pal.color(QPalette::Mid).lighter(130);
    painter.setPen(grid);
    painter.drawRect(area.adjusted(0, 0, -1, -1));

    const std::vector<TrendTrack>& tracks = m_series.tracks();
    if (tracks.empty()) {
        painter.setPen(pal.color(QPalette::PlaceholderText));
        painter.drawText(area, Qt::AlignCenter | Qt::TextWordWrap, qtr(Str::DebugPlotHint));
        return;
    }

    const std::int64_t end = endMs();
    const std::int64_t start = end - m_spanMs;
    const int columns = area.width();
    const auto columnOf = [&](std::int64_t t) {
        return static_cast<int>(std::clamp<std::int64_t>((t - start) * columns / m_spanMs, 0, columns - 1));
    };

    // One pass over the samples in view: each value's range per pixel column, and the overall range.
    struct Line {
        std::size_t track = 0;
        std::size_t value = 0;
        std::vector<ColumnRange> columns;
    };
    std::vector<Line> lines;
    int low = std::numeric_limits<int>::max(), high = std::numeric_limits<int>::min();
    for (std::size_t t = 0; t < tracks.size(); ++t) {
        const auto& samples = tracks[t].samples;
        const auto first = std::lower_bound(samples.begin(), samples.end(), start,
                                            [](const TrendSample& s, std::int64_t ms) { return s.timeMs < ms; });
        const std::size_t firstLine = lines.size();
        for (auto it = first; it != samples.end() && it->timeMs <= end; ++it) {
            const int column = columnOf(it->timeMs);
            while (lines.size() - firstLine < it->count)
                lines.push_back({t, lines.size() - firstLine, std::vector<ColumnRange>(static_cast<std::size_t>(columns))});
            for (std::size_t v = 0; v < it->count; ++v) {
                ColumnRange& range = lines[firstLine + v].columns[static_cast<std::size_t>(column)];
                const std::uint16_t value = it->values[v];
                range.low = std::min(range.low, value);
                range.high = std::max(range.high, value);
                low = std::min<int>(low, value);
                high = std::max<int>(high, value);
            }
        }
    }
    if (low > high) {
        low = 0;
        high = 1;
    } else if (low == high) {
        low = std::max(0, low - 1);
        high = high + 1;
    }
    const double valueSpan = high - low;
    const auto yOf = [&](double value) {
        return area.bottom() - (value - low) * (area.height() - 1) / valueSpan;
    };

    // Grid and labels.
    const QFontMetrics metrics(font());
    painter.setPen(grid);
    const std::int64_t valueStep = niceValueStep(static_cast<std::int64_t>(std::ceil(valueSpan / 4)));
    for (std::int64_t v = (low + valueStep - 1) / valueStep * valueStep; v <= high; v += valueStep) {
        const double y = yOf(static_cast<double>(v));
        painter.setPen(grid);
        painter.drawLine(QPointF(area.left(), y), QPointF(area.right(), y));
        painter.setPen(text);
        painter.drawText(QRectF(0, y - metrics.height() / 2.0, kLeftMargin - 6, metrics.height()),
                         Qt::AlignRight | Qt::AlignVCenter, QString::number(v));
    }
    const std::int64_t timeStep = niceStep(m_spanMs / 6);
    const int labelTop = area.bottom() + kMarkStrip + 2;
    for (std::int64_t ago = 0; ago <= m_spanMs; ago += timeStep) {
        const double x = area.left() + static_cast<double>(m_spanMs - ago) * (columns - 1) / static_cast<double>(m_spanMs);
        painter.setPen(grid);
        painter.drawLine(QPointF(x, area.top()), QPointF(x, area.bottom() + kMarkStrip));
        painter.setPen(text);
        const QString label = qformat(Str::DebugPlotSeconds, {ago == 0 ? "0" : "-" + secondsText(ago)});
        const int labelWidth = metrics.horizontalAdvance(label);
        const double left = std::clamp(x - labelWidth / 2.0, 0.0, double(width() - labelWidth));
        painter.drawText(QPointF(left, labelTop + metrics.ascent()), label);
    }

    // The lines: through each column's low and high, so a spike narrower than a pixel still shows.
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setClipRect(area);
    QPolygonF points;
    for (std::size_t l = 0; l < lines.size(); ++l) {
        points.clear();
        for (int c = 0; c < columns; ++c) {
            const ColumnRange& range = lines[l].columns[static_cast<std::size_t>(c)];
            if (!range.used())
                continue;
            points.append(QPointF(area.left() + c, yOf(range.high)));
            if (range.low != range.high)
                points.append(QPointF(area.left() + c, yOf(range.low)));
        }
        painter.setPen(QPen(QColor(kLineColours[l % kLineColours.size()]), 1.5));
        if (points.size() == 1)
            painter.drawPoint(points.front());
        else
            painter.drawPolyline(points);
    }
    painter.setClipping(false);

    // Marks below the axis, at most one of each status per column.
    for (const TrendTrack& track : tracks) {
        const auto first = std::lower_bound(track.marks.begin(), track.marks.end(), start,
                                            [](const TrendMark& m, std::int64_t ms) { return m.timeMs < ms; });
        int lastColumn[4] = {-1, -1, -1, -1};
        for (auto it = first; it != track.marks.end() && it->timeMs <= end; ++it) {
            const int column = columnOf(it->timeMs);
            int& last = lastColumn[it->status & 3];
            if (column == last)
                continue;
            last = column;
            painter.setPen(QPen(statusMarkColour(it->status), 2));
            const int x = area.left() + column;
            painter.drawLine(x, area.bottom() + 2, x, area.bottom() + kMarkStrip - 1);
        }
    }

    // Legend: one entry per line, as many as fit on the top row.
    int x = area.left();
    for (std::size_t l = 0; l < lines.size(); ++l) {
        const LiveKey& key = tracks[lines[l].track].key;
        const std::string value = std::to_string(lines[l].value);
        const QString name = m_transport == DebugTransport::Ethernet
                                 ? qformat(Str::DebugPlotSeriesEthernet, {std::to_string(key.serialIndex),
                                                                          std::to_string(key.slave),
                                                                          std::to_string(key.start), value})
                                 : qformat(Str::DebugPlotSeriesSerial,
                                           {std::to_string(key.slave), std::to_string(key.start), value});
        const int entryWidth = 16 + metrics.horizontalAdvance(name) + 12;
        if (x + entryWidth > area.right())
            break;
        const int y = (kTopMargin - metrics.height()) / 2;
        painter.fillRect(QRect(x, y + metrics.height() / 2 - 2, 12, 4), QColor(kLineColours[l % kLineColours.size()]));
        painter.setPen(text);
        painter.drawText(QPointF(x + 16, y + metrics.ascent()), name);
        x += entryWidth;
    }
}

}  // namespace veltrane

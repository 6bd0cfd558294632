#include "app/mapping/buffer_map_image.h"

#include "app/mapping/buffer_colours.h"
#include "core/mapping/buffer_layout.h"
#include "core/mapping/conflict_rule.h"
#include "core/strings/strings.h"

#include <QFont>
#include <QPainter>
#include <QString>

namespace veltrane {

namespace {

constexpr int kMargin = 12;
constexpr int kLabelWidth = 44;
constexpr int kCellWidth = 20;
constexpr int kRowHeight = 16;
constexpr int kGapHeight = 10;  // marks rows left out
constexpr int kGridGap = 32;
constexpr int kHeadingHeight = 22;
constexpr int kLegendHeight = 30;
constexpr int kColumns = 16;
constexpr int kGridWidth = kLabelWidth + kColumns * kCellWidth;
constexpr std::int64_t kBufferRows = (kInputBufferLast - kInputBufferFirst) / kColumns + 1;

QString qtText(Str id) {
    return QString::fromStdString(tr(id));
}

QString hex4(std::int64_t value) {
    return QStringLiteral("%1").arg(value, 4, 16, QLatin1Char('0')).toUpper();
}

bool rowHasColour(const OccupancyMaps& maps, std::int64_t row) {
    for (BufferGrid grid : {BufferGrid::Input, BufferGrid::Output})
        for (std::int64_t a = row * kColumns; a < (row + 1) * kColumns; ++a)
            if (byteColour(maps, grid, a) != OccupancyColour::Free)
                return true;
    return false;
}

void drawGrid(QPainter& painter, const OccupancyMaps& maps, BufferGrid grid,
              const std::vector<std::int64_t>& rows, int left, int top) {
    const std::int64_t base = grid == BufferGrid::Output ? kOutputGridBase : 0;
    painter.setPen(Qt::black);
    painter.drawText(QRect(left, top, kGridWidth, kHeadingHeight), Qt::AlignLeft | Qt::AlignVCenter,
                     qtText(grid == BufferGrid::Output ? Str::OutputBufferHeading : Str::InputBufferHeading));
    int y = top + kHeadingHeight;
    // Column heading: the low hex digit of the byte address.
    painter.fillRect(QRect(left, y, kGridWidth, kRowHeight), QColor(224, 224, 224));
    for (int c = 0; c < kColumns; ++c)
        painter.drawText(QRect(left + kLabelWidth + c * kCellWidth, y, kCellWidth, kRowHeight),
                         Qt::AlignCenter, QString::number(c, 16).toUpper());
    y += kRowHeight;
    std::int64_t previous = -1;
    for (std::int64_t row : rows) {
        if (previous >= 0 && row != previous + 1) {
            painter.setPen(QPen(Qt::gray, 1, Qt::DashLine));
            painter.drawLine(left, y + kGapHeight / 2, left + kGridWidth, y + kGapHeight / 2);
            y += kGapHeight;
        }
        previous = row;
        painter.fillRect(QRect(left, y, kLabelWidth, kRowHeight), QColor(224, 224, 224));
        painter.setPen(Qt::black);
        painter.drawText(QRect(left, y, kLabelWidth - 4, kRowHeight), Qt::AlignRight | Qt::AlignVCenter,
                         hex4(base + row * kColumns));
        for (int c = 0; c < kColumns; ++c) {
            const QRect cell(left + kLabelWidth + c * kCellWidth, y, kCellWidth, kRowHeight);
            const QColor colour = cellQColor(byteColour(maps, grid, row * kColumns + c));
            painter.fillRect(cell, colour.isValid() ? colour : QColor(Qt::white));
            painter.setPen(QColor(192, 192, 192));
            painter.drawRect(cell.adjusted(0, 0, -1, -1));
        }
        y += kRowHeight;
    }
}

void drawLegend(QPainter& painter, int left, int top) {
    const std::pair<OccupancyColour, Str> items[] = {{OccupancyColour::Input, Str::LegendInput},
                                                {OccupancyColour::Output, Str::LegendOutput},
                                                {OccupancyColour::Conflict, Str::LegendConflict},
                                                {OccupancyColour::LocalExchange, Str::LegendLocalExchange}};
    int x = left;
    for (const auto& [colour, text] : items) {
        const QRect box(x, top + 8, 14, 14);
        painter.fillRect(box, cellQColor(colour));
        painter.setPen(Qt::black);
        painter.drawRect(box.adjusted(0, 0, -1, -1));
        const QString label = qtText(text);
        const int width = painter.fontMetrics().horizontalAdvance(label);
        painter.drawText(QRect(x + 20, top, width + 4, kLegendHeight), Qt::AlignLeft | Qt::AlignVCenter,
                         label);
        x += 20 + width + 24;
    }
}

}  // namespace

std::vector<std::int64_t> picturedRows(const OccupancyMaps& maps) {
    std::vector<std::int64_t> rows;
    for (std::int64_t row = 0; row < kGridBytes / kColumns; ++row)
        if (row < kBufferRows || rowHasColour(maps, row))
            rows.push_back(row);
    return rows;
}

QImage renderBufferMaps(const OccupancyMaps& maps) {
    const std::vector<std::int64_t> rows = picturedRows(maps);
    int gaps = 0;
    for (std::size_t i = 1; i < rows.size(); ++i)
        gaps += rows[i] != rows[i - 1] + 1 ? 1 : 0;
    const int gridHeight =
        kHeadingHeight + kRowHeight * (static_cast<int>(rows.size()) + 1) + kGapHeight * gaps;
    const int width = 2 * kMargin + 2 * kGridWidth + kGridGap;
    const int height = 2 * kMargin + gridHeight + kLegendHeight;

    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    QFont font = painter.font();
    font.setPixelSize(11);
    painter.setFont(font);
    drawGrid(painter, maps, BufferGrid::Input, rows, kMargin, kMargin);
    drawGrid(painter, maps, BufferGrid::Output, rows, kMargin + kGridWidth + kGridGap, kMargin);
    drawLegend(painter, kMargin, kMargin + gridHeight);
    painter.end();
    return image;
}

}  // namespace veltrane

#include "app/mapping/bit_popup.h"

#include "app/mapping/buffer_colours.h"

#include <QPainter>

namespace veltrane {

BitPopup::BitPopup(const std::array<OccupancyColour, 8>& bits, QWidget* parent)
    // A tool-tip window does not grab the mouse, so the grid still receives the button release.
    : QWidget(parent, Qt::ToolTip | Qt::FramelessWindowHint), m_bits(bits) {
    setFixedSize(kWidth, kHeight);
    setAttribute(Qt::WA_ShowWithoutActivating);
}

void BitPopup::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    for (int i = 0; i < 8; ++i) {
        const QRect cell(1 + i * kBitWidth, 1, kBitWidth, kHeight - 2);
        const QColor colour = cellQColor(bit(i));
        painter.fillRect(cell, colour.isValid() ? colour : palette().base().color());
        painter.setPen(palette().mid().color());
        painter.drawRect(cell.adjusted(0, 0, -1, -1));
        painter.setPen(bit(i) == OccupancyColour::Output || bit(i) == OccupancyColour::Conflict ? Qt::white
                                                                                      : Qt::black);
        painter.drawText(cell, Qt::AlignCenter, QString::number(i));
    }
}

}  // namespace veltrane

#pragma once
// The small borderless window that shows the eight bits of one pressed byte while the mouse
// button is held.

#include "core/mapping/conflict_rule.h"

#include <QWidget>

#include <array>

namespace veltrane {

class BitPopup : public QWidget {
    Q_OBJECT
public:
    static constexpr int kWidth = 165;
    static constexpr int kHeight = 23;
    static constexpr int kBitWidth = 20;  // 300 twips

    BitPopup(const std::array<OccupancyColour, 8>& bits, QWidget* parent);

    OccupancyColour bit(int i) const { return m_bits[static_cast<std::size_t>(i)]; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::array<OccupancyColour, 8> m_bits;
};

}  // namespace veltrane

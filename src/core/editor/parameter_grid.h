#pragma once
// A headless two-column grid: row titles in column 0, values in column 1, a background colour per
// cell and a current cell. The Qt grid widget only mirrors it.

#include "core/common/change_signal.h"

#include <array>
#include <functional>
#include <string>

namespace veltrane {

// Grey marks a value that cannot be edited, White one that can; Plain is the untouched look. The
// colour is only a display: what a click opens is decided by the rows' rules.
enum class GridCellColour { Plain, Grey, White };

class ParameterGrid {
public:
    static constexpr int kRows = 100;
    static constexpr int kColumns = 2;

    // Notified after every change of a text, a colour or the whole grid.
    ChangeSignal<>& changes() { return m_changes; }

    // Empties every cell and resets every colour.
    void clear();

    bool isCell(int row, int column) const {
        return row >= 0 && row < kRows && column >= 0 && column < kColumns;
    }
    const std::string& text(int row, int column) const;
    GridCellColour colour(int row, int column) const;
    // Cells outside the grid are ignored.
    void setText(int row, int column, std::string text);
    void setColour(int row, int column, GridCellColour colour);

    // Make the cell current and set its background.
    void greyCell(int row, int column);
    void whiteCell(int row, int column);
    void setCurrent(int row, int column);
    int currentRow() const { return m_currentRow; }
    int currentColumn() const { return m_currentColumn; }

    // A filled row: title, value and the value cell's colour.
    void setRow(int row, const std::string& title, const std::string& value, GridCellColour colour);
    // The row whose title is the given text, -1 when none.
    int findRow(const std::string& title) const;
    // One past the last row with any text.
    int usedRows() const;

private:
    struct Cell {
        std::string text;
        GridCellColour colour = GridCellColour::Plain;
    };
    void changed();

    std::array<std::array<Cell, kColumns>, kRows> m_cells{};
    int m_currentRow = 0;
    int m_currentColumn = 0;
    ChangeSignal<> m_changes;
};

} // namespace veltrane

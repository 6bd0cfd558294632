#include "core/editor/parameter_grid.h"

namespace veltrane {

void ParameterGrid::clear() {
    for (auto& row : m_cells)
        for (Cell& cell : row)
            cell = Cell{};
    changed();
}

const std::string& ParameterGrid::text(int row, int column) const {
    static const std::string none;
    return isCell(row, column) ? m_cells[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)].text
                               : none;
}

GridCellColour ParameterGrid::colour(int row, int column) const {
    return isCell(row, column)
               ? m_cells[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)].colour
               : GridCellColour::Plain;
}

void ParameterGrid::setText(int row, int column, std::string text) {
    if (!isCell(row, column))
        return;
    m_cells[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)].text = std::move(text);
    changed();
}

void ParameterGrid::setColour(int row, int column, GridCellColour colour) {
    if (!isCell(row, column))
        return;
    m_cells[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)].colour = colour;
    changed();
}

void ParameterGrid::setCurrent(int row, int column) {
    if (!isCell(row, column))
        return;
    m_currentRow = row;
    m_currentColumn = column;
}

void ParameterGrid::greyCell(int row, int column) {
    setCurrent(row, column);
    setColour(row, column, GridCellColour::Grey);
}

void ParameterGrid::whiteCell(int row, int column) {
    setCurrent(row, column);
    setColour(row, column, GridCellColour::White);
}

void ParameterGrid::setRow(int row, const std::string& title, const std::string& value,
                           GridCellColour colour) {
    setText(row, 0, title);
    setText(row, 1, value);
    setCurrent(row, 1);
    setColour(row, 1, colour);
}

int ParameterGrid::findRow(const std::string& title) const {
    for (int row = 0; row < kRows; ++row)
        if (m_cells[static_cast<std::size_t>(row)][0].text == title)
            return row;
    return -1;
}

int ParameterGrid::usedRows() const {
    for (int row = kRows; row > 0; --row) {
        const auto& cells = m_cells[static_cast<std::size_t>(row - 1)];
        if (!cells[0].text.empty() || !cells[1].text.empty())
            return row;
    }
    return 0;
}

void ParameterGrid::changed() {
    m_changes.notify();
}

} // namespace veltrane

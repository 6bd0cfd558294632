#pragma once
// The editor's split between tree, grid and help box, and the grid's geometry.

namespace veltrane {

// The column boundary dragged to x (pixels) is accepted between 100 and the client width - 200.
bool treeSplitAccepted(int x, int clientWidth);
// The boundary between grid and help box dragged to y is accepted between 100 and the client
// height - 50.
bool gridSplitAccepted(int y, int clientHeight);

// Rows are 300 twips high: 20 pixels at 96 dots per inch.
int gridRowHeight(int dotsPerInch);

} // namespace veltrane

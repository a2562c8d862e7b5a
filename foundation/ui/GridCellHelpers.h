#pragma once

class FlexGrid;

// Centres (horizontally and vertically) the cells from (row1, col1) to (row2, the last column).
void SetGridRowCell(FlexGrid* grid, int row1, int col1, int row2);
// The width in twips a window needs to show the grid's visible columns: their widths plus 400.
int GetGridWidth(const FlexGrid* grid);

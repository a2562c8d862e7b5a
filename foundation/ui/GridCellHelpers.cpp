#include "GridCellHelpers.h"

#include "FlexGrid.h"

void SetGridRowCell(FlexGrid* grid, int row1, int col1, int row2)
{
    if (grid)
        grid->setCellAlignment(row1, col1, row2, grid->Cols() - 1, FlexGrid::flexAlignCenterCenter);
}

int GetGridWidth(const FlexGrid* grid)
{
    int width = 0;
    if (grid) {
        for (int c = 0; c < grid->Cols(); ++c) {
            if (!grid->ColHidden(c))
                width += grid->ColWidth(c);
        }
    }
    return width + 400;
}

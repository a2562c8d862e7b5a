#pragma once

#include "RecordSet.h"

class FlexGrid;

// Copies the rows of rs into the grid's data rows, field k in column
// FixedCols + k (a grid without a format string takes the field names as its
// captions); an empty rs leaves the grid's rows as they were. rs is released
// and the caller's pointer cleared either way, then the grid is redrawn.
// Errors are shown with MsgBox::SystemError (title "System"), never thrown.
void BindGrid(FlexGrid* grid, RecordSetPtr& rs);

#include "BindGrid.h"

#include "DbError.h"
#include "FlexGrid.h"
#include "Guarded.h"

void BindGrid(FlexGrid* grid, RecordSetPtr& rs)
{
    // The rows are copied, so nothing needs the result once the grid holds them.
    const RecordSetPtr source = std::move(rs);
    rs.reset();
    Guarded(grid, [&] {
        if (!grid)
            throw DbError(QStringLiteral("对象变量或 With 块变量未设置"));
        if (source && !source->isEmpty())
            grid->LoadRecordSet(*source);
        grid->viewport()->update();
    });
}

#include "BindGrid.h"

#include "DbError.h"
#include "FlexGrid.h"
#include "MsgBox.h"

void BindGrid(FlexGrid* grid, RecordSetPtr& rs)
{
    // The rows are copied, so nothing needs the result once the grid holds them.
    const RecordSetPtr source = std::move(rs);
    rs.reset();
    try {
        if (!grid)
            throw DbError(QStringLiteral("对象变量或 With 块变量未设置"));
        if (source && !source->isEmpty())
            grid->LoadRecordSet(*source);
        grid->viewport()->update();
    } catch (const DbError& e) {
        MsgBox::SystemError(e.message(), grid);
    } catch (const std::exception& e) {
        MsgBox::SystemError(QString::fromLocal8Bit(e.what()), grid);
    }
}

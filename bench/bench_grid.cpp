#include "BindGrid.h"
#include "FlexGrid.h"
#include "RecordSet.h"
#include "uvg.h"

#include <QApplication>
#include <benchmark/benchmark.h>

namespace
{

// Rows shaped like the inbound line view: ids, codes, names, numbers, texts.
RecordSetPtr makeLines(int count)
{
    const QStringList fields = {
        "sel",       "id",        "goodsId",       "goodsTypeId", "goodsCode",    "goodsDetailCode",
        "goodsName", "goodsDesc", "goodsTypeName", "unit",        "packQty",      "weight",
        "inPrice",   "qty",       "totalAmount",   "locationId",  "locationCode", "lotNo",
        "remark"};
    QList<QVariantList> rows;
    rows.reserve(count);
    for (int i = 0; i < count; ++i) {
        const double price = 1.5 + (i % 97) * 0.125;
        const double qty = 1 + i % 13;
        rows.append({0, i + 1, 1000 + i % 500, 3 + i % 7, QStringLiteral("G%1").arg(100000 + i),
                     QStringLiteral("69%1").arg(1000000000 + i), QStringLiteral("货品名称%1").arg(i % 500),
                     QStringLiteral("规格%1").arg(i % 11), QStringLiteral("类别%1").arg(i % 7),
                     QStringLiteral("箱"), 12.0, 0.25 * (i % 9), price, qty, price * qty, 1 + i % 20,
                     QStringLiteral("A-%1").arg(i % 20), QStringLiteral("L%1").arg(i % 31), QVariant()});
    }
    return std::make_shared<RecordSet>(fields, rows);
}

const QString kFormat = QStringLiteral("^序号|^选中|<ID|<goodsId|<goodsTypeId|<货品编码或条码    "
                                       "|<goodsDetailCode|<货品名称        |<规格        "
                                       "|<货品类别  |^单位  |>内装数|>重量   |>进价     |>数量   |>金额     "
                                       "|>locationId|>存放库位   |<批次号    |<备注      ");

// The copy alone: 10,000 rows of 19 fields into the grid.
void BM_LoadRecordSet(benchmark::State& state)
{
    const RecordSetPtr lines = makeLines(int(state.range(0)));
    FlexGrid grid;
    grid.setFormatString(kFormat);
    for (auto _ : state) {
        grid.setRows(2);
        grid.LoadRecordSet(*lines);
        benchmark::DoNotOptimize(grid.Rows());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_LoadRecordSet)->Arg(10000)->Unit(benchmark::kMillisecond);

// What a bill window does on a shown grid: stop drawing, reset, bind, number
// the rows, colour the required cells, apply the format, hide columns, draw.
void BM_WindowFill(benchmark::State& state)
{
    const RecordSetPtr lines = makeLines(int(state.range(0)));
    FlexGrid grid;
    grid.resize(1200, 700);
    grid.show();
    QApplication::processEvents();
    for (auto _ : state) {
        RecordSetPtr rs = lines; // BindGrid clears the caller's pointer
        grid.setRedraw(false);
        grid.setRows(1);
        grid.setRows(2);
        grid.setCols(20);
        grid.setRowHeightMin(350);
        BindGrid(&grid, rs);
        SetGridRowNo(&grid, 1, grid.Rows() - 1, 0, 350, 1);
        grid.setCellBackColor(1, 13, grid.Rows() - 1, 14, 12640511);
        grid.setCellBackColor(1, 17, grid.Rows() - 1, 17, 12640511);
        grid.setFormatString(kFormat);
        grid.setEditable(FlexGrid::flexEDKbdMouse);
        grid.setColDataType(1, FlexGrid::flexDTBoolean);
        for (int c : {1, 2, 3, 4, 6, 16, 9})
            grid.setColHidden(c, true);
        grid.setRedraw(true);
        grid.Select(1, 5);
        QApplication::processEvents();
        benchmark::DoNotOptimize(grid.Rows());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_WindowFill)->Arg(10000)->Unit(benchmark::kMillisecond);

// A header click on the number column of a full grid.
void BM_SortNumbers(benchmark::State& state)
{
    const RecordSetPtr lines = makeLines(int(state.range(0)));
    FlexGrid grid;
    grid.setFormatString(kFormat);
    grid.LoadRecordSet(*lines);
    bool ascending = true;
    for (auto _ : state) {
        grid.Sort(15, ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
        ascending = !ascending;
    }
}
BENCHMARK(BM_SortNumbers)->Arg(10000)->Unit(benchmark::kMillisecond);

} // namespace

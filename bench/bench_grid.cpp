// The grid the bill windows and lists are built on, with 10,000 rows shaped
// like the inbound line view; no database. Each measure beside a bare twin,
// interleaved (Paired.h): a plain QTableWidget given the same cells as texts
// (numbers as numbers where they sort).
#include "BindGrid.h"
#include "FlexGrid.h"
#include "Paired.h"
#include "RecordSet.h"
#include "uvg.h"

#include <QApplication>
#include <QHeaderView>
#include <QTableWidget>
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

// The cells of a record set in a plain table: numbers as numbers, the rest as texts.
void FillPlain(QTableWidget& table, const RecordSet& rows)
{
    table.setRowCount(0);
    table.setColumnCount(rows.fieldCount());
    table.setRowCount(rows.RecordCount());
    for (int r = 0; r < rows.RecordCount(); ++r) {
        for (int c = 0; c < rows.fieldCount(); ++c) {
            const QVariant v = rows.value(r, c);
            auto* item = new QTableWidgetItem;
            if (v.typeId() == QMetaType::Double || v.typeId() == QMetaType::Int)
                item->setData(Qt::DisplayRole, v);
            else
                item->setText(v.toString());
            table.setItem(r, c, item);
        }
    }
}

// The copy alone: 10,000 rows of 19 fields into the grid.
void BM_LoadRecordSet(benchmark::State& state)
{
    const RecordSetPtr lines = makeLines(int(state.range(0)));
    FlexGrid grid;
    grid.setFormatString(kFormat);
    QTableWidget plain;
    Paired pair(1e3);
    for (auto _ : state) {
        pair.Run(
            state,
            [&] {
                grid.setRows(2);
                grid.LoadRecordSet(*lines);
            },
            [&] { FillPlain(plain, *lines); });
        if (grid.Rows() - 1 != plain.rowCount()) {
            state.SkipWithError("the tables hold different rows");
            break;
        }
    }
    pair.Report(state);
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_LoadRecordSet)->Arg(10000)->Unit(benchmark::kMillisecond)->UseManualTime();

// What a bill window does on a shown grid: stop drawing, reset, bind, number
// the rows, colour the required cells, apply the format, hide columns, draw;
// beside a shown plain table filled and drawn.
void BM_WindowFill(benchmark::State& state)
{
    const RecordSetPtr lines = makeLines(int(state.range(0)));
    FlexGrid grid;
    grid.resize(1200, 700);
    grid.show();
    QTableWidget plain;
    plain.resize(1200, 700);
    plain.show();
    QApplication::processEvents();
    Paired pair(1e3);
    for (auto _ : state) {
        pair.Run(
            state,
            [&] {
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
            },
            [&] {
                plain.setUpdatesEnabled(false);
                FillPlain(plain, *lines);
                for (int c : {1, 2, 3, 4, 6, 16, 9})
                    plain.setColumnHidden(c, true);
                plain.setUpdatesEnabled(true);
                plain.setCurrentCell(0, 5);
                QApplication::processEvents();
            });
    }
    pair.Report(state);
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_WindowFill)->Arg(10000)->Unit(benchmark::kMillisecond)->UseManualTime();

// A header click on the number column of a full grid, beside the plain
// table sorting its number items.
void BM_SortNumbers(benchmark::State& state)
{
    const RecordSetPtr lines = makeLines(int(state.range(0)));
    FlexGrid grid;
    grid.setFormatString(kFormat);
    grid.LoadRecordSet(*lines);
    QTableWidget plain;
    FillPlain(plain, *lines);
    Paired pair(1e3);
    bool ascending = true;
    for (auto _ : state) {
        const Qt::SortOrder order = ascending ? Qt::AscendingOrder : Qt::DescendingOrder;
        pair.Run(
            state, [&] { grid.Sort(15, order); }, [&] { plain.sortItems(14, order); });
        ascending = !ascending;
    }
    pair.Report(state);
}
BENCHMARK(BM_SortNumbers)->Arg(10000)->Unit(benchmark::kMillisecond)->UseManualTime();

} // namespace

// The grid the bill windows and lists are built on, with 10,000 rows shaped
// like the inbound line view; no database. Each measure beside a bare twin,
// interleaved (Paired.h), which makes the texts the grid shows from the same
// rows read natively (plain C++, no Qt type): a fill, and a header click
// sorting the rows by the column's texts read as numbers as the grid does;
// the shown window's twin hands those texts to a plain QTableWidget and
// draws it. Each run compares every cell with the grid's.
#include "BareExact.h"
#include "BareSql.h"
#include "BindGrid.h"
#include "FlexGrid.h"
#include "Paired.h"
#include "RecordSet.h"
#include "uvg.h"

#include <QApplication>
#include <QHeaderView>
#include <QTableWidget>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <numeric>
#include <string>
#include <variant>
#include <vector>

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

// The grid's rows bare: each row's cells as the texts the grid shows (a
// whole number as its digits, a number in the plain form, a Null empty),
// no Qt type, from the same rows read natively.
using TextRows = std::vector<std::vector<std::string>>;

std::vector<BareRow> NativeRows(const RecordSet& rows)
{
    std::vector<BareRow> out(size_t(rows.RecordCount()));
    for (int r = 0; r < rows.RecordCount(); ++r) {
        BareRow& row = out[size_t(r)];
        row.resize(size_t(rows.fieldCount()));
        for (int c = 0; c < rows.fieldCount(); ++c) {
            const QVariant v = rows.value(r, c);
            if (v.isNull())
                continue;
            if (v.typeId() == QMetaType::Double)
                row[size_t(c)] = v.toDouble();
            else if (v.typeId() == QMetaType::Int || v.typeId() == QMetaType::LongLong)
                row[size_t(c)] = sqlite3_int64(v.toLongLong());
            else
                row[size_t(c)] = v.toString().toStdString();
        }
    }
    return out;
}

void FillBare(TextRows& table, const std::vector<BareRow>& rows)
{
    table.clear();
    table.reserve(rows.size());
    for (const BareRow& row : rows) {
        std::vector<std::string>& cells = table.emplace_back();
        cells.reserve(row.size());
        for (const BareValue& v : row) {
            if (const auto* i = std::get_if<sqlite3_int64>(&v))
                cells.push_back(std::to_string(*i));
            else if (const auto* d = std::get_if<double>(&v))
                cells.push_back(BarePlainNumber(*d));
            else if (const auto* t = std::get_if<std::string>(&v))
                cells.push_back(*t);
            else
                cells.emplace_back();
        }
    }
}

// Whether the grid's data cells (after its fixed columns) hold the bare
// texts, every row, every cell.
bool SameCells(const FlexGrid& grid, const TextRows& table)
{
    if (grid.Rows() - grid.FixedRows() != int(table.size()))
        return false;
    const int first = grid.FixedCols();
    for (int r = 0; r < int(table.size()); ++r) {
        const std::vector<std::string>& cells = table[size_t(r)];
        if (grid.Cols() < first + int(cells.size()))
            return false;
        for (int c = 0; c < int(cells.size()); ++c)
            if (grid.TextMatrix(grid.FixedRows() + r, first + c).toStdString() != cells[size_t(c)])
                return false;
    }
    return true;
}

// The plain table given the grid's texts; the same check on it.
void FillPlain(QTableWidget& table, const TextRows& rows)
{
    table.setRowCount(0);
    table.setColumnCount(rows.empty() ? 0 : int(rows.front().size()));
    table.setRowCount(int(rows.size()));
    for (int r = 0; r < int(rows.size()); ++r)
        for (int c = 0; c < int(rows[size_t(r)].size()); ++c)
            table.setItem(r, c, new QTableWidgetItem(QString::fromStdString(rows[size_t(r)][size_t(c)])));
}

bool SameCells(const FlexGrid& grid, const QTableWidget& plain)
{
    if (grid.Rows() - grid.FixedRows() != plain.rowCount())
        return false;
    for (int r = 0; r < plain.rowCount(); ++r)
        for (int c = 0; c < plain.columnCount(); ++c)
            if (grid.TextMatrix(grid.FixedRows() + r, grid.FixedCols() + c) != plain.item(r, c)->text())
                return false;
    return true;
}

// A header click bare: the rows in a stable order of the column's texts
// read as numbers (empty cells first, then numbers, then other texts),
// descending the reverse comparison, as the grid sorts.
void SortBare(TextRows& table, int col, bool ascending)
{
    struct Key {
        int kind;
        double number;
        const std::string* text;
    };
    std::vector<Key> keys(table.size());
    for (size_t i = 0; i < table.size(); ++i) {
        const std::string& t = table[i][size_t(col)];
        char* end = nullptr;
        const double n = std::strtod(t.c_str(), &end);
        if (t.find_first_not_of(" \t") == std::string::npos)
            keys[i] = {0, 0, nullptr};
        else if (end && *end == '\0')
            keys[i] = {1, n, nullptr};
        else
            keys[i] = {2, 0, &t};
    }
    const auto less = [&](size_t a, size_t b) {
        const Key& x = keys[a];
        const Key& y = keys[b];
        if (x.kind != y.kind)
            return x.kind < y.kind;
        if (x.kind == 1)
            return x.number < y.number;
        return x.kind == 2 && *x.text < *y.text;
    };
    std::vector<size_t> sequence(table.size());
    std::iota(sequence.begin(), sequence.end(), size_t(0));
    if (ascending)
        std::stable_sort(sequence.begin(), sequence.end(), less);
    else
        std::stable_sort(sequence.begin(), sequence.end(), [&](size_t a, size_t b) { return less(b, a); });
    TextRows sorted;
    sorted.reserve(table.size());
    for (size_t i : sequence)
        sorted.push_back(std::move(table[i]));
    table = std::move(sorted);
}

// The copy alone: 10,000 rows of 19 fields into the grid.
void BM_LoadRecordSet(benchmark::State& state)
{
    const RecordSetPtr lines = makeLines(int(state.range(0)));
    const std::vector<BareRow> native = NativeRows(*lines);
    FlexGrid grid;
    grid.setFormatString(kFormat);
    TextRows bare;
    Paired pair(1e3);
    for (auto _ : state) {
        pair.Run(
            state,
            [&] {
                grid.setRows(2);
                grid.LoadRecordSet(*lines);
            },
            [&] { FillBare(bare, native); });
        if (!SameCells(grid, bare)) {
            state.SkipWithError("the tables hold different cells");
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
    const std::vector<BareRow> native = NativeRows(*lines);
    TextRows texts;
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
                FillBare(texts, native);
                FillPlain(plain, texts);
                for (int c : {1, 2, 3, 4, 6, 16, 9})
                    plain.setColumnHidden(c, true);
                plain.setUpdatesEnabled(true);
                plain.setCurrentCell(0, 5);
                QApplication::processEvents();
            });
        if (!SameCells(grid, plain)) {
            state.SkipWithError("the tables hold different cells");
            break;
        }
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
    TextRows bare;
    FillBare(bare, NativeRows(*lines));
    const int field = 15 - grid.FixedCols();
    Paired pair(1e3);
    bool ascending = true;
    for (auto _ : state) {
        const Qt::SortOrder order = ascending ? Qt::AscendingOrder : Qt::DescendingOrder;
        pair.Run(
            state, [&] { grid.Sort(15, order); }, [&] { SortBare(bare, field, ascending); });
        if (!SameCells(grid, bare)) {
            state.SkipWithError("the sorts left different orders");
            break;
        }
        ascending = !ascending;
    }
    pair.Report(state);
}
BENCHMARK(BM_SortNumbers)->Arg(10000)->Unit(benchmark::kMillisecond)->UseManualTime();

} // namespace

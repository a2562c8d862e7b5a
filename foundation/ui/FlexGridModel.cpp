#include "FlexGridModel.h"

#include "FlexGrid.h"

#include <QCollator>
#include <QFont>
#include <QHeaderView>
#include <QLocale>
#include <algorithm>
#include <numeric>

namespace
{

const QString& emptyText()
{
    static const QString empty;
    return empty;
}

} // namespace

bool FlexTextIsTrue(const QString& text)
{
    const QString t = text.trimmed();
    if (t.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
        return true;
    bool ok = false;
    const double v = t.toDouble(&ok);
    return ok && v != 0;
}

bool FlexTextIsNumber(const QString& text, double* value)
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return false;
    bool ok = false;
    const double v = t.toDouble(&ok);
    if (ok && value)
        *value = v;
    return ok;
}

bool FlexFigureChar(char16_t u)
{
    return (u >= '0' && u <= '9') || u == '.' || u == ',' || u == '-' || u == '+' || u == '%' || u == 'e' ||
           u == 'E' || u == u'\uFFE5' || u == u'\u00A5';
}

bool FlexTextIsFigure(const QString& text)
{
    bool digit = false;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (!FlexFigureChar(u))
            return false;
        digit = digit || (u >= '0' && u <= '9');
    }
    return digit;
}

Qt::Alignment FlexQtAlignment(int setting, const QString& text)
{
    switch (setting) {
    case FlexGrid::flexAlignLeftTop:
        return Qt::AlignLeft | Qt::AlignTop;
    case FlexGrid::flexAlignLeftCenter:
        return Qt::AlignLeft | Qt::AlignVCenter;
    case FlexGrid::flexAlignLeftBottom:
        return Qt::AlignLeft | Qt::AlignBottom;
    case FlexGrid::flexAlignCenterTop:
        return Qt::AlignHCenter | Qt::AlignTop;
    case FlexGrid::flexAlignCenterCenter:
        return Qt::AlignCenter;
    case FlexGrid::flexAlignCenterBottom:
        return Qt::AlignHCenter | Qt::AlignBottom;
    case FlexGrid::flexAlignRightTop:
        return Qt::AlignRight | Qt::AlignTop;
    case FlexGrid::flexAlignRightCenter:
        return Qt::AlignRight | Qt::AlignVCenter;
    case FlexGrid::flexAlignRightBottom:
        return Qt::AlignRight | Qt::AlignBottom;
    default:
        return (FlexTextIsNumber(text) ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter;
    }
}

FlexGridModel::FlexGridModel(FlexGrid* grid) : QAbstractTableModel(grid), m_grid(grid) {}

int FlexGridModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() || m_hideData ? 0 : int(rows.size()) - fixedRows;
}

int FlexGridModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(cols.size());
}

const QString& FlexGridModel::text(int row, int col) const
{
    if (row < 0 || row >= gridRows() || col < 0 || col >= gridCols())
        return emptyText();
    const FlexRow& r = rows[size_t(row)];
    if (size_t(col) >= r.cells.size())
        return emptyText();
    return r.cells[size_t(col)].text;
}

void FlexGridModel::setText(int row, int col, const QString& text)
{
    if (row < 0 || row >= gridRows() || col < 0 || col >= gridCols())
        return;
    FlexRow& r = rows[size_t(row)];
    if (size_t(col) >= r.cells.size()) {
        if (text.isEmpty())
            return;
        r.cells.resize(size_t(col) + 1);
    }
    r.cells[size_t(col)].text = text;
    cellChanged(row, col);
    if (row >= fixedRows)
        m_grid->noteCellText(row, col, text);
}

const FlexCellFormat* FlexGridModel::format(int row, int col) const
{
    if (row < 0 || row >= gridRows() || col < 0)
        return nullptr;
    const FlexRow& r = rows[size_t(row)];
    if (size_t(col) >= r.cells.size())
        return nullptr;
    return r.cells[size_t(col)].format.get();
}

FlexCellFormat& FlexGridModel::formatForWrite(int row, int col)
{
    FlexRow& r = rows[size_t(row)];
    if (size_t(col) >= r.cells.size())
        r.cells.resize(size_t(col) + 1);
    auto& f = r.cells[size_t(col)].format;
    if (!f)
        f = std::make_unique<FlexCellFormat>();
    return *f;
}

void FlexGridModel::clearFormat(int row, int col)
{
    if (row < 0 || row >= gridRows() || col < 0)
        return;
    FlexRow& r = rows[size_t(row)];
    if (size_t(col) < r.cells.size())
        r.cells[size_t(col)].format.reset();
}

QVariant FlexGridModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    const int row = index.row() + fixedRows;
    const int col = index.column();
    const FlexColumn& column = cols[size_t(col)];
    const bool boolean = column.dataType == FlexGrid::flexDTBoolean && col >= fixedCols;
    const FlexCellFormat* f = format(row, col);
    switch (role) {
    case Qt::DisplayRole:
        if (boolean)
            return {};
        return text(row, col);
    case Qt::EditRole:
        return text(row, col);
    case Qt::CheckStateRole:
        if (!boolean)
            return {};
        return FlexTextIsTrue(text(row, col)) ? Qt::Checked : Qt::Unchecked;
    case Qt::TextAlignmentRole: {
        const int setting = f && f->align >= 0 ? f->align : column.align;
        return QVariant::fromValue(FlexQtAlignment(setting, text(row, col)));
    }
    case Qt::BackgroundRole:
        if (f && f->back >= 0)
            return FlexGrid::OleColor(f->back);
        if (col < fixedCols)
            return backFixed >= 0 ? QVariant(FlexGrid::OleColor(backFixed))
                                  : QVariant(m_grid->palette().button());
        if (backAlternate >= 0 && index.row() % 2 == 1)
            return FlexGrid::OleColor(backAlternate);
        return {};
    case Qt::ForegroundRole:
        if (f && f->fore >= 0)
            return FlexGrid::OleColor(f->fore);
        if (col < fixedCols && foreFixed >= 0)
            return FlexGrid::OleColor(foreFixed);
        return {};
    case Qt::FontRole: {
        if (!f || (f->bold < 0 && f->italic < 0 && f->size <= 0))
            return {};
        QFont font = m_grid->font();
        if (f->bold >= 0)
            font.setBold(f->bold != 0);
        if (f->italic >= 0)
            font.setItalic(f->italic != 0);
        if (f->size > 0)
            font.setPointSizeF(f->size);
        return font;
    }
    case Qt::DecorationRole:
        if (f && !f->picture.isNull())
            return f->picture;
        return {};
    default:
        return {};
    }
}

Qt::ItemFlags FlexGridModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    // Fixed cells are never current, selected or edited; the delegate still draws them as enabled.
    if (index.column() < fixedCols)
        return Qt::ItemNeverHasChildren;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    const FlexColumn& column = cols[size_t(index.column())];
    if (column.editable && column.dataType != FlexGrid::flexDTBoolean)
        f |= Qt::ItemIsEditable;
    return f;
}

QVariant FlexGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal)
        return fixedRows > 0 ? QVariant(text(fixedRows - 1, section)) : QVariant();
    return QString::number(section + fixedRows);
}

void FlexGridModel::cellChanged(int row, int col)
{
    if (m_suspended) {
        m_dirty = true;
        return;
    }
    if (row < fixedRows) {
        m_grid->horizontalHeader()->viewport()->update();
        return;
    }
    const QModelIndex i = index(row - fixedRows, col);
    emit dataChanged(i, i);
}

void FlexGridModel::setSuspended(bool on)
{
    m_suspended = on;
    if (!on && m_dirty) {
        m_dirty = false;
        if (rowCount() > 0 && columnCount() > 0)
            emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
        m_grid->horizontalHeader()->viewport()->update();
    }
}

void FlexGridModel::dropDataRows()
{
    const int data = rowCount();
    if (data <= 0)
        return;
    beginRemoveRows({}, 0, data - 1);
    rows.resize(size_t(fixedRows));
    endRemoveRows();
}

void FlexGridModel::resizeRows(int count)
{
    count = std::max(count, 0);
    if (count < fixedRows)
        setFixedRows(count);
    const int current = gridRows();
    if (count > current) {
        beginInsertRows({}, current - fixedRows, count - fixedRows - 1);
        rows.resize(size_t(count));
        endInsertRows();
    } else if (count < current) {
        beginRemoveRows({}, count - fixedRows, current - fixedRows - 1);
        rows.resize(size_t(count));
        endRemoveRows();
    }
}

void FlexGridModel::resizeCols(int count)
{
    count = std::max(count, 0);
    const int current = gridCols();
    if (count > current) {
        beginInsertColumns({}, current, count - 1);
        cols.resize(size_t(count));
        endInsertColumns();
    } else if (count < current) {
        beginRemoveColumns({}, count, current - 1);
        cols.resize(size_t(count));
        for (FlexRow& r : rows) {
            if (r.cells.size() > size_t(count))
                r.cells.resize(size_t(count));
        }
        endRemoveColumns();
    }
    fixedCols = std::min(fixedCols, count);
}

void FlexGridModel::setFixedRows(int count)
{
    count = std::max(count, 0);
    if (count == fixedRows)
        return;
    // The rows stay where they are; only the border between header and data moves,
    // so the view sees every data row leave and the new data rows arrive.
    const int before = rowCount();
    if (before > 0) {
        beginRemoveRows({}, 0, before - 1);
        m_hideData = true;
        endRemoveRows();
    }
    m_hideData = true;
    fixedRows = count;
    if (gridRows() < count)
        rows.resize(size_t(count));
    const int after = gridRows() - fixedRows;
    if (after > 0)
        beginInsertRows({}, 0, after - 1);
    m_hideData = false;
    if (after > 0)
        endInsertRows();
}

void FlexGridModel::insertRow(int row)
{
    const int at = std::clamp(row, fixedRows, gridRows());
    beginInsertRows({}, at - fixedRows, at - fixedRows);
    rows.insert(rows.begin() + at, FlexRow{});
    endInsertRows();
}

void FlexGridModel::removeRow(int row)
{
    if (row < fixedRows || row >= gridRows())
        return;
    beginRemoveRows({}, row - fixedRows, row - fixedRows);
    rows.erase(rows.begin() + row);
    endRemoveRows();
}

void FlexGridModel::moveRow(int from, int to)
{
    if (from == to || from < fixedRows || to < fixedRows || from >= gridRows() || to >= gridRows())
        return;
    const int f = from - fixedRows;
    const int t = to - fixedRows;
    beginMoveRows({}, f, f, {}, t > f ? t + 1 : t);
    if (to > from)
        std::rotate(rows.begin() + from, rows.begin() + from + 1, rows.begin() + to + 1);
    else
        std::rotate(rows.begin() + to, rows.begin() + from, rows.begin() + from + 1);
    endMoveRows();
}

void FlexGridModel::sortData(int col, Qt::SortOrder order)
{
    const int n = rowCount();
    if (n < 2 || col < 0 || col >= gridCols())
        return;
    // Empty cells first, then numbers by value, then texts in Chinese (pinyin) order.
    struct Key {
        int kind;
        double number;
        QString text;
    };
    std::vector<Key> keys(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        const QString& t = text(fixedRows + i, col);
        Key& k = keys[size_t(i)];
        if (t.trimmed().isEmpty())
            k = {0, 0, {}};
        else if (FlexTextIsNumber(t, &k.number))
            k.kind = 1;
        else
            k = {2, 0, t};
    }
    static const QCollator collator = [] {
        QCollator c{QLocale(QLocale::Chinese, QLocale::China)};
        c.setCaseSensitivity(Qt::CaseInsensitive);
        return c;
    }();
    auto less = [&](int a, int b) {
        const Key& x = keys[size_t(a)];
        const Key& y = keys[size_t(b)];
        if (x.kind != y.kind)
            return x.kind < y.kind;
        if (x.kind == 1)
            return x.number < y.number;
        if (x.kind == 2)
            return collator.compare(x.text, y.text) < 0;
        return false;
    };
    std::vector<int> sequence(static_cast<size_t>(n));
    std::iota(sequence.begin(), sequence.end(), 0);
    if (order == Qt::AscendingOrder)
        std::stable_sort(sequence.begin(), sequence.end(), less);
    else
        std::stable_sort(sequence.begin(), sequence.end(), [&](int a, int b) { return less(b, a); });

    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    std::vector<FlexRow> sorted;
    sorted.reserve(size_t(n));
    for (int i : sequence)
        sorted.push_back(std::move(rows[size_t(fixedRows + i)]));
    std::move(sorted.begin(), sorted.end(), rows.begin() + fixedRows);
    // The current cell, the selection and every other kept index follow their row.
    std::vector<int> newRow(static_cast<size_t>(n));
    for (int to = 0; to < n; ++to)
        newRow[size_t(sequence[size_t(to)])] = to;
    const QModelIndexList from = persistentIndexList();
    QModelIndexList to;
    to.reserve(from.size());
    for (const QModelIndex& i : from)
        to.append(i.row() < n ? index(newRow[size_t(i.row())], i.column()) : i);
    changePersistentIndexList(from, to);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

#include "FlexGrid.h"

#include "FlexGridModel.h"
#include "FlexGridParts.h"
#include "Guarded.h"
#include "Numbers.h"
#include "RecordSet.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QRegularExpression>
#include <QScrollBar>
#include <cmath>

namespace
{

// A value of the database as the grid shows it: a stored number whole in
// the plain form (WholeNumber: every digit, no exponent, no "-0"), Null as
// the empty text.
QString valueText(const QVariant& value)
{
    if (value.isNull() || !value.isValid())
        return {};
    switch (value.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
        return WholeNumber(value.toDouble());
    case QMetaType::Bool:
        return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    default:
        return value.toString();
    }
}

// The sub-window of a frame that holds widget; null for a window of its own.
QWidget* subWindowOf(QWidget* widget)
{
    for (QWidget* w = widget; w && !w->isWindow(); w = w->parentWidget()) {
        if (qobject_cast<QMdiSubWindow*>(w))
            return w;
    }
    return nullptr;
}

bool within(const QWidget* outer, const QWidget* w)
{
    return w && (w == outer || outer->isAncestorOf(w));
}

} // namespace

FlexGrid::FlexGrid(QWidget* parent) : QTableView(parent)
{
    m_model = new FlexGridModel(this);
    m_header = new FlexGridHeader(this);
    setHorizontalHeader(m_header);
    setModel(m_model);
    m_delegate = new FlexGridDelegate(this);
    setItemDelegate(m_delegate);

    // The header selects nothing: a click sorts (when asked for) and nothing else.
    disconnect(m_header, &QHeaderView::sectionPressed, this, nullptr);
    disconnect(m_header, &QHeaderView::sectionEntered, this, nullptr);
    connect(m_header, &QHeaderView::sectionClicked, this, &FlexGrid::onHeaderClicked);
    connect(m_header, &QHeaderView::sectionResized, this, [this](int col, int, int size) {
        if (!m_settingWidth && size > 0 && validCol(col))
            m_model->cols[size_t(col)].width = PixelsToTwips(size);
    });
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this, [this] { reportRowColChange(); });
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] { emit SelChange(); });
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (m_keptEditor)
            focusMoved(now);
    });

    verticalHeader()->hide();
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setDefaultSectionSize(defaultRowPixels());
    m_header->setDefaultSectionSize(TwipsToPixels(960));
    setTabKeyNavigation(false);
    setHorizontalScrollMode(ScrollPerPixel);
    setSelectionBehavior(SelectItems);
    QTableView::setSelectionMode(ContiguousSelection);
    setEditTriggers(NoEditTriggers);
    setWordWrap(false);
    // A narrow column shows as much of its text as fits, never "...": the
    // windows size columns for their figures and codes.
    setTextElideMode(Qt::ElideNone);
    setCornerButtonEnabled(false);

    setFixedRows(1);
    setRows(1);
    setCols(2);
    setFixedCols(1);
}

FlexGrid::~FlexGrid() = default;

// ---------------------------------------------------------------- shape

int FlexGrid::Rows() const
{
    return m_model->gridRows();
}

void FlexGrid::setRows(int rows)
{
    const int before = Rows();
    m_model->resizeRows(rows);
    if (Rows() < before || m_model->fixedRows == 0)
        updateHeaderGeometry();
    if (Rows() < before)
        refitColumns(FixedRows());
    reportRowColChange();
}

int FlexGrid::Cols() const
{
    return m_model->gridCols();
}

void FlexGrid::setCols(int cols)
{
    const int before = Cols();
    m_model->resizeCols(cols);
    for (int c = before; c < Cols(); ++c)
        applyColumn(c);
    reportRowColChange();
}

int FlexGrid::FixedRows() const
{
    return m_model->fixedRows;
}

void FlexGrid::setFixedRows(int rows)
{
    const int oldRow = Row();
    const int oldCol = Col();
    m_model->setFixedRows(rows);
    m_header->setVisible(m_model->fixedRows > 0);
    applyRowHeights();
    updateHeaderGeometry();
    refitColumns(FixedRows());
    if (isDataRow(oldRow) && validCol(oldCol))
        setCurrentCell(oldRow, oldCol);
    reportRowColChange();
}

int FlexGrid::FixedCols() const
{
    return m_model->fixedCols;
}

void FlexGrid::setFixedCols(int cols)
{
    m_model->fixedCols = std::clamp(cols, 0, Cols());
    if (m_model->rowCount() > 0 && Cols() > 0)
        emit m_model->dataChanged(m_model->index(0, 0), m_model->index(m_model->rowCount() - 1, Cols() - 1));
    viewport()->update();
}

void FlexGrid::AddItem(const QString& item, int index)
{
    const int at = index < 0 ? Rows() : std::clamp(index, FixedRows(), Rows());
    m_model->insertRow(at);
    if (!item.isEmpty()) {
        const QStringList parts = item.split(QLatin1Char('\t'));
        for (int c = 0; c < parts.size() && c < Cols(); ++c)
            m_model->setText(at, c, parts[c]);
    }
    reportRowColChange();
}

void FlexGrid::RemoveItem(int index)
{
    if (!isDataRow(index))
        return;
    m_model->removeRow(index);
    reportRowColChange();
}

void FlexGrid::Clear(int where, int what)
{
    int r1 = 0;
    int r2 = Rows() - 1;
    int c1 = 0;
    int c2 = Cols() - 1;
    if (where == flexClearScrollable) {
        r1 = FixedRows();
        c1 = FixedCols();
    } else if (where == flexClearSelection) {
        r1 = std::min(Row(), RowSel());
        r2 = std::max(Row(), RowSel());
        c1 = std::min(Col(), ColSel());
        c2 = std::max(Col(), ColSel());
    }
    for (int r = std::max(r1, 0); r <= r2 && r < Rows(); ++r) {
        for (int c = std::max(c1, 0); c <= c2 && c < Cols(); ++c) {
            if (what != flexClearFormatting)
                m_model->setText(r, c, {});
            if (what != flexClearText) {
                m_model->clearFormat(r, c);
                m_model->cellChanged(r, c);
            }
        }
    }
    refitColumns(FixedRows());
}

void FlexGrid::setRowPosition(int row, int position)
{
    if (!isDataRow(row) || !isDataRow(position))
        return;
    m_model->moveRow(row, position);
    reportRowColChange();
}

// ---------------------------------------------------------------- cells

QString FlexGrid::TextMatrix(int row, int col) const
{
    return m_model->text(row, col);
}

void FlexGrid::setTextMatrix(int row, int col, const QString& text)
{
    m_model->setText(row, col, text);
}

QString FlexGrid::TextMatrix(int row, const QString& colKey) const
{
    return TextMatrix(row, ColIndex(colKey));
}

void FlexGrid::setTextMatrix(int row, const QString& colKey, const QString& text)
{
    setTextMatrix(row, ColIndex(colKey), text);
}

QVariant FlexGrid::Cell(int property, int row, int col) const
{
    if (!validRow(row) || !validCol(col))
        return {};
    const FlexCellFormat* f = m_model->format(row, col);
    switch (property) {
    case flexcpText:
        return TextMatrix(row, col);
    case flexcpAlignment:
        return f && f->align >= 0 ? f->align : ColAlignment(col);
    case flexcpPicture:
        return f ? QVariant(f->picture) : QVariant(QPixmap());
    case flexcpPictureAlignment:
        return f ? f->pictureAlign : int(flexAlignLeftCenter);
    case flexcpChecked:
        return FlexTextIsTrue(TextMatrix(row, col));
    case flexcpBackColor:
        return f ? f->back : -1;
    case flexcpForeColor:
        return f ? f->fore : -1;
    case flexcpFontSize:
        return f && f->size > 0 ? f->size : font().pointSizeF();
    case flexcpFontBold:
        return f && f->bold >= 0 ? f->bold != 0 : font().bold();
    case flexcpFontItalic:
        return f && f->italic >= 0 ? f->italic != 0 : font().italic();
    default:
        return {};
    }
}

void FlexGrid::setCell(int property, int row1, int col1, int row2, int col2, const QVariant& value)
{
    if (row2 < 0)
        row2 = row1;
    if (col2 < 0)
        col2 = col1;
    const int rLo = std::max(std::min(row1, row2), 0);
    const int rHi = std::min(std::max(row1, row2), Rows() - 1);
    const int cLo = std::max(std::min(col1, col2), 0);
    const int cHi = std::min(std::max(col1, col2), Cols() - 1);
    for (int r = rLo; r <= rHi; ++r) {
        for (int c = cLo; c <= cHi; ++c) {
            if (property == flexcpText) {
                m_model->setText(r, c, value.toString());
                continue;
            }
            if (property == flexcpChecked) {
                m_model->setText(r, c, value.toBool() ? QStringLiteral("-1") : QStringLiteral("0"));
                continue;
            }
            FlexCellFormat& f = m_model->formatForWrite(r, c);
            switch (property) {
            case flexcpAlignment:
                f.align = value.toInt();
                break;
            case flexcpPicture:
                f.picture = value.value<QPixmap>();
                break;
            case flexcpPictureAlignment:
                f.pictureAlign = value.toInt();
                break;
            case flexcpBackColor:
                f.back = value.isNull() ? -1 : value.toInt();
                break;
            case flexcpForeColor:
                f.fore = value.isNull() ? -1 : value.toInt();
                break;
            case flexcpFontSize:
                f.size = value.toDouble();
                break;
            case flexcpFontBold:
                f.bold = value.toBool() ? 1 : 0;
                break;
            case flexcpFontItalic:
                f.italic = value.toBool() ? 1 : 0;
                break;
            default:
                break;
            }
            m_model->cellChanged(r, c);
            if (property == flexcpFontSize || property == flexcpFontBold || property == flexcpFontItalic)
                noteCellText(r, c, m_model->text(r, c), true);
        }
    }
}

void FlexGrid::setCellBackColor(int row1, int col1, int row2, int col2, int oleColor)
{
    setCell(flexcpBackColor, row1, col1, row2, col2, oleColor);
}

void FlexGrid::setCellForeColor(int row1, int col1, int row2, int col2, int oleColor)
{
    setCell(flexcpForeColor, row1, col1, row2, col2, oleColor);
}

void FlexGrid::setCellAlignment(int row1, int col1, int row2, int col2, int alignment)
{
    setCell(flexcpAlignment, row1, col1, row2, col2, alignment);
}

void FlexGrid::setCellFontBold(int row1, int col1, int row2, int col2, bool bold)
{
    setCell(flexcpFontBold, row1, col1, row2, col2, bold);
}

int FlexGrid::CellBackColor(int row, int col) const
{
    const FlexCellFormat* f = m_model->format(row, col);
    return f ? f->back : -1;
}

QPixmap FlexGrid::CellPicture(int row, int col) const
{
    const FlexCellFormat* f = m_model->format(row, col);
    return f ? f->picture : QPixmap();
}

void FlexGrid::setCellPicture(int row, int col, const QPixmap& picture)
{
    setCell(flexcpPicture, row, col, row, col, QVariant(picture));
}

int FlexGrid::FindRow(const QString& text, int startRow, int col, bool caseSensitive, bool fullMatch) const
{
    if (!validCol(col))
        return -1;
    const Qt::CaseSensitivity cs = caseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive;
    for (int r = startRow < 0 ? FixedRows() : startRow; r < Rows(); ++r) {
        const QString& cell = m_model->text(r, col);
        if (fullMatch ? cell.compare(text, cs) == 0 : cell.startsWith(text, cs))
            return r;
    }
    return -1;
}

void FlexGrid::AppendRecordSet(const RecordSet& rs)
{
    const int fields = rs.fieldCount();
    const int first = FixedCols();
    if (Cols() < first + fields)
        setCols(first + fields);
    const QList<QVariantList>& source = rs.rows();
    const int firstNew = Rows();
    m_model->appendDataRows(int(source.size()), [&](FlexRow& row, int i) {
        const QVariantList& values = source.at(i);
        row.cells.resize(size_t(first + fields));
        for (int k = 0; k < fields && k < values.size(); ++k)
            row.cells[size_t(first + k)].text = valueText(values.at(k));
    });
    refitColumns(firstNew);
}

void FlexGrid::LoadRecordSet(const RecordSet& rs)
{
    const int fields = rs.fieldCount();
    const int first = FixedCols();
    const bool noFormat = m_formatString.isEmpty();
    if (noFormat)
        setCols(first + fields);
    else if (Cols() < first + fields)
        setCols(first + fields);
    if (noFormat && FixedRows() > 0) {
        for (int k = 0; k < fields; ++k)
            m_model->setText(0, first + k, rs.fields().at(k));
    }

    const int oldRow = Row();
    const int oldCol = Col();
    const QList<QVariantList>& source = rs.rows();
    // Row and column changes during the refill are not the user's moves: the
    // grid reports one change, if any, once it is full again.
    m_quiet = true;
    m_model->replaceDataRows(int(source.size()), [&](FlexRow& row, int i) {
        const QVariantList& values = source.at(i);
        row.cells.resize(size_t(first + fields));
        for (int k = 0; k < fields && k < values.size(); ++k)
            row.cells[size_t(first + k)].text = valueText(values.at(k));
    });
    applyRowHeights();
    refitColumns(FixedRows());
    if (Rows() > FixedRows()) {
        const int row = std::clamp(oldRow, FixedRows(), Rows() - 1);
        const int col = shownCol(validCol(oldCol) ? oldCol : std::min(FixedCols(), Cols() - 1));
        QItemSelectionModel::SelectionFlags flags = QItemSelectionModel::ClearAndSelect;
        if (selectionBehavior() == SelectRows)
            flags |= QItemSelectionModel::Rows;
        selectionModel()->setCurrentIndex(modelIndex(row, col), flags);
    }
    m_quiet = false;
    reportRowColChange();
}

// ---------------------------------------------------------------- columns

QString FlexGrid::ColKey(int col) const
{
    return validCol(col) ? m_model->cols[size_t(col)].key : QString();
}

void FlexGrid::setColKey(int col, const QString& key)
{
    if (validCol(col))
        m_model->cols[size_t(col)].key = key;
}

int FlexGrid::ColIndex(const QString& key) const
{
    for (int c = 0; c < Cols(); ++c) {
        if (m_model->cols[size_t(c)].key == key)
            return c;
    }
    return -1;
}

int FlexGrid::ColWidth(int col) const
{
    if (!validCol(col))
        return 0;
    const int w = m_model->cols[size_t(col)].width;
    return w >= 0 ? w : PixelsToTwips(m_header->defaultSectionSize());
}

void FlexGrid::setColWidth(int col, int twips)
{
    if (!validCol(col))
        return;
    m_model->cols[size_t(col)].width = std::max(twips, 0);
    applyColumn(col);
}

bool FlexGrid::ColHidden(int col) const
{
    return validCol(col) && m_model->cols[size_t(col)].hidden;
}

void FlexGrid::setColHidden(int col, bool hidden)
{
    if (!validCol(col))
        return;
    m_model->cols[size_t(col)].hidden = hidden;
    applyColumn(col);
    // A cursor in a column just hidden would be invisible, and the arrow keys
    // would no longer move it: it steps to a shown column.
    if (hidden && currentIndex().isValid() && currentIndex().column() == col) {
        const int to = shownCol(col);
        if (to != col) {
            QItemSelectionModel::SelectionFlags flags = QItemSelectionModel::ClearAndSelect;
            if (selectionBehavior() == SelectRows)
                flags |= QItemSelectionModel::Rows;
            selectionModel()->setCurrentIndex(m_model->index(currentIndex().row(), to), flags);
        }
    }
}

int FlexGrid::shownCol(int col) const
{
    if (!validCol(col) || !ColHidden(col))
        return col;
    for (int c = std::max(col, FixedCols()); c < Cols(); ++c) {
        if (!ColHidden(c))
            return c;
    }
    for (int c = col - 1; c >= 0; --c) {
        if (!ColHidden(c))
            return c;
    }
    return col;
}

int FlexGrid::ColAlignment(int col) const
{
    return validCol(col) ? m_model->cols[size_t(col)].align : int(flexAlignGeneral);
}

void FlexGrid::setColAlignment(int col, int alignment)
{
    if (!validCol(col))
        return;
    m_model->cols[size_t(col)].align = alignment;
    viewport()->update();
    m_header->viewport()->update();
}

int FlexGrid::ColDataType(int col) const
{
    return validCol(col) ? m_model->cols[size_t(col)].dataType : int(flexDTEmpty);
}

void FlexGrid::setColDataType(int col, int dataType)
{
    if (!validCol(col))
        return;
    m_model->cols[size_t(col)].dataType = dataType;
    viewport()->update();
}

QString FlexGrid::ColComboList(int col) const
{
    return validCol(col) ? m_model->cols[size_t(col)].comboList : QString();
}

void FlexGrid::setColComboList(int col, const QString& list)
{
    if (validCol(col))
        m_model->cols[size_t(col)].comboList = list;
}

QList<FlexGrid::ComboItem> FlexGrid::parseComboList(const QString& list, bool* userMayType)
{
    // "a|b" lists texts; "#1;a|#2;b" gives each text its data; a leading "|" lets the user type.
    QString body = list;
    const bool typing = body.startsWith(QLatin1Char('|'));
    if (typing)
        body.remove(0, 1);
    if (userMayType)
        *userMayType = typing;
    QList<ComboItem> items;
    if (body.isEmpty())
        return items;
    static const QRegularExpression dataItem(QStringLiteral("^#([^;]*);(.*)$"),
                                             QRegularExpression::DotMatchesEverythingOption);
    for (const QString& part : body.split(QLatin1Char('|'))) {
        const QRegularExpressionMatch m = dataItem.match(part);
        if (m.hasMatch())
            items.append({m.captured(1), m.captured(2)});
        else
            items.append({QString(), part});
    }
    return items;
}

QString FlexGrid::ColComboData(int col, const QString& itemText) const
{
    for (const ComboItem& item : parseComboList(ColComboList(col))) {
        if (item.text == itemText)
            return item.data;
    }
    return {};
}

bool FlexGrid::ColEditable(int col) const
{
    return validCol(col) && m_model->cols[size_t(col)].editable;
}

void FlexGrid::setColEditable(int col, bool editable)
{
    if (validCol(col))
        m_model->cols[size_t(col)].editable = editable;
}

void FlexGrid::AutoSize(int col1, int col2)
{
    if (col2 < 0)
        col2 = col1;
    const QFontMetrics fm(font());
    for (int c = std::max(col1, 0); c <= col2 && c < Cols(); ++c) {
        int widest = 0;
        for (int r = 0; r < Rows(); ++r)
            widest = std::max(widest, fm.horizontalAdvance(m_model->text(r, c)));
        setColWidth(c, PixelsToTwips(widest + 10));
    }
}

QString FlexGrid::FormatString() const
{
    return m_formatString;
}

void FlexGrid::setFormatString(const QString& format)
{
    m_formatString = format;
    const QStringList parts = format.split(QLatin1Char('|'));
    setCols(int(parts.size()));
    const QFontMetrics fm(font());
    for (int c = 0; c < parts.size(); ++c) {
        QString caption = parts[c];
        int align = flexAlignGeneral;
        if (caption.startsWith(QLatin1Char('<')))
            align = flexAlignLeftCenter;
        else if (caption.startsWith(QLatin1Char('^')))
            align = flexAlignCenterCenter;
        else if (caption.startsWith(QLatin1Char('>')))
            align = flexAlignRightCenter;
        if (align != flexAlignGeneral)
            caption.remove(0, 1);
        m_model->cols[size_t(c)].align = align;
        if (FixedRows() > 0)
            m_model->setText(0, c, caption);
        // The caption's trailing blanks count: they are how a format widens a column.
        setColWidth(c, PixelsToTwips(fm.horizontalAdvance(caption) + 10));
    }
    viewport()->update();
    m_header->viewport()->update();
}

// ---------------------------------------------------------------- rows

int FlexGrid::RowHeight(int row) const
{
    if (!validRow(row))
        return 0;
    const int h = m_model->rows[size_t(row)].height;
    if (h >= 0)
        return std::max(h, m_rowHeightMin);
    if (row < FixedRows())
        return PixelsToTwips(fixedRowPixels(row));
    return PixelsToTwips(rowHeight(row - FixedRows()));
}

void FlexGrid::setRowHeight(int row, int twips)
{
    if (!validRow(row))
        return;
    m_model->rows[size_t(row)].height = std::max(twips, 0);
    if (row < FixedRows())
        updateHeaderGeometry();
    else
        QTableView::setRowHeight(row - FixedRows(),
                                 std::max(TwipsToPixels(twips), TwipsToPixels(m_rowHeightMin)));
}

int FlexGrid::RowHeightMin() const
{
    return m_rowHeightMin;
}

void FlexGrid::setRowHeightMin(int twips)
{
    m_rowHeightMin = std::max(twips, 0);
    verticalHeader()->setDefaultSectionSize(defaultRowPixels());
    applyRowHeights();
    updateHeaderGeometry();
}

bool FlexGrid::RowHidden(int row) const
{
    return validRow(row) && m_model->rows[size_t(row)].hidden;
}

void FlexGrid::setRowHidden(int row, bool hidden)
{
    if (!isDataRow(row))
        return;
    m_model->rows[size_t(row)].hidden = hidden;
    QTableView::setRowHidden(row - FixedRows(), hidden);
}

QVariant FlexGrid::RowData(int row) const
{
    return validRow(row) ? m_model->rows[size_t(row)].data : QVariant();
}

void FlexGrid::setRowData(int row, const QVariant& value)
{
    if (validRow(row))
        m_model->rows[size_t(row)].data = value;
}

// ---------------------------------------------------------------- merging

int FlexGrid::MergeCells() const
{
    return m_mergeCells;
}

void FlexGrid::setMergeCells(int mode)
{
    m_mergeCells = mode;
    m_header->viewport()->update();
}

bool FlexGrid::MergeRow(int row) const
{
    return validRow(row) && m_model->rows[size_t(row)].merge;
}

void FlexGrid::setMergeRow(int row, bool merge)
{
    if (!validRow(row))
        return;
    m_model->rows[size_t(row)].merge = merge;
    m_header->viewport()->update();
}

bool FlexGrid::MergeCol(int col) const
{
    return validCol(col) && m_model->cols[size_t(col)].merge;
}

void FlexGrid::setMergeCol(int col, bool merge)
{
    if (!validCol(col))
        return;
    m_model->cols[size_t(col)].merge = merge;
    m_header->viewport()->update();
}

QRect FlexGrid::MergedRange(int row, int col) const
{
    const QRect single(col, row, 1, 1);
    if (m_mergeCells == flexMergeNever || row < 0 || row >= FixedRows() || !validCol(col))
        return single;
    const QString& text = m_model->text(row, col);
    if (text.trimmed().isEmpty())
        return single;
    // Equal neighbours in a merging row join sideways.
    auto spanInRow = [this](int r, int c, int* first, int* last) {
        const QString& t = m_model->text(r, c);
        int c1 = c;
        int c2 = c;
        if (MergeRow(r)) {
            while (c1 > 0 && m_model->text(r, c1 - 1) == t)
                --c1;
            while (c2 < Cols() - 1 && m_model->text(r, c2 + 1) == t)
                ++c2;
        }
        *first = c1;
        *last = c2;
    };
    int c1 = 0;
    int c2 = 0;
    spanInRow(row, col, &c1, &c2);
    int r1 = row;
    int r2 = row;
    // Equal cells of a merging column join downwards, unless one of them already spans sideways.
    if (c1 == c2 && MergeCol(col)) {
        auto alone = [&](int r) {
            int a = 0;
            int b = 0;
            spanInRow(r, col, &a, &b);
            return a == b;
        };
        while (r1 > 0 && m_model->text(r1 - 1, col) == text && alone(r1 - 1))
            --r1;
        while (r2 < FixedRows() - 1 && m_model->text(r2 + 1, col) == text && alone(r2 + 1))
            ++r2;
    }
    return QRect(QPoint(c1, r1), QPoint(c2, r2));
}

// ---------------------------------------------------------------- cursor and selection

QModelIndex FlexGrid::modelIndex(int row, int col) const
{
    if (!isDataRow(row) || !validCol(col))
        return {};
    return m_model->index(row - FixedRows(), col);
}

int FlexGrid::Row() const
{
    const QModelIndex cur = currentIndex();
    return cur.isValid() ? cur.row() + FixedRows() : m_virtualRow;
}

int FlexGrid::Col() const
{
    const QModelIndex cur = currentIndex();
    return cur.isValid() ? cur.column() : m_virtualCol;
}

void FlexGrid::setRow(int row)
{
    setCurrentCell(row, Col() >= 0 ? Col() : std::min(FixedCols(), Cols() - 1));
}

void FlexGrid::setCol(int col)
{
    setCurrentCell(Row() >= 0 ? Row() : std::min(FixedRows(), Rows() - 1), col);
}

void FlexGrid::setCurrentCell(int row, int col)
{
    if (!validRow(row) || !validCol(col))
        return;
    col = shownCol(col);
    if (row == Row() && col == Col()) {
        // The same cell again still drops a larger selection, as a move would.
        if (modelIndex(row, col).isValid()) {
            QItemSelectionModel::SelectionFlags flags = QItemSelectionModel::ClearAndSelect;
            if (selectionBehavior() == SelectRows)
                flags |= QItemSelectionModel::Rows;
            selectionModel()->select(modelIndex(row, col), flags);
        }
        return;
    }
    bool cancel = false;
    emit BeforeRowColChange(Row(), Col(), row, col, cancel);
    if (cancel)
        return;
    const QModelIndex target = modelIndex(row, col);
    if (target.isValid()) {
        m_virtualRow = -1;
        m_virtualCol = -1;
        QItemSelectionModel::SelectionFlags flags = QItemSelectionModel::ClearAndSelect;
        if (selectionBehavior() == SelectRows)
            flags |= QItemSelectionModel::Rows;
        selectionModel()->setCurrentIndex(target, flags);
    } else {
        // A fixed row: nothing in the data part is current any more.
        m_virtualRow = row;
        m_virtualCol = col;
        selectionModel()->clearSelection();
        selectionModel()->clearCurrentIndex();
    }
    reportRowColChange();
}

void FlexGrid::reportRowColChange()
{
    if (m_quiet)
        return;
    const int row = Row();
    const int col = Col();
    if (row == m_lastRow && col == m_lastCol)
        return;
    const int oldRow = m_lastRow;
    const int oldCol = m_lastCol;
    m_lastRow = row;
    m_lastCol = col;
    emit AfterRowColChange(oldRow, oldCol, row, col);
}

int FlexGrid::RowSel() const
{
    const QModelIndex cur = currentIndex();
    if (!cur.isValid())
        return Row();
    const QItemSelection sel = selectionModel()->selection();
    if (sel.isEmpty())
        return Row();
    int top = INT_MAX;
    int bottom = INT_MIN;
    for (const QItemSelectionRange& range : sel) {
        top = std::min(top, range.top());
        bottom = std::max(bottom, range.bottom());
    }
    if (cur.row() < top || cur.row() > bottom)
        return Row();
    return (cur.row() == top ? bottom : top) + FixedRows();
}

int FlexGrid::ColSel() const
{
    const QModelIndex cur = currentIndex();
    if (!cur.isValid())
        return Col();
    const QItemSelection sel = selectionModel()->selection();
    if (sel.isEmpty())
        return Col();
    int left = INT_MAX;
    int right = INT_MIN;
    for (const QItemSelectionRange& range : sel) {
        left = std::min(left, range.left());
        right = std::max(right, range.right());
    }
    if (cur.column() < left || cur.column() > right)
        return Col();
    return cur.column() == left ? right : left;
}

void FlexGrid::setRowSel(int row)
{
    Select(Row(), Col(), row, ColSel());
}

void FlexGrid::setColSel(int col)
{
    Select(Row(), Col(), RowSel(), col);
}

void FlexGrid::Select(int row1, int col1, int row2, int col2)
{
    if (row2 < 0)
        row2 = row1;
    if (col2 < 0)
        col2 = col1;
    setCurrentCell(row1, col1);
    const QModelIndex a = modelIndex(Row(), Col());
    const QModelIndex b =
        modelIndex(std::clamp(row2, FixedRows(), Rows() - 1), std::clamp(col2, 0, Cols() - 1));
    if (!a.isValid() || !b.isValid())
        return;
    const QModelIndex topLeft = m_model->index(std::min(a.row(), b.row()), std::min(a.column(), b.column()));
    const QModelIndex bottomRight =
        m_model->index(std::max(a.row(), b.row()), std::max(a.column(), b.column()));
    QItemSelectionModel::SelectionFlags flags = QItemSelectionModel::ClearAndSelect;
    if (selectionBehavior() == SelectRows)
        flags |= QItemSelectionModel::Rows;
    selectionModel()->select(QItemSelection(topLeft, bottomRight), flags);
}

int FlexGrid::TopRow() const
{
    const int r = rowAt(0);
    return r < 0 ? FixedRows() : r + FixedRows();
}

void FlexGrid::setTopRow(int row)
{
    if (!isDataRow(row))
        return;
    int col = columnAt(0);
    if (col < 0)
        col = std::max(Col(), 0);
    const QModelIndex target = modelIndex(row, col);
    if (target.isValid())
        scrollTo(target, PositionAtTop);
}

int FlexGrid::LeftCol() const
{
    return columnAt(0);
}

void FlexGrid::setLeftCol(int col)
{
    if (validCol(col))
        horizontalScrollBar()->setValue(m_header->sectionPosition(col));
}

void FlexGrid::ShowCell(int row, int col)
{
    const QModelIndex target = modelIndex(row, col);
    if (target.isValid())
        scrollTo(target, EnsureVisible);
}

void FlexGrid::setSelectionMode(int mode)
{
    m_selectionMode = mode;
    switch (mode) {
    case flexSelectionByRow:
        setSelectionBehavior(SelectRows);
        QTableView::setSelectionMode(ContiguousSelection);
        break;
    case flexSelectionListBox:
        setSelectionBehavior(SelectRows);
        QTableView::setSelectionMode(ExtendedSelection);
        break;
    default:
        setSelectionBehavior(SelectItems);
        QTableView::setSelectionMode(ContiguousSelection);
        break;
    }
}

// ---------------------------------------------------------------- editing

void FlexGrid::setEditable(int mode)
{
    m_editable = mode;
    switch (mode) {
    case flexEDKbd:
        setEditTriggers(AnyKeyPressed | EditKeyPressed);
        break;
    case flexEDKbdMouse:
        setEditTriggers(AnyKeyPressed | EditKeyPressed | DoubleClicked);
        break;
    default:
        setEditTriggers(NoEditTriggers);
        break;
    }
}

bool FlexGrid::canEditCell(int row, int col) const
{
    if (!isDataRow(row) || !validCol(col) || col < FixedCols())
        return false;
    const FlexColumn& column = m_model->cols[size_t(col)];
    return column.editable && !column.hidden && column.dataType != flexDTBoolean;
}

void FlexGrid::EditCell()
{
    const QModelIndex cur = currentIndex();
    if (cur.isValid())
        edit(cur, AllEditTriggers, nullptr);
}

bool FlexGrid::IsEditing() const
{
    return state() == EditingState && m_editor;
}

QString FlexGrid::EditText() const
{
    if (m_editor)
        return FlexGridDelegate::editorText(m_editor);
    return {};
}

void FlexGrid::setEditText(const QString& text)
{
    if (m_editor)
        FlexGridDelegate::setEditorText(m_editor, text);
}

bool FlexGrid::EditKeepsOneNumber(int keyAscii) const
{
    if (keyAscii == 8 || keyAscii == 13)
        return true;
    const QLineEdit* line = qobject_cast<const QLineEdit*>(m_editor.data());
    if (!line) {
        if (const auto* combo = qobject_cast<const QComboBox*>(m_editor.data()))
            line = combo->lineEdit();
    }
    if (!line)
        return false;
    QString after = line->text();
    if (line->hasSelectedText())
        after.replace(line->selectionStart(), int(line->selectedText().size()), QChar(keyAscii));
    else
        after.insert(line->cursorPosition(), QChar(keyAscii));
    static const QRegularExpression oneNumber(QStringLiteral("^-?[0-9]*\\.?[0-9]*$"));
    return oneNumber.match(after).hasMatch();
}

bool FlexGrid::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event)
{
    const bool asked = trigger == AllEditTriggers || (editTriggers() & trigger);
    if (!asked || !index.isValid())
        return QTableView::edit(index, trigger, event);
    const int row = index.row() + FixedRows();
    const int col = index.column();
    if (m_editor && IsEditing() && m_editRow == row && m_editCol == col)
        return QTableView::edit(index, trigger, event);
    if (!canEditCell(row, col))
        return false;
    bool cancel = false;
    emit BeforeEdit(row, col, cancel);
    if (cancel)
        return false;
    emit StartEdit(row, col, cancel);
    if (cancel)
        return false;
    m_editRow = row;
    m_editCol = col;
    m_afterEditPending = false;
    return QTableView::edit(index, trigger, event);
}

void FlexGrid::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint)
{
    const bool after = m_afterEditPending;
    const int row = m_editRow;
    const int col = m_editCol;
    m_afterEditPending = false;
    if (editor == m_editor)
        m_editor = nullptr;
    // Keys reach the window's focus widget even while no window is active (the
    // editor then has no focus of its own): the grid takes that place from its
    // editor, or the keys would reach nothing once it is gone.
    QWidget* focus = window()->focusWidget();
    const bool held =
        editor && focus && !editor->hasFocus() && (focus == editor || editor->isAncestorOf(focus));
    QTableView::closeEditor(editor, hint);
    if (held && !IsEditing() && window()->focusWidget() != this)
        setFocus(Qt::OtherFocusReason);
    if (after)
        emit AfterEdit(row, col);
}

void FlexGrid::editorKey(QWidget* editor, QKeyEvent* event, bool& swallow)
{
    const int row = m_editRow;
    const int col = m_editCol;
    int key = event->key();
    emit KeyDownEdit(row, col, key, event->modifiers() & ~Qt::KeypadModifier);
    if (key == 0) {
        swallow = true;
        return;
    }
    if ((key == Qt::Key_Tab || key == Qt::Key_Backtab) &&
        !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        swallow = true;
        editorTab(editor, key == Qt::Key_Tab && !(event->modifiers() & Qt::ShiftModifier));
        return;
    }
    const QString text = event->text();
    // Delete carries a character under X ("\x7f"), but it types nothing; a
    // shortcut (Ctrl+V pastes) types nothing either.
    const bool shortcut = event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    if (!text.isEmpty() && !shortcut && key != Qt::Key_Escape && key != Qt::Key_Delete) {
        int ascii = text.at(0).unicode();
        const int typed = ascii;
        emit KeyPressEdit(row, col, ascii);
        if (ascii == 0) {
            swallow = true;
            return;
        }
        if (ascii != typed && ascii != 13) {
            QLineEdit* line = qobject_cast<QLineEdit*>(editor);
            if (!line) {
                if (auto* combo = qobject_cast<QComboBox*>(editor))
                    line = combo->lineEdit();
            }
            if (line)
                line->insert(QString(QChar(ascii)));
            swallow = true;
            return;
        }
    }
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        // One Enter ends the edit (unless ValidateEdit refuses) and then does
        // what Enter does on the grid: a helper that moves on Enter moves on.
        swallow = true;
        if (!m_delegate->commitNow(editor))
            return;
        m_delegate->closeNow(editor, QAbstractItemDelegate::NoHint);
        if (IsEditing())
            return;
        QKeyEvent again(QEvent::KeyPress, event->key(), event->modifiers(), QStringLiteral("\r"));
        keyPressEvent(&again);
    }
}

void FlexGrid::editorTab(QWidget* editor, bool forward)
{
    // Tab ends the edit as Enter does and moves on as Enter does; where Enter
    // moves nowhere, Tab leaves the grid by the tab order.
    if (!m_delegate->commitNow(editor))
        return;
    m_delegate->closeNow(editor, QAbstractItemDelegate::NoHint);
    if (IsEditing())
        return;
    if (forward) {
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
        keyPressEvent(&enter);
        if (m_keyUsed || IsEditing() || window()->focusWidget() != this)
            return;
    }
    focusNextPrevChild(forward);
}

bool FlexGrid::keepEditorOnFocusOut(QWidget* editor)
{
    QWidget* now = QApplication::focusWidget();
    if (!now || within(editor, now) || now->window() != window())
        return false;
    QWidget* sub = subWindowOf(this);
    if (!sub || within(sub, now))
        return false;
    // The focus went to another sub-window of this frame. The edit is kept,
    // and the editor stays the one its window gives the focus back to: the
    // grid takes the focus from it when the window is entered again.
    if (m_delegate->commitNow(editor) && m_afterEditPending) {
        m_afterEditPending = false;
        emit AfterEdit(m_editRow, m_editCol);
    }
    m_keptEditor = editor;
    return true;
}

void FlexGrid::focusMoved(QWidget* now)
{
    QWidget* editor = m_keptEditor;
    if (editor != m_editor) {
        m_keptEditor = nullptr;
        return;
    }
    QWidget* sub = subWindowOf(this);
    if (!now || !sub || !within(sub, now))
        return; // still away
    m_keptEditor = nullptr;
    if (within(editor, now)) {
        m_delegate->closeNow(editor, QAbstractItemDelegate::NoHint);
        return;
    }
    const bool frame = now == sub;
    m_delegate->closeNow(editor, QAbstractItemDelegate::NoHint);
    // The window itself took the focus: it goes on to where the edit stood.
    if (frame)
        setFocus(Qt::OtherFocusReason);
}

QString FlexGrid::Clip() const
{
    const int r1 = std::min(Row(), RowSel());
    const int r2 = std::max(Row(), RowSel());
    const int c1 = std::min(Col(), ColSel());
    const int c2 = std::max(Col(), ColSel());
    if (r1 < 0 || c1 < 0)
        return {};
    QStringList lines;
    for (int r = r1; r <= r2 && r < Rows(); ++r) {
        QStringList cells;
        for (int c = c1; c <= c2 && c < Cols(); ++c)
            cells << m_model->text(r, c);
        lines << cells.join(QLatin1Char('\t'));
    }
    return lines.join(QLatin1Char('\r'));
}

void FlexGrid::setClip(const QString& text)
{
    const int r1 = std::min(Row(), RowSel());
    const int r2 = std::max(Row(), RowSel());
    const int c1 = std::min(Col(), ColSel());
    const int c2 = std::max(Col(), ColSel());
    if (r1 < 0 || c1 < 0)
        return;
    QString body = text;
    body.replace(QLatin1String("\r\n"), QLatin1String("\r")).replace(QLatin1Char('\n'), QLatin1Char('\r'));
    const QStringList lines = body.split(QLatin1Char('\r'));
    for (int i = 0; i < lines.size() && r1 + i <= r2 && r1 + i < Rows(); ++i) {
        const QStringList cells = lines[i].split(QLatin1Char('\t'));
        for (int j = 0; j < cells.size() && c1 + j <= c2 && c1 + j < Cols(); ++j)
            m_model->setText(r1 + i, c1 + j, cells[j]);
    }
}

bool FlexGrid::ClipSpansRows() const
{
    const int r1 = std::min(Row(), RowSel());
    const int c1 = std::min(Col(), ColSel());
    const int c2 = std::max(Col(), ColSel());
    if (r1 < FixedRows())
        return false;
    int first = -1;
    int last = -1;
    for (int c = FixedCols(); c < Cols(); ++c) {
        if (ColHidden(c))
            continue;
        if (first < 0)
            first = c;
        last = c;
    }
    return first >= 0 && c1 <= first && c2 >= last;
}

QVariantList FlexGrid::ClipRowData() const
{
    QVariantList values;
    const int r1 = std::max(std::min(Row(), RowSel()), 0);
    const int r2 = std::max(Row(), RowSel());
    for (int r = r1; r <= r2 && r < Rows(); ++r)
        values << RowData(r);
    return values;
}

void FlexGrid::setClipRowData(const QVariantList& values)
{
    if (!ClipSpansRows())
        return;
    const int r1 = std::min(Row(), RowSel());
    const int r2 = std::max(Row(), RowSel());
    for (int r = r1; r <= r2 && r < Rows(); ++r)
        setRowData(r, r - r1 < values.size() ? values.at(r - r1) : QVariant());
}

// ---------------------------------------------------------------- sorting

void FlexGrid::setExplorerBar(int setting)
{
    m_explorerBar = setting;
    m_header->viewport()->update();
}

void FlexGrid::Sort(int col, Qt::SortOrder order)
{
    m_model->sortData(col, order);
    m_sortCol = col;
    m_sortOrder = order;
    m_header->viewport()->update();
}

void FlexGrid::setSortIndicator(int col, Qt::SortOrder order)
{
    m_sortCol = validCol(col) ? col : -1;
    m_sortOrder = order;
    m_header->viewport()->update();
}

void FlexGrid::onHeaderClicked(int col)
{
    if (!(m_explorerBar & flexExSort) || !validCol(col))
        return;
    // Sorting a year of rows takes a while: the busy cursor shows meanwhile.
    const BusyCursor busy;
    const Qt::SortOrder order =
        col == m_sortCol && m_sortOrder == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
    bool cancel = false;
    emit BeforeSort(col, order, cancel);
    if (cancel)
        return;
    Sort(col, order);
    emit AfterSort(col, order);
}

// ---------------------------------------------------------------- look

void FlexGrid::setRedraw(bool on)
{
    if (on == m_redraw)
        return;
    m_redraw = on;
    m_model->setSuspended(!on);
    viewport()->setUpdatesEnabled(on);
    m_header->viewport()->setUpdatesEnabled(on);
    if (on) {
        viewport()->update();
        m_header->viewport()->update();
    }
}

void FlexGrid::setBackColorFixed(int oleColor)
{
    m_model->backFixed = oleColor;
    viewport()->update();
    m_header->viewport()->update();
}

void FlexGrid::setForeColorFixed(int oleColor)
{
    m_model->foreFixed = oleColor;
    viewport()->update();
    m_header->viewport()->update();
}

void FlexGrid::setBackColorAlternate(int oleColor)
{
    m_model->backAlternate = oleColor;
    viewport()->update();
}

void FlexGrid::setGridColor(int oleColor)
{
    setStyleSheet(QStringLiteral("QTableView { gridline-color: %1; }").arg(OleColor(oleColor).name()));
}

QColor FlexGrid::OleColor(int bgr)
{
    return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}

int FlexGrid::ToOleColor(const QColor& color)
{
    return color.red() | (color.green() << 8) | (color.blue() << 16);
}

int FlexGrid::TwipsToPixels(int twips) const
{
    return int(std::lround(twips * logicalDpiX() / 1440.0));
}

int FlexGrid::PixelsToTwips(int pixels) const
{
    return int(std::lround(pixels * 1440.0 / logicalDpiX()));
}

int FlexGrid::defaultRowPixels() const
{
    return std::max(fontMetrics().height() + 6, TwipsToPixels(m_rowHeightMin));
}

int FlexGrid::fixedRowPixels(int row) const
{
    const int h = validRow(row) ? m_model->rows[size_t(row)].height : -1;
    if (h < 0)
        return defaultRowPixels();
    return std::max(TwipsToPixels(h), TwipsToPixels(m_rowHeightMin));
}

void FlexGrid::updateHeaderGeometry()
{
    m_header->updateGeometry();
    updateGeometries();
    m_header->viewport()->update();
}

void FlexGrid::applyColumn(int col)
{
    const FlexColumn& column = m_model->cols[size_t(col)];
    m_settingWidth = true;
    setColumnWidth(col, shownWidth(col));
    setColumnHidden(col, column.hidden);
    m_settingWidth = false;
}

int FlexGrid::shownWidth(int col) const
{
    const FlexColumn& column = m_model->cols[size_t(col)];
    const int set = column.width >= 0 ? TwipsToPixels(column.width) : m_header->defaultSectionSize();
    return std::max(set, column.fitPixels);
}

int FlexGrid::textMargin() const
{
    // As the item view style keeps text off the cell's edges.
    return style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1;
}

int FlexGrid::figureEstimate(const QString& text) const
{
    // One pass: the figure test of FlexTextIsFigure and the sum of advances.
    int sum = 0;
    bool digit = false;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (!FlexFigureChar(u))
            return -1;
        digit = digit || (u >= '0' && u <= '9');
        int& advance = u < 128 ? m_asciiAdvances[u] : m_advances[u];
        if (advance <= 0)
            advance = fontMetrics().horizontalAdvance(c);
        sum += advance;
    }
    return digit ? sum : -1;
}

int FlexGrid::figurePixels(int row, int col, const QString& text) const
{
    QFont cellFont = font();
    if (row >= FixedRows()) {
        const QVariant f = m_model->data(modelIndex(row, col), Qt::FontRole);
        if (f.isValid())
            cellFont = f.value<QFont>();
    }
    // The text, the style's margin on both sides, the grid line and one pixel to spare.
    return QFontMetrics(cellFont).horizontalAdvance(text) + 2 * textMargin() + 2;
}

void FlexGrid::noteCellText(int row, int col, const QString& text, bool remeasure)
{
    if (!validCol(col) || !isDataRow(row))
        return;
    FlexColumn& column = m_model->cols[size_t(col)];
    if (column.dataType == flexDTBoolean)
        return;
    const int estimate = figureEstimate(text);
    if (estimate < 0 || estimate < column.fitEstimate || (estimate == column.fitEstimate && !remeasure))
        return;
    column.fitEstimate = estimate;
    const int pixels = figurePixels(row, col, text);
    if (pixels <= column.fitPixels)
        return;
    column.fitPixels = pixels;
    if (!column.hidden && columnWidth(col) < pixels)
        applyColumn(col);
}

void FlexGrid::refitColumns(int fromRow)
{
    const bool fresh = fromRow <= FixedRows();
    for (int col = 0; col < Cols(); ++col) {
        FlexColumn& column = m_model->cols[size_t(col)];
        const int before = column.fitPixels;
        if (fresh) {
            column.fitPixels = 0;
            column.fitEstimate = 0;
        }
        if (column.dataType != flexDTBoolean) {
            int widest = -1;
            for (int r = std::max(fromRow, FixedRows()); r < Rows(); ++r) {
                const QString& text = m_model->text(r, col);
                const int estimate = figureEstimate(text);
                if (estimate < 0)
                    continue;
                if (estimate > column.fitEstimate) {
                    column.fitEstimate = estimate;
                    widest = r;
                }
                // A cell in a font of its own is measured as it is drawn.
                const FlexCellFormat* f = m_model->format(r, col);
                if (f && (f->bold >= 0 || f->italic >= 0 || f->size > 0))
                    column.fitPixels = std::max(column.fitPixels, figurePixels(r, col, text));
            }
            if (widest >= 0)
                column.fitPixels =
                    std::max(column.fitPixels, figurePixels(widest, col, m_model->text(widest, col)));
        }
        if (column.fitPixels != before && !column.hidden)
            applyColumn(col);
    }
}

void FlexGrid::applyRowHeights()
{
    const int minimum = TwipsToPixels(m_rowHeightMin);
    for (int r = FixedRows(); r < Rows(); ++r) {
        const FlexRow& row = m_model->rows[size_t(r)];
        if (row.height >= 0)
            QTableView::setRowHeight(r - FixedRows(), std::max(TwipsToPixels(row.height), minimum));
        if (row.hidden)
            QTableView::setRowHidden(r - FixedRows(), true);
    }
}

// ---------------------------------------------------------------- row drag

void FlexGrid::DragRow(int row)
{
    m_dragRow = isDataRow(row) ? row : -1;
}

// ---------------------------------------------------------------- events

void FlexGrid::emitMouseDown(QMouseEvent* event, const QPoint& gridPos)
{
    emit MouseDown(event->button(), event->modifiers(), gridPos.x(), gridPos.y());
    if (m_helper)
        m_helper->gridMouseDown(event->button(), event->modifiers(), gridPos);
}

void FlexGrid::changeEvent(QEvent* event)
{
    QTableView::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        // Row heights follow the font unless set, and the columns' figures are measured again.
        verticalHeader()->setDefaultSectionSize(defaultRowPixels());
        applyRowHeights();
        updateHeaderGeometry();
        m_advances.clear();
        m_asciiAdvances.fill(0);
        refitColumns(FixedRows());
    }
}

void FlexGrid::keyPressEvent(QKeyEvent* event)
{
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    int key = event->key();
    m_keyUsed = false;
    emit KeyDown(key, modifiers);
    if (key == 0 || (m_helper && m_helper->gridKeyDown(key, modifiers))) {
        m_keyUsed = true;
        event->accept();
        return;
    }
    const QString text = event->text();
    if (!text.isEmpty()) {
        int ascii = text.at(0).unicode();
        const int typed = ascii;
        emit KeyPress(ascii);
        if (ascii == 0 || (m_helper && m_helper->gridKeyPress(ascii))) {
            m_keyUsed = true;
            event->accept();
            return;
        }
        if (ascii != typed) {
            QKeyEvent changed(QEvent::KeyPress, event->key(), event->modifiers(), QString(QChar(ascii)));
            QTableView::keyPressEvent(&changed);
            return;
        }
    }
    const int row = Row();
    const int col = Col();
    if (key == Qt::Key_Space && modifiers == Qt::NoModifier && ColDataType(col) == flexDTBoolean) {
        toggleCheck(row, col);
        event->accept();
        return;
    }
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        // Enter belongs to the grid: it never reaches a dialog's default button.
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

QModelIndex FlexGrid::moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers)
{
    QModelIndex target = QTableView::moveCursor(cursorAction, modifiers);
    if (target.isValid() && ColHidden(target.column()))
        target = m_model->index(target.row(), shownCol(target.column()));
    const QModelIndex cur = currentIndex();
    if (target.isValid() && target != cur) {
        bool cancel = false;
        emit BeforeRowColChange(Row(), Col(), target.row() + FixedRows(), target.column(), cancel);
        if (cancel)
            return cur;
    }
    return target;
}

void FlexGrid::mousePressEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    const QModelIndex index = indexAt(pos);
    m_mouseRow = index.isValid() ? index.row() + FixedRows() : -1;
    m_mouseCol = columnAt(pos.x());
    m_pressRow = -1;
    m_pressCol = -1;
    // A right press on a row outside the selected rows takes that row's cell
    // first, so the menu it opens acts on the row under the pointer; inside
    // the selected rows it keeps the block the menu acts on.
    if (event->button() == Qt::RightButton && index.isValid() && (index.flags() & Qt::ItemIsEnabled)) {
        const bool inBlock = currentIndex().isValid() && m_mouseRow >= std::min(Row(), RowSel()) &&
                             m_mouseRow <= std::max(Row(), RowSel());
        if (!inBlock)
            setCurrentCell(m_mouseRow, index.column());
    }
    emitMouseDown(event, pos);
    // Only the left button starts a drag, an edit or a click.
    if (event->button() != Qt::LeftButton) {
        event->accept();
        return;
    }
    if (index.isValid() && (index.flags() & Qt::ItemIsEnabled) && index != currentIndex()) {
        bool cancel = false;
        emit BeforeRowColChange(Row(), Col(), m_mouseRow, index.column(), cancel);
        if (cancel) {
            event->accept();
            return;
        }
    }
    m_pressRow = m_mouseRow;
    m_pressCol = index.isValid() ? index.column() : -1;
    QTableView::mousePressEvent(event);
}

void FlexGrid::mouseMoveEvent(QMouseEvent* event)
{
    const QModelIndex index = indexAt(event->position().toPoint());
    m_mouseRow = index.isValid() ? index.row() + FixedRows() : -1;
    m_mouseCol = columnAt(event->position().toPoint().x());
    if (m_dragRow >= 0)
        return; // the row drag ends where the button is released
    if ((event->buttons() & Qt::LeftButton) && index.isValid() && (index.flags() & Qt::ItemIsEnabled) &&
        index != currentIndex()) {
        bool cancel = false;
        emit BeforeRowColChange(Row(), Col(), m_mouseRow, index.column(), cancel);
        if (cancel)
            return;
    }
    QTableView::mouseMoveEvent(event);
}

void FlexGrid::mouseReleaseEvent(QMouseEvent* event)
{
    const QModelIndex index = indexAt(event->position().toPoint());
    const int row = index.isValid() ? index.row() + FixedRows() : -1;
    if (m_dragRow >= 0) {
        const int from = m_dragRow;
        m_dragRow = -1;
        if (isDataRow(row) && row != from) {
            setRowPosition(from, row);
            setCurrentCell(row, Col() >= 0 ? Col() : std::min(FixedCols(), Cols() - 1));
        }
        event->accept();
        return;
    }
    QTableView::mouseReleaseEvent(event);
    const int pressRow = m_pressRow;
    const int pressCol = m_pressCol;
    m_pressRow = -1; // the release that ends a double click is no second click
    m_pressCol = -1;
    if (event->button() != Qt::LeftButton || pressRow < 0)
        return;
    if (row == pressRow && index.column() == pressCol && ColDataType(pressCol) == flexDTBoolean &&
        m_editable != flexEDNone)
        toggleCheck(row, pressCol);
    emit Click();
}

void FlexGrid::keyboardSearch(const QString&)
{
    // Typing never jumps to a row: keys are the windows' and the editors' business.
}

void FlexGrid::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        emit DblClick();
    QTableView::mouseDoubleClickEvent(event);
}

void FlexGrid::toggleCheck(int row, int col)
{
    if (!isDataRow(row) || !validCol(col) || col < FixedCols() || !ColEditable(col) || ColHidden(col))
        return;
    bool cancel = false;
    emit BeforeEdit(row, col, cancel);
    if (cancel)
        return;
    setTextMatrix(row, col,
                  FlexTextIsTrue(TextMatrix(row, col)) ? QStringLiteral("0") : QStringLiteral("-1"));
    emit AfterEdit(row, col);
}

#pragma once

// The storage behind FlexGrid: every row of the grid, fixed rows included,
// with the texts and the formatting of its cells. The view sees the data rows
// only; the fixed rows are drawn by the grid's header.

#include <QAbstractTableModel>
#include <QPixmap>
#include <QString>
#include <QVariant>
#include <memory>
#include <vector>

class FlexGrid;

struct FlexCellFormat {
    int align = -1;  // an alignment setting, -1: the column's
    int back = -1;   // 0xBBGGRR, -1: none
    int fore = -1;   // 0xBBGGRR, -1: none
    int bold = -1;   // -1: the grid's font
    int italic = -1; // -1: the grid's font
    double size = 0; // points, 0: the grid's font
    QPixmap picture;
    int pictureAlign = 1;
};

struct FlexCell {
    QString text;
    std::unique_ptr<FlexCellFormat> format;
};

struct FlexRow {
    // May be shorter than the grid's column count: missing cells are empty.
    std::vector<FlexCell> cells;
    int height = -1; // twips, -1: the grid's default
    bool merge = false;
    bool hidden = false;
    // The row's own value (FlexGrid::RowData): it moves with the row.
    QVariant data;
};

struct FlexColumn {
    QString key;
    int width = -1; // twips, -1: the grid's default
    bool hidden = false;
    int align = 9; // flexAlignGeneral
    int dataType = 0;
    QString comboList;
    bool editable = true;
    bool merge = false;
    // Pixels the widest figure of the data rows needs (0: none); the column
    // is shown at least this wide. estimate is that figure's sum of character
    // advances, which finds the widest figure without laying each one out.
    int fitPixels = 0;
    int fitEstimate = 0;
};

class FlexGridModel : public QAbstractTableModel
{
  public:
    explicit FlexGridModel(FlexGrid* grid);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    int gridRows() const { return int(rows.size()); }
    int gridCols() const { return int(cols.size()); }
    const QString& text(int row, int col) const;
    void setText(int row, int col, const QString& text);
    const FlexCellFormat* format(int row, int col) const;
    FlexCellFormat& formatForWrite(int row, int col);
    void clearFormat(int row, int col);

    // Shape changes with the matching model notifications.
    void resizeRows(int count);
    void resizeCols(int count);
    void setFixedRows(int count);
    void insertRow(int row);
    void removeRow(int row);
    void moveRow(int from, int to);
    // Drops every data row and puts count new ones in their place; fill writes each.
    template <typename Fill> void replaceDataRows(int count, Fill fill)
    {
        dropDataRows();
        if (count <= 0)
            return;
        beginInsertRows({}, 0, count - 1);
        rows.resize(size_t(fixedRows + count));
        for (int i = 0; i < count; ++i)
            fill(rows[size_t(fixedRows + i)], i);
        endInsertRows();
    }
    // Puts count new data rows after the last one; fill writes each.
    template <typename Fill> void appendDataRows(int count, Fill fill)
    {
        if (count <= 0)
            return;
        const int first = gridRows();
        beginInsertRows({}, first - fixedRows, first - fixedRows + count - 1);
        rows.resize(size_t(first + count));
        for (int i = 0; i < count; ++i)
            fill(rows[size_t(first + i)], i);
        endInsertRows();
    }
    void sortData(int col, Qt::SortOrder order);
    // A cell changed: repaint it now, or once when drawing resumes.
    void cellChanged(int row, int col);
    void setSuspended(bool on);

    std::vector<FlexRow> rows;
    std::vector<FlexColumn> cols;
    int fixedRows = 0;
    int fixedCols = 0;
    int backFixed = -1;
    int foreFixed = -1;
    int backAlternate = -1;

  private:
    void dropDataRows();

    FlexGrid* m_grid;
    bool m_suspended = false;
    bool m_hideData = false;
    bool m_dirty = false;
};

// Shared by the view, the header and the helpers.
bool FlexTextIsTrue(const QString& text);
bool FlexTextIsNumber(const QString& text, double* value = nullptr);
// A figure as the grids show numbers, amounts, dates and codes of digits:
// digits with signs, points, separators, "%" or a currency sign, nothing else.
bool FlexTextIsFigure(const QString& text);
// Whether u may stand in a figure: a digit or one of the figure's marks
// (point, comma, signs, per cent, exponent, currency).
bool FlexFigureChar(char16_t u);
Qt::Alignment FlexQtAlignment(int setting, const QString& text);

#pragma once

// The header and the cell delegate of FlexGrid (internal to the grid).

#include <QHeaderView>
#include <QStyledItemDelegate>

class FlexGrid;

// Draws the grid's fixed rows above the columns, merged cells and sort arrow included.
class FlexGridHeader : public QHeaderView
{
  public:
    explicit FlexGridHeader(FlexGrid* grid);
    QSize sizeHint() const override;
    // The fixed row under a y position of the header; -1 outside.
    int fixedRowAt(int y) const;

  protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;
    void mousePressEvent(QMouseEvent* event) override;

  private:
    FlexGrid* m_grid;
};

// Cell editors (a line edit, or a combo box for a column with a combo list) and
// the key events inside them.
class FlexGridDelegate : public QStyledItemDelegate
{
  public:
    explicit FlexGridDelegate(FlexGrid* grid);
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    static QString editorText(const QWidget* editor);
    static void setEditorText(QWidget* editor, const QString& text);
    // Asks the view to commit the editor now; false when ValidateEdit refused.
    bool commitNow(QWidget* editor);
    void closeNow(QWidget* editor, EndEditHint hint);

  protected:
    bool eventFilter(QObject* object, QEvent* event) override;
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;

  private:
    FlexGrid* m_grid;
};

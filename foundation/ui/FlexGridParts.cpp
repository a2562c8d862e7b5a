#include "FlexGridParts.h"

#include "FlexGrid.h"
#include "FlexGridModel.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QPolygon>
#include <QStyle>

// ---- header ----

FlexGridHeader::FlexGridHeader(FlexGrid* grid) : QHeaderView(Qt::Horizontal, grid), m_grid(grid)
{
    setSectionsClickable(true);
    setHighlightSections(false);
    setSectionResizeMode(QHeaderView::Interactive);
    setStretchLastSection(false);
    setMinimumSectionSize(0);
}

QSize FlexGridHeader::sizeHint() const
{
    QSize size = QHeaderView::sizeHint();
    int height = 0;
    for (int r = 0; r < m_grid->FixedRows(); ++r)
        height += m_grid->fixedRowPixels(r);
    size.setHeight(height);
    return size;
}

int FlexGridHeader::fixedRowAt(int y) const
{
    int top = 0;
    for (int r = 0; r < m_grid->FixedRows(); ++r) {
        const int h = m_grid->fixedRowPixels(r);
        if (y >= top && y < top + h)
            return r;
        top += h;
    }
    return -1;
}

void FlexGridHeader::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const
{
    if (!rect.isValid())
        return;
    const FlexGridModel* model = m_grid->m_model;
    const int fixedRows = model->fixedRows;
    std::vector<int> tops(size_t(fixedRows) + 1, 0);
    for (int r = 0; r < fixedRows; ++r)
        tops[size_t(r) + 1] = tops[size_t(r)] + m_grid->fixedRowPixels(r);

    const QColor defaultBack =
        model->backFixed >= 0 ? FlexGrid::OleColor(model->backFixed) : palette().color(QPalette::Button);
    const QColor defaultFore =
        model->foreFixed >= 0 ? FlexGrid::OleColor(model->foreFixed) : palette().color(QPalette::ButtonText);
    const QColor lineColor = palette().color(QPalette::Mid);

    painter->save();
    painter->setClipRect(rect);
    for (int r = 0; r < fixedRows; ++r) {
        const QRect span = m_grid->MergedRange(r, logicalIndex);
        if (span.top() != r)
            continue; // drawn with the row above
        int x1 = INT_MAX;
        int x2 = INT_MIN;
        for (int c = span.left(); c <= span.right(); ++c) {
            if (isSectionHidden(c))
                continue;
            const int pos = sectionViewportPosition(c);
            x1 = std::min(x1, pos);
            x2 = std::max(x2, pos + sectionSize(c));
        }
        if (x1 >= x2)
            continue;
        const QRect cell(x1, tops[size_t(span.top())], x2 - x1,
                         tops[size_t(span.bottom()) + 1] - tops[size_t(span.top())]);
        const FlexCellFormat* f = model->format(span.top(), span.left());
        painter->fillRect(cell, f && f->back >= 0 ? FlexGrid::OleColor(f->back) : defaultBack);
        painter->setPen(lineColor);
        painter->drawLine(cell.topRight(), cell.bottomRight());
        painter->drawLine(cell.bottomLeft(), cell.bottomRight());

        const QString& text = model->text(span.top(), span.left());
        QFont font = m_grid->font();
        if (f && f->bold >= 0)
            font.setBold(f->bold != 0);
        if (f && f->italic >= 0)
            font.setItalic(f->italic != 0);
        if (f && f->size > 0)
            font.setPointSizeF(f->size);
        painter->setFont(font);
        painter->setPen(f && f->fore >= 0 ? FlexGrid::OleColor(f->fore) : defaultFore);
        const int setting = f && f->align >= 0 ? f->align : model->cols[size_t(span.left())].align;
        QRect textRect = cell.adjusted(3, 0, -3, 0);
        if (f && !f->picture.isNull()) {
            const QPixmap& pic = f->picture;
            painter->drawPixmap(QStyle::alignedRect(Qt::LeftToRight,
                                                    FlexQtAlignment(f->pictureAlign, QString()),
                                                    pic.deviceIndependentSize().toSize(), textRect)
                                    .topLeft(),
                                pic);
        }
        painter->drawText(textRect, int(FlexQtAlignment(setting, text)) | Qt::TextSingleLine, text);
    }

    if (logicalIndex == m_grid->m_sortCol && (m_grid->m_explorerBar & 4) && fixedRows > 0) {
        const int bottom = tops[size_t(fixedRows)];
        const int top = tops[size_t(fixedRows) - 1];
        const int cx = rect.right() - 7;
        const int cy = (top + bottom) / 2;
        QPolygon arrow;
        if (m_grid->m_sortOrder == Qt::AscendingOrder)
            arrow << QPoint(cx - 4, cy + 2) << QPoint(cx + 4, cy + 2) << QPoint(cx, cy - 3);
        else
            arrow << QPoint(cx - 4, cy - 2) << QPoint(cx + 4, cy - 2) << QPoint(cx, cy + 3);
        painter->setRenderHint(QPainter::Antialiasing);
        painter->setPen(Qt::NoPen);
        painter->setBrush(defaultFore);
        painter->drawPolygon(arrow);
    }
    painter->restore();
}

void FlexGridHeader::mousePressEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    m_grid->m_mouseRow = fixedRowAt(pos.y());
    m_grid->m_mouseCol = logicalIndexAt(pos);
    // Where the body reports it: in the cells' area, the header above it.
    m_grid->emitMouseDown(event, m_grid->viewport()->mapFromGlobal(event->globalPosition().toPoint()));
    if (event->button() != Qt::LeftButton) {
        event->accept();
        return;
    }
    QHeaderView::mousePressEvent(event);
}

// ---- delegate ----

FlexGridDelegate::FlexGridDelegate(FlexGrid* grid) : QStyledItemDelegate(grid), m_grid(grid) {}

QWidget* FlexGridDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                        const QModelIndex& index) const
{
    QWidget* editor = nullptr;
    const QString list = m_grid->ColComboList(index.column());
    if (!list.isEmpty()) {
        bool userMayType = false;
        const auto items = FlexGrid::parseComboList(list, &userMayType);
        auto* combo = new QComboBox(parent);
        combo->setEditable(userMayType);
        for (const auto& item : items)
            combo->addItem(item.text, item.data);
        if (combo->lineEdit())
            combo->lineEdit()->installEventFilter(const_cast<FlexGridDelegate*>(this));
        editor = combo;
    } else {
        auto* line = new QLineEdit(parent);
        line->setFrame(false);
        line->setAlignment(FlexQtAlignment(m_grid->ColAlignment(index.column()), index.data().toString()) &
                           Qt::AlignHorizontal_Mask);
        editor = line;
    }
    editor->setFont(option.font);
    m_grid->m_editor = editor;
    return editor;
}

void FlexGridDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const
{
    setEditorText(editor, index.data(Qt::EditRole).toString());
}

void FlexGridDelegate::setModelData(QWidget* editor, QAbstractItemModel*, const QModelIndex& index) const
{
    const int row = index.row() + m_grid->FixedRows();
    const int col = index.column();
    bool cancel = false;
    emit m_grid->ValidateEdit(row, col, cancel);
    if (cancel) {
        m_grid->m_validateRefused = true;
        return;
    }
    m_grid->setTextMatrix(row, col, editorText(editor));
    m_grid->m_afterEditPending = true;
    m_grid->m_editRow = row;
    m_grid->m_editCol = col;
}

QString FlexGridDelegate::editorText(const QWidget* editor)
{
    if (const auto* line = qobject_cast<const QLineEdit*>(editor))
        return line->text();
    if (const auto* combo = qobject_cast<const QComboBox*>(editor))
        return combo->currentText();
    return {};
}

void FlexGridDelegate::setEditorText(QWidget* editor, const QString& text)
{
    if (auto* line = qobject_cast<QLineEdit*>(editor)) {
        line->setText(text);
    } else if (auto* combo = qobject_cast<QComboBox*>(editor)) {
        const int i = combo->findText(text);
        if (i >= 0)
            combo->setCurrentIndex(i);
        else if (combo->isEditable())
            combo->setEditText(text);
    }
}

bool FlexGridDelegate::commitNow(QWidget* editor)
{
    m_grid->m_validateRefused = false;
    emit commitData(editor);
    return !m_grid->m_validateRefused;
}

void FlexGridDelegate::closeNow(QWidget* editor, EndEditHint hint)
{
    emit closeEditor(editor, hint);
}

bool FlexGridDelegate::eventFilter(QObject* object, QEvent* event)
{
    // An editor kept while its window is left sees its focus go, but is not closed.
    if (event->type() == QEvent::FocusOut && object == m_grid->m_editor &&
        m_grid->keepEditorOnFocusOut(m_grid->m_editor))
        return false;
    if (event->type() == QEvent::KeyPress) {
        // The editor is the viewport's child; a combo box's line edit lies inside it.
        QWidget* editor = qobject_cast<QWidget*>(object);
        while (editor && editor->parentWidget() != m_grid->viewport())
            editor = editor->parentWidget();
        if (editor) {
            bool swallow = false;
            m_grid->editorKey(editor, static_cast<QKeyEvent*>(event), swallow);
            if (swallow)
                return true;
        }
    }
    return QStyledItemDelegate::eventFilter(object, event);
}

void FlexGridDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const
{
    const FlexCellFormat* f = m_grid->m_model->format(index.row() + m_grid->FixedRows(), index.column());
    if (!f || f->picture.isNull()) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    // The cell picture sits where its own alignment puts it (a status mark
    // centred in its column), independent of the text and its alignment. The
    // text is drawn last, over the picture: beside a left picture when the text
    // is left-aligned too, otherwise in its own place over the whole cell (the
    // calendar's day number stands at the right of the day's mark).
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    opt.features &= ~QStyleOptionViewItem::HasDecoration;
    opt.icon = QIcon();
    opt.decorationSize = QSize();
    const QPixmap& pic = f->picture;
    const QSize size = pic.deviceIndependentSize().toSize();
    const QRect cell = opt.rect.adjusted(1, 0, -1, 0);
    const QRect place =
        QStyle::alignedRect(opt.direction, FlexQtAlignment(f->pictureAlign, QString()), size, cell);
    const QString text = opt.text;
    const bool leftPicture = f->pictureAlign >= FlexGrid::flexAlignLeftTop &&
                             f->pictureAlign <= FlexGrid::flexAlignLeftBottom && !text.isEmpty() &&
                             !(opt.displayAlignment & (Qt::AlignRight | Qt::AlignHCenter));
    const QWidget* widget = opt.widget;
    QStyle* style = widget ? widget->style() : QApplication::style();
    QStyleOptionViewItem back = opt;
    back.text.clear();
    style->drawControl(QStyle::CE_ItemViewItem, &back, painter, widget);
    painter->save();
    painter->setClipRect(option.rect);
    painter->drawPixmap(place.topLeft(), pic);
    if (!text.isEmpty()) {
        QRect textRect = style->subElementRect(QStyle::SE_ItemViewItemText, &opt, widget);
        if (leftPicture)
            textRect.setLeft(std::min(textRect.right(), place.right() + 2));
        const QPalette::ColorGroup group =
            (opt.state & QStyle::State_Enabled) ? QPalette::Normal : QPalette::Disabled;
        painter->setFont(opt.font);
        if (!leftPicture && !(opt.state & QStyle::State_Selected)) {
            // Text drawn over the picture keeps a backing of the cell's own
            // colour, so it stays readable however full the picture is.
            const QRect used = painter->fontMetrics()
                                   .boundingRect(textRect, int(opt.displayAlignment), text)
                                   .adjusted(-2, 0, 2, 0)
                                   .intersected(cell);
            if (used.intersects(place)) {
                const QBrush back = opt.backgroundBrush.style() != Qt::NoBrush
                                        ? opt.backgroundBrush
                                        : opt.palette.brush(group, QPalette::Base);
                painter->fillRect(used, back);
            }
        }
        painter->setPen(opt.palette.color(
            group, (opt.state & QStyle::State_Selected) ? QPalette::HighlightedText : QPalette::Text));
        const bool cut =
            FlexTextIsFigure(text) && painter->fontMetrics().horizontalAdvance(text) > textRect.width();
        painter->drawText(textRect, int(opt.displayAlignment),
                          cut ? painter->fontMetrics().elidedText(text, Qt::ElideRight, textRect.width())
                              : text);
    }
    painter->restore();
}

void FlexGridDelegate::initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    // A figure cut by a column made narrower by hand ends in a mark, so it is
    // never read as another number.
    if (option->rect.width() > 0 && FlexTextIsFigure(option->text) &&
        option->fontMetrics.horizontalAdvance(option->text) > option->rect.width() - 2 * m_grid->textMargin())
        option->textElideMode = Qt::ElideRight;
    if (index.column() < m_grid->FixedCols()) {
        option->state |= QStyle::State_Enabled;
        option->state &= ~QStyle::State_Selected;
    }
}

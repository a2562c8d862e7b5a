#include "PageRow.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtGlobal>

namespace
{

// A page button that held the focus and now leads nowhere (首页 on the first
// page, 尾页 on the last) hands the focus to the nearest button that leads
// somewhere, so the focus stays on the pager instead of passing on to the
// window's next control.
void keepFocusOnThePager(QPushButton* const (&buttons)[4], int held)
{
    if (held < 0 || buttons[held]->isEnabled())
        return;
    for (int distance = 1; distance < 4; ++distance) {
        for (const int i : {held - distance, held + distance}) {
            if (i >= 0 && i < 4 && buttons[i]->isEnabled()) {
                buttons[i]->setFocus(Qt::OtherFocusReason);
                return;
            }
        }
    }
}

} // namespace

static void showPage(const PageRow& row, int pageIndex, int recordCount, int pageSize)
{
    const auto buttons = {row.first, row.prev, row.next, row.last};
    for (QPushButton* b : buttons)
        b->setEnabled(true);
    row.recordCount->setText(QStringLiteral("记录数: 0 条"));
    row.pageIndex->setText(QStringLiteral("0"));
    row.maxPageIndex->setText(QStringLiteral("0"));
    if (recordCount < 1) {
        for (QPushButton* b : buttons)
            b->setEnabled(false);
        return;
    }
    const int size = qMax(1, pageSize);
    const int pages = (recordCount + size - 1) / size;
    row.recordCount->setText(QStringLiteral("记录数:") + QString::number(recordCount) +
                             QStringLiteral(" 条"));
    pageIndex = qBound(1, pageIndex, pages);
    row.pageIndex->setText(QString::number(pageIndex));
    row.maxPageIndex->setText(QString::number(pages));
    if (pageIndex <= 1) {
        row.first->setEnabled(false);
        row.prev->setEnabled(false);
    }
    if (pageIndex >= pages) {
        row.next->setEnabled(false);
        row.last->setEnabled(false);
    }
}

void ShowPage(const PageRow& row, int pageIndex, int recordCount, int pageSize)
{
    QPushButton* const order[4] = {row.first, row.prev, row.next, row.last};
    int held = -1;
    for (int i = 0; i < 4; ++i) {
        if (order[i]->window()->focusWidget() == order[i])
            held = i;
    }
    showPage(row, pageIndex, recordCount, pageSize);
    keepFocusOnThePager(order, held);
}

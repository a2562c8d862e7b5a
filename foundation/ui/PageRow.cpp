#include "PageRow.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtGlobal>

void ShowPage(const PageRow& row, int pageIndex, int recordCount, int pageSize)
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

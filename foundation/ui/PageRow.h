#pragma once

class QLabel;
class QLineEdit;
class QPushButton;

// The row under a paged list: the record count, the page box and the number
// of pages, and the buttons to the first, previous, next and last page.
struct PageRow {
    QLabel* recordCount = nullptr;
    QLineEdit* pageIndex = nullptr;
    QLineEdit* maxPageIndex = nullptr;
    QPushButton* first = nullptr;
    QPushButton* prev = nullptr;
    QPushButton* next = nullptr;
    QPushButton* last = nullptr;
};

// Shows page pageIndex (held between the first and the last page) of
// recordCount records at pageSize a page: "记录数:n 条", the page and the
// number of pages, and only the buttons that lead somewhere. No records: every
// button off and "记录数: 0 条", page 0 of 0.
void ShowPage(const PageRow& row, int pageIndex, int recordCount, int pageSize);

#pragma once

#include "RecordSet.h"

#include <QString>
#include <utility>

// What a report is ordered by: a column of the report's rows, or the report's
// own first order. Only the report's data class makes one (its SortBy and
// DefaultSort) and reads it as its own order expression; a window names the
// column and never hands an order of its own text.
class SortKey
{
  public:
    SortKey() = default; // no order: the rows as kept

    // The column named; empty for the report's own order and for none.
    const QString& column() const { return m_column; }
    bool isDefault() const { return m_default; }
    bool isEmpty() const { return m_column.isEmpty() && !m_default; }
    bool operator==(const SortKey&) const = default;

  private:
    SortKey(QString column, bool isDefault) : m_column(std::move(column)), m_default(isDefault) {}
    friend SortKey SortKeyOf(QString column, bool isDefault);

    QString m_column;
    bool m_default = false;
};

#ifdef WMS_WINDOW_LAYER
// Poisoned here rather than in cmake/WindowLayer.h: the class above names it.
#pragma GCC poison SortKeyOf
#else
// The key of a column a data class has checked, or (isDefault) of its own order.
inline SortKey SortKeyOf(QString column, bool isDefault = false)
{
    return SortKey(std::move(column), isDefault);
}
#endif

// The paging and ordering state of one report window.
class m_PageInfor
{
  public:
    int recordCount = 0;
    RecordSetPtr recordSet;
    RecordSetPtr subTotalRecordSet;
    int int_PageSize = 0;
    int int_currentPageIndex = 0; // counted from 1
    SortKey sortKey;              // the order; empty: no order
    bool isDesc = false;
    QString str_MsgBox;
};

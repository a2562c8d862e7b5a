#pragma once

#include "KeyValue.h"
#include "RecordSet.h"
#include "m_condition.h"

#include <QString>
#include <QStringList>

// The lists the picker offers ("supplier", "customer", "location",
// "inputGoods", "inputGoodsForExport", "dictionary", "rk_bill", "ck_bill") and
// the reading of one of them a page at a time.
class PickerQuery
{
  public:
    // Whether name is one of the lists.
    static bool HasList(const QString& name);

    // The rows of list name that meet conditions and, when keyword is not
    // blank, hold it in one of the list's keyword columns (a missing value
    // counts as empty). sortField is the index of a field of the list's row
    // (0 the id, 1 the mark column, 2 the first shown field …) to sort by, or
    // -1 for the list's own order; ties keep a stable order, so that pages
    // read one after another neither skip nor repeat a row. An unknown list
    // reads no rows.
    PickerQuery(const QString& name, m_conditions conditions, const QString& keyword, int sortField,
                bool descending);
    PickerQuery() = default;

    // rows rows from offset on. Database errors are thrown as DbError.
    RecordSetPtr Page(int offset, int rows) const;
    // How many rows match.
    int Count() const;
    // The number of fields of a row (the id and the mark column included).
    int FieldCount() const { return m_fields.size(); }
    // The names of a row's fields: "id", "marked" (always 0), then the list's own.
    const QStringList& Fields() const { return m_fields; }

  private:
    QString m_select;
    QString m_from;
    QString m_order;
    QStringList m_fields;
    ParamMap m_params; // the values of the conditions in m_from
};

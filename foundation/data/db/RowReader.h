#pragma once

#include "KeyValue.h"

#include <QString>
#include <QStringList>
#include <QVariant>
#include <memory>

// Reads the rows of a query forward, one at a time, holding only the current
// row: export and print of a whole report go through it, where a RecordSet
// would copy every row first. Screens page in SQL instead (GetPageSql). Data
// classes make it; windows only walk it, so its query stays out of sight.
class RowReader
{
  public:
    // Runs the query; throws DbError on failure.
    explicit RowReader(const QString& sql, const ParamMap& params = {});
    ~RowReader();
    RowReader(const RowReader&) = delete;
    RowReader& operator=(const RowReader&) = delete;

    const QStringList& fields() const { return m_fields; }
    int fieldCount() const { return int(m_fields.size()); }
    // -1 when unknown; names compare case-insensitively.
    int fieldIndex(const QString& name) const;

    // Moves to the next row (the first on the first call); false after the last.
    // Throws DbError when reading fails.
    bool next();
    QVariant value(int column) const;
    QVariant value(const QString& field) const { return value(fieldIndex(field)); }
    // The value as the program shows it as text (a Null as the empty text).
    QString text(int column) const;

  private:
    struct Cursor;
    std::unique_ptr<Cursor> m_cursor;
    QStringList m_fields;
};

#pragma once

#include "KeyValue.h"

#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QVariant>

// Reads the rows of a query forward, one at a time, holding only the current
// row: export and print of a whole report go through it, where a RecordSet
// would copy every row first. Screens page in SQL instead (GetPageSql).
class RowReader
{
  public:
    // Runs the query; throws DbError on failure.
    explicit RowReader(const QString& sql, const ParamMap& params = {});

    const QStringList& fields() const { return m_fields; }
    int fieldCount() const { return int(m_fields.size()); }
    // -1 when unknown; names compare case-insensitively.
    int fieldIndex(const QString& name) const;

    // Moves to the next row (the first on the first call); false after the last.
    // Throws DbError when reading fails.
    bool next();
    QVariant value(int column) const { return m_query.value(column); }
    QVariant value(const QString& field) const { return m_query.value(fieldIndex(field)); }
    // The value as the program shows it as text (a Null as the empty text).
    QString text(int column) const;

  private:
    QSqlQuery m_query;
    QStringList m_fields;
};

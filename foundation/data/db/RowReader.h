#pragma once

#include "KeyValue.h"

#include <QString>
#include <QStringList>
#include <QVariant>
#include <memory>
#include <string_view>

// A value of the current row as the database stores it, read in place: a
// text's UTF-8 bytes are the database's own and last until the reader moves
// on. The export writes its cells from these without making Qt values.
struct StoredValue {
    enum class Type { Null, Integer, Real, Text, Blob };
    Type type = Type::Null;
    qint64 integer = 0;
    double real = 0;
    std::string_view bytes; // Text (UTF-8, followed by a 0 byte) and Blob
};

// Reads the rows of a query forward, one at a time, holding only the current
// row: export and print of a whole report go through it, where a RecordSet
// would copy every row first. Screens page in SQL instead (GetPageSql). Data
// classes open one (OpenRowReader); windows are handed one and only walk it:
// a reader cannot be given SQL, so its query stays out of their sight.
class RowReader
{
  public:
    virtual ~RowReader() = default;
    RowReader(const RowReader&) = delete;
    RowReader& operator=(const RowReader&) = delete;

    const QStringList& fields() const { return m_fields; }
    int fieldCount() const { return int(m_fields.size()); }
    // -1 when unknown; names compare case-insensitively.
    int fieldIndex(const QString& name) const;

    // Moves to the next row (the first on the first call); false after the last.
    // Throws DbError when reading fails.
    virtual bool next() = 0;
    virtual QVariant value(int column) const = 0;
    QVariant value(const QString& field) const { return value(fieldIndex(field)); }
    // The same value as stored (Null for a column out of range).
    virtual StoredValue stored(int column) const = 0;
    // The value as the program shows it as text (a Null as the empty text).
    QString text(int column) const;

  protected:
    explicit RowReader(QStringList fields) : m_fields(std::move(fields)) {}

  private:
    QStringList m_fields;
};

#ifndef WMS_WINDOW_LAYER
// Runs a query and gives the reader of its rows; throws DbError on failure
// and for a statement that is not a query. The reader steps the statement
// through SQLite's own interface on the shared connection; its values are
// those the Qt driver gives (an INTEGER as qlonglong, a REAL as double, a
// text as QString, a BLOB as QByteArray, a Null as a null QString). Closing
// the connection ends every open reader: it has no more rows.
std::unique_ptr<RowReader> OpenRowReader(const QString& sql, const ParamMap& params = {});
#endif

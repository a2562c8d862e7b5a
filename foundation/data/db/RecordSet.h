#pragma once

#include <QHash>
#include <QStringList>
#include <QVariant>
#include <memory>

// The field names of a result with their lookup by exact name. A prepared
// statement keeps one and shares it with every result it reads, so a lookup
// run for each scanned item does not index its fields again.
struct RecordFields {
    explicit RecordFields(QStringList fieldNames);
    QStringList names;
    QHash<QString, int> exact; // the first of equal names wins
};
using RecordFieldsPtr = std::shared_ptr<const RecordFields>;

// A client-side query result: the field names and every row, read once from
// the database so that the connection is free again as soon as it is made.
// The cursor offers the walk the windows use (MoveFirst, MoveNext, eof).
class RecordSet
{
  public:
    RecordSet();
    RecordSet(QStringList fields, QList<QVariantList> rows);
    RecordSet(RecordFieldsPtr fields, QList<QVariantList> rows);

    const QStringList& fields() const { return m_fields->names; }
    int fieldCount() const { return int(m_fields->names.size()); }
    // Field names compare case-insensitively, as SQL names do; -1 when unknown.
    int fieldIndex(const QString& name) const;

    int RecordCount() const { return int(m_rows.size()); }
    bool isEmpty() const { return m_rows.isEmpty(); }
    const QList<QVariantList>& rows() const { return m_rows; }

    QVariant value(int row, int column) const;
    QVariant value(int row, const QString& field) const;
    // The one way rows are read into records: a Null text reads as the empty
    // text, a Null or unreadable number as 0 (numbers read by ReadNumber).
    QString text(int row, const QString& field) const { return value(row, field).toString(); }
    double number(int row, const QString& field) const;
    int integer(int row, const QString& field) const { return int(number(row, field)); }

    // Cursor walk.
    bool eof() const { return m_pos >= m_rows.size(); }
    bool bof() const { return m_pos < 0 || m_rows.isEmpty(); }
    void MoveFirst() { m_pos = 0; }
    void MoveNext() { ++m_pos; }
    int AbsolutePosition() const { return m_pos; }
    void setAbsolutePosition(int pos) { m_pos = pos; }
    QVariant Fields(const QString& field) const { return value(m_pos, field); }
    QVariant Fields(int column) const { return value(m_pos, column); }

    void appendRow(QVariantList row) { m_rows.append(std::move(row)); }

  private:
    RecordFieldsPtr m_fields;
    QList<QVariantList> m_rows;
    qsizetype m_pos = 0;
};

using RecordSetPtr = std::shared_ptr<RecordSet>;

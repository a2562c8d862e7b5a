#pragma once

#include <QHash>
#include <QStringList>
#include <QVariant>
#include <memory>

// A client-side query result: the field names and every row, read once from
// the database so that the connection is free again as soon as it is made.
// The cursor offers the walk the windows use (MoveFirst, MoveNext, eof).
class RecordSet
{
  public:
    RecordSet() = default;
    RecordSet(QStringList fields, QList<QVariantList> rows);

    const QStringList& fields() const { return m_fields; }
    int fieldCount() const { return int(m_fields.size()); }
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
    QStringList m_fields;
    // The fields by their exact names, built at the first lookup by name.
    mutable QHash<QString, int> m_exact;
    QList<QVariantList> m_rows;
    qsizetype m_pos = 0;
};

using RecordSetPtr = std::shared_ptr<RecordSet>;

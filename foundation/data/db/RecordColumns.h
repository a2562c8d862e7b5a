#pragma once

#include "KeyValue.h"
#include "RecordSet.h"

#include <QLatin1Char>
#include <QList>
#include <QString>
#include <QStringList>

#include <initializer_list>
#include <variant>

// Where a column of a master-data record takes part.
enum ColumnUse : unsigned {
    Listed = 1,   // in the select list of the record's view
    Inserted = 2, // stored by the insert
    Updated = 4,  // rewritten by the update
    Stamp = 8,    // the change stamp: read and bound, selected and raised by the statements themselves
};

// One column, named as in the table and the view, with the record's member that holds it.
template <class Record> struct RecordColumn {
    const char* name;
    std::variant<int Record::*, double Record::*, QString Record::*> member;
    unsigned use;
};

// A row's value into a record's member, Null-tolerantly (RecordSet's reads).
inline void ReadColumn(const RecordSet& rs, const QString& name, int& to)
{
    to = rs.integer(0, name);
}
inline void ReadColumn(const RecordSet& rs, const QString& name, double& to)
{
    to = rs.number(0, name);
}
inline void ReadColumn(const RecordSet& rs, const QString& name, QString& to)
{
    to = rs.text(0, name);
}

// The columns of one record, described once: the data class builds its select
// list, its insert, its update's assignments, its parameters and its reading
// of a row from them.
template <class Record> class RecordColumns
{
  public:
    RecordColumns(std::initializer_list<RecordColumn<Record>> columns) : m_columns(columns) {}

    // The names of the columns that take part in use, joined by commas.
    QString names(unsigned use) const
    {
        QStringList out;
        for (const RecordColumn<Record>& c : m_columns)
            if (c.use & use)
                out << QString::fromUtf8(c.name);
        return out.join(QLatin1Char(','));
    }
    // "insert into table (a,b) values (@a,@b)" of the inserted columns.
    QString insertSql(const QString& table) const
    {
        const QString columns = names(Inserted);
        QString placeholders = columns;
        placeholders.replace(QLatin1Char(','), QStringLiteral(",@"));
        return QStringLiteral("insert into ") + table + QStringLiteral(" (") + columns +
               QStringLiteral(") values (@") + placeholders + QStringLiteral(")");
    }
    // "a=@a,b=@b" of the updated columns.
    QString assignments() const
    {
        QStringList out;
        for (const RecordColumn<Record>& c : m_columns)
            if (c.use & Updated)
                out << QString::fromUtf8(c.name) + QStringLiteral("=@") + QString::fromUtf8(c.name);
        return out.join(QLatin1Char(','));
    }
    // The record's values under "@" + name: every column a statement writes or compares.
    ParamMap params(const Record& r) const
    {
        ParamMap out;
        for (const RecordColumn<Record>& c : m_columns)
            if (c.use & (Inserted | Updated | Stamp))
                std::visit([&](auto m) { out.Add(QLatin1Char('@') + QString::fromUtf8(c.name), r.*m); },
                           c.member);
        return out;
    }
    // The record of the first row: every listed column and the stamp (a
    // column the row lacks reads as empty).
    Record read(const RecordSet& rs) const
    {
        Record r;
        for (const RecordColumn<Record>& c : m_columns)
            if (c.use & (Listed | Stamp))
                std::visit([&](auto m) { ReadColumn(rs, QString::fromUtf8(c.name), r.*m); }, c.member);
        return r;
    }

  private:
    QList<RecordColumn<Record>> m_columns;
};

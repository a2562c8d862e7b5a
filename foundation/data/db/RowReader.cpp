#include "RowReader.h"

#include "DbError.h"
#include "OutputText.h"
#include "sqlHelper.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

struct RowReader::Cursor {
    QSqlQuery query;
};

RowReader::RowReader(const QString& sql, const ParamMap& params)
    : m_cursor(std::make_unique<Cursor>(Cursor{OpenForwardQuery(sql, params)}))
{
    const QSqlRecord record = m_cursor->query.record();
    for (int k = 0; k < record.count(); ++k)
        m_fields.append(record.fieldName(k));
}

int RowReader::fieldIndex(const QString& name) const
{
    for (int k = 0; k < m_fields.size(); ++k) {
        if (m_fields.at(k).compare(name, Qt::CaseInsensitive) == 0)
            return k;
    }
    return -1;
}

RowReader::~RowReader() = default;

bool RowReader::next()
{
    QSqlQuery& q = m_cursor->query;
    if (q.next())
        return true;
    if (q.lastError().isValid())
        throw DbError(q.lastError().text());
    return false;
}

QVariant RowReader::value(int column) const
{
    return m_cursor->query.value(column);
}

QString RowReader::text(int column) const
{
    return ValueText(value(column));
}

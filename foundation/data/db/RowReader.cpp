#include "RowReader.h"

#include "DbError.h"
#include "OutputText.h"
#include "sqlHelper.h"

#include <QSqlError>
#include <QSqlRecord>

RowReader::RowReader(const QString& sql, const ParamMap& params) : m_query(OpenForwardQuery(sql, params))
{
    const QSqlRecord record = m_query.record();
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

bool RowReader::next()
{
    if (m_query.next())
        return true;
    if (m_query.lastError().isValid())
        throw DbError(m_query.lastError().text());
    return false;
}

QString RowReader::text(int column) const
{
    return ValueText(m_query.value(column));
}

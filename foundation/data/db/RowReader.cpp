#include "RowReader.h"

#include "DbError.h"
#include "OutputText.h"
#include "sqlHelper.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

namespace
{

QStringList fieldsOf(const QSqlQuery& query)
{
    const QSqlRecord record = query.record();
    QStringList fields;
    for (int k = 0; k < record.count(); ++k)
        fields.append(record.fieldName(k));
    return fields;
}

// The driver's forward-only cursor over a query's rows.
class QueryRowReader final : public RowReader
{
  public:
    explicit QueryRowReader(QSqlQuery query) : RowReader(fieldsOf(query)), m_query(std::move(query)) {}

    bool next() override
    {
        if (m_query.next())
            return true;
        if (m_query.lastError().isValid())
            throw SqlFailure(m_query.lastError());
        return false;
    }
    QVariant value(int column) const override { return m_query.value(column); }

  private:
    QSqlQuery m_query;
};

} // namespace

std::unique_ptr<RowReader> OpenRowReader(const QString& sql, const ParamMap& params)
{
    return std::make_unique<QueryRowReader>(OpenForwardQuery(sql, params));
}

int RowReader::fieldIndex(const QString& name) const
{
    for (int k = 0; k < m_fields.size(); ++k) {
        if (m_fields.at(k).compare(name, Qt::CaseInsensitive) == 0)
            return k;
    }
    return -1;
}

QString RowReader::text(int column) const
{
    return ValueText(value(column));
}

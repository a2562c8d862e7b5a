#include "RecordSet.h"

#include "Numbers.h"

RecordSet::RecordSet(QStringList fields, QList<QVariantList> rows)
    : m_fields(std::move(fields)), m_rows(std::move(rows))
{
}

int RecordSet::fieldIndex(const QString& name) const
{
    for (int i = 0; i < m_fields.size(); ++i) {
        if (m_fields.at(i).compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

QVariant RecordSet::value(int row, int column) const
{
    if (row < 0 || row >= m_rows.size())
        return {};
    const QVariantList& r = m_rows.at(row);
    if (column < 0 || column >= r.size())
        return {};
    return r.at(column);
}

QVariant RecordSet::value(int row, const QString& field) const
{
    return value(row, fieldIndex(field));
}

double RecordSet::number(int row, const QString& field) const
{
    return ReadNumber(value(row, field));
}

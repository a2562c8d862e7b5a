#include "RecordSet.h"

#include "Numbers.h"

RecordSet::RecordSet(QStringList fields, QList<QVariantList> rows)
    : m_fields(std::move(fields)), m_rows(std::move(rows))
{
}

int RecordSet::fieldIndex(const QString& name) const
{
    if (m_exact.isEmpty() && !m_fields.isEmpty()) {
        // The first of equal names wins, as the walk below finds it.
        for (int i = int(m_fields.size()) - 1; i >= 0; --i)
            m_exact.insert(m_fields.at(i), i);
    }
    const auto exact = m_exact.constFind(name);
    if (exact != m_exact.constEnd())
        return exact.value();
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

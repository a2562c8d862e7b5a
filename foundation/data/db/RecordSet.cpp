#include "RecordSet.h"

#include "Numbers.h"

RecordFields::RecordFields(QStringList fieldNames) : names(std::move(fieldNames))
{
    // The first of equal names wins, as the case-blind walk finds it.
    for (int i = int(names.size()) - 1; i >= 0; --i)
        exact.insert(names.at(i), i);
}

namespace
{
const RecordFieldsPtr& noFields()
{
    static const RecordFieldsPtr none = std::make_shared<const RecordFields>(QStringList());
    return none;
}
} // namespace

RecordSet::RecordSet() : m_fields(noFields()) {}

RecordSet::RecordSet(QStringList fields, QList<QVariantList> rows)
    : RecordSet(std::make_shared<const RecordFields>(std::move(fields)), std::move(rows))
{
}

RecordSet::RecordSet(RecordFieldsPtr fields, QList<QVariantList> rows)
    : m_fields(fields ? std::move(fields) : noFields()), m_rows(std::move(rows))
{
}

int RecordSet::fieldIndex(const QString& name) const
{
    const auto exact = m_fields->exact.constFind(name);
    if (exact != m_fields->exact.constEnd())
        return exact.value();
    const QStringList& names = m_fields->names;
    for (int i = 0; i < names.size(); ++i) {
        if (names.at(i).compare(name, Qt::CaseInsensitive) == 0)
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

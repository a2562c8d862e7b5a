#pragma once

#include "DbError.h"
#include "RecordSet.h"

#include <QString>
#include <QVariant>

// Copying view columns into records. Numbers and the texts a record cannot do
// without must be there: a Null is an error of the data, raised to the window.
// Optional texts read a Null as the empty text.
namespace FieldRead
{

inline QVariant required(const RecordSet& rs, int row, const QString& field)
{
    const QVariant v = rs.value(row, field);
    if (!v.isValid() || v.isNull())
        throw DbError(QStringLiteral("字段 %1 的值为空").arg(field));
    return v;
}

inline int Int(const RecordSet& rs, int row, const QString& field)
{
    return required(rs, row, field).toInt();
}

inline double Double(const RecordSet& rs, int row, const QString& field)
{
    return required(rs, row, field).toDouble();
}

inline QString Text(const RecordSet& rs, int row, const QString& field)
{
    return required(rs, row, field).toString();
}

inline QString TextOrEmpty(const RecordSet& rs, int row, const QString& field)
{
    return rs.value(row, field).toString();
}

} // namespace FieldRead

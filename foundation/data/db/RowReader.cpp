#include "RowReader.h"

#include "OutputText.h"

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

#include "PrintToolArea.h"

#include <QByteArray>
#include <QList>

namespace
{
const char kVariable[] = "QVPRINT_AREA";
} // namespace

void SetPrintToolArea(const QRect& area)
{
    qputenv(kVariable, QByteArray::number(area.x()) + ',' + QByteArray::number(area.y()) + ',' +
                           QByteArray::number(area.width()) + ',' + QByteArray::number(area.height()));
}

QRect PrintToolArea()
{
    const QList<QByteArray> parts = qgetenv(kVariable).split(',');
    if (parts.size() != 4)
        return {};
    int v[4];
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        v[i] = parts.at(i).trimmed().toInt(&ok);
        if (!ok)
            return {};
    }
    const QRect area(v[0], v[1], v[2], v[3]);
    return area.isValid() ? area : QRect();
}

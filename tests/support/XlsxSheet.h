#pragma once

#include <QDomDocument>
#include <QList>
#include <QMap>
#include <QProcess>
#include <QSet>
#include <QString>
#include <QStringList>

// The first sheet of a workbook the program wrote, read back through its XML
// parts: shared and inline strings alike, numbers as their stored text.
struct XlsxSheet {
    QMap<QString, QString> cells; // by reference ("A1")
    QSet<QString> numbers;        // the references of cells stored as numbers
    QList<QStringList> rows;      // by row (from 0) and column (from 0)
};

inline XlsxSheet ReadXlsxSheet(const QString& path)
{
    const auto part = [&path](const QString& name) {
        QProcess unzip;
        unzip.start(QStringLiteral("unzip"), {QStringLiteral("-p"), path, name});
        unzip.waitForFinished(10000);
        QDomDocument doc;
        doc.setContent(unzip.readAllStandardOutput());
        return doc;
    };
    QStringList shared;
    const QDomNodeList si =
        part(QStringLiteral("xl/sharedStrings.xml")).elementsByTagName(QStringLiteral("si"));
    for (int i = 0; i < si.size(); ++i)
        shared.append(si.at(i).toElement().text());
    XlsxSheet sheet;
    const QDomNodeList rowNodes =
        part(QStringLiteral("xl/worksheets/sheet1.xml")).elementsByTagName(QStringLiteral("row"));
    for (int i = 0; i < rowNodes.size(); ++i) {
        const QDomElement row = rowNodes.at(i).toElement();
        const int r = row.attribute(QStringLiteral("r")).toInt();
        while (sheet.rows.size() < r)
            sheet.rows.append(QStringList());
        for (QDomElement c = row.firstChildElement(QStringLiteral("c")); !c.isNull();
             c = c.nextSiblingElement(QStringLiteral("c"))) {
            const QString ref = c.attribute(QStringLiteral("r"));
            int col = 0;
            for (const QChar ch : ref) {
                if (!ch.isLetter())
                    break;
                col = col * 26 + (ch.unicode() - 'A' + 1);
            }
            QString text = c.firstChildElement(QStringLiteral("v")).text();
            const QString type = c.attribute(QStringLiteral("t"));
            if (type == QLatin1String("s"))
                text = shared.value(text.toInt());
            else if (type == QLatin1String("inlineStr"))
                text = c.firstChildElement(QStringLiteral("is")).text();
            else if (!c.firstChildElement(QStringLiteral("v")).isNull())
                sheet.numbers.insert(ref);
            sheet.cells.insert(ref, text);
            QStringList& cells = sheet.rows[r - 1];
            while (cells.size() < col - 1)
                cells.append(QString());
            cells.append(text);
        }
    }
    return sheet;
}

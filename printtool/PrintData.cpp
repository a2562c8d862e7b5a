// The print job: the command text, the template and the head of the print data.

#include "PrintData.h"
#include "DataReader.h"

#include <QDir>
#include <QDomDocument>
#include <QFile>
#include <QRegularExpression>

using printtool::DataReader;

namespace
{

// A template code or a file name given to the tool must stay inside its folder.
bool IsBareName(const QString& name)
{
    static const QRegularExpression bare(QStringLiteral(R"(^[^/\\:*?"<>|]+$)"));
    return bare.match(name).hasMatch() && name != QLatin1String(".") && name != QLatin1String("..");
}

bool LoadXml(const QString& path, const QString& what, QDomDocument& doc, QString& error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = what + QStringLiteral("不存在: ") + QDir::toNativeSeparators(path);
        return false;
    }
    QString parseError;
    int line = 0;
    if (!doc.setContent(&file, &parseError, &line)) {
        error = QStringLiteral("%1格式错误: %2 (第%3行: %4)")
                    .arg(what, QDir::toNativeSeparators(path))
                    .arg(line)
                    .arg(parseError);
        return false;
    }
    if (doc.documentElement().tagName() != QLatin1String("Content")) {
        error = what + QStringLiteral("缺少Content元素: ") + QDir::toNativeSeparators(path);
        return false;
    }
    return true;
}

QList<PrintColumn> ReadColumns(const QDomElement& section)
{
    QList<PrintColumn> columns;
    const QDomElement cols = section.firstChildElement(QStringLiteral("DataCols"));
    for (QDomElement c = cols.firstChildElement(); !c.isNull(); c = c.nextSiblingElement()) {
        PrintColumn column;
        column.name = c.tagName();
        column.caption = c.attribute(QStringLiteral("Caption"), column.name);
        column.width = qMax(0.1, c.attribute(QStringLiteral("Width"), QStringLiteral("1")).toDouble());
        const QString align = c.attribute(QStringLiteral("Align")).toLower();
        column.align = align == QLatin1String("right")    ? Qt::AlignRight
                       : align == QLatin1String("center") ? Qt::AlignHCenter
                                                          : Qt::AlignLeft;
        column.span = qMax(1, c.attribute(QStringLiteral("Span"), QStringLiteral("1")).toInt());
        column.sum =
            c.attribute(QStringLiteral("Sum")).compare(QLatin1String("true"), Qt::CaseInsensitive) == 0;
        column.totalFrom = c.attribute(QStringLiteral("TotalFrom"));
        columns.append(column);
    }
    return columns;
}

} // namespace

bool ParsePrintCommand(const QString& text, PrintCommand& command, QString& error)
{
    const QString scheme = QStringLiteral("ulmPrint:");
    const QString invalid = QStringLiteral("打印命令格式错误: ") + text;
    command = PrintCommand();
    if (!text.startsWith(scheme, Qt::CaseInsensitive)) {
        error = invalid;
        return false;
    }
    QString typeId;
    for (const QString& pair : text.mid(scheme.size()).split(QLatin1Char('&'))) {
        const qsizetype eq = pair.indexOf(QLatin1Char('='));
        if (eq < 0)
            continue;
        const QString key = pair.left(eq).trimmed();
        const QString value = pair.mid(eq + 1).trimmed();
        if (key.compare(QLatin1String("TypeId"), Qt::CaseInsensitive) == 0)
            typeId = value;
        else if (key.compare(QLatin1String("BillCode"), Qt::CaseInsensitive) == 0)
            command.billCode = value;
        else if (key.compare(QLatin1String("FileName"), Qt::CaseInsensitive) == 0)
            command.fileName = value;
    }
    command.typeId = typeId.toInt();
    if ((command.typeId != PrintCommand::Bill && command.typeId != PrintCommand::Report) ||
        !IsBareName(command.billCode) || !IsBareName(command.fileName)) {
        error = invalid;
        return false;
    }
    return true;
}

bool LoadPrintJob(const QString& toolDir, const PrintCommand& command, PrintJob& job, QString& error)
{
    const QString dir = toolDir.endsWith(QLatin1Char('/')) ? toolDir : toolDir + QLatin1Char('/');
    QDomDocument templ;
    if (!LoadXml(dir + QStringLiteral("templeteXml/") + command.billCode + QStringLiteral(".xml"),
                 QStringLiteral("打印模板"), templ, error))
        return false;

    const QDomElement layout = templ.documentElement();
    job = PrintJob();
    job.isBill = command.typeId == PrintCommand::Bill;
    job.title = layout.attribute(QStringLiteral("Title"), command.billCode);
    job.landscape = layout.attribute(QStringLiteral("Orientation"))
                        .compare(QLatin1String("Landscape"), Qt::CaseInsensitive) == 0;
    job.fontSize =
        qBound(5.0, layout.attribute(QStringLiteral("FontSize"), QStringLiteral("9")).toDouble(), 30.0);
    job.headColumns =
        qBound(1, layout.attribute(QStringLiteral("HeadColumns"), QStringLiteral("3")).toInt(), 8);

    if (job.isBill)
        job.head.columns = ReadColumns(layout.firstChildElement(QStringLiteral("DataGroupHead")));
    const QString section = QStringLiteral("DataDetail");
    job.detail.columns = ReadColumns(layout.firstChildElement(section));
    job.dataFile = dir + QStringLiteral("generateXml/") + command.fileName;
    // The head comes before the lines in the files the program writes; the
    // lines are read on only in a file that puts it after them.
    DataReader data(job.isBill ? &job.head.columns : nullptr, job.detail.columns);
    if (!data.open(job.dataFile)) {
        error = data.error();
        return false;
    }
    QStringList row;
    while (data.next(row) && job.isBill && data.headRows().isEmpty()) {
    }
    if (!data.error().isEmpty()) {
        error = data.error();
        return false;
    }
    job.head.rows = data.headRows();
    // What closes a printed bill: the amount in words (a head field) and the signature lines.
    const auto headValue = [&job](const QString& name) {
        for (int i = 0; i < job.head.columns.size(); ++i) {
            if (job.head.columns.at(i).name == name)
                return job.head.rows.isEmpty() ? QString() : job.head.rows.first().value(i);
        }
        return QString();
    };
    const QString wordsField = layout.firstChildElement(section).attribute(QStringLiteral("TotalWords"));
    if (!wordsField.isEmpty())
        job.totalWords = headValue(wordsField);
    // A bill's amount is the head's: the 合计 shows the same digits as the
    // head and the words.
    for (PrintColumn& c : job.detail.columns) {
        if (!c.totalFrom.isEmpty())
            c.total = headValue(c.totalFrom);
    }
    const QDomElement signs = layout.firstChildElement(QStringLiteral("Signatures"));
    for (QDomElement sign = signs.firstChildElement(QStringLiteral("Sign")); !sign.isNull();
         sign = sign.nextSiblingElement(QStringLiteral("Sign"))) {
        const QString from = sign.attribute(QStringLiteral("From"));
        job.signatures.append(
            {sign.attribute(QStringLiteral("Caption")), from.isEmpty() ? QString() : headValue(from)});
    }
    if (job.detail.columns.isEmpty()) {
        error = QStringLiteral("打印模板没有明细列: ") + command.billCode;
        return false;
    }
    return true;
}

bool ReadDetailRows(const PrintJob& job, QList<QStringList>& rows, QString& error)
{
    if (job.dataFile.isEmpty()) {
        rows = job.detail.rows;
        return true;
    }
    rows.clear();
    DataReader data(nullptr, job.detail.columns);
    if (!data.open(job.dataFile)) {
        error = data.error();
        return false;
    }
    QStringList row;
    while (data.next(row))
        rows.append(row);
    error = data.error();
    return error.isEmpty();
}

#include "PrintJob.h"

#include "DialogRunner.h"
#include "Numbers.h"

#include <QDir>
#include <QDomDocument>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QPageLayout>
#include <QPageSize>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QRegularExpression>
#include <QTextDocument>

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
        columns.append(column);
    }
    return columns;
}

QList<QStringList> ReadRows(const QDomElement& section, const QList<PrintColumn>& columns)
{
    QList<QStringList> rows;
    const QDomElement record = section.firstChildElement(QStringLiteral("DataRecord"));
    for (QDomElement r = record.firstChildElement(QStringLiteral("DataRow")); !r.isNull();
         r = r.nextSiblingElement(QStringLiteral("DataRow"))) {
        QStringList row;
        for (const PrintColumn& column : columns)
            row.append(r.firstChildElement(column.name).text().trimmed());
        rows.append(row);
    }
    return rows;
}

QString AlignName(Qt::Alignment align)
{
    if (align & Qt::AlignRight)
        return QStringLiteral("right");
    if (align & Qt::AlignHCenter)
        return QStringLiteral("center");
    return QStringLiteral("left");
}

// A family that holds Chinese glyphs, so that the PDF shows them whatever the
// system's default font is.
QString ChineseFamily()
{
    const QStringList families = QFontDatabase::families(QFontDatabase::SimplifiedChinese);
    for (const char* preferred : {"WenQuanYi Micro Hei", "Noto Sans CJK SC", "Noto Sans SC",
                                  "Source Han Sans SC", "Microsoft YaHei", "SimSun"}) {
        if (families.contains(QLatin1String(preferred)))
            return QLatin1String(preferred);
    }
    return families.isEmpty() ? QString() : families.first();
}

QString HeadHtml(const PrintJob& job)
{
    if (job.head.rows.isEmpty())
        return QString();
    const QStringList& values = job.head.rows.first();
    const int perLine = qMax(1, job.headColumns);
    QString html = QStringLiteral("<table width=\"100%\" cellspacing=\"0\" cellpadding=\"2\">");
    int used = 0;
    for (int i = 0; i < job.head.columns.size(); ++i) {
        const PrintColumn& column = job.head.columns.at(i);
        const int span = qMin(column.span, perLine);
        if (used > 0 && used + span > perLine) {
            html += QStringLiteral("</tr>");
            used = 0;
        }
        if (used == 0)
            html += QStringLiteral("<tr>");
        html += QStringLiteral("<td colspan=\"%1\" width=\"%2%\">%3：%4</td>")
                    .arg(span)
                    .arg(100 * span / perLine)
                    .arg(column.caption.toHtmlEscaped(), values.value(i).toHtmlEscaped());
        used += span;
    }
    if (used > 0)
        html += QStringLiteral("</tr>");
    return html + QStringLiteral("</table><br/>");
}

// The totals of the columns marked Sum, each with as many decimals as its
// most precise value; empty when no column is totalled.
QStringList ColumnTotals(const PrintSection& section)
{
    bool any = false;
    QStringList totals;
    for (int c = 0; c < section.columns.size(); ++c) {
        if (!section.columns.at(c).sum) {
            totals.append(QString());
            continue;
        }
        any = true;
        int decimals = 0;
        bool seen = false;
        for (const QStringList& row : section.rows) {
            const QString text = row.value(c);
            const qsizetype point = text.indexOf(QLatin1Char('.'));
            if (!text.isEmpty())
                seen = true;
            if (point >= 0)
                decimals = std::max(decimals, int(text.size() - point - 1));
        }
        decimals = std::min(decimals, 6);
        DecimalSum sum(decimals);
        for (const QStringList& row : section.rows)
            sum.add(ReadNumber(row.value(c)));
        totals.append(seen ? sum.text() : QString());
    }
    return any ? totals : QStringList();
}

QString TableHtml(const PrintSection& section)
{
    double total = 0;
    for (const PrintColumn& column : section.columns)
        total += column.width;
    QString html = QStringLiteral("<table width=\"100%\" border=\"1\" cellspacing=\"0\" cellpadding=\"3\" "
                                  "style=\"border-collapse: collapse; border-color: black;\"><thead><tr>");
    for (const PrintColumn& column : section.columns) {
        html += QStringLiteral("<th width=\"%1%\" align=\"center\">%2</th>")
                    .arg(QString::number(100 * column.width / total, 'f', 1), column.caption.toHtmlEscaped());
    }
    html += QStringLiteral("</tr></thead>");
    for (const QStringList& row : section.rows) {
        html += QStringLiteral("<tr>");
        for (int c = 0; c < section.columns.size(); ++c) {
            html += QStringLiteral("<td align=\"%1\">%2</td>")
                        .arg(AlignName(section.columns.at(c).align), row.value(c).toHtmlEscaped());
        }
        html += QStringLiteral("</tr>");
    }
    const QStringList totals = ColumnTotals(section);
    if (!totals.isEmpty()) {
        html += QStringLiteral("<tr>");
        for (int c = 0; c < section.columns.size(); ++c) {
            const bool label = c == 0 && !section.columns.at(c).sum;
            html += QStringLiteral("<td align=\"%1\"><b>%2</b></td>")
                        .arg(label ? QStringLiteral("center") : AlignName(section.columns.at(c).align),
                             label ? QStringLiteral("合计") : totals.value(c).toHtmlEscaped());
        }
        html += QStringLiteral("</tr>");
    }
    return html + QStringLiteral("</table>");
}

QString ClosingHtml(const PrintJob& job)
{
    QString html;
    if (!job.totalWords.isEmpty())
        html += QStringLiteral("<p>合计金额(大写)：%1</p>").arg(job.totalWords.toHtmlEscaped());
    if (!job.signatures.isEmpty()) {
        html += QStringLiteral("<br/><table width=\"100%\" cellspacing=\"0\" cellpadding=\"2\"><tr>");
        for (const auto& [role, name] : job.signatures) {
            const QString line = name.isEmpty() ? QStringLiteral("____________") : name.toHtmlEscaped();
            html += QStringLiteral("<td>%1：%2</td>").arg(role.toHtmlEscaped(), line);
        }
        html += QStringLiteral("</tr></table>");
    }
    return html;
}

void SetUpPrinter(const PrintJob& job, QPrinter& printer)
{
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(job.landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
    printer.setDocName(job.title);
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
    QDomDocument data;
    if (!LoadXml(dir + QStringLiteral("templeteXml/") + command.billCode + QStringLiteral(".xml"),
                 QStringLiteral("打印模板"), templ, error) ||
        !LoadXml(dir + QStringLiteral("generateXml/") + command.fileName, QStringLiteral("打印数据文件"),
                 data, error))
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

    const QDomElement content = data.documentElement();
    if (job.isBill) {
        const QString section = QStringLiteral("DataGroupHead");
        job.head.columns = ReadColumns(layout.firstChildElement(section));
        job.head.rows = ReadRows(content.firstChildElement(section), job.head.columns);
    }
    const QString section = QStringLiteral("DataDetail");
    job.detail.columns = ReadColumns(layout.firstChildElement(section));
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
    const QDomElement signs = layout.firstChildElement(QStringLiteral("Signatures"));
    for (QDomElement sign = signs.firstChildElement(QStringLiteral("Sign")); !sign.isNull();
         sign = sign.nextSiblingElement(QStringLiteral("Sign"))) {
        const QString from = sign.attribute(QStringLiteral("From"));
        job.signatures.append(
            {sign.attribute(QStringLiteral("Caption")), from.isEmpty() ? QString() : headValue(from)});
    }
    job.detail.rows = ReadRows(content.firstChildElement(section), job.detail.columns);
    if (job.detail.columns.isEmpty()) {
        error = QStringLiteral("打印模板没有明细列: ") + command.billCode;
        return false;
    }
    return true;
}

std::unique_ptr<QTextDocument> BuildPrintDocument(const PrintJob& job)
{
    auto document = std::make_unique<QTextDocument>();
    QFont font(ChineseFamily());
    font.setPointSizeF(job.fontSize);
    document->setDefaultFont(font);
    QString html =
        QStringLiteral("<html><body><p align=\"center\" style=\"font-size: %1pt; font-weight: bold;\">%2</p>")
            .arg(job.fontSize * 2)
            .arg(job.title.toHtmlEscaped());
    if (job.isBill)
        html += HeadHtml(job);
    html += TableHtml(job.detail) + ClosingHtml(job) + QStringLiteral("</body></html>");
    document->setHtml(html);
    return document;
}

void PrintDocument(const PrintJob& job, QTextDocument& document, QPrinter& printer)
{
    SetUpPrinter(job, printer);
    document.print(&printer);
}

bool WritePdf(const PrintJob& job, const QString& pdfFile, QString& error)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdfFile);
    const std::unique_ptr<QTextDocument> document = BuildPrintDocument(job);
    PrintDocument(job, *document, printer);
    if (!QFileInfo(pdfFile).isFile() || QFileInfo(pdfFile).size() == 0) {
        error = QStringLiteral("无法写入PDF文件: ") + QDir::toNativeSeparators(pdfFile);
        return false;
    }
    return true;
}

int ShowPrintPreview(const PrintJob& job)
{
    QPrinter printer(QPrinter::HighResolution);
    SetUpPrinter(job, printer);
    const std::unique_ptr<QTextDocument> document = BuildPrintDocument(job);
    QPrintPreviewDialog preview(&printer);
    preview.setObjectName(QStringLiteral("qvPrintPreview"));
    preview.setWindowTitle(QStringLiteral("打印预览 - ") + job.title);
    preview.resize(1000, 760);
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview,
                     [&](QPrinter* target) { document->print(target); });
    return DialogRunner::Exec(&preview);
}

// The print tool over a stock report of 1,000, 4,000 and 20,000 goods (the
// template "qv_stock_bill", 17 columns, landscape):
//   Pdf      the tool's whole run as the program starts it with --pdf: the data
//            file and template read, the pages laid out and written to a PDF;
//   Preview  the print preview up to its first page painted (the data file
//            read, the window built, the first page laid out and painted);
//   Bare     the twin: the same data file parsed with QDomDocument and every
//            cell painted with one drawText at a fixed row height into a
//            QPdfWriter, no measuring, wrapping or pagination beyond counting
//            rows: what writing those texts to a PDF costs at the least.
// One row in 50 carries a goods description of 3,000 characters, and one cell
// of the largest run 300,000 characters.
#include "DialogRunner.h"
#include "PrintJob.h"

#include <QCoreApplication>
#include <QDir>
#include <QDomDocument>
#include <QFile>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>
#include <QXmlStreamWriter>
#include <benchmark/benchmark.h>

namespace
{

const QStringList kColumns =
    QStringLiteral("status,goodsTypeName,goodsCode,goodsName,goodsDesc,upqty,downqty,unit,"
                   "totalImportQty,totalExportQty,totalBlanceQty,totalImportWeight,"
                   "totalExportWeight,totalBlanceWeight,totalImportDefaultQty,"
                   "totalExportDefaultQty,totalBlanceDefaultQty")
        .split(QLatin1Char(','));

// A tool folder with the shipped templates and one data file per row count.
struct Folder {
    QTemporaryDir dir;
    Folder()
    {
        const QString shipped =
            QCoreApplication::applicationDirPath() + QStringLiteral("/qvPrint/templeteXml/");
        QDir().mkpath(dir.path() + QStringLiteral("/templeteXml"));
        QDir().mkpath(dir.path() + QStringLiteral("/generateXml"));
        QFile::copy(shipped + QStringLiteral("qv_stock_bill.xml"),
                    dir.path() + QStringLiteral("/templeteXml/qv_stock_bill.xml"));
    }
    QString file(int rows) const { return QStringLiteral("stock-%1.xml").arg(rows); }
    void write(int rows)
    {
        QFile f(dir.path() + QStringLiteral("/generateXml/") + file(rows));
        if (f.exists())
            return;
        f.open(QIODevice::WriteOnly);
        QXmlStreamWriter w(&f);
        w.writeStartDocument();
        w.writeStartElement(QStringLiteral("Content"));
        w.writeStartElement(QStringLiteral("DataDetail"));
        w.writeStartElement(QStringLiteral("DataRecord"));
        for (int r = 1; r <= rows; ++r) {
            w.writeStartElement(QStringLiteral("DataRow"));
            for (const QString& c : kColumns) {
                QString v;
                if (c == QLatin1String("status"))
                    v = QStringLiteral("启用");
                else if (c == QLatin1String("goodsTypeName"))
                    v = QStringLiteral("饮料类%1").arg(r % 40);
                else if (c == QLatin1String("goodsCode"))
                    v = QStringLiteral("G%1").arg(r, 7, 10, QLatin1Char('0'));
                else if (c == QLatin1String("goodsName"))
                    v = QStringLiteral("康师傅冰红茶柠檬味%1ml").arg(r % 997);
                else if (c == QLatin1String("goodsDesc"))
                    v = r == 7 && rows >= 20000 ? QString(300000, QChar(0x8D27))
                        : r % 50 == 0           ? QString(3000, QChar(0x7EFF))
                                                : QStringLiteral("瓶装 500ml");
                else if (c == QLatin1String("unit"))
                    v = QStringLiteral("箱");
                else
                    v = QString::number((r * 37 + c.size()) % 100000 / 10.0, 'f', 3);
                w.writeTextElement(c, v);
            }
            w.writeEndElement();
        }
        w.writeEndDocument();
    }
    PrintCommand command(int rows) const
    {
        PrintCommand c;
        c.typeId = PrintCommand::Report;
        c.billCode = QStringLiteral("qv_stock_bill");
        c.fileName = file(rows);
        return c;
    }
};

Folder& folder()
{
    static Folder* f = new Folder;
    return *f;
}

void BM_PrintPdf(benchmark::State& state)
{
    const int rows = int(state.range(0));
    folder().write(rows);
    const QString pdf = folder().dir.path() + QStringLiteral("/out.pdf");
    for (auto _ : state) {
        PrintJob job;
        QString error;
        if (!LoadPrintJob(folder().dir.path(), folder().command(rows), job, error) ||
            !WritePdf(job, pdf, error)) {
            state.SkipWithError(error.toUtf8().constData());
            return;
        }
    }
    state.counters["rows"] = rows;
}

void BM_PrintPreview(benchmark::State& state)
{
    const int rows = int(state.range(0));
    folder().write(rows);
    DialogRunner::BeginTest();
    int pages = 0;
    for (auto _ : state) {
        PrintJob job;
        QString error;
        if (!LoadPrintJob(folder().dir.path(), folder().command(rows), job, error)) {
            state.SkipWithError(error.toUtf8().constData());
            break;
        }
        DialogRunner::QueueHandler([&](QDialog* dialog) {
            // The window up with its first page painted.
            auto* preview = dynamic_cast<PrintPreview*>(dialog);
            preview->grab();
            pages = preview->currentPage() + 1;
            return int(QDialog::Accepted);
        });
        ShowPrintPreview(job);
    }
    DialogRunner::EndTest();
    state.counters["rows"] = rows;
    state.counters["pages"] = pages;
}

void BM_PrintBare(benchmark::State& state)
{
    const int rows = int(state.range(0));
    folder().write(rows);
    const QString path = folder().dir.path() + QStringLiteral("/generateXml/") + folder().file(rows);
    const QString pdf = folder().dir.path() + QStringLiteral("/bare.pdf");
    for (auto _ : state) {
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        QDomDocument doc;
        doc.setContent(&f);
        QPdfWriter writer(pdf);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageOrientation(QPageLayout::Landscape);
        writer.setResolution(1200);
        QPainter painter(&writer);
        QFont font(QStringLiteral("Noto Sans CJK SC"));
        font.setPointSizeF(8);
        painter.setFont(font);
        const double rowH = 200, colW = writer.width() / double(kColumns.size());
        const int perPage = int(writer.height() / rowH);
        int onPage = 0;
        const QDomElement record = doc.documentElement()
                                       .firstChildElement(QStringLiteral("DataDetail"))
                                       .firstChildElement(QStringLiteral("DataRecord"));
        for (QDomElement r = record.firstChildElement(); !r.isNull(); r = r.nextSiblingElement()) {
            if (onPage == perPage) {
                writer.newPage();
                onPage = 0;
            }
            int c = 0;
            for (QDomElement v = r.firstChildElement(); !v.isNull(); v = v.nextSiblingElement(), ++c)
                painter.drawText(QRectF(c * colW, onPage * rowH, colW, rowH), Qt::TextSingleLine, v.text());
            ++onPage;
        }
    }
    state.counters["rows"] = rows;
}

} // namespace

BENCHMARK(BM_PrintPdf)->Arg(1000)->Arg(4000)->Arg(20000)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_PrintPreview)->Arg(1000)->Arg(4000)->Arg(20000)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_PrintBare)->Arg(1000)->Arg(4000)->Arg(20000)->Unit(benchmark::kMillisecond)->Iterations(1);

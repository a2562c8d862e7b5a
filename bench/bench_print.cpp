// The print tool over stock reports of 1,000 to 100,000 goods items (the
// template "qv_stock_bill", 17 columns, landscape; one row in 50 carries a
// goods description of 3,000 characters, and one cell of the files of
// 20,000 rows and more 300,000 characters). The data files are written once
// into the bench data folder and kept.
//   Pdf      the tool's whole run as the program starts it with --pdf, a
//            process: the data file and template read, the pages laid out
//            and written to a PDF; its peak memory (ours_peak_MB) beside the
//            bare twin's, a process too (print_twin: the same file read
//            forward, every cell written as one line cut to its column at a
//            fixed row height);
//   Preview  the print preview up to its first page painted (the data file
//            opened, the window built, the first page laid out and painted),
//            beside the bare twin reading the rows of one page from the same
//            file and painting them on an image of the page.
// Both interleaved with their twins (Paired.h).
#include "BenchData.h"
#include "Paired.h"
#include "PrintJob.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <vector>

extern char** environ;

namespace
{

const QStringList kColumns =
    QStringLiteral("status,goodsTypeName,goodsCode,goodsName,goodsDesc,upqty,downqty,unit,"
                   "totalImportQty,totalExportQty,totalBlanceQty,totalImportWeight,"
                   "totalExportWeight,totalBlanceWeight,totalImportDefaultQty,"
                   "totalExportDefaultQty,totalBlanceDefaultQty")
        .split(QLatin1Char(','));

// A tool folder with the shipped templates and the kept data files.
struct Folder {
    QString dir = BenchData::KeptFolder() + QStringLiteral("qvPrint");
    Folder()
    {
        const QString shipped =
            QCoreApplication::applicationDirPath() + QStringLiteral("/qvPrint/templeteXml/qv_stock_bill.xml");
        QDir().mkpath(dir + QStringLiteral("/templeteXml"));
        QDir().mkpath(dir + QStringLiteral("/generateXml"));
        const QString templ = dir + QStringLiteral("/templeteXml/qv_stock_bill.xml");
        QFile::remove(templ);
        QFile::copy(shipped, templ);
    }
    QString file(int rows) const { return QStringLiteral("stock-%1-v1.xml").arg(rows); }
    QString path(int rows) const { return dir + QStringLiteral("/generateXml/") + file(rows); }
    void write(int rows)
    {
        if (QFile::exists(path(rows)))
            return;
        const QString part = path(rows) + QStringLiteral(".part");
        QFile f(part);
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
        f.close();
        QFile::rename(part, path(rows));
    }
    PrintCommand command(int rows) const
    {
        PrintCommand c;
        c.typeId = PrintCommand::Report;
        c.billCode = QStringLiteral("qv_stock_bill");
        c.fileName = file(rows);
        return c;
    }
    QString commandText(int rows) const
    {
        return QStringLiteral("ulmPrint:TypeId=1002&BillCode=qv_stock_bill&FileName=") + file(rows);
    }
};

Folder& folder()
{
    static Folder* f = new Folder;
    return *f;
}

// A process run to its end: its exit code and its peak memory.
struct Child {
    int exitCode = -1;
    double peakMB = 0;
};

Child Run(const QString& program, const QStringList& arguments)
{
    std::vector<QByteArray> args{QFile::encodeName(program)};
    for (const QString& a : arguments)
        args.push_back(a.toLocal8Bit());
    std::vector<char*> argv;
    for (QByteArray& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0)
        return {};
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid)
        return {};
    Child out;
    out.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    out.peakMB = double(usage.ru_maxrss) / 1024.0;
    return out;
}

void BM_PrintPdf(benchmark::State& state)
{
    const int rows = int(state.range(0));
    folder().write(rows);
    const QString dir = QCoreApplication::applicationDirPath();
    const QString pdf = folder().dir + QStringLiteral("/ours.pdf");
    const QString barePdf = folder().dir + QStringLiteral("/bare.pdf");
    Paired pair(1e3);
    Child ours, bare;
    double oursPeak = 0, barePeak = 0;
    for (auto _ : state) {
        pair.Run(
            state,
            [&] {
                ours = Run(dir + QStringLiteral("/qvPrint/qvPrint"),
                           {QStringLiteral("--dir"), folder().dir, QStringLiteral("--pdf"), pdf,
                            folder().commandText(rows)});
            },
            [&] {
                bare = Run(dir + QStringLiteral("/print_twin"),
                           {folder().path(rows), barePdf, kColumns.join(QLatin1Char(',')),
                            QStringLiteral("8"), QStringLiteral("1")});
            });
        if (ours.exitCode != 0 || bare.exitCode != 0) {
            state.SkipWithError("a PDF was not written");
            break;
        }
        oursPeak = std::max(oursPeak, ours.peakMB);
        barePeak = std::max(barePeak, bare.peakMB);
    }
    pair.Report(state);
    state.counters["rows"] = rows;
    state.counters["ours_peak_MB"] = oursPeak;
    state.counters["bare_peak_MB"] = barePeak;
    state.counters["file_MB"] = double(QFile(folder().path(rows)).size()) / (1024.0 * 1024.0);
    QFile::remove(pdf);
    QFile::remove(barePdf);
}

// The rows of one page read from the data file and painted on an image of
// the page: every cell one line cut to its column.
void BarePreviewPage(const QString& path, QImage& page)
{
    QFile data(path);
    data.open(QIODevice::ReadOnly);
    QXmlStreamReader xml(&data);
    page.fill(Qt::white);
    QPainter painter(&page);
    QFont font(QStringLiteral("WenQuanYi Micro Hei"));
    font.setPixelSize(11);
    painter.setFont(font);
    const QFontMetricsF fm(font, &page);
    const double rowH = fm.height() * 1.3;
    const double colW = page.width() / double(kColumns.size());
    const int perPage = int(page.height() / rowH);
    QHash<QString, int> index;
    for (int c = 0; c < kColumns.size(); ++c)
        index.insert(kColumns.at(c), c);
    int row = 0;
    while (row < perPage && xml.readNextStartElement()) {
        const QStringView name = xml.name();
        if (name != QLatin1String("DataRow")) {
            if (name != QLatin1String("Content") && name != QLatin1String("DataDetail") &&
                name != QLatin1String("DataRecord"))
                xml.skipCurrentElement();
            continue;
        }
        while (xml.readNextStartElement()) {
            const int c = index.value(xml.name().toString(), -1);
            const QString text = xml.readElementText(QXmlStreamReader::IncludeChildElements).trimmed();
            if (c >= 0 && !text.isEmpty())
                painter.drawText(QPointF(c * colW + 2, row * rowH + fm.ascent()),
                                 fm.elidedText(text.left(1000), Qt::ElideRight, colW - 4));
        }
        ++row;
    }
}

void BM_PrintPreview(benchmark::State& state)
{
    const int rows = int(state.range(0));
    folder().write(rows);
    QImage page(1000, 707, QImage::Format_RGB32);
    Paired pair(1e3);
    int pages = 0;
    for (auto _ : state) {
        QString error;
        bool loaded = false;
        pair.Run(
            state,
            [&] {
                PrintJob job;
                loaded = LoadPrintJob(folder().dir, folder().command(rows), job, error);
                if (!loaded)
                    return;
                PrintPreview preview(job);
                preview.resize(1000, 760);
                preview.grab(); // the window with its first page painted
                pages = preview.currentPage() + 1;
            },
            [&] { BarePreviewPage(folder().path(rows), page); });
        if (!loaded) {
            state.SkipWithError(error.toUtf8().constData());
            break;
        }
    }
    pair.Report(state);
    state.counters["rows"] = rows;
    state.counters["pages"] = pages;
}

} // namespace

BENCHMARK(BM_PrintPdf)
    ->Arg(1000)
    ->Arg(4000)
    ->Arg(20000)
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime();
BENCHMARK(BM_PrintPdf)->Arg(100000)->Iterations(2)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(BM_PrintPreview)
    ->Arg(1000)
    ->Arg(20000)
    ->Arg(100000)
    ->Iterations(10)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime();

// The print benchmark's bare twin, a process like the print tool:
//
//   print_twin <data file> <pdf file> <columns, comma list> <font points> <landscape 0|1>
//
// Reads the DataDetail rows of a print data file forward and writes each
// row's cells into a PDF: A4, 15 mm margins, equal columns, every cell one
// line cut to its column ("…"), a fixed row height, a new page when one is
// full. No measuring of rows, no wrapping, no totals: what printing those
// texts costs at the least. Exits 0 when the PDF was written.
#include <QFile>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QHash>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QStringList>
#include <QXmlStreamReader>
#include <cstdio>
#ifdef __GLIBC__
#include <malloc.h>
#endif

int main(int argc, char** argv)
{
#ifdef __GLIBC__
    // As the print tool sets it.
    mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
    mallopt(M_TRIM_THRESHOLD, 64 * 1024 * 1024);
    mallopt(M_TOP_PAD, 16 * 1024 * 1024);
#endif
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 6) {
        std::fprintf(stderr, "print_twin <data> <pdf> <columns> <points> <landscape>\n");
        return 2;
    }
    const QStringList columns = QString::fromUtf8(argv[3]).split(QLatin1Char(','));
    QHash<QString, int> index;
    for (int c = 0; c < columns.size(); ++c)
        index.insert(columns.at(c), c);
    QFile data(QString::fromLocal8Bit(argv[1]));
    if (!data.open(QIODevice::ReadOnly))
        return 1;

    QPdfWriter writer(QString::fromLocal8Bit(argv[2]));
    writer.setResolution(1200);
    writer.setPageLayout(QPageLayout(
        QPageSize(QPageSize::A4), qstrcmp(argv[5], "1") == 0 ? QPageLayout::Landscape : QPageLayout::Portrait,
        QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter));
    QPainter painter(&writer);
    QFont font(QStringLiteral("WenQuanYi Micro Hei"));
    font.setPixelSize(int(QString::fromLatin1(argv[4]).toDouble() * 1200 / 72));
    painter.setFont(font);
    const QFontMetricsF fm(font, &writer);
    const double rowH = fm.height() * 1.3;
    const double colW = writer.width() / double(columns.size());
    const double pad = fm.height() * 0.25;
    const int perPage = std::max(1, int(writer.height() / rowH));

    QXmlStreamReader xml(&data);
    int onPage = 0;
    QStringList row;
    while (xml.readNextStartElement()) {
        const QStringView name = xml.name();
        if (name == QLatin1String("Content") || name == QLatin1String("DataDetail") ||
            name == QLatin1String("DataRecord"))
            continue; // into it
        if (name != QLatin1String("DataRow")) {
            xml.skipCurrentElement();
            continue;
        }
        row = QStringList(columns.size());
        while (xml.readNextStartElement()) {
            const int c = index.value(xml.name().toString(), -1);
            const QString text = xml.readElementText(QXmlStreamReader::IncludeChildElements).trimmed();
            if (c >= 0)
                row[c] = text;
        }
        if (onPage == perPage) {
            writer.newPage();
            onPage = 0;
        }
        for (int c = 0; c < columns.size(); ++c) {
            if (row.at(c).isEmpty())
                continue;
            const QString shown = fm.elidedText(row.at(c).left(1000), Qt::ElideRight, colW - 2 * pad);
            painter.drawText(QPointF(c * colW + pad, onPage * rowH + fm.ascent()), shown);
        }
        ++onPage;
    }
    const bool ok = !xml.hasError() && painter.end();
    return ok ? 0 : 1;
}

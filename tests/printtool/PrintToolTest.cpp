#include "TestEnv.h"

#include "UiDriver.h"

#include "Clock.h"
#include "DialogRunner.h"
#include "PrintJob.h"
#include "PrintToolArea.h"
#include "PrintXml.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTextDocument>

namespace
{

// The columns of the work tables each print reads its rows from.
const char* kRkHead =
    "id,accountId,accountName,billNo,ubillNo,utypeId,utype,supplierId,ispass,passName,"
    "supplierName,remark,creator,createTime,updateLastUser,updateLastTime,userId,totalItemRow,"
    "rowsCount,totalQty,totalAmount";
const char* kCkHead =
    "id,accountId,accountName,billNo,ubillNo,utypeId,utype,customerId,ispass,passName,"
    "customerName,remark,creator,createTime,updateLastUser,updateLastTime,userId,totalItemRow,"
    "rowsCount,totalQty,totalAmount";
const char* kRkDetail =
    "id,headId,accountId,accountName,ispass,passName,billNo,ubillNo,utypeId,utype,supplierId,"
    "supplierName,userId,rowNo,goodsTypeId,goodsTypeName,goodsId,goodsCode,goodsDetailCode,"
    "goodsName,goodsDesc,unit,inPrice,packQty,weight,qty,totalQty,totalDefaultQty,totalWeight,"
    "totalAmount,locationId,locationCode,lotNo,remark";
const char* kCkDetail =
    "id,headId,accountId,accountName,ispass,passName,billNo,ubillNo,utypeId,utype,customerId,"
    "customerName,userId,rowNo,goodsTypeId,goodsTypeName,goodsId,goodsCode,goodsDetailCode,"
    "goodsName,goodsDesc,unit,inPrice,salePrice,packQty,weight,qty,totalQty,totalDefaultQty,"
    "totalWeight,totalAmount,locationId,locationCode,lotNo,remark";
const char* kStock = "id,goodsTypeId,goodsTypeName,goodsCode,goodsName,goodsDesc,pinyin,upqty,downqty,status,"
                     "isDefault,unit,totalImportQty,totalImportDefaultQty,totalImportWeight,totalExportQty,"
                     "totalExportDefaultQty,totalExportWeight,totalBlanceQty,totalBlanceDefaultQty,"
                     "totalBlanceWeight";
const char* kRkSum = "id,goodsTypeId,goodsTypeName,goodsCode,goodsName,goodsDesc,pinyin,upqty,downqty,status,"
                     "isDefault,unit,totalImportQty,totalImportDefaultQty,totalImportWeight";
const char* kCkSum = "id,goodsTypeId,goodsTypeName,goodsCode,goodsName,goodsDesc,pinyin,upqty,downqty,status,"
                     "isDefault,unit,totalExportQty,totalExportDefaultQty,totalExportWeight";

const QString kHeadPath = QStringLiteral("Content/DataGroupHead/DataRecord");
const QString kDetailPath = QStringLiteral("Content/DataDetail/DataRecord");

// Rows whose every value is distinct ("goodsCode-2" ...), amounts excepted.
RecordSet Rows(const char* columns, int count)
{
    const QStringList fields = QString::fromLatin1(columns).split(QLatin1Char(','));
    QList<QVariantList> rows;
    for (int r = 1; r <= count; ++r) {
        QVariantList row;
        for (const QString& f : fields)
            row.append(f == QLatin1String("totalAmount")
                           ? QVariant(1234.5 * r)
                           : QVariant(f + QLatin1Char('-') + QString::number(r)));
        rows.append(row);
    }
    return RecordSet(fields, rows);
}

// Stock report rows: every field its own short text, the goods name and the
// balance given by row (from 0).
RecordSet StockRows(int count, const std::function<QString(int)>& name,
                    const std::function<QString(int)>& balance)
{
    const QStringList fields = QString::fromLatin1(kStock).split(QLatin1Char(','));
    QList<QVariantList> rows;
    for (int r = 0; r < count; ++r) {
        QVariantList row;
        for (const QString& f : fields)
            row.append(f == QLatin1String("goodsName")        ? name(r)
                       : f == QLatin1String("totalBlanceQty") ? balance(r)
                       : f.startsWith(QLatin1String("total")) ? QStringLiteral("1.5")
                                                              : QStringLiteral("x%1").arg(r % 10));
        rows.append(row);
    }
    return RecordSet(fields, rows);
}

// A page painted on canvas (the device the pages are laid out for).
QImage PaintedPage(PrintPages& pages, QImage& canvas, int page)
{
    canvas.fill(Qt::white);
    QPainter painter(&canvas);
    pages.paintPage(painter, page);
    painter.end();
    return canvas.copy();
}

class PrintToolTest : public DbTest
{
  protected:
    void SetUp() override
    {
        DbTest::SetUp();
        Clock::SetFixed(QDateTime(QDate(2024, 3, 5), QTime(10, 0, 0)));
        // The templates shipped beside the tool of this build.
        ASSERT_TRUE(installPrintTemplates());
    }

    QString toolDir() const { return appDir() + QStringLiteral("qvPrint/"); }

    // The job of a stock report printed with the given rows, as the tool loads it.
    void LoadStockJob(const RecordSet& rows, PrintJob& job) const
    {
        const QString file = PrintData(QStringLiteral("qv_stock_bill"), nullptr, rows);
        PrintCommand command;
        QString error;
        ASSERT_TRUE(ParsePrintCommand(Command(1002, QStringLiteral("qv_stock_bill"), file), command, error));
        ASSERT_TRUE(LoadPrintJob(toolDir(), command, job, error)) << error.toStdString();
    }

    // The place of the detail column printing the field, or -1.
    static int DetailColumn(const PrintJob& job, QLatin1String field)
    {
        for (int c = 0; c < job.detail.columns.size(); ++c) {
            if (job.detail.columns.at(c).name == field)
                return c;
        }
        return -1;
    }

    // Print data for a template, as a printing window makes it.
    static QString PrintData(const QString& code, const RecordSet* head, const RecordSet& lines)
    {
        KeyValue nodes;
        if (head) {
            nodes.AddItem(kHeadPath, QVariant::fromValue(BuildDataRecordNode(
                                         *head, code, QStringLiteral("Content/DataGroupHead/DataCols"))));
        }
        nodes.AddItem(kDetailPath, QVariant::fromValue(BuildDataRecordNode(
                                       lines, code, QStringLiteral("Content/DataDetail/DataCols"))));
        return CreatePrintXml(code, nodes);
    }

    static QString Command(int typeId, const QString& code, const QString& file)
    {
        return QStringLiteral("ulmPrint:TypeId=%1&BillCode=%2&FileName=%3").arg(typeId).arg(code, file);
    }

    static QString Tool()
    {
        return QCoreApplication::applicationDirPath() + QStringLiteral("/qvPrint/qvPrint");
    }
};

TEST_F(PrintToolTest, ShippedTemplatesCoverEveryPrint)
{
    struct Print {
        const char* code;
        int typeId;
        const char* head;
        const char* lines;
        const char* title;
    };
    const Print prints[] = {
        {"qv_import_bill", 1003, kRkHead, kRkDetail, "入库单"},
        {"qv_export_bill", 1003, kCkHead, kCkDetail, "出库单"},
        {"qv_stock_bill", 1002, nullptr, kStock, "货品总账"},
        {"qv_rpt_rkSum", 1002, nullptr, kRkSum, "入库汇总"},
        {"qv_rpt_ckSum", 1002, nullptr, kCkSum, "出库汇总"},
    };
    for (const Print& p : prints) {
        SCOPED_TRACE(p.code);
        const QString code = QString::fromLatin1(p.code);
        const RecordSet head = p.head ? Rows(p.head, 1) : RecordSet();
        const RecordSet lines = Rows(p.lines, 3);
        QString file;
        // A column bound to a field the work table lacks would throw here.
        ASSERT_NO_THROW(file = PrintData(code, p.head ? &head : nullptr, lines));

        PrintCommand command;
        QString error;
        ASSERT_TRUE(ParsePrintCommand(Command(p.typeId, code, file), command, error)) << error.toStdString();
        PrintJob job;
        ASSERT_TRUE(LoadPrintJob(toolDir(), command, job, error)) << error.toStdString();
        EXPECT_EQ(job.title, QString::fromUtf8(p.title));
        EXPECT_EQ(job.isBill, p.head != nullptr);
        QList<QStringList> rows;
        ASSERT_TRUE(ReadDetailRows(job, rows, error)) << error.toStdString();
        EXPECT_EQ(rows.size(), 3);
        EXPECT_EQ(job.head.rows.size(), p.head ? 1 : 0);
        if (p.head) {
            EXPECT_GE(job.head.columns.size(), 8);
        }

        const std::unique_ptr<PrintPages> pages = BuildPrintDocument(job);
        const QString text = pages->toPlainText();
        EXPECT_TRUE(text.contains(job.title));
        for (const PrintSection* section : {&job.head, &job.detail}) {
            for (const PrintColumn& column : section->columns)
                EXPECT_TRUE(text.contains(column.caption)) << column.caption.toStdString();
        }
        for (const QStringList& row : job.head.rows) {
            for (const QString& value : row)
                EXPECT_TRUE(text.contains(value)) << value.toStdString();
        }
        // A list cell prints its value whole, or its start on at most two
        // lines ending in "…".
        for (int r = 0; r < rows.size(); ++r) {
            for (int c = 0; c < rows.at(r).size(); ++c) {
                const QString& value = rows.at(r).at(c);
                const QStringList printed = pages->cellLines(r, c);
                const QString joined = printed.join(QString());
                EXPECT_LE(printed.size(), PrintPages::kCellLines) << value.toStdString();
                if (joined != value) {
                    EXPECT_TRUE(joined.endsWith(QChar(0x2026)) && value.startsWith(joined.chopped(1)))
                        << value.toStdString() << " printed as " << printed.join('|').toStdString();
                }
                EXPECT_TRUE(text.contains(joined)) << joined.toStdString();
            }
        }
        if (p.head) {
            EXPECT_TRUE(text.contains(QStringLiteral("壹仟贰佰叁拾肆元伍角整")));
        }
    }
}

TEST_F(PrintToolTest, CommandText)
{
    const struct {
        const char* text;
        bool ok;
        int typeId;
        const char* code;
        const char* file;
    } cases[] = {
        {"ulmPrint:TypeId=1003&BillCode=qv_import_bill&FileName=a.xml", true, 1003, "qv_import_bill",
         "a.xml"},
        {"ulmPrint:TypeId=1002&BillCode=qv_stock_bill&FileName=b.xml", true, 1002, "qv_stock_bill", "b.xml"},
        {"ULMPRINT:filename=c.xml&billcode=x&typeid=1002", true, 1002, "x", "c.xml"},
        {"ulmPrint:TypeId=1003&BillCode=qv_import_bill&FileName=", false, 0, "", ""},
        {"ulmPrint:TypeId=1003&BillCode=qv_import_bill&FileName=../wms.db", false, 0, "", ""},
        {"ulmPrint:TypeId=1003&BillCode=../../x&FileName=a.xml", false, 0, "", ""},
        {"ulmPrint:TypeId=1001&BillCode=qv_import_bill&FileName=a.xml", false, 0, "", ""},
        {"print:TypeId=1003&BillCode=qv_import_bill&FileName=a.xml", false, 0, "", ""},
        {"", false, 0, "", ""},
    };
    for (const auto& c : cases) {
        PrintCommand command;
        QString error;
        EXPECT_EQ(ParsePrintCommand(QString::fromUtf8(c.text), command, error), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(command.typeId, c.typeId);
            EXPECT_EQ(command.billCode, QString::fromUtf8(c.code));
            EXPECT_EQ(command.fileName, QString::fromUtf8(c.file));
        } else {
            EXPECT_TRUE(error.startsWith(QStringLiteral("打印命令格式错误"))) << error.toStdString();
        }
    }
}

TEST_F(PrintToolTest, MissingFilesAreNamed)
{
    PrintCommand command;
    QString error;
    PrintJob job;
    ASSERT_TRUE(ParsePrintCommand(Command(1003, QStringLiteral("qv_import_bill"), QStringLiteral("gone.xml")),
                                  command, error));
    EXPECT_FALSE(LoadPrintJob(toolDir(), command, job, error));
    EXPECT_TRUE(error.startsWith(QStringLiteral("打印数据文件不存在"))) << error.toStdString();

    const QString file = PrintData(QStringLiteral("qv_stock_bill"), nullptr, Rows(kStock, 1));
    ASSERT_TRUE(ParsePrintCommand(Command(1002, QStringLiteral("qv_unknown"), file), command, error));
    EXPECT_FALSE(LoadPrintJob(toolDir(), command, job, error));
    EXPECT_TRUE(error.startsWith(QStringLiteral("打印模板不存在"))) << error.toStdString();
}

TEST_F(PrintToolTest, PreviewShowsThePages)
{
    const QString file = PrintData(QStringLiteral("qv_stock_bill"), nullptr, Rows(kStock, 40));
    PrintCommand command;
    QString error;
    PrintJob job;
    ASSERT_TRUE(ParsePrintCommand(Command(1002, QStringLiteral("qv_stock_bill"), file), command, error));
    ASSERT_TRUE(LoadPrintJob(toolDir(), command, job, error)) << error.toStdString();

    int pages = 0;
    QString title;
    DialogRunner::QueueHandler([&](QDialog* dialog) {
        auto* preview = dynamic_cast<PrintPreview*>(dialog);
        EXPECT_TRUE(preview);
        title = dialog->windowTitle();
        if (!preview)
            return int(QDialog::Rejected);
        pages = preview->pageCount();
        return int(QDialog::Accepted);
    });
    EXPECT_EQ(ShowPrintPreview(job), int(QDialog::Accepted));
    EXPECT_EQ(title, QStringLiteral("打印预览 - 货品总账"));
    EXPECT_GE(pages, 2); // forty rows do not fit on one page
}

// The preview shows its first page before the others are laid out, then
// moves through the pages from the keyboard.
TEST_F(PrintToolTest, PreviewShowsTheFirstPageAtOnceAndPagesWithTheKeys)
{
    const QString file = PrintData(QStringLiteral("qv_stock_bill"), nullptr, Rows(kStock, 120));
    PrintCommand command;
    QString error;
    PrintJob job;
    ASSERT_TRUE(ParsePrintCommand(Command(1002, QStringLiteral("qv_stock_bill"), file), command, error));
    ASSERT_TRUE(LoadPrintJob(toolDir(), command, job, error)) << error.toStdString();

    PrintPreview preview(job);
    auto* label = preview.findChild<QLabel*>(QStringLiteral("pageLabel"));
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->text().trimmed(), QStringLiteral("第 1 页 / 已排 1 页...")) << "only the first page yet";
    preview.show();
    ui::activate(&preview);
    const int pages = preview.pageCount();
    ASSERT_GE(pages, 3);
    EXPECT_EQ(label->text().trimmed(), QStringLiteral("第 1 页 / 共 %1 页").arg(pages));
    const struct {
        Qt::Key key;
        int page;
    } steps[] = {{Qt::Key_PageDown, 1},    {Qt::Key_PageDown, 2},         {Qt::Key_PageUp, 1},
                 {Qt::Key_End, pages - 1}, {Qt::Key_PageDown, pages - 1}, {Qt::Key_Home, 0},
                 {Qt::Key_PageUp, 0}};
    for (const auto& step : steps) {
        ui::press(step.key);
        EXPECT_EQ(preview.currentPage(), step.page) << step.key;
    }
}

// The tool as the program starts it, writing a PDF in place of the preview.
TEST_F(PrintToolTest, ToolWritesTheBillAsPdf)
{
    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    ASSERT_FALSE(pdftotext.isEmpty()) << "pdftotext (poppler-utils) is needed";
    ASSERT_TRUE(QFile::exists(Tool())) << Tool().toStdString();

    const QStringList headFields = QString::fromLatin1(kRkHead).split(QLatin1Char(','));
    QVariantList head(headFields.size());
    const auto set = [&](const char* field, const QVariant& v) {
        head[headFields.indexOf(QLatin1String(field))] = v;
    };
    set("billNo", QStringLiteral("rk-2403-00007"));
    set("createTime", QStringLiteral("2024-03-05 09:30:00"));
    set("accountName", QStringLiteral("默认账目"));
    set("supplierName", QStringLiteral("华东五金有限公司"));
    set("utype", QStringLiteral("采购入库"));
    set("ubillNo", QStringLiteral("HD-889"));
    set("totalItemRow", QStringLiteral("1单3项"));
    set("passName", QStringLiteral("已审核"));
    set("totalAmount", QStringLiteral("1234.5"));
    set("remark", QStringLiteral("月底前付款"));
    set("creator", QStringLiteral("admin"));
    const RecordSet heads(headFields, {head});

    const QStringList lineFields = QString::fromLatin1(kRkDetail).split(QLatin1Char(','));
    const QList<QStringList> lineValues = {
        {QStringLiteral("LS-M6"), QStringLiteral("六角螺栓"), QStringLiteral("A-01-02"),
         QStringLiteral("100")},
        {QStringLiteral("LM-M6"), QStringLiteral("防松螺母"), QStringLiteral("A-01-03"),
         QStringLiteral("250")},
        {QStringLiteral("DP-8"), QStringLiteral("平垫圈"), QStringLiteral("B-02-01"), QStringLiteral("75")},
    };
    QList<QVariantList> lineRows;
    for (int r = 0; r < lineValues.size(); ++r) {
        QVariantList row;
        for (const QString& f : lineFields) {
            if (f == QLatin1String("rowNo"))
                row.append(r + 1);
            else if (f == QLatin1String("goodsCode"))
                row.append(lineValues[r][0]);
            else if (f == QLatin1String("goodsName"))
                row.append(lineValues[r][1]);
            else if (f == QLatin1String("locationCode"))
                row.append(lineValues[r][2]);
            else if (f == QLatin1String("qty"))
                row.append(lineValues[r][3].toDouble());
            else
                row.append(QVariant());
        }
        lineRows.append(row);
    }
    const QString file = PrintData(QStringLiteral("qv_import_bill"), &heads, RecordSet(lineFields, lineRows));

    const QString pdf = appDir() + QStringLiteral("bill.pdf");
    QProcess tool;
    tool.start(Tool(), {QStringLiteral("--dir"), toolDir(), QStringLiteral("--pdf"), pdf,
                        Command(1003, QStringLiteral("qv_import_bill"), file)});
    ASSERT_TRUE(tool.waitForFinished(30000));
    EXPECT_EQ(tool.exitCode(), 0) << tool.readAllStandardError().toStdString();

    QProcess toText;
    toText.start(pdftotext, {pdf, QStringLiteral("-")});
    ASSERT_TRUE(toText.waitForFinished(30000));
    const QString text = QString::fromUtf8(toText.readAllStandardOutput());
    QStringList expected = {
        QStringLiteral("入库单"), QStringLiteral("rk-2403-00007"), QStringLiteral("华东五金有限公司"),
        QStringLiteral("采购入库"), QStringLiteral("HD-889"), QStringLiteral("1单3项"),
        QStringLiteral("已审核"), QStringLiteral("壹仟贰佰叁拾肆元伍角整"), QStringLiteral("月底前付款"),
        QStringLiteral("货品编码"),
        // The closing totals (100 + 250 + 75), the amount in words and the signatures.
        QStringLiteral("合计"), QStringLiteral("425"),
        QStringLiteral("合计金额(大写)：壹仟贰佰叁拾肆元伍角整"), QStringLiteral("制单人：admin"),
        QStringLiteral("仓库保管员："), QStringLiteral("审核人：")};
    for (const QStringList& line : lineValues)
        expected += line;
    for (const QString& e : expected)
        EXPECT_TRUE(text.contains(e)) << e.toStdString() << "\n" << text.toStdString();
}

// A printed bill ends with the totals of its quantities and amounts, each with
// the decimals of its most precise line, then the signature lines.
TEST_F(PrintToolTest, BillsEndWithTotalsAndSignatures)
{
    for (const char* code : {"qv_import_bill", "qv_export_bill"}) {
        SCOPED_TRACE(code);
        const QStringList lineFields =
            QString::fromLatin1(QLatin1String(code) == QLatin1String("qv_import_bill") ? kRkDetail
                                                                                       : kCkDetail)
                .split(QLatin1Char(','));
        const QList<std::pair<const char*, const char*>> values = {
            {"1.5", "10.50"}, {"2", "2.25"}, {"0.25", ""}};
        QList<QVariantList> rows;
        for (const auto& [qty, amount] : values) {
            QVariantList row;
            for (const QString& f : lineFields)
                row.append(f == QLatin1String("qty")           ? QVariant(QString::fromLatin1(qty))
                           : f == QLatin1String("totalAmount") ? QVariant(QString::fromLatin1(amount))
                                                               : QVariant());
            rows.append(row);
        }
        const QString file = PrintData(QString::fromLatin1(code), nullptr, RecordSet(lineFields, rows));
        PrintCommand command;
        QString error;
        ASSERT_TRUE(ParsePrintCommand(Command(1003, QString::fromLatin1(code), file), command, error))
            << error.toStdString();
        PrintJob job;
        ASSERT_TRUE(LoadPrintJob(toolDir(), command, job, error)) << error.toStdString();
        const QString text = BuildPrintDocument(job)->toPlainText();
        const qsizetype totals = text.indexOf(QStringLiteral("合计"));
        ASSERT_GE(totals, 0) << text.toStdString();
        const QString tail = text.mid(totals);
        EXPECT_TRUE(tail.contains(QStringLiteral("3.75"))) << tail.toStdString();
        EXPECT_TRUE(tail.contains(QStringLiteral("12.75"))) << tail.toStdString();
        EXPECT_TRUE(tail.contains(QStringLiteral("制单人："))) << tail.toStdString();
        EXPECT_TRUE(tail.contains(QStringLiteral("审核人："))) << tail.toStdString();
        // Without a head the data carry no amount in words, and none is printed.
        EXPECT_FALSE(text.contains(QStringLiteral("大写"))) << text.toStdString();
    }
}

// Amounts, quantities and their totals print on one line at any value the
// bill window accepts, in portrait and landscape; an endless cell prints a
// few lines, cut with "…", and the rows around it are untouched.
TEST_F(PrintToolTest, NumbersStayOnOneLineAndEndlessCellsAreCut)
{
    const QStringList lineFields = QString::fromLatin1(kRkDetail).split(QLatin1Char(','));
    const QString endless = QString(300000, QChar(0x8D27)); // 货货货...
    const struct {
        const char* qty;
        const char* price;
        const char* amount;
        const char* name;
    } lines[] = {
        {"999999999.99999", "23.91525", "987654321.12345", "螺丝"},
        {"1.5", "99999999.99999", "23.91525", nullptr},
        {"-123456789.12345", "0.00001", "-999999999.99999", "垫圈"},
    };
    QList<QVariantList> rows;
    for (const auto& l : lines) {
        QVariantList row;
        for (const QString& f : lineFields)
            row.append(f == QLatin1String("qty")           ? QVariant(QString::fromLatin1(l.qty))
                       : f == QLatin1String("inPrice")     ? QVariant(QString::fromLatin1(l.price))
                       : f == QLatin1String("totalAmount") ? QVariant(QString::fromLatin1(l.amount))
                       : f == QLatin1String("goodsName")
                           ? QVariant(l.name ? QString::fromUtf8(l.name) : endless)
                           : QVariant());
        rows.append(row);
    }
    const QString file = PrintData(QStringLiteral("qv_import_bill"), nullptr, RecordSet(lineFields, rows));
    PrintCommand command;
    QString error;
    ASSERT_TRUE(ParsePrintCommand(Command(1003, QStringLiteral("qv_import_bill"), file), command, error));
    PrintJob job;
    ASSERT_TRUE(LoadPrintJob(toolDir(), command, job, error)) << error.toStdString();
    QList<QStringList> printed;
    ASSERT_TRUE(ReadDetailRows(job, printed, error)) << error.toStdString();
    int name = -1;
    QList<int> numbers;
    for (int c = 0; c < job.detail.columns.size(); ++c) {
        const QString n = job.detail.columns.at(c).name;
        if (n == QLatin1String("goodsName"))
            name = c;
        if (n == QLatin1String("qty") || n == QLatin1String("inPrice") || n == QLatin1String("totalAmount"))
            numbers << c;
    }
    ASSERT_EQ(numbers.size(), 3);
    for (const bool landscape : {false, true}) {
        SCOPED_TRACE(landscape ? "landscape" : "portrait");
        job.landscape = landscape;
        PrintPages pages(job);
        const QString text = pages.toPlainText();
        for (int c : numbers) {
            for (int r = 0; r < printed.size(); ++r)
                EXPECT_EQ(pages.cellLines(r, c), QStringList{printed.at(r).at(c)}) << r << "," << c;
        }
        EXPECT_EQ(pages.cellLines(-1, numbers.at(0)), QStringList{QStringLiteral("876543212.37654")});
        EXPECT_EQ(pages.cellLines(-1, numbers.at(2)), QStringList{QStringLiteral("-12345654.96129")});
        EXPECT_TRUE(text.contains(QStringLiteral("876543212.37654"))) << "合计 printed whole";
        const QStringList cut = pages.cellLines(1, name);
        EXPECT_EQ(cut.size(), PrintPages::kCellLines);
        EXPECT_TRUE(cut.last().endsWith(QChar(0x2026))) << cut.last().toStdString();
        EXPECT_EQ(pages.cellLines(0, name), QStringList{QStringLiteral("螺丝")});
        EXPECT_EQ(pages.pageCount(), 1);
    }
}

// Totals far beyond 64 bits of their smallest place are printed whole, never
// wrapped to a negative or a zero.
TEST_F(PrintToolTest, HugeTotalsArePrintedWhole)
{
    const QStringList lineFields = QString::fromLatin1(kRkDetail).split(QLatin1Char(','));
    const struct {
        QStringList amounts;
        const char* total;
    } cases[] = {
        {{QStringLiteral("99999999999999900.00")}, "99999999999999900.00"},
        {{QStringLiteral("10000000000000000.000"), QStringLiteral("0.5")}, "10000000000000000.500"},
        {{QStringLiteral("9300000000000000.000"), QStringLiteral("9300000000000000.000")},
         "18600000000000000.000"},
        {{QStringLiteral("-9300000000000000.000"), QStringLiteral("-9300000000000000.000")},
         "-18600000000000000.000"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.total);
        QList<QVariantList> rows;
        for (const QString& amount : c.amounts) {
            QVariantList row;
            for (const QString& f : lineFields)
                row.append(f == QLatin1String("totalAmount") ? QVariant(amount) : QVariant());
            rows.append(row);
        }
        const QString file =
            PrintData(QStringLiteral("qv_import_bill"), nullptr, RecordSet(lineFields, rows));
        PrintCommand command;
        QString error;
        ASSERT_TRUE(ParsePrintCommand(Command(1003, QStringLiteral("qv_import_bill"), file), command, error))
            << error.toStdString();
        PrintJob job;
        ASSERT_TRUE(LoadPrintJob(toolDir(), command, job, error)) << error.toStdString();
        const QString text = PrintPages(job).toPlainText();
        const QString tail = text.mid(text.indexOf(QStringLiteral("合计")));
        EXPECT_TRUE(tail.contains(QLatin1String(c.total))) << tail.toStdString();
    }
}

// A printed bill's 合计 of its amounts is the bill's amount of its head (the
// sum of the line amounts, then two places), the same digits as the head and
// its words; without a head the lines are summed.
TEST_F(PrintToolTest, ABillsAmountTotalIsTheAmountOfItsHead)
{
    const QStringList headFields = QString::fromLatin1(kRkHead).split(QLatin1Char(','));
    QVariantList head(headFields.size());
    head[headFields.indexOf(QStringLiteral("totalAmount"))] = QStringLiteral("1.91");
    const RecordSet heads(headFields, {head});
    const QStringList lineFields = QString::fromLatin1(kRkDetail).split(QLatin1Char(','));
    QList<QVariantList> lines;
    for (const char* amount : {"1.005", "0.9"}) {
        QVariantList row(lineFields.size());
        row[lineFields.indexOf(QStringLiteral("totalAmount"))] = QString::fromLatin1(amount);
        lines.append(row);
    }
    for (const bool withHead : {true, false}) {
        SCOPED_TRACE(withHead ? "with its head" : "lines only");
        const QString file = PrintData(QStringLiteral("qv_import_bill"), withHead ? &heads : nullptr,
                                       RecordSet(lineFields, lines));
        PrintCommand command;
        QString error;
        ASSERT_TRUE(ParsePrintCommand(Command(1003, QStringLiteral("qv_import_bill"), file), command, error));
        PrintJob job;
        ASSERT_TRUE(LoadPrintJob(toolDir(), command, job, error)) << error.toStdString();
        PrintPages pages(job);
        const QString text = pages.toPlainText();
        const int amount = int(std::find_if(job.detail.columns.begin(), job.detail.columns.end(),
                                            [](const PrintColumn& c) { return c.name == "totalAmount"; }) -
                               job.detail.columns.begin());
        EXPECT_EQ(pages.cellLines(-1, amount),
                  QStringList{withHead ? QStringLiteral("1.91") : QStringLiteral("1.905")});
        EXPECT_EQ(job.totalWords, withHead ? QStringLiteral("壹元玖角壹分") : QString());
        EXPECT_TRUE(text.contains(QStringLiteral("1.005"))) << text.toStdString();
    }
}

// Started as the program starts it, on a screen: the preview window opens.
TEST_F(PrintToolTest, ToolShowsThePreviewOnAScreen)
{
    for (const char* program : {"xvfb-run", "xwininfo"}) {
        ASSERT_FALSE(QStandardPaths::findExecutable(QLatin1String(program)).isEmpty())
            << program << " (xvfb, x11-utils) is needed";
    }
    const QString file = PrintData(QStringLiteral("qv_rpt_rkSum"), nullptr, Rows(kRkSum, 2));
    // Waits for the window by its title (up to 30 s: a loaded machine starts
    // the X server and the tool slowly), then closes the tool.
    const QString script = QStringLiteral(R"(
QT_QPA_PLATFORM=xcb "$0" --dir "$1" "$2" 2>/dev/null & pid=$!
for i in $(seq 300); do
  if xwininfo -root -tree | grep -q "$3"; then kill $pid; exit 0; fi
  kill -0 $pid 2>/dev/null || exit 2
  sleep 0.1
done
kill $pid; exit 1)");
    QProcess run;
    run.start(QStringLiteral("xvfb-run"),
              {QStringLiteral("-a"), QStringLiteral("bash"), QStringLiteral("-c"), script, Tool(), toolDir(),
               Command(1002, QStringLiteral("qv_rpt_rkSum"), file), QStringLiteral("打印预览 - 入库汇总")});
    ASSERT_TRUE(run.waitForFinished(60000));
    EXPECT_EQ(run.exitCode(), 0) << run.readAllStandardError().toStdString();
}

TEST_F(PrintToolTest, ToolRefusesABadCommand)
{
    QProcess tool;
    tool.start(Tool(),
               {QStringLiteral("--dir"), toolDir(), QStringLiteral("--pdf"),
                appDir() + QStringLiteral("x.pdf"),
                QStringLiteral("ulmPrint:TypeId=1003&BillCode=qv_import_bill&FileName=../../etc/passwd")});
    ASSERT_TRUE(tool.waitForFinished(30000));
    EXPECT_EQ(tool.exitCode(), 1);
    EXPECT_TRUE(
        QString::fromLocal8Bit(tool.readAllStandardError()).contains(QStringLiteral("打印命令格式错误")));
    EXPECT_FALSE(QFile::exists(appDir() + QStringLiteral("x.pdf")));
}

// A list cell prints one line, or two when its text goes on, the second
// ending in "…": a report of long goods names takes under twice the pages of
// one whose names fit on a line.
TEST_F(PrintToolTest, ListCellsTakeTwoLinesAtMost)
{
    const QString stem = QString(40, QChar(0x540D)); // 名名名...
    const struct {
        const char* what;
        std::function<QString(int)> name;
        int lines;
    } cases[] = {
        {"short names", [](int r) { return QStringLiteral("可乐%1").arg(r); }, 1},
        {"long names", [&](int r) { return stem + QString::number(r); }, 2},
    };
    int pages[2] = {};
    for (int k = 0; k < 2; ++k) {
        SCOPED_TRACE(cases[k].what);
        PrintJob job;
        ASSERT_NO_FATAL_FAILURE(
            LoadStockJob(StockRows(400, cases[k].name, [](int) { return QStringLiteral("2"); }), job));
        const int name = DetailColumn(job, QLatin1String("goodsName"));
        ASSERT_GE(name, 0);
        PrintPages printed(job);
        pages[k] = printed.pageCount();
        for (int r : {0, 199, 399}) {
            const QStringList lines = printed.cellLines(r, name);
            ASSERT_EQ(lines.size(), cases[k].lines) << r;
            if (cases[k].lines > 1) {
                EXPECT_TRUE(lines.last().endsWith(QChar(0x2026))) << lines.last().toStdString();
            }
        }
    }
    EXPECT_LT(pages[1], 2 * pages[0]) << pages[1] << " pages against " << pages[0];
}

// A cell far longer than its two lines prints the lines its text starts
// with, however much of the text follows: the same for the whole text as for
// its first hundred characters or so.
TEST_F(PrintToolTest, ALongCellPrintsTheLinesItsTextStartsWith)
{
    const QString texts[] = {
        QStringLiteral("货架，螺丝钉。"),
        QStringLiteral("steel bolt M8 x 40, zinc plated; "),
        QStringLiteral("第一行\nbolt 螺栓 M8\r"),
        QStringLiteral("ill. il1 "),
    };
    const int lengths[] = {60, 90, 120, 200, 400, 2500};
    const int perText = int(std::size(lengths));
    const auto name = [&](int r) {
        const QString& unit = texts[r / perText];
        QString text;
        while (text.size() < lengths[r % perText])
            text += unit;
        return text.left(lengths[r % perText]);
    };
    PrintJob job;
    ASSERT_NO_FATAL_FAILURE(LoadStockJob(
        StockRows(int(std::size(texts)) * perText, name, [](int) { return QStringLiteral("2"); }), job));
    const int column = DetailColumn(job, QLatin1String("goodsName"));
    ASSERT_GE(column, 0);
    PrintPages printed(job);
    for (int t = 0; t < int(std::size(texts)); ++t) {
        SCOPED_TRACE(texts[t].toStdString());
        const QStringList whole = printed.cellLines(t * perText + perText - 1, column);
        ASSERT_EQ(whole.size(), PrintPages::kCellLines);
        EXPECT_TRUE(whole.last().endsWith(QChar(0x2026))) << whole.last().toStdString();
        int compared = 0;
        for (int k = 0; k < perText - 1; ++k) {
            // Enough text after the first line for the second to be cut alike.
            if (lengths[k] < whole.first().size() + 2 * whole.last().size() + 8)
                continue;
            EXPECT_EQ(printed.cellLines(t * perText + k, column), whole) << lengths[k];
            ++compared;
        }
        EXPECT_GE(compared, 2);
    }
}

// A cut cell's lines are its text read on, only the spaces where a line
// breaks left out: the second line begins with the character after the
// first line's end, for a text laid out whole and for one laid out from its start.
TEST_F(PrintToolTest, ACutCellLosesNoCharacterWhereItsLineBreaks)
{
    const QString words =
        QStringLiteral("steel bolt M8 x 40, zinc plated, heat resistant, industrial grade, ");
    const QString texts[] = {
        words + QStringLiteral("box of 100"),
        words.repeated(30),
        QStringLiteral("不锈钢六角螺栓 M8x40 镀锌 防锈 耐高温 工业级 每盒一百只装 特价促销"),
        QStringLiteral("不锈钢六角螺栓 M8x40 镀锌 ").repeated(40),
    };
    PrintJob job;
    ASSERT_NO_FATAL_FAILURE(LoadStockJob(
        StockRows(
            int(std::size(texts)), [&](int r) { return texts[r]; }, [](int) { return QStringLiteral("2"); }),
        job));
    const int column = DetailColumn(job, QLatin1String("goodsName"));
    ASSERT_GE(column, 0);
    PrintPages printed(job);
    for (int r = 0; r < int(std::size(texts)); ++r) {
        SCOPED_TRACE(texts[r].left(40).toStdString());
        const QStringList lines = printed.cellLines(r, column);
        ASSERT_EQ(lines.size(), PrintPages::kCellLines);
        ASSERT_TRUE(lines.last().endsWith(QChar(0x2026))) << lines.last().toStdString();
        qsizetype at = 0;
        for (QString line : lines) {
            if (line.endsWith(QChar(0x2026)))
                line.chop(1);
            while (at < texts[r].size() && texts[r].at(at).isSpace())
                ++at;
            EXPECT_EQ(texts[r].mid(at, line.size()), line);
            at += line.size();
        }
    }
}

// The first page is laid out before the whole data file is read; a number
// further down that needs a wider column lays the pages out again, so what
// prints is what reading every row first would print.
TEST_F(PrintToolTest, PagesMadeBeforeTheLastRowFollowItsWidths)
{
    // Row 2900's balance needs a third of the table: the goods names, on one
    // line before, then take two.
    const QString wide = QStringLiteral("-") + QString(40, QLatin1Char('9')) + QStringLiteral(".125");
    const QString file = PrintData(QStringLiteral("qv_stock_bill"), nullptr,
                                   StockRows(
                                       3000, [](int r) { return QStringLiteral("可乐可%1").arg(r % 100); },
                                       [&](int r) { return r == 2900 ? wide : QStringLiteral("2"); }));
    PrintCommand command;
    QString error;
    ASSERT_TRUE(ParsePrintCommand(Command(1002, QStringLiteral("qv_stock_bill"), file), command, error));
    PrintJob job;
    ASSERT_TRUE(LoadPrintJob(toolDir(), command, job, error)) << error.toStdString();

    QImage canvas(800, 565, QImage::Format_RGB32);
    const QRectF area(0, 0, canvas.width(), canvas.height());
    PrintPages early(job);
    early.layout(&canvas, area);
    const QImage first = PaintedPage(early, canvas, 0);
    EXPECT_EQ(early.pagesMade(), 1);
    const int pages = early.pageCount();

    PrintPages whole(job);
    whole.layout(&canvas, area);
    ASSERT_FALSE(whole.columnWidths().isEmpty()); // every row read first
    ASSERT_EQ(whole.pageCount(), pages);
    for (int page : {0, 1, pages / 2, pages - 1})
        EXPECT_EQ(PaintedPage(early, canvas, page), PaintedPage(whole, canvas, page)) << page;
    EXPECT_NE(first, PaintedPage(whole, canvas, 0)) << "the first page was laid out before row 2900 was read";
    EXPECT_EQ(early.columnWidths(), whole.columnWidths());
    int balance = -1;
    for (int c = 0; c < job.detail.columns.size(); ++c) {
        if (job.detail.columns.at(c).name == QLatin1String("totalBlanceQty"))
            balance = c;
    }
    EXPECT_EQ(whole.cellLines(2900, balance), QStringList{wide});
    EXPECT_TRUE(early.error().isEmpty()) << early.error().toStdString();
}

// The preview keeps what it read: a PDF saved from it after the program
// cleared the data file away holds every page, and the preview goes on.
TEST_F(PrintToolTest, PreviewSavesAPdfAfterTheDataFileIsGone)
{
    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    ASSERT_FALSE(pdftotext.isEmpty()) << "pdftotext (poppler-utils) is needed";
    const QString name = PrintData(QStringLiteral("qv_stock_bill"), nullptr,
                                   StockRows(
                                       300, [](int r) { return QStringLiteral("可乐%1").arg(r); },
                                       [](int r) { return QString::number(r * 2); }));
    PrintCommand command;
    QString error;
    ASSERT_TRUE(ParsePrintCommand(Command(1002, QStringLiteral("qv_stock_bill"), name), command, error));
    PrintJob job;
    ASSERT_TRUE(LoadPrintJob(toolDir(), command, job, error)) << error.toStdString();
    PrintPreview preview(job);
    const int pages = preview.pageCount();
    ASSERT_GE(pages, 2);
    ASSERT_TRUE(QFile::remove(toolDir() + QStringLiteral("generateXml/") + name));

    const QString pdf = appDir() + QStringLiteral("saved.pdf");
    ASSERT_TRUE(preview.savePdf(pdf));
    QProcess toText;
    toText.start(pdftotext, {pdf, QStringLiteral("-")});
    ASSERT_TRUE(toText.waitForFinished(30000));
    const QString text = QString::fromUtf8(toText.readAllStandardOutput());
    EXPECT_EQ(text.count(QChar(0x0C)), pages) << "a form feed ends each page";
    EXPECT_TRUE(text.contains(QStringLiteral("可乐299"))) << "the last row";
    EXPECT_EQ(preview.pageCount(), pages);
    preview.showPage(pages - 1);
    EXPECT_EQ(preview.currentPage(), pages - 1);
}

// A data file that breaks after its first pages: no PDF is written, and the
// preview, which shows the first page at once, says so and closes.
TEST_F(PrintToolTest, AFileBrokenFurtherDownPrintsNothing)
{
    const QString name = PrintData(QStringLiteral("qv_stock_bill"), nullptr,
                                   StockRows(
                                       3000, [](int r) { return QStringLiteral("可乐%1").arg(r); },
                                       [](int) { return QStringLiteral("2"); }));
    const QString path = toolDir() + QStringLiteral("generateXml/") + name;
    QFile data(path);
    ASSERT_TRUE(data.open(QIODevice::ReadWrite));
    ASSERT_TRUE(data.resize(data.size() * 9 / 10)); // cut inside the rows
    data.close();
    PrintCommand command;
    QString error;
    ASSERT_TRUE(ParsePrintCommand(Command(1002, QStringLiteral("qv_stock_bill"), name), command, error));
    PrintJob job;
    ASSERT_TRUE(LoadPrintJob(toolDir(), command, job, error)) << error.toStdString();

    const QString pdf = appDir() + QStringLiteral("broken.pdf");
    EXPECT_FALSE(WritePdf(job, pdf, error));
    EXPECT_TRUE(error.startsWith(QStringLiteral("打印数据文件格式错误"))) << error.toStdString();
    EXPECT_FALSE(QFile::exists(pdf));

    PrintPreview preview(job);
    preview.show();
    EXPECT_EQ(preview.currentPage(), 0);
    QElapsedTimer waited;
    waited.start();
    while (preview.isVisible() && waited.elapsed() < 30000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    EXPECT_FALSE(preview.isVisible());
    EXPECT_EQ(preview.result(), int(QDialog::Rejected));
    ASSERT_FALSE(shown().isEmpty());
    EXPECT_TRUE(shown().last().startsWith(QStringLiteral("打印数据文件格式错误")))
        << shown().last().toStdString();
}

// A bill's amount in words prints whole in its head, however long the
// amount: the field takes the room of its line or wraps, never cut with "…".
TEST_F(PrintToolTest, ABillHeadPrintsTheAmountInWordsWhole)
{
    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    ASSERT_FALSE(pdftotext.isEmpty()) << "pdftotext (poppler-utils) is needed";
    const struct {
        const char* code;
        const char* headColumns;
        const char* lineColumns;
    } bills[] = {{"qv_import_bill", kRkHead, kRkDetail}, {"qv_export_bill", kCkHead, kCkDetail}};
    for (const auto& bill : bills) {
        for (const char* amount : {"1234.5", "9876543210987654.32", "1000000000000000.01"}) {
            SCOPED_TRACE(std::string(bill.code) + " " + amount);
            const QString code = QString::fromLatin1(bill.code);
            const QStringList headFields = QString::fromLatin1(bill.headColumns).split(QLatin1Char(','));
            QVariantList head(headFields.size());
            head[headFields.indexOf(QStringLiteral("totalAmount"))] = QString::fromLatin1(amount);
            head[headFields.indexOf(QStringLiteral("remark"))] = QStringLiteral("月底前付款");
            const QStringList lineFields = QString::fromLatin1(bill.lineColumns).split(QLatin1Char(','));
            QVariantList line(lineFields.size());
            line[lineFields.indexOf(QStringLiteral("goodsCode"))] = QStringLiteral("G010");
            line[lineFields.indexOf(QStringLiteral("totalAmount"))] = QString::fromLatin1(amount);
            const RecordSet heads(headFields, {head});
            const QString file = PrintData(code, &heads, RecordSet(lineFields, {line}));
            PrintCommand command;
            QString error;
            ASSERT_TRUE(ParsePrintCommand(Command(1003, code, file), command, error));
            PrintJob job;
            ASSERT_TRUE(LoadPrintJob(toolDir(), command, job, error)) << error.toStdString();
            ASSERT_FALSE(job.totalWords.trimmed().isEmpty());

            const QString pdf = appDir() + QStringLiteral("head.pdf");
            ASSERT_TRUE(WritePdf(job, pdf, error)) << error.toStdString();
            QProcess toText;
            toText.start(pdftotext, {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
            ASSERT_TRUE(toText.waitForFinished(30000));
            const QString text = QString::fromUtf8(toText.readAllStandardOutput());
            // The head: everything above the table's captions, read without
            // the breaks between its lines.
            const QString headText = text.left(text.indexOf(QStringLiteral("行号")))
                                         .remove(QRegularExpression(QStringLiteral("\\s")));
            EXPECT_TRUE(headText.contains(QStringLiteral("金额大写：") + job.totalWords))
                << text.toStdString();
            EXPECT_TRUE(headText.contains(QStringLiteral("备注：月底前付款"))) << text.toStdString();
            EXPECT_FALSE(headText.contains(QChar(0x2026))) << text.toStdString();
        }
    }
}

// Goods codes print whole in the stock report's code column, beside short
// figures and long ones: the column takes the room its codes need before the
// figures take theirs, and a figure that then has too little prints smaller,
// still on one line.
TEST_F(PrintToolTest, StockCodesPrintUnbroken)
{
    const QStringList codes = {QStringLiteral("G010"), QStringLiteral("G0100"), QStringLiteral("SP-0042"),
                               QStringLiteral("A1B2C3")};
    const QStringList fields = QString::fromLatin1(kStock).split(QLatin1Char(','));
    for (const char* figureText : {"2", "123456789.125", "12345678901234.5"}) {
        SCOPED_TRACE(figureText);
        const QString figure = QString::fromLatin1(figureText);
        QList<QVariantList> rows;
        for (int r = 0; r < 40; ++r) {
            QVariantList row;
            for (const QString& f : fields)
                row.append(f == QLatin1String("goodsCode")        ? codes.at(r % codes.size())
                           : f == QLatin1String("goodsName")      ? QStringLiteral("六角螺栓%1").arg(r)
                           : f.startsWith(QLatin1String("total")) ? figure
                                                                  : QStringLiteral("x"));
            rows.append(row);
        }
        PrintJob job;
        ASSERT_NO_FATAL_FAILURE(LoadStockJob(RecordSet(fields, rows), job));
        const int code = DetailColumn(job, QLatin1String("goodsCode"));
        const int balance = DetailColumn(job, QLatin1String("totalBlanceQty"));
        ASSERT_GE(code, 0);
        ASSERT_GE(balance, 0);
        PrintPages pages(job);
        for (int r = 0; r < codes.size(); ++r) {
            EXPECT_EQ(pages.cellLines(r, code), QStringList{codes.at(r)});
            EXPECT_EQ(pages.cellLines(r, balance), QStringList{figure});
        }
    }
}

// The preview opens within the work area the program hands on (below its
// frame's toolbar), fitted to it, on a large screen and a small one; started
// without one it keeps its own size.
TEST_F(PrintToolTest, PreviewOpensWithinTheProgramsWorkArea)
{
    const QString file = PrintData(QStringLiteral("qv_rpt_rkSum"), nullptr, Rows(kRkSum, 2));
    PrintCommand command;
    QString error;
    ASSERT_TRUE(ParsePrintCommand(Command(1002, QStringLiteral("qv_rpt_rkSum"), file), command, error));
    PrintJob job;
    ASSERT_TRUE(LoadPrintJob(toolDir(), command, job, error)) << error.toStdString();
    const struct {
        const char* what;
        QRect area;
    } cases[] = {
        {"1400x900", QRect(0, 72, 1400, 800)},
        {"1024x768", QRect(0, 72, 1024, 668)},
        {"moved frame", QRect(200, 150, 1100, 700)},
        {"none", QRect()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        SetPrintToolArea(c.area);
        QRect placed;
        DialogRunner::QueueHandler([&](QDialog* dialog) {
            placed = dialog->geometry();
            return int(QDialog::Accepted);
        });
        EXPECT_EQ(ShowPrintPreview(job), int(QDialog::Accepted));
        if (c.area.isEmpty()) {
            EXPECT_EQ(placed.size(), QSize(1000, 760));
            continue;
        }
        EXPECT_TRUE(c.area.contains(placed))
            << placed.x() << "," << placed.y() << " " << placed.width() << "x" << placed.height();
        EXPECT_GE(placed.height(), std::min(760, c.area.height() - 40)) << "it takes the room there is";
    }
    SetPrintToolArea(QRect());
}

} // namespace

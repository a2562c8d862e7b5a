#include "ReportFixture.h"

#include "Launcher.h"
#include "ReportColumns.h"
#include "StockSums.h"
#include "dal_rpt_Reports.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QStandardPaths>
#include <QTreeWidget>

using SumTest = ReportTest;
using StockSums::SumColumns;

namespace
{
// The row of a goods code in the sum grid, -1 when it is not listed.
int RowOf(ReportFrame* w, const QString& goodsCode)
{
    const int r = w->grid()->FindRow(goodsCode, -1, 5);
    return r < 0 ? -1 : r - w->layout().headerRows;
}
} // namespace

class SumWithBills : public SumTest
{
  protected:
    void SetUp() override
    {
        SumTest::SetUp();
        // 薯片 (default unit 2 pieces): 3 units of 1 piece and 2 units of 2 pieces on audited bills.
        addBill(1, 12, 1, QStringLiteral("2024-05-02"), QStringLiteral("华东五金"));
        addLine(1, 1, 2, 3, 1, 1, 0.5);
        addBill(2, 15, 1, QStringLiteral("2024-05-03"), QStringLiteral("西南商行"), in() ? 5 : 6);
        addLine(2, 2, 2, 2, 1, 2, 0.25);
        // What never counts: an unaudited bill, a tag outside the choice, last month.
        addBill(3, 12, 0, QStringLiteral("2024-05-04"));
        addLine(3, 3, 2, 100, 1, 1);
        addBill(4, 16, 1, QStringLiteral("2024-05-04"));
        addLine(4, 4, 2, 100, 1, 1);
        addBill(5, 12, 1, QStringLiteral("2024-04-30"));
        addLine(5, 5, 2, 100, 1, 1);
    }
};

TEST_P(SumWithBills, WorkedExampleAndEveryGoodsItem)
{
    ReportFrame* w = openSum();
    const QString word = t().sumWord;
    EXPECT_EQ(w->keptCount(), 3); // every goods item with a default unit
    // Goods code descending.
    EXPECT_EQ((QStringList{cell(w, 0, 5), cell(w, 1, 5), cell(w, 2, 5)}),
              (QStringList{QStringLiteral("G003"), QStringLiteral("G002"), QStringLiteral("G001")}));
    const int r = RowOf(w, QStringLiteral("G002"));
    EXPECT_EQ(cell(w, r, 11), QStringLiteral("7.0"));
    EXPECT_EQ(cell(w, r, 12), QStringLiteral("2.0"));
    EXPECT_EQ(cell(w, r, 13), QStringLiteral("3.5"));
    EXPECT_EQ(cell(w, r, 3), QStringLiteral("替代"));
    EXPECT_EQ(cell(w, r, 10), QStringLiteral("包"));
    const int none = RowOf(w, QStringLiteral("G001"));
    EXPECT_EQ((QStringList{cell(w, none, 11), cell(w, none, 12), cell(w, none, 13)}),
              (QStringList{QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("0")}));
    EXPECT_EQ(cell(w, none, 8), QStringLiteral("100"));

    // Two header rows: the group caption over the three sums.
    FlexGrid* g = w->grid();
    EXPECT_EQ(g->FixedRows(), 2);
    EXPECT_EQ(g->TextMatrix(0, 11), in() ? QStringLiteral("入库汇总") : QStringLiteral("出库汇总"));
    EXPECT_EQ(g->TextMatrix(0, 13), g->TextMatrix(0, 11));
    EXPECT_EQ(g->TextMatrix(1, 11).trimmed(), QStringLiteral("小件汇总"));
    EXPECT_EQ(g->TextMatrix(0, 5).trimmed(), QStringLiteral("货品编码"));
    EXPECT_EQ(g->CellBackColor(1, 11), 0xC0E0FF);
    EXPECT_EQ(g->CellBackColor(1, 12), -1);

    // The zero filter.
    ui::click(w, "Chk_ContainerZero");
    ui::click(w, "btn_search");
    EXPECT_EQ(w->keptCount(), 1);

    // A header click orders by the number, ascending first.
    ui::click(w, "Chk_ContainerZero");
    ui::click(w, "btn_search");
    clickHeader(w, 11);
    EXPECT_EQ(w->pageInfo().sortKey.column(), QStringLiteral("total%1Qty").arg(word));
    EXPECT_EQ(w->data()->OrderText(w->pageInfo()),
              QStringLiteral(" order by CAST(total%1Qty AS REAL) asc, id asc").arg(word));
    EXPECT_EQ(cell(w, 2, 5), QStringLiteral("G002"));
}

TEST_P(SumWithBills, PartnerAndTypeRestrictEverySum)
{
    ReportFrame* w = openSum();
    ui::typeInto(w, in() ? "txt_supplierName" : "txt_customerName", QStringLiteral("西南"));
    ui::click(w, "btn_search");
    int r = RowOf(w, QStringLiteral("G002"));
    EXPECT_EQ((QStringList{cell(w, r, 11), cell(w, r, 12), cell(w, r, 13)}),
              (QStringList{QStringLiteral("4.0"), QStringLiteral("0.5"), QStringLiteral("2.0")}));
    ui::typeInto(w, in() ? "txt_supplierName" : "txt_customerName", QString());

    // The type panel: a click chooses, 取消 keeps, 清空 clears.
    const char* select = in() ? "btn_selectImportType" : "btn_selectExportType";
    auto* tree = ui::child<QTreeWidget>(w, in() ? "tv_ImportType" : "tv_ExportType");
    ASSERT_EQ(tree->topLevelItemCount(), 2);
    ui::click(w, select);
    ASSERT_TRUE(ui::clickRow(tree, in() ? QStringLiteral("采购入库") : QStringLiteral("销售出库")));
    auto* type = ui::child<QLineEdit>(w, in() ? "txt_importType" : "txt_ExportType");
    EXPECT_EQ(type->text(), in() ? QStringLiteral("采购入库") : QStringLiteral("销售出库"));
    ui::click(w, "btn_search");
    r = RowOf(w, QStringLiteral("G002"));
    EXPECT_EQ(cell(w, r, 11), QStringLiteral("3.0"));
    ui::click(w, select);
    ui::click(w, in() ? "btn_ImportTypeCancel" : "btn_ExportTypeCancel");
    ui::click(w, "btn_search");
    EXPECT_EQ(cell(w, RowOf(w, QStringLiteral("G002")), 11), QStringLiteral("3.0"));
    ui::click(w, select);
    ui::click(w, in() ? "btn_ClearImportType" : "btn_ClearExportType");
    ui::click(w, "btn_search");
    EXPECT_EQ(cell(w, RowOf(w, QStringLiteral("G002")), 11), QStringLiteral("7.0"));

    // Only the account tag 15.
    ui::click(w, "btn_selectAccountType");
    ui::click(w, "btn_NoneSelectAccountType");
    ui::child<QTreeWidget>(w, "tv_accountType")->topLevelItem(2)->setCheckState(0, Qt::Checked);
    ui::click(w, "btn_SelectBath");
    ui::click(w, "btn_search");
    EXPECT_EQ(cell(w, RowOf(w, QStringLiteral("G002")), 11), QStringLiteral("4.0"));
    EXPECT_TRUE(shown().isEmpty());
}

TEST_P(SumWithBills, ExportAndPrintTheLastSearch)
{
    ReportFrame* w = openSum();
    clickHeader(w, 6); // by goods name
    ui::clickToolbar(w, "export");
    const QList<QStringList> sheet = ReadWorkbook(lastExport());
    ASSERT_EQ(sheet.size(), 5);
    EXPECT_EQ(sheet.at(0).value(0), in() ? QStringLiteral("入库汇总") : QStringLiteral("出库汇总"));
    EXPECT_EQ(
        sheet.at(1).join(QLatin1Char(',')),
        QStringLiteral("状态,货品类别,货品编码,货品名称,规格,上限,下限,单位,小件汇总,重量汇总,默认件数"));
    EXPECT_EQ(sheet.at(2).join(QLatin1Char(',')),
              QStringLiteral("启用,饮料,G001,可乐,330ml,100,10,瓶,0,0,0"));
    EXPECT_EQ(sheet.at(3).value(8), QStringLiteral("7"));
    EXPECT_EQ(sheet.at(3).value(10), QStringLiteral("3.5"));

    // The print: the command text of the settings and the print data file.
    ASSERT_TRUE(installPrintTemplates());
    ui::clickToolbar(w, "print");
    ASSERT_EQ(Launcher::Launches().size(), 2); // the workbook opened, then the print tool
    const Launcher::Launch& launch = Launcher::Launches().last();
    EXPECT_TRUE(launch.program.endsWith(QStringLiteral("qvPrint/qvPrint"))) << launch.program.toStdString();
    const QString prefix = QStringLiteral("ulmPrint:TypeId=1002&BillCode=qv_rpt_%1Sum&FileName=").arg(code());
    ASSERT_EQ(launch.arguments.size(), 1);
    ASSERT_TRUE(launch.arguments.at(0).startsWith(prefix));
    const QString file = launch.arguments.at(0).mid(prefix.size());

    // The real print tool turns it into a PDF holding the rows, in the report's order.
    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    ASSERT_FALSE(pdftotext.isEmpty()) << "pdftotext (poppler-utils) is needed";
    const QString pdf = appDir() + QStringLiteral("sum.pdf");
    QProcess tool;
    tool.start(QCoreApplication::applicationDirPath() + QStringLiteral("/qvPrint/qvPrint"),
               {QStringLiteral("--dir"), appDir() + QStringLiteral("qvPrint/"), QStringLiteral("--pdf"), pdf,
                launch.arguments.at(0)});
    ASSERT_TRUE(tool.waitForFinished(30000));
    ASSERT_EQ(tool.exitCode(), 0) << tool.readAllStandardError().toStdString();
    QProcess toText;
    toText.start(pdftotext, {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    ASSERT_TRUE(toText.waitForFinished(30000));
    const QString text = QString::fromUtf8(toText.readAllStandardOutput());
    EXPECT_TRUE(text.contains(in() ? QStringLiteral("入库汇总") : QStringLiteral("出库汇总")))
        << file.toStdString();
    for (const char* value : {"G001", "G002", "G003", "可乐", "薯片", "7.0", "3.5"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(value))) << value << "\n" << text.toStdString();
    EXPECT_LT(text.indexOf(QStringLiteral("G001")), text.indexOf(QStringLiteral("G003"))); // by goods name
}

TEST_P(SumTest, PrintWithoutRowsSaysSo)
{
    ReportFrame* w = openSum();
    ui::click(w, "Chk_ContainerZero");
    ui::click(w, "btn_search");
    ASSERT_EQ(w->keptCount(), 0);
    ui::clickToolbar(w, "print");
    EXPECT_EQ(shown(), QStringList{in() ? QStringLiteral("当前入库汇总信息不存在!")
                                        : QStringLiteral("当前出库汇总信息不存在!")});
    EXPECT_TRUE(Launcher::Launches().isEmpty());
}

TEST_P(SumTest, SumDataOfEachDirectionReadsOnlyItsOwnBills)
{
    // An inbound bill never counts in the outbound sums and the other way round.
    const BillDirection other = in() ? BillDirection::Out : BillDirection::In;
    exec(QStringLiteral("INSERT INTO %1 (id, accountId, ispass, createTime) VALUES (1, 12, 1, '2024-05-02')")
             .arg(BillSetup::Of(other).headTable));
    exec(QStringLiteral("INSERT INTO %1 (id, headId, goodsId, qty, packQty) VALUES (1, 1, 1, 5, 1)")
             .arg(BillSetup::Of(other).lineTable));
    dal_rpt_Report data(GoodsSumSetup, dir());
    ReportFill fill;
    fill.accountList = QStringLiteral("12,0");
    m_PageInfor page;
    page.int_PageSize = 20;
    const m_recordSet r = data.GetListForCondition(fill, {}, page);
    ASSERT_EQ(r.recordCount, 3);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(r.recordSet->text(i, QStringLiteral("total%1Qty").arg(t().sumWord)), QStringLiteral("0"));
    EXPECT_EQ(
        data.GetDataTable({}, true)->fields().join(QLatin1Char(',')),
        QStringLiteral("status,goodsTypeName,goodsCode,goodsName,goodsDesc,upqty,downqty,unit,total%1Qty,"
                       "total%1Weight,total%1DefaultQty")
            .arg(t().sumWord));
    // An account list that is not a list of ids never reaches the statement.
    fill.accountList = QStringLiteral("12) OR (1=1");
    EXPECT_FALSE(data.GetListForCondition(fill, {}, page).str_MsgBox.isEmpty());
}

// A month's goods sums over a few thousand goods items, most without lines:
// every goods item with a default unit is a row, in code order, and its sums
// are those a plain SQL sum of its counted lines gives (zeros without them),
// on every page as the search leaves them, after a header sort by a sum, in
// the export and in a search that leaves out the zero sums. The sums a page
// reads for its own rows and those written for every row are the same texts.
TEST_P(SumTest, MonthSumsOfEveryGoodsItemEqualAPlainSum)
{
    const int goods = 4000;
    exec(QStringLiteral("BEGIN"));
    // Goods 100.. with one default unit of 1, 6, 0.5 or 0 pieces; every 13th
    // has a second default unit, every 17th none.
    exec(QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 100 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
                        "INSERT INTO tb_goods_head (id, goodsTypeId, goodsCode, goodsName, status) "
                        "SELECT i, 7, printf('H%05d', (i * 7919) % 100000), 'g' || i, '启用' FROM n")
             .arg(99 + goods));
    exec(QStringLiteral(
             "WITH RECURSIVE n(i) AS (SELECT 100 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
             "INSERT INTO tb_goods_detail (id, headId, isDefault, unit, packQty) "
             "SELECT i, i, 1, 'u' || i, CASE i % 4 WHEN 0 THEN 1 WHEN 1 THEN 6 WHEN 2 THEN 0.5 ELSE 0 END "
             "FROM n WHERE i % 17 <> 0")
             .arg(99 + goods));
    exec(QStringLiteral(
        "INSERT INTO tb_goods_detail (id, headId, isDefault, unit, packQty) "
        "SELECT id + 100000, id, 1, 'v', 2 FROM tb_goods_head WHERE id >= 100 AND id % 13 = 0"));
    // 60 bills: audited or not, tags 12, 15 and 16, May or April; lines on
    // about one goods item in five, some of them cancelling out to 0.
    for (int bill = 1; bill <= 60; ++bill)
        addBill(bill,
                bill % 5 == 0 ? 16
                : bill % 2    ? 12
                              : 15,
                bill % 7 == 0 ? 0 : 1,
                bill % 6 == 0 ? QStringLiteral("2024-04-28")
                              : QStringLiteral("2024-05-%1").arg(1 + bill % 20, 2, 10, QLatin1Char('0')));
    exec(QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 3000) "
                        "INSERT INTO %1 (id, headId, rowNo, goodsId, qty, packQty, weight) "
                        "SELECT i, 1 + i % 60, i, 100 + (i * 37) % 800 * 5, "
                        "CASE WHEN i % 101 = 0 THEN 0 ELSE 0.5 * (1 + i % 9) END, "
                        "CASE i % 3 WHEN 0 THEN 1 WHEN 1 THEN 6 ELSE 0.5 END, 0.1 * (i % 4) FROM n")
             .arg(t().lineTable));
    exec(QStringLiteral("COMMIT"));

    // The plain sums, per goods item with a default unit, in code order.
    const RecordSetPtr plain = ExecuteSql(
        QStringLiteral(
            "SELECT g.id, g.goodsCode, "
            "(SELECT COUNT(*) FROM tb_goods_detail AS u WHERE u.headId = g.id AND u.isDefault = 1) AS n, "
            "(SELECT u.packQty FROM tb_goods_detail AS u WHERE u.headId = g.id AND u.isDefault = 1 "
            "ORDER BY u.id LIMIT 1) AS pack, "
            "(SELECT SUM(d.qty * d.packQty) FROM %1 AS d JOIN %2 AS h ON h.id = d.headId WHERE "
            "d.goodsId = g.id AND h.ispass = 1 AND h.accountId IN (12, 15) AND h.createTime >= '2024-05-01' "
            "AND h.createTime < '2024-06-01') AS pieces, "
            "(SELECT SUM(d.qty * d.weight) FROM %1 AS d JOIN %2 AS h ON h.id = d.headId WHERE "
            "d.goodsId = g.id AND h.ispass = 1 AND h.accountId IN (12, 15) AND h.createTime >= '2024-05-01' "
            "AND h.createTime < '2024-06-01') AS weight "
            "FROM tb_goods_head AS g WHERE EXISTS (SELECT 1 FROM tb_goods_detail AS u WHERE u.headId = g.id "
            "AND u.isDefault = 1) ORDER BY g.goodsCode COLLATE NOCASE DESC, g.id DESC")
            .arg(t().lineTable, t().headTable));
    ASSERT_GT(plain->RecordCount(), goods - goods / 17 - 10);
    struct Plain {
        qint64 id;
        bool lines;
        double pieces, weight;
        int units;
        double pack;
    };
    QHash<QString, Plain> byCode; // goods codes are unique here
    QStringList codeOrder;
    int withLines = 0, nonZero = 0;
    for (int i = 0; i < plain->RecordCount(); ++i) {
        const QVariant pieces = plain->value(i, QStringLiteral("pieces"));
        const QString code = plain->text(i, QStringLiteral("goodsCode"));
        byCode.insert(code, {plain->value(i, QStringLiteral("id")).toLongLong(), !pieces.isNull(),
                             pieces.toDouble(), plain->value(i, QStringLiteral("weight")).toDouble(),
                             plain->value(i, QStringLiteral("n")).toInt(),
                             plain->value(i, QStringLiteral("pack")).toDouble()});
        codeOrder << code;
        withLines += pieces.isNull() ? 0 : 1;
        nonZero += std::abs(pieces.toDouble()) >= 0.0005 ? 1 : 0;
    }
    ASSERT_EQ(byCode.size(), plain->RecordCount());
    EXPECT_GT(withLines, 300);
    EXPECT_LT(withLines, plain->RecordCount() / 2);
    EXPECT_LT(nonZero, withLines); // some sums cancel to 0

    // Every row of a record set against its plain sums; gives the rows'
    // codes and their sums as text, in the rows' order.
    const SumColumns sums = SumColumns::Of(t());
    const auto check = [&](const RecordSetPtr& rows, QStringList& codes, QStringList& texts) {
        for (int i = 0; rows && i < rows->RecordCount(); ++i) {
            const QString code = rows->text(i, QStringLiteral("goodsCode"));
            SCOPED_TRACE(code.toStdString());
            ASSERT_TRUE(byCode.contains(code));
            const Plain& p = byCode.value(code);
            const QString qtyText = rows->text(i, sums.qty);
            const QString weightText = rows->text(i, sums.weight);
            const QVariant defaultQty = rows->value(i, sums.defaultQty);
            if (!p.lines) {
                EXPECT_EQ(qtyText, QStringLiteral("0"));
                EXPECT_EQ(weightText, QStringLiteral("0"));
            }
            EXPECT_NEAR(qtyText.toDouble(), p.pieces, 1e-9) << qtyText.toStdString();
            EXPECT_NEAR(weightText.toDouble(), p.weight, 1e-9) << weightText.toStdString();
            if (p.units != 1 || p.pack <= 0)
                EXPECT_TRUE(defaultQty.isNull()) << defaultQty.toString().toStdString();
            else
                EXPECT_NEAR(defaultQty.toDouble(), p.pieces / p.pack, 0.0005 + 1e-9)
                    << defaultQty.toString().toStdString();
            codes << code;
            texts << code + QLatin1Char(' ') + qtyText + QLatin1Char(' ') + weightText + QLatin1Char(' ') +
                         (defaultQty.isNull() ? QStringLiteral("-") : defaultQty.toString());
        }
    };

    dal_rpt_Report data(GoodsSumSetup, dir());
    ReportFill fill;
    fill.accountList = QStringLiteral("12,15,0");
    fill.conditions.append(
        m_condition(SearchKey::CreateTime, QStringLiteral(">="), QStringLiteral("2024-05-01")));
    fill.conditions.append(
        m_condition(SearchKey::CreateTime, QStringLiteral("<"), QStringLiteral("2024-06-01")));
    m_PageInfor page;
    page.int_PageSize = 50;
    page.sortKey = data.SortBy(QStringLiteral("goodsCode"));
    page.isDesc = true;
    const m_recordSet r = data.GetListForCondition(fill, {}, page);
    ASSERT_TRUE(r.str_MsgBox.isEmpty()) << r.str_MsgBox.toStdString();
    ASSERT_EQ(r.recordCount, plain->RecordCount());
    const int pages = (r.recordCount + page.int_PageSize - 1) / page.int_PageSize;
    const auto walk = [&](QStringList& codes, QStringList& texts) {
        for (int p = 1; p <= pages; ++p) {
            page.int_currentPageIndex = p;
            check(data.GetPage(page), codes, texts);
        }
    };

    // The pages of the search, each summing its own goods items.
    QStringList codes, pageTexts;
    walk(codes, pageTexts);
    EXPECT_EQ(codes, codeOrder);

    // A header click on 小件汇总: the sums of every row order the rows, ties by id.
    page.sortKey = data.SortBy(sums.qty);
    page.isDesc = false;
    page.int_currentPageIndex = 1;
    ASSERT_EQ(data.Reorder(page), r.recordCount);
    QStringList sortedCodes, sortedTexts;
    walk(sortedCodes, sortedTexts);
    QStringList byQty = codeOrder;
    std::stable_sort(byQty.begin(), byQty.end(), [&](const QString& a, const QString& b) {
        const Plain &x = byCode[a], &y = byCode[b];
        const double qx = std::round(x.pieces * 1000), qy = std::round(y.pieces * 1000);
        return qx != qy ? qx < qy : x.id < y.id;
    });
    EXPECT_EQ(sortedCodes, byQty);
    // The same texts as the pages that summed their own rows.
    QStringList before = pageTexts, after = sortedTexts;
    before.sort();
    after.sort();
    EXPECT_EQ(after, before);

    // The export: every row in the order shown, with the same sums.
    QStringList exportCodes, exportTexts;
    check(data.GetDataTable({}, true), exportCodes, exportTexts);
    EXPECT_EQ(exportCodes, sortedCodes);
    EXPECT_EQ(exportTexts, sortedTexts);

    // 包括汇总为0的货品 cleared: the goods items whose pieces read other than 0, in code order.
    dal_rpt_Report zeros(GoodsSumSetup, dir());
    page.sortKey = zeros.SortBy(QStringLiteral("goodsCode"));
    page.isDesc = true;
    page.int_currentPageIndex = 1;
    const m_recordSet counted =
        zeros.GetListForCondition(fill, {m_condition(SearchKey::Balance, QStringLiteral("<>"), 0)}, page);
    ASSERT_TRUE(counted.str_MsgBox.isEmpty()) << counted.str_MsgBox.toStdString();
    EXPECT_EQ(counted.recordCount, nonZero);
    QStringList countedCodes, countedTexts;
    check(zeros.GetKeptRows(false), countedCodes, countedTexts);
    QStringList expected;
    for (const QString& code : codeOrder)
        if (std::abs(byCode[code].pieces) >= 0.0005)
            expected << code;
    EXPECT_EQ(countedCodes, expected);
}

INSTANTIATE_TEST_SUITE_P(Directions, SumTest, ::testing::Values(BillDirection::In, BillDirection::Out),
                         DirectionName);
INSTANTIATE_TEST_SUITE_P(Directions, SumWithBills, ::testing::Values(BillDirection::In, BillDirection::Out),
                         DirectionName);

// With WMS_SCREENSHOT set to a folder, the sum and list windows are saved as pictures there
// (run under a real display, e.g. xvfb-run), to be looked at.
TEST_P(SumWithBills, Screenshot)
{
    const QString folder = qEnvironmentVariable("WMS_SCREENSHOT");
    if (folder.isEmpty())
        GTEST_SKIP() << "WMS_SCREENSHOT not set";
    ReportFrame* sum = openSum();
    sum->resize(1300, 600);
    QApplication::processEvents();
    sum->grab().save(folder + QStringLiteral("/%1Sum.png").arg(code()));
    addLine(6, 3, 1, 2, 1.5, 12, 0.25);
    ReportFrame* head = openHead();
    head->resize(1300, 500);
    QApplication::processEvents();
    head->grab().save(folder + QStringLiteral("/%1Head.png").arg(code()));
    ReportFrame* detail = openDetail();
    detail->resize(1300, 500);
    QApplication::processEvents();
    detail->grab().save(folder + QStringLiteral("/%1Detail.png").arg(code()));
}

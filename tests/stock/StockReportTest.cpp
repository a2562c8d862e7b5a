#include "StockFixture.h"
#include "XlsxSheet.h"

#include "FlexGrid.h"
#include "Launcher.h"
#include "UiDriver.h"
#include "dal_rpt_Report.h"
#include "frm_rpt_stock.h"
#include "sqlHelper.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QDomDocument>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QProcess>
#include <QStandardPaths>

namespace
{

QList<QStringList> ReadSheet(const QString& path)
{
    return ReadXlsxSheet(path).rows;
}

} // namespace

// The report as the main frame opens it, on 25 goods items "G01" .. "G25"
// whose balance in pieces is their number (every fifth one never moved).
class StockReportTest : public StockTest
{
  protected:
    void SetUp() override
    {
        StockTest::SetUp();
        loginAs(1);
        ASSERT_TRUE(installPrintTemplates());
    }

    void add25Goods()
    {
        TransactionGuard tx;
        QList<Line> lines;
        for (int id = 1; id <= 25; ++id) {
            addGoods(id, QStringLiteral("G%1").arg(id, 2, 10, QLatin1Char('0')),
                     QStringLiteral("货品%1").arg(QChar(0x4E00 + 26 - id)), 12,
                     id % 2 ? QStringLiteral("饮料") : QStringLiteral("零食"));
            if (id % 5)
                lines.append({id, double(id), 1, 0.5});
        }
        addBill(QStringLiteral("rk"), 1, 2, true, lines);
        tx.commit();
    }

    frm_rpt_stock* open()
    {
        auto* w = new frm_rpt_stock;
        w->resize(1300, 700);
        w->show();
        w->LoadData(); // as the main frame's menu entry does after showing it
        QApplication::processEvents();
        return w;
    }

    static int rows(frm_rpt_stock* w) { return w->grid()->Rows() - 2; }
    static QString cell(frm_rpt_stock* w, int row, int col) { return w->grid()->TextMatrix(2 + row, col); }
    static QString pager(frm_rpt_stock* w) { return ui::child<QLabel>(w, "lab_recordCount")->text(); }
    static QString box(frm_rpt_stock* w, const char* name) { return ui::child<QLineEdit>(w, name)->text(); }
    static bool enabled(frm_rpt_stock* w, const char* name)
    {
        return ui::child<QWidget>(w, name)->isEnabled();
    }
    static QStringList column(frm_rpt_stock* w, int col)
    {
        QStringList out;
        for (int r = 0; r < rows(w); ++r)
            out << cell(w, r, col);
        return out;
    }
    static void clickHeader(frm_rpt_stock* w, int col)
    {
        QHeaderView* header = w->grid()->horizontalHeader();
        const QPoint at(header->sectionViewportPosition(col) + header->sectionSize(col) / 2,
                        header->height() - 4);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
        QApplication::processEvents();
    }
};

// First opening: every permitted tag checked, every goods item listed by code
// descending, 20 a page; the pager's texts and buttons follow the page.
TEST_F(StockReportTest, PagesThroughTheResult)
{
    add25Goods();
    frm_rpt_stock* w = open();
    EXPECT_EQ(w->windowTitle(), "库存总账");
    EXPECT_EQ(box(w, "txt_accountType"), "默认账套,");
    ASSERT_EQ(rows(w), 20);
    EXPECT_EQ(cell(w, 0, 0), "1");
    EXPECT_EQ(cell(w, 0, 5), "G25");
    EXPECT_EQ(cell(w, 19, 0), "20");
    EXPECT_EQ(cell(w, 19, 5), "G06");
    EXPECT_EQ(cell(w, 1, 13), "24"); // G24: 24 pieces in
    EXPECT_EQ(cell(w, 0, 13), "0");  // G25 never moved
    EXPECT_EQ(cell(w, 0, 3), "启用");
    EXPECT_EQ(pager(w), "记录数:25 条");
    EXPECT_EQ(box(w, "txt_PageIndex"), "1");
    EXPECT_EQ(box(w, "txt_MaxPageIndex"), "2");
    EXPECT_FALSE(enabled(w, "btn_FirstPage"));
    EXPECT_FALSE(enabled(w, "btn_PrevPage"));
    EXPECT_TRUE(enabled(w, "btn_NextPage"));
    EXPECT_TRUE(enabled(w, "btn_LastPage"));

    ui::click(w, "btn_NextPage");
    ASSERT_EQ(rows(w), 5);
    EXPECT_EQ(column(w, 0), QStringList({"21", "22", "23", "24", "25"}));
    EXPECT_EQ(cell(w, 4, 5), "G01");
    EXPECT_FALSE(enabled(w, "btn_NextPage"));
    EXPECT_FALSE(enabled(w, "btn_LastPage"));
    EXPECT_TRUE(enabled(w, "btn_FirstPage"));

    ui::click(w, "btn_FirstPage");
    EXPECT_EQ(cell(w, 0, 5), "G25");
    // A page beyond the last shows the last and corrects the box.
    ui::typeInto(w, "txt_PageIndex", QStringLiteral("9"));
    ui::press(Qt::Key_Return);
    EXPECT_EQ(rows(w), 5);
    EXPECT_EQ(box(w, "txt_PageIndex"), "2");

    // Another page size goes to page 1.
    auto* size = ui::child<QComboBox>(w, "comb_pageSize");
    ui::focusOn(size);
    ui::press(Qt::Key_Down);
    EXPECT_EQ(size->currentText(), "50");
    EXPECT_EQ(rows(w), 25);
    EXPECT_EQ(box(w, "txt_PageIndex"), "1");
    EXPECT_EQ(box(w, "txt_MaxPageIndex"), "1");
    EXPECT_FALSE(enabled(w, "btn_NextPage"));
}

// A header click flips the direction and searches again; totals sort as numbers.
TEST_F(StockReportTest, HeaderClicksSortAndFlip)
{
    add25Goods();
    frm_rpt_stock* w = open();
    EXPECT_EQ(w->GetColName(6), "goodsName");
    EXPECT_EQ(w->GetColName(13), "totalBlanceQty");
    clickHeader(w, 6); // 货品名称: ascending, the opposite of the first order
    EXPECT_EQ(cell(w, 0, 5), "G25");
    EXPECT_EQ(cell(w, 1, 5), "G24");
    clickHeader(w, 6); // and back
    EXPECT_EQ(cell(w, 0, 5), "G01");
    clickHeader(w, 13); // 小件汇总 库存, ascending, as numbers: 0 ... 4, 6, ... 24
    ui::click(w, "btn_LastPage");
    EXPECT_EQ(cell(w, 4, 13), "24");
    EXPECT_EQ(cell(w, 0, 13), "19");
    clickHeader(w, 0); // 序号 sorts nothing, the window stays usable
    EXPECT_EQ(rows(w), 5);
}

// The conditions: goods type, keyword across code and name, the zero-balance
// switch; the worked example's figures in their columns.
TEST_F(StockReportTest, ConditionsFilterTheRows)
{
    add25Goods();
    addBill(QStringLiteral("ck"), 1, 2, true, {{24, 4, 1, 0.5}});
    frm_rpt_stock* w = open();
    auto* zero = ui::child<QCheckBox>(w, "Chk_ContainerZero");
    EXPECT_TRUE(zero->isChecked());
    zero->click();
    ui::click(w, "btn_search");
    EXPECT_EQ(pager(w), "记录数:20 条");
    EXPECT_FALSE(column(w, 13).contains("0"));
    EXPECT_EQ(cell(w, 0, 5), "G24");
    EXPECT_EQ(cell(w, 0, 11), "24.0");
    EXPECT_EQ(cell(w, 0, 12), "4.0");
    EXPECT_EQ(cell(w, 0, 13), "20");
    EXPECT_EQ(cell(w, 0, 16), "10");

    ui::typeInto(w, "txt_KeyWord", QStringLiteral("2货品"));
    ui::press(Qt::Key_Return);
    EXPECT_EQ(column(w, 5), QStringList({"G22", "G12", "G02"}));
    ui::typeInto(w, "cobo_goodsTypeName", QStringLiteral("零食"));
    ui::click(w, "btn_search");
    EXPECT_EQ(column(w, 5), QStringList({"G22", "G12", "G02"}));
    ui::typeInto(w, "cobo_goodsTypeName", QStringLiteral("饮料"));
    ui::click(w, "btn_search");
    EXPECT_EQ(rows(w), 1); // the one empty row
    EXPECT_EQ(cell(w, 0, 0), "1");
    EXPECT_EQ(cell(w, 0, 5), "");
    EXPECT_EQ(pager(w), "记录数: 0 条");
    EXPECT_FALSE(enabled(w, "btn_FirstPage"));
    EXPECT_FALSE(enabled(w, "btn_NextPage"));
}

// Without a confirmed tag nothing is searched and the tag panel opens.
TEST_F(StockReportTest, NoTagCheckedAsksForOne)
{
    add25Goods();
    frm_rpt_stock* w = open();
    ui::click(w, "btn_selectAccountType");
    EXPECT_TRUE(ui::child<QWidget>(w, "pic_Box")->isVisible());
    ui::click(w, "btn_NoneSelectAccountType");
    ui::click(w, "btn_SelectBath");
    EXPECT_EQ(box(w, "txt_accountType"), "");
    EXPECT_FALSE(ui::child<QWidget>(w, "pic_Box")->isVisible());
    ui::click(w, "btn_search");
    EXPECT_EQ(MsgBox::LastText(), "请选中账目标识!");
    EXPECT_TRUE(ui::child<QWidget>(w, "pic_Box")->isVisible());
    EXPECT_EQ(rows(w), 1);
    EXPECT_EQ(pager(w), "记录数: 0 条");
}

// The export holds the title, the 17 headers and every row of the last
// search, not only the page shown.
TEST_F(StockReportTest, ExportWritesEveryRow)
{
    add25Goods();
    frm_rpt_stock* w = open();
    ui::clickToolbar(w, "export");
    EXPECT_EQ(MsgBox::LastText(), QStringLiteral("导出完成！"));
    const QDir folder(appDir() + QStringLiteral("qvPrint/generateXls"));
    const QStringList files = folder.entryList({QStringLiteral("*.xlsx")}, QDir::Files);
    ASSERT_EQ(files.size(), 1);
    const QList<QStringList> sheet = ReadSheet(folder.filePath(files.first()));
    ASSERT_EQ(sheet.size(), 27);
    EXPECT_EQ(sheet.at(0).value(0), "货品总账");
    EXPECT_EQ(sheet.at(1).join(','),
              "状态,货品类别,货品编码,货品名称,描述,上限,下限,单位,小件入库,小件出库,小件库存,"
              "入库重量,出库重量,库存重量,默认件数入库,默认件数出库,默认件数库存");
    EXPECT_EQ(sheet.at(2).value(2), "G25");
    // Quantities are stored as numbers; the workbook shows them as the window does ("24.0").
    EXPECT_EQ(sheet.at(3).mid(sheet.at(3).size() - 9).join(','), "24,0,24,12,0,12,2,0,2");
    EXPECT_EQ(sheet.at(26).value(2), "G01");
}

// Printing writes the print data and starts our print tool with the stock
// command; the tool renders the rows into a PDF.
TEST_F(StockReportTest, PrintRunsThePrintTool)
{
    frm_rpt_stock* w = open();
    ui::clickToolbar(w, "print");
    EXPECT_EQ(MsgBox::LastText(), "当前库存表信息不存在!");
    EXPECT_TRUE(Launcher::Launches().isEmpty());

    add25Goods();
    ui::click(w, "btn_search");
    ui::clickToolbar(w, "print");
    ASSERT_EQ(Launcher::Launches().size(), 1);
    const Launcher::Launch launch = Launcher::Launches().first();
    EXPECT_EQ(launch.program, appDir() + QStringLiteral("qvPrint/qvPrint"));
    ASSERT_EQ(launch.arguments.size(), 1);
    const QString command = launch.arguments.first();
    EXPECT_TRUE(command.startsWith("ulmPrint:TypeId=1002&BillCode=qv_stock_bill&FileName="))
        << command.toStdString();

    const QString tool = QCoreApplication::applicationDirPath() + QStringLiteral("/qvPrint/qvPrint");
    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    ASSERT_TRUE(QFile::exists(tool));
    ASSERT_FALSE(pdftotext.isEmpty()) << "pdftotext (poppler-utils) is needed";
    const QString pdf = appDir() + QStringLiteral("stock.pdf");
    QProcess run;
    run.start(tool, {QStringLiteral("--dir"), appDir() + QStringLiteral("qvPrint/"), QStringLiteral("--pdf"),
                     pdf, command});
    ASSERT_TRUE(run.waitForFinished(30000));
    EXPECT_EQ(run.exitCode(), 0) << run.readAllStandardError().toStdString();
    QProcess text;
    text.start(pdftotext, {pdf, QStringLiteral("-")});
    ASSERT_TRUE(text.waitForFinished(30000));
    const QString out = QString::fromUtf8(text.readAllStandardOutput());
    for (const char* expected : {"货品总账", "G25", "G01", "货品编码", "小件库存"})
        EXPECT_TRUE(out.contains(QString::fromUtf8(expected))) << expected << "\n" << out.toStdString();
}

// A department without the export and print rights is told so.
TEST_F(StockReportTest, ExportAndPrintNeedTheirRights)
{
    add25Goods();
    exec(QStringLiteral(
        "delete from tb_user_group_fun where funCode in ('rpt_kczz_export','rpt_kczz_print')"));
    loginAs(1);
    frm_rpt_stock* w = open();
    ui::clickToolbar(w, "export");
    ui::clickToolbar(w, "print");
    EXPECT_EQ(shown(), QStringList(2, QStringLiteral("功能受限,请与系统管理联系!")));
    EXPECT_TRUE(Launcher::Launches().isEmpty());
}

// Sums that are exactly half-way round away from zero, in the grid and the
// export alike; codes that differ in case sort as one (G005, g006, G007).
TEST_F(StockReportTest, ExactSumsAndCodesWithoutCase)
{
    {
        TransactionGuard tx;
        addGoods(1, QStringLiteral("G005"), QStringLiteral("五"), 6);
        addGoods(2, QStringLiteral("g006"), QStringLiteral("六"), 6);
        addGoods(3, QStringLiteral("G007"), QStringLiteral("七"), 6);
        // 22 × 69.072 + 17 × 91.053 = 3067.485 pieces = 511.2475 default units.
        addBill(QStringLiteral("rk"), 1, 2, true, {{2, 22, 69.072, 69.072}, {2, 17, 91.053, 91.053}});
        addBill(QStringLiteral("ck"), 1, 2, true, {{2, 1, 1, 0.005}});
        tx.commit();
    }
    frm_rpt_stock* w = open();
    EXPECT_EQ(column(w, 5), (QStringList{"G007", "g006", "G005"}));
    // 小件 in, out, balance; 重量 in, out, balance; 默认件数 in, out, balance.
    const QStringList expected = {"3067.485", "1.0",     "3066.485", "3067.49", "0.01",
                                  "3067.48",  "511.248", "0.167",    "511.081"};
    QStringList shown;
    for (int c = 11; c <= 19; ++c)
        shown << cell(w, 1, c);
    EXPECT_EQ(shown, expected);
    ui::clickToolbar(w, "export");
    const QDir folder(appDir() + QStringLiteral("qvPrint/generateXls"));
    const QStringList files = folder.entryList({QStringLiteral("*.xlsx")}, QDir::Files);
    ASSERT_EQ(files.size(), 1);
    const QList<QStringList> sheet = ReadSheet(folder.filePath(files.first()));
    ASSERT_EQ(sheet.size(), 5);
    EXPECT_EQ(sheet.at(3).value(2), "g006");
    // The workbook holds numbers: "1.0" reads 1 there.
    EXPECT_EQ(sheet.at(3).mid(8).join(','), "3067.485,1,3066.485,3067.49,0.01,3067.48,511.248,0.167,511.081");
}

// Quantities whose shortest form has an exponent after longer ones, a
// quantity of 200 decimal places, 15-digit pieces and a ten-thousandth: the
// report opens, with the exact figures in their places, and so do the goods
// sums.
TEST_F(StockReportTest, EveryStoredQuantityReadsExactly)
{
    {
        TransactionGuard tx;
        for (int id = 1; id <= 5; ++id)
            addGoods(id, QStringLiteral("G00%1").arg(id), QStringLiteral("货品%1").arg(id), 1);
        addBill(QStringLiteral("rk"), 1, 2, true,
                {{1, 12.345, 1, 1},
                 {1, 100000, 1, 1},
                 {2, 12.3456, 1, 1},
                 {2, 0.00001, 1, 1},
                 {3, 12.345, 1, 1},
                 {3, 1e-201, 1, 1},
                 {4, 999999999999999, 999999999999999, 1},
                 {4, 0.000000001, 1, 1},
                 {5, 0.0001, 1, 1}});
        tx.commit();
    }
    frm_rpt_stock* w = open();
    ASSERT_EQ(rows(w), 5);
    // Codes descending: G005 first. 小件 in, 默认件数 in (a default unit of
    // one piece), and the balance in its plain form; a ten-thousandth never
    // reads 0.
    const std::string in = "0.0001 999999999999998000000000000001.0 12.345 12.346 100012.345";
    EXPECT_EQ(column(w, 11).join(' ').toStdString(), in);
    EXPECT_EQ(column(w, 17).join(' ').toStdString(), in);
    EXPECT_EQ(column(w, 13).join(' ').toStdString(),
              "0.0001 999999999999998000000000000001 12.345 12.346 100012.345");

    // The live balance behind the outbound question reads the same figures.
    dal_rpt_stock stock;
    std::string live;
    for (int id = 5; id >= 1; --id)
        live += (id < 5 ? " " : "") + stock.GetLiveStock(QStringLiteral("2,0"), id)->toStdString();
    EXPECT_EQ(live, "0 999999999999998000000000000001 12.345 12.346 100012.345");

    dal_rpt_Report sums(GoodsSumSetup, BillDirection::In);
    ReportFill fill;
    fill.accountList = QStringLiteral("2,0");
    ASSERT_TRUE(sums.insert_temp(fill).isResult);
    const RecordSetPtr rs =
        ExecuteSql(QStringLiteral("select totalImportQty from temp_rpt_rkSum order by id"));
    QStringList summed;
    for (int r = 0; r < rs->RecordCount(); ++r)
        summed << rs->value(r, 0).toString();
    EXPECT_EQ(summed.join(' ').toStdString(),
              "100012.345 12.346 12.345 999999999999998000000000000001.0 0.0001");
    delete w;
}

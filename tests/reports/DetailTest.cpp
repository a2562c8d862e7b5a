#include "ReportFixture.h"

#include "Numbers.h"
#include "dal_rpt_Reports.h"

#include <QComboBox>
#include <QMenu>
#include <QSet>
#include <QStyle>

using DetailTest = ReportTest;

TEST_P(DetailTest, WorkedExampleAndTheGridColumns)
{
    addBill(1, 12, 0, QStringLiteral("2024-05-02"));
    addLine(1, 1, 1, 2, 1.5, 12, 0.25); // 2 units of 12 pieces; the default unit holds 6
    ReportFrame* w = openDetail();
    ASSERT_EQ(w->keptCount(), 1);
    FlexGrid* g = w->grid();
    EXPECT_EQ(g->Cols(), in() ? 30 : 31);
    const auto shown = [&](const QString& field) { return cell(w, 0, ColumnOf(w, field)); };
    EXPECT_EQ(shown(QStringLiteral("totalQty")), QStringLiteral("24"));
    EXPECT_EQ(shown(QStringLiteral("totalDefaultQty")), QStringLiteral("4.0"));
    EXPECT_EQ(shown(QStringLiteral("totalWeight")), QStringLiteral("0.5"));
    EXPECT_EQ(shown(QStringLiteral("totalAmount")), QStringLiteral("3.0"));
    EXPECT_EQ(shown(QStringLiteral("locationCode")), QStringLiteral("A-01"));
    EXPECT_EQ(shown(QStringLiteral("ubillNo")), QString());
    EXPECT_EQ(shown(QStringLiteral("lotNo")), QString());
    EXPECT_EQ(cell(w, 0, 4), QStringLiteral("1")); // headId, hidden
    if (in()) {
        EXPECT_EQ(g->TextMatrix(0, 18).trimmed(), QStringLiteral("价格"));
        EXPECT_EQ(cell(w, 0, 18), QStringLiteral("1.5"));
        EXPECT_FALSE(g->ColHidden(18));
    } else {
        // The purchase price stays hidden; amounts come from the sale price.
        EXPECT_EQ(g->TextMatrix(0, 18).trimmed(), QStringLiteral("进价"));
        EXPECT_TRUE(g->ColHidden(18));
        EXPECT_EQ(cell(w, 0, 18), QStringLiteral("101.5"));
        EXPECT_EQ(g->TextMatrix(0, 19).trimmed(), QStringLiteral("售价"));
        EXPECT_FALSE(g->ColHidden(19));
        EXPECT_EQ(cell(w, 0, 19), QStringLiteral("1.5"));
    }
    for (int c : {1, 2, 4, 12})
        EXPECT_TRUE(g->ColHidden(c)) << c;
    EXPECT_TRUE(g->ColHidden(ColumnOf(w, QStringLiteral("totalQty"))));
    EXPECT_TRUE(g->ColHidden(ColumnOf(w, QStringLiteral("totalDefaultQty"))));
    // The cursor stands on the account tag, the sixth column.
    EXPECT_EQ(ColumnOf(w, QStringLiteral("accountName")), 5);
    EXPECT_EQ(g->Col(), ColumnOf(w, QStringLiteral("accountName")));
}

TEST_P(DetailTest, DefaultUnitThatGivesNoCountLeavesTheValueEmpty)
{
    exec(QStringLiteral("UPDATE tb_goods_detail SET packQty=0 WHERE id=3"));   // 薯片: 0 pieces
    exec(QStringLiteral("UPDATE tb_goods_detail SET isDefault=1 WHERE id=2")); // 可乐: two defaults
    exec(QStringLiteral(
        "INSERT INTO tb_goods_head (id, goodsCode, goodsName) VALUES (4, 'G004', '无默认')")); // none
    addBill(1, 12, 0, QStringLiteral("2024-05-02"));
    addLine(1, 1, 1, 1, 2, 6);
    addLine(2, 1, 2, 0, 2, 2);
    addLine(3, 1, 3, 3, 2, 1);
    addLine(4, 1, 4, 1, 2, 1);
    dal_rpt_Report data(BillDetailSetup, dir());
    ReportFill fill;
    m_PageInfor page;
    page.int_PageSize = 20;
    page.int_currentPageIndex = 1;
    page.sortKey = data.SortBy(QStringLiteral("rowNo"));
    const m_recordSet r = data.GetListForCondition(fill, {}, page);
    ASSERT_TRUE(r.str_MsgBox.isEmpty()) << r.str_MsgBox.toStdString();
    ASSERT_EQ(r.recordCount, 4);
    const RecordSet& rs = *r.recordSet;
    EXPECT_TRUE(rs.value(0, QStringLiteral("totalDefaultQty")).isNull());
    // Quantity 0: every total reads 0, but a default unit of 0 pieces gives no count.
    EXPECT_TRUE(rs.value(1, QStringLiteral("totalDefaultQty")).isNull());
    EXPECT_EQ(rs.value(1, QStringLiteral("totalAmount")).toString(), QStringLiteral("0"));
    EXPECT_EQ(rs.value(1, QStringLiteral("totalQty")).toDouble(), 0);
    EXPECT_EQ(rs.value(2, QStringLiteral("totalDefaultQty")).toString(), QStringLiteral("3.0"));
    EXPECT_TRUE(rs.value(3, QStringLiteral("totalDefaultQty")).isNull());
    EXPECT_EQ(rs.value(3, QStringLiteral("totalAmount")).toString(), QStringLiteral("2.0"));

    const RecordSetPtr exported = data.GetDataTable({}, true);
    EXPECT_EQ(exported->fieldCount(), 24);
    EXPECT_EQ(exported->fields().at(13), in() ? QStringLiteral("inPrice") : QStringLiteral("salePrice"));
    EXPECT_EQ(data.GetDataTable({}, false)->fieldCount(), in() ? 37 : 38);
}

TEST_P(DetailTest, ConditionsAndTheJoinedKeyword)
{
    addBill(1, 12, 0, QStringLiteral("2024-05-02"), QStringLiteral("华东五金"), 0, QStringLiteral("XY"));
    addLine(1, 1, 1, 1, 2, 1, 0, QStringLiteral("LOT-7"));
    addLine(2, 1, 2, 1, 2);
    addBill(2, 12, 1, QStringLiteral("2024-05-03"), QStringLiteral("西南商行"));
    addLine(3, 2, 3, 1, 2);
    ReportFrame* w = openDetail();
    EXPECT_EQ(w->keptCount(), 3);
    const struct {
        const char* keyword;
        int count;
    } cases[] = {
        {"1X", 2}, // the bill number's last character joined to the own number's first
        {"KL", 1}, // pinyin
        {"LOT-7", 1}, {"A-01", 3}, {"零食", 1}, {"西南", 1}, {"nothing", 0},
    };
    for (const auto& c : cases) {
        ui::typeInto(w, "txt_KeyWord", QString::fromUtf8(c.keyword));
        ui::press(Qt::Key_Return);
        EXPECT_EQ(w->keptCount(), c.count) << c.keyword;
    }
    ui::typeInto(w, "txt_KeyWord", QString());
    ui::typeInto(w, "txt_goodsCode", QStringLiteral("g00"));
    ui::click(w, "btn_search");
    EXPECT_EQ(w->keptCount(), 3);
    ui::typeInto(w, "txt_goodsCode", QString());
    ui::child<QComboBox>(w, "cobo_goodsTypeName")->setEditText(QStringLiteral("饮料"));
    ui::click(w, "btn_search");
    EXPECT_EQ(w->keptCount(), 2);

    // 序号 orders by the line's number within its bill.
    ui::child<QComboBox>(w, "cobo_goodsTypeName")->setEditText(QString());
    ui::click(w, "btn_search");
    clickHeader(w, 0);
    EXPECT_EQ(w->pageInfo().sortKey.column(), QStringLiteral("rowNo"));
    EXPECT_EQ(cell(w, 0, 2), QStringLiteral("1"));
}

TEST_P(DetailTest, DeleteTakesTheWholeBillOfTheLine)
{
    addBill(1, 12, 0, QStringLiteral("2024-05-02"));
    for (int l = 1; l <= 3; ++l)
        addLine(l, 1, 1, l, 1);
    addBill(2, 12, 1, QStringLiteral("2024-05-03"));
    addLine(4, 2, 1, 1, 1);
    ReportFrame* w = openDetail();
    EXPECT_EQ(w->keptCount(), 4);
    // A line of the audited bill: refused after the right test.
    clickRowWith(w, QStringLiteral("%1-2405-00002").arg(code()), 6);
    menu(w, "menu_DeleteBill");
    EXPECT_EQ(shown(), QStringList{QStringLiteral("当前单据已审核,不能删除!")});
    // The second line of the unaudited bill: all three lines go.
    ASSERT_TRUE(ui::clickRow(w->grid(), QStringLiteral("2"), ColumnOf(w, QStringLiteral("qty"))));
    answer(MsgAnswer::Yes);
    menu(w, "menu_DeleteBill");
    EXPECT_EQ(count(t().headTable), 1);
    EXPECT_EQ(count(t().lineTable), 1);
    EXPECT_EQ(w->keptCount(), 1);

    menu(w, "menu_BrowseBill");
    EXPECT_EQ(FakeBillWindow::loaded, QStringList{billWindow() + QStringLiteral(":2")});
}

TEST_P(DetailTest, OpeningWithoutTheRight)
{
    exec(QStringLiteral("delete from tb_user_group_fun where funCode='rpt_%1_detail_bill_browse'")
             .arg(code()));
    loginAs(1);
    ReportFrame* w = openDetail(); // no lines: the one empty row
    menu(w, "menu_BrowseBill");
    menu(w, "menu_DeleteBill");
    // Outbound tests the right before it reads the grid; inbound finds no bill first.
    EXPECT_EQ(shown(), in() ? QStringList() : QStringList{QStringLiteral("功能受限,请与系统管理联系!")});
}

TEST_P(DetailTest, ExportCarriesTheHiddenTotals)
{
    addBill(1, 12, 0, QStringLiteral("2024-05-02"), QStringLiteral("华东五金"), 0, QStringLiteral("U-1"));
    addLine(1, 1, 1, 2, 1.5, 12, 0.25, QStringLiteral("L1"));
    ReportFrame* w = openDetail();
    ui::clickToolbar(w, "export");
    const QList<QStringList> sheet = ReadWorkbook(lastExport());
    ASSERT_EQ(sheet.size(), 3);
    EXPECT_EQ(sheet.at(0).value(0), in() ? QStringLiteral("入库明细") : QStringLiteral("出库明细"));
    EXPECT_EQ(
        sheet.at(1).join(QLatin1Char(',')),
        QStringLiteral(
            "账目标识,状态,单据号码,自定义单号,%1,%2,货品类别,货品编码,货品名称,描述,单位,内装数,重量,%3,"
            "数量,金额,小件数量,默认件数,重量小计,存放库位,批次号,备注,建单人,建单日期")
            .arg(in() ? QStringLiteral("入库类别") : QStringLiteral("出库类别"),
                 in() ? QStringLiteral("供应商名称") : QStringLiteral("客户名称"),
                 in() ? QStringLiteral("价格") : QStringLiteral("售价")));
    EXPECT_EQ(sheet.at(2).join(QLatin1Char(',')),
              QStringLiteral(
                  "总账,未审核,%1-2405-00001,U-1,%2,华东五金,饮料,G001,可乐,330ml,瓶,12,0.25,1.5,2,3,24,4,"
                  "0.5,A-01,L1,,admin,2024-05-02")
                  .arg(code(), in() ? QStringLiteral("采购入库") : QStringLiteral("销售出库")));
}

// Plain products show as they are, with every digit of the exact product of
// the stored values, on screen and in the workbook, where they are numbers
// while a spreadsheet number holds every value of their column (15 digits),
// and otherwise all the texts shown: a column is one kind. A stored figure
// shows on screen with every digit of its shortest form.
TEST_P(DetailTest, StoredNumbersShowEveryDigit)
{
    const struct {
        double qty, weight, packQty;
        const char* totalWeight;
        const char* weightText; // in the workbook
        const char* totalQty;
        const char* weightShown; // on screen
    } cases[] = {
        {0.25, 0.333, 1, "0.08325", "0.333", "0.25", "0.333"},
        {1, 1.0 / 3, 1, "0.3333333333333333", "0.333333333333333", "1", "0.3333333333333333"},
        {999999999999999, 0.5, 999999999, "499999999999999.5", "0.5", "999999998999999000000001", "0.5"},
        {3, 0.1, 0.5, "0.3", "0.1", "1.5", "0.1"},
        {2, 0.25, 12, "0.5", "0.25", "24", "0.25"},
        {3, 0.00001, 1, "0.00003", "0.00001", "3", "0.00001"},
    };
    const int n = int(std::size(cases));
    for (int i = 0; i < n; ++i) {
        // Later bills first: case i stands in data row n - 1 - i.
        addBill(i + 1, 12, 0, QStringLiteral("2024-05-%1").arg(i + 1, 2, 10, QLatin1Char('0')));
        addLine(i + 1, i + 1, 1, cases[i].qty, 1, cases[i].packQty, cases[i].weight);
    }
    ReportFrame* w = openDetail();
    ASSERT_EQ(w->keptCount(), n);
    ui::clickToolbar(w, "export");
    const XlsxSheet sheet = ReadXlsxSheet(lastExport());
    // The columns holding a value a spreadsheet number cannot hold.
    QSet<char> textColumns;
    for (const auto& c : cases) {
        for (const auto& [column, text] :
             {std::pair{'M', c.weightText}, {'Q', c.totalQty}, {'S', c.totalWeight}}) {
            if (SignificantDigits(QString::fromUtf8(text)) > 15)
                textColumns.insert(column);
        }
    }
    EXPECT_EQ(textColumns, (QSet<char>{'Q', 'S'}));
    for (int i = 0; i < n; ++i) {
        const auto& c = cases[i];
        SCOPED_TRACE(c.totalWeight);
        const int row = n - 1 - i;
        EXPECT_EQ(cell(w, row, ColumnOf(w, QStringLiteral("totalWeight"))), QString::fromUtf8(c.totalWeight));
        EXPECT_EQ(cell(w, row, ColumnOf(w, QStringLiteral("weight"))), QString::fromUtf8(c.weightShown));
        EXPECT_EQ(cell(w, row, ColumnOf(w, QStringLiteral("totalQty"))), QString::fromUtf8(c.totalQty));
        // Export columns M (weight), Q (totalQty), S (totalWeight); data from sheet row 3.
        const int sheetRow = 3 + row;
        for (const auto& [column, text] :
             {std::pair{'M', c.weightText}, {'Q', c.totalQty}, {'S', c.totalWeight}}) {
            const QString ref = QLatin1Char(column) + QString::number(sheetRow);
            if (textColumns.contains(column)) {
                EXPECT_FALSE(sheet.numbers.contains(ref)) << ref.toStdString();
                EXPECT_EQ(sheet.cells.value(ref), QString::fromUtf8(text)) << ref.toStdString();
                continue;
            }
            EXPECT_TRUE(sheet.numbers.contains(ref)) << ref.toStdString();
            EXPECT_EQ(sheet.cells.value(ref).toDouble(), QString::fromUtf8(text).toDouble())
                << ref.toStdString();
        }
    }
}

// Bill numbers, codes and numbers are never cut, in the line detail and in
// the bill list, whatever size the window has.
TEST_P(DetailTest, BillNumbersCodesAndNumbersAreNeverCut)
{
    const QString billNo = code() + QStringLiteral("-2612-00001");
    addBill(1, 12, 0, QStringLiteral("2024-05-02"), QStringLiteral("华东五金"), 0,
            QStringLiteral("CUSTOM-2026-0000123"), billNo);
    addLine(1, 1, 1, 2, 1.5, 12, 1.0 / 3, QStringLiteral("LOT-2026-12-000045"));
    exec(QStringLiteral("UPDATE tb_location SET locationCode='A-01-02-03-04' WHERE id=1"));
    for (ReportFrame* w : {openDetail(), openHead()}) {
        SCOPED_TRACE(w->objectName().toStdString());
        ASSERT_EQ(w->keptCount(), 1);
        FlexGrid* g = w->grid();
        const QFontMetrics fm(g->font());
        const int margin = 2 * (g->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, g) + 1);
        for (const QSize size : {w->size(), QSize(1400, 800), QSize(1024, 600)}) {
            w->resize(size);
            QApplication::processEvents();
            int checked = 0;
            for (const char* field :
                 {"billNo", "ubillNo", "goodsCode", "locationCode", "lotNo", "weight", "totalWeight"}) {
                const int c = ColumnOf(w, QString::fromLatin1(field));
                if (c < 0)
                    continue;
                ++checked;
                const QString text = cell(w, 0, c);
                EXPECT_FALSE(text.isEmpty()) << field;
                EXPECT_GE(g->columnWidth(c), fm.horizontalAdvance(text) + margin)
                    << field << " \"" << text.toStdString() << "\" at " << size.width() << "x"
                    << size.height();
            }
            EXPECT_GE(checked, 2);
        }
        EXPECT_EQ(cell(w, 0, ColumnOf(w, QStringLiteral("billNo"))), billNo);
        delete w;
    }
}

INSTANTIATE_TEST_SUITE_P(Directions, DetailTest, ::testing::Values(BillDirection::In, BillDirection::Out),
                         DirectionName);

TEST_P(DetailTest, FailedRebuildShowsTheErrorAndKeepsThePreviousRows)
{
    addBill(1, 12, 0, QStringLiteral("2024-05-02"));
    addLine(1, 1, 1, 1, 1);
    ReportFrame* w = openDetail();
    ASSERT_EQ(w->keptCount(), 1);
    // The search cannot read the location codes.
    exec(QStringLiteral("ALTER TABLE tb_location RENAME TO tb_location_away"));
    ui::click(w, "btn_search");
    ASSERT_EQ(MsgBox::Shown().size(), 1);
    EXPECT_EQ(MsgBox::Shown().at(0).icon, MsgIcon::Critical);
    EXPECT_EQ(MsgBox::Shown().at(0).title, w->windowTitle());
    EXPECT_EQ(MsgBox::Shown().at(0).text, QStringLiteral("数据库语句执行出错,操作没有完成!"));
    EXPECT_TRUE(MsgBox::Shown().at(0).details.contains(QStringLiteral("tb_location")));
    EXPECT_EQ(pagerText(w), QStringLiteral("记录数: 0 条"));
    // What the window reads afterwards are the previous search's rows.
    exec(QStringLiteral("ALTER TABLE tb_location_away RENAME TO tb_location"));
    ui::clickToolbar(w, "export");
    const QList<QStringList> sheet = ReadWorkbook(lastExport());
    ASSERT_EQ(sheet.size(), 3);
    EXPECT_EQ(sheet.at(2).value(2), QStringLiteral("%1-2405-00001").arg(code()));
}

TEST_P(DetailTest, OperationButtonDropsTheRowMenu)
{
    ReportFrame* w = openDetail();
    ui::clickToolbar(w, "operation");
    auto* menu = ui::child<QMenu>(w, "vs_pop_menu");
    EXPECT_TRUE(menu->isVisible());
    EXPECT_EQ(menu->actions().size(), 2);
    menu->hide();
    ui::clickToolbar(w, "op"); // the frame's own 操作 does nothing
    ui::clickToolbar(w, "addNew");
    EXPECT_FALSE(menu->isVisible());
    EXPECT_TRUE(FakeBillWindow::loaded.isEmpty());
}

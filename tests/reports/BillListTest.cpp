#include "ReportFixture.h"

#include "ReportBillStore.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QTreeWidget>

using ListTest = ReportTest;

TEST_P(ListTest, PagerWalksNinetySevenBills)
{
    add97Bills();
    ReportFrame* w = openHead();
    EXPECT_EQ(pagerText(w), QStringLiteral("记录数:97 条"));
    EXPECT_EQ(ui::child<QLineEdit>(w, "txt_MaxPageIndex")->text(), QStringLiteral("5"));
    EXPECT_EQ(ui::child<QLineEdit>(w, "txt_PageIndex")->text(), QStringLiteral("1"));
    EXPECT_EQ(dataRows(w), 20);
    EXPECT_FALSE(enabled(w, "btn_FirstPage"));
    EXPECT_FALSE(enabled(w, "btn_PrevPage"));
    EXPECT_TRUE(enabled(w, "btn_NextPage"));

    ui::click(w, "btn_NextPage");
    EXPECT_EQ(cell(w, 0, 0), QStringLiteral("21"));
    ui::click(w, "btn_LastPage");
    EXPECT_EQ(ui::child<QLineEdit>(w, "txt_PageIndex")->text(), QStringLiteral("5"));
    EXPECT_EQ(dataRows(w), 17);
    EXPECT_EQ(cell(w, 16, 0), QStringLiteral("97"));
    EXPECT_FALSE(enabled(w, "btn_NextPage"));
    EXPECT_FALSE(enabled(w, "btn_LastPage"));
    EXPECT_TRUE(enabled(w, "btn_FirstPage"));

    // A page size of 50 goes back to page 1.
    ui::focusOn(ui::child<QComboBox>(w, "comb_pageSize"));
    ui::press(Qt::Key_Down);
    EXPECT_EQ(ui::child<QComboBox>(w, "comb_pageSize")->currentText(), QStringLiteral("50"));
    EXPECT_EQ(ui::child<QLineEdit>(w, "txt_PageIndex")->text(), QStringLiteral("1"));
    EXPECT_EQ(ui::child<QLineEdit>(w, "txt_MaxPageIndex")->text(), QStringLiteral("2"));
    EXPECT_EQ(dataRows(w), 50);

    // The page box: letters give page 1, a number past the end the last page.
    ui::typeInto(w, "txt_PageIndex", QStringLiteral("9"));
    ui::press(Qt::Key_Return);
    EXPECT_EQ(ui::child<QLineEdit>(w, "txt_PageIndex")->text(), QStringLiteral("2"));
    EXPECT_EQ(dataRows(w), 47);
    ui::typeInto(w, "txt_PageIndex", QStringLiteral("abc"));
    ui::press(Qt::Key_Return);
    EXPECT_EQ(ui::child<QLineEdit>(w, "txt_PageIndex")->text(), QStringLiteral("1"));

    // A new search keeps the page; LoadData sets 20 rows a page again.
    ui::click(w, "btn_NextPage");
    w->LoadData();
    EXPECT_EQ(ui::child<QComboBox>(w, "comb_pageSize")->currentText(), QStringLiteral("20"));
    EXPECT_EQ(ui::child<QLineEdit>(w, "txt_PageIndex")->text(), QStringLiteral("2"));
    EXPECT_EQ(cell(w, 0, 0), QStringLiteral("21"));
    EXPECT_TRUE(shown().isEmpty()) << shown().join(QLatin1Char('|')).toStdString();
}

TEST_P(ListTest, HeaderClicksFlipTheOrderAndAmountsSortAsNumbers)
{
    addBill(1, 12, 0, QStringLiteral("2024-05-02"));
    addLine(1, 1, 1, 1, 9.5);
    addBill(2, 12, 0, QStringLiteral("2024-05-03"));
    addLine(2, 2, 1, 1, 10);
    addBill(3, 12, 0, QStringLiteral("2024-05-04"));
    addLine(3, 3, 1, 1, 100.25);
    ReportFrame* w = openHead();
    // Default: unaudited first, the newest bill first.
    EXPECT_EQ(cell(w, 0, 2), QStringLiteral("3"));

    clickHeader(w, 10); // 单据金额, ascending at the first click
    EXPECT_EQ((QStringList{cell(w, 0, 10), cell(w, 1, 10), cell(w, 2, 10)}),
              (QStringList{QStringLiteral("9.5"), QStringLiteral("10.0"), QStringLiteral("100.25")}));
    clickHeader(w, 10);
    EXPECT_EQ(cell(w, 0, 10), QStringLiteral("100.25"));
    clickHeader(w, 5); // another column flips again: ascending
    EXPECT_EQ(cell(w, 0, 2), QStringLiteral("1"));
    clickHeader(w, 0); // 序号 does not sort
    EXPECT_EQ(cell(w, 0, 2), QStringLiteral("1"));
    EXPECT_EQ(w->pageInfo().sortKey.column(), QStringLiteral("billNo"));
    EXPECT_FALSE(w->pageInfo().isDesc);
}

TEST_P(ListTest, AccountTagPanelAndAuditBoxes)
{
    addBill(1, 12, 1, QStringLiteral("2024-05-02"));
    addBill(2, 15, 0, QStringLiteral("2024-05-03"));
    addBill(3, 16, 0, QStringLiteral("2024-05-03")); // a tag the department may not see
    ReportFrame* w = openHead();
    EXPECT_EQ(pagerText(w), QStringLiteral("记录数:2 条"));
    EXPECT_EQ(ui::child<QLineEdit>(w, "txt_accountType")->text(), QStringLiteral("默认账套,总账,分账,"));
    auto* tree = ui::child<QTreeWidget>(w, "tv_accountType");
    EXPECT_EQ(tree->topLevelItemCount(), 3);

    // Only 分账.
    ui::click(w, "btn_selectAccountType");
    EXPECT_TRUE(ui::child<QFrame>(w, "pic_Box")->isVisible());
    ui::click(w, "btn_NoneSelectAccountType");
    tree->topLevelItem(2)->setCheckState(0, Qt::Checked);
    ui::click(w, "btn_SelectBath");
    EXPECT_FALSE(ui::child<QFrame>(w, "pic_Box")->isVisible());
    ui::click(w, "btn_search");
    EXPECT_EQ(pagerText(w), QStringLiteral("记录数:1 条"));
    EXPECT_EQ(cell(w, 0, 2), QStringLiteral("2"));

    // 取消 leaves the choice in force, whatever the tree shows.
    ui::click(w, "btn_selectAccountType");
    ui::click(w, "btn_AllSelectAccountType");
    ui::click(w, "btn_cancel");
    ui::click(w, "btn_search");
    EXPECT_EQ(pagerText(w), QStringLiteral("记录数:1 条"));

    // No tag checked: the message, the panel opens, the grid stays empty.
    ui::click(w, "btn_selectAccountType");
    ui::click(w, "btn_NoneSelectAccountType");
    ui::click(w, "btn_SelectBath");
    ui::click(w, "btn_search");
    ASSERT_EQ(MsgBox::Shown().size(), 1);
    EXPECT_EQ(MsgBox::Shown().at(0).text, QStringLiteral("请选中账目标识!"));
    EXPECT_EQ(MsgBox::Shown().at(0).icon, MsgIcon::Exclamation);
    EXPECT_EQ(MsgBox::Shown().at(0).title, w->windowTitle());
    EXPECT_TRUE(ui::child<QFrame>(w, "pic_Box")->isVisible());
    EXPECT_EQ(pagerText(w), QStringLiteral("记录数: 0 条"));
    EXPECT_EQ(dataRows(w), 1);
    EXPECT_EQ(cell(w, 0, 0), QStringLiteral("1"));
    MsgBox::ClearShown();

    // The labels toggle their boxes; both clear shows nothing, silently.
    w->LoadData();
    ui::click(w, "lab_pass");
    EXPECT_FALSE(ui::child<QCheckBox>(w, "check_pass")->isChecked());
    ui::click(w, "btn_search");
    EXPECT_EQ(pagerText(w), QStringLiteral("记录数:1 条"));
    EXPECT_EQ(cell(w, 0, 3), QStringLiteral("未审核"));
    ui::click(w, "lab_nopass");
    ui::click(w, "btn_search");
    EXPECT_EQ(pagerText(w), QStringLiteral("记录数: 0 条"));
    EXPECT_FALSE(enabled(w, "btn_NextPage"));
    EXPECT_TRUE(shown().isEmpty());
}

TEST_P(ListTest, ListConditionsMatchWhatWasTyped)
{
    addBill(1, 12, 0, QStringLiteral("2024-05-02"), QStringLiteral("O'Brien 50% A_B|C"), 0,
            QStringLiteral("U-1"));
    addBill(2, 12, 0, QStringLiteral("2024-05-02"), QStringLiteral("O'Brien 50x AxB C"));
    addBill(3, 12, 0, QStringLiteral("2024-04-30"), QStringLiteral("上月的"));
    addBill(4, 12, 0, QStringLiteral("2024-05-03"), QStringLiteral("退货方"), in() ? 5 : 6);
    ReportFrame* w = openHead();
    EXPECT_EQ(pagerText(w), QStringLiteral("记录数:3 条")); // this month only
    const struct {
        const char* keyword;
        int count;
    } cases[] = {{"O'Brien", 2}, {"50%", 1},         {"A_B", 1}, {"B|C", 1},
                 {"U-1", 1},     {"-2405-00004", 1}, {"%", 1}};
    for (const auto& c : cases) {
        ui::typeInto(w, "txt_KeyWord", QString::fromUtf8(c.keyword));
        ui::press(Qt::Key_Return);
        EXPECT_EQ(w->keptCount(), c.count) << c.keyword;
    }
    ui::typeInto(w, "txt_KeyWord", QString());
    // The type is compared whole; a part of its name finds nothing.
    auto* type = ui::child<QComboBox>(w, in() ? "cobo_importType" : "cobo_exportType");
    EXPECT_EQ(type->count(), 2);
    EXPECT_TRUE(type->currentText().isEmpty());
    type->setEditText(in() ? QStringLiteral("退货入库") : QStringLiteral("退货出库"));
    ui::click(w, "btn_search");
    EXPECT_EQ(w->keptCount(), 1);
    type->setEditText(QStringLiteral("退货"));
    ui::click(w, "btn_search");
    EXPECT_EQ(w->keptCount(), 0);
    type->setEditText(QString());
    ui::typeInto(w, in() ? "txt_supplierName" : "txt_customerName", QStringLiteral("brien"));
    ui::click(w, "btn_search");
    EXPECT_EQ(w->keptCount(), 2);
}

TEST_P(ListTest, AuditUnauditAndDeleteWithAnswers)
{
    addBill(1, 12, 0, QStringLiteral("2024-05-02"));
    addLine(1, 1, 1, 2, 1.5);
    addBill(2, 12, 1, QStringLiteral("2024-05-03"));
    addLine(2, 2, 1, 1, 1);
    ReportFrame* w = openHead();
    const QString no1 = QStringLiteral("%1-2405-00001").arg(code());
    const QString head = t().headTable;

    // Audit: No changes nothing, Yes audits and changes only the cell.
    clickRowWith(w, no1, 5);
    answer(MsgAnswer::No);
    menu(w, "menu_pass");
    EXPECT_EQ(scalar(QStringLiteral("select ispass from %1 where id=1").arg(head)).toInt(), 0);
    answer(MsgAnswer::Yes);
    menu(w, "menu_pass");
    const QString auditQuestion = QStringLiteral("是否 [审核] 当前单据[%1]?").arg(no1);
    EXPECT_EQ(shown(), (QStringList{auditQuestion, auditQuestion, QStringLiteral("审核成功!")}));
    EXPECT_EQ(scalar(QStringLiteral("select ispass from %1 where id=1").arg(head)).toInt(), 1);
    EXPECT_EQ(scalar(QStringLiteral("select updateLastUser from %1 where id=1").arg(head)).toString(),
              QStringLiteral("admin"));
    EXPECT_EQ(scalar(QStringLiteral("select updateLastTime from %1 where id=1").arg(head)).toString(),
              QStringLiteral("2024-05-20 10:00:00"));
    const int row = w->grid()->Row();
    const int status = ColumnOf(w, QStringLiteral("passName"));
    EXPECT_EQ(status, 3);
    EXPECT_EQ(w->grid()->TextMatrix(row, status), QStringLiteral("已审核"));
    EXPECT_FALSE(w->grid()->CellPicture(row, status).isNull());
    MsgBox::ClearShown();

    // Audited: no second audit, no delete.
    menu(w, "menu_pass");
    menu(w, "menu_DeleteBill");
    EXPECT_EQ(shown(), (QStringList{QStringLiteral("当前单据已经审核,不能再审核!"),
                                    QStringLiteral("当前单据已审核,不能删除!")}));
    MsgBox::ClearShown();

    // Un-audit, then delete with Yes: the bill and its lines are gone, the list searched again.
    answer(MsgAnswer::Yes);
    menu(w, "menu_nopass");
    EXPECT_EQ(shown(), (QStringList{QStringLiteral("是否 [反审] 当前单据[%1]?").arg(no1),
                                    QStringLiteral("反审成功!")}));
    EXPECT_EQ(scalar(QStringLiteral("select ispass from %1 where id=1").arg(head)).toInt(), 0);
    menu(w, "menu_nopass");
    EXPECT_EQ(MsgBox::LastText(), QStringLiteral("当前单据未审核,不能再反审!"));
    answer(MsgAnswer::No);
    menu(w, "menu_DeleteBill");
    EXPECT_EQ(count(head), 2);
    answer(MsgAnswer::Yes);
    menu(w, "menu_DeleteBill");
    EXPECT_EQ(count(head), 1);
    EXPECT_EQ(count(t().lineTable, QStringLiteral("headId=1")), 0);
    EXPECT_EQ(w->keptCount(), 1);
    MsgBox::ClearShown();

    // A bill audited behind the window's back: the delete is refused, the bill stays.
    addBill(3, 12, 0, QStringLiteral("2024-05-04"));
    ui::click(w, "btn_search");
    clickRowWith(w, QStringLiteral("%1-2405-00003").arg(code()), 5);
    exec(QStringLiteral("update %1 set ispass=1 where id=3").arg(head));
    answer(MsgAnswer::Yes);
    menu(w, "menu_DeleteBill");
    EXPECT_EQ(count(head, QStringLiteral("id=3")), 1);
    EXPECT_EQ(MsgBox::LastText(), QStringLiteral("当前单据已审核,不能删除!"));
}

TEST_P(ListTest, AuditOfABillChangedElsewhereIsRefused)
{
    addBill(1, 12, 0, QStringLiteral("2024-05-02"));
    ReportFrame* w = openHead();
    clickRowWith(w, QStringLiteral("%1-2405-00001").arg(code()), 5);
    exec(QStringLiteral("update %1 set ispass=1, updateLastUser='other' where id=1").arg(t().headTable));
    answer(MsgAnswer::Yes);
    menu(w, "menu_pass");
    EXPECT_EQ(shown(), (QStringList{QStringLiteral("是否 [审核] 当前单据[%1-2405-00001]?").arg(code()),
                                    QStringLiteral("当前单据已经审核,不能再审核!")}));
    EXPECT_EQ(
        scalar(QStringLiteral("select updateLastUser from %1 where id=1").arg(t().headTable)).toString(),
        QStringLiteral("other"));
    EXPECT_EQ(cell(w, 0, 3), QStringLiteral("已审核")); // searched again
}

TEST_P(ListTest, OpensBillsAndStartsNewOnes)
{
    addBill(7, 12, 0, QStringLiteral("2024-05-02"));
    ReportFrame* w = openHead();
    clickRowWith(w, QStringLiteral("%1-2405-00007").arg(code()), 5);
    const QRect rect = w->grid()->visualRect(w->grid()->currentIndex());
    QTest::mouseDClick(w->grid()->viewport(), Qt::LeftButton, {}, rect.center());
    QApplication::processEvents();
    menu(w, "menu_BrowseBill");
    ui::clickToolbar(w, "addNew");
    EXPECT_EQ(FakeBillWindow::loaded,
              (QStringList{billWindow() + QStringLiteral(":7"), billWindow() + QStringLiteral(":7"),
                           billWindow() + QStringLiteral(":new")}));
    QWidget* bill = WindowRegistry::instance(billWindow());
    ASSERT_NE(bill, nullptr);
    EXPECT_EQ(bill->findChild<QLineEdit*>(QStringLiteral("txt_id"))->text(), QStringLiteral("7"));
}

TEST_P(ListTest, RefusedRightsStopTheActions)
{
    addBill(1, 12, 0, QStringLiteral("2024-05-02"));
    exec(QStringLiteral("delete from tb_user_group_fun where funCode like 'rpt_%1bill_%'").arg(code()));
    loginAs(1);
    ReportFrame* w = openHead();
    clickRowWith(w, QStringLiteral("%1-2405-00001").arg(code()), 5);
    menu(w, "menu_BrowseBill");
    menu(w, "menu_pass");
    menu(w, "menu_DeleteBill");
    ui::clickToolbar(w, "addNew");
    ui::clickToolbar(w, "export");
    EXPECT_EQ(shown(), QStringList(5, QStringLiteral("功能受限,请与系统管理联系!")));
    EXPECT_TRUE(FakeBillWindow::loaded.isEmpty());
    EXPECT_EQ(count(t().headTable), 1);
}

TEST_P(ListTest, ExportWritesTheLastSearchInTheCurrentOrder)
{
    addBill(1, 12, 1, QStringLiteral("2024-05-02"), QStringLiteral("甲"), 0, QStringLiteral("U-9"));
    addLine(1, 1, 1, 2, 1.25);
    addBill(2, 12, 0, QStringLiteral("2024-05-03"), QStringLiteral("乙"));
    ReportFrame* w = openHead();
    clickHeader(w, 2);                                          // by id, ascending
    ui::typeInto(w, "txt_KeyWord", QStringLiteral("不在这里")); // typed, not searched
    ui::clickToolbar(w, "export");
    EXPECT_EQ(MsgBox::LastText(), QStringLiteral("导出完成！"));
    const QList<QStringList> sheet = ReadWorkbook(lastExport());
    ASSERT_EQ(sheet.size(), 4);
    EXPECT_EQ(sheet.at(0).value(0), in() ? QStringLiteral("入库单据") : QStringLiteral("出库单据"));
    EXPECT_EQ(sheet.at(1).join(QLatin1Char(',')),
              in() ? QStringLiteral("账目标识,状态,单据号码,自定义单号,入库类别,供应商名称,单据项目,单据金额,"
                                    "备注,建单人,建单日期")
                   : QStringLiteral("账目标识,状态,单据号码,自定义单号,出库类别,客户名称,单据项目,单据金额,"
                                    "备注,建单人,建单日期"));
    EXPECT_EQ(sheet.at(2).join(QLatin1Char(',')),
              QStringLiteral("总账,已审核,%1-2405-00001,U-9,%2,甲,1单1项,2.5,,admin,2024-05-02")
                  .arg(code(), in() ? QStringLiteral("采购入库") : QStringLiteral("销售出库")));
    EXPECT_EQ(sheet.at(3).value(6), QStringLiteral("1单0项")); // a bill without lines
    EXPECT_EQ(sheet.at(3).value(7), QStringLiteral("0"));
}

TEST_P(ListTest, WorkTableBelongsToThisConnection)
{
    addBill(1, 12, 0, QStringLiteral("2024-05-02"));
    openHead();
    const QString table = QStringLiteral("temp_rpt_%1Head").arg(code());
    EXPECT_EQ(
        scalar(QStringLiteral("select count(*) from sqlite_temp_master where name='%1'").arg(table)).toInt(),
        1);
    EXPECT_EQ(scalar(QStringLiteral("select count(*) from sqlite_master where name='%1'").arg(table)).toInt(),
              0);
}

INSTANTIATE_TEST_SUITE_P(Directions, ListTest, ::testing::Values(BillDirection::In, BillDirection::Out),
                         DirectionName);

#include "Clock.h"
#include "DialogRunner.h"
#include "TestEnv.h"
#include "UiDriver.h"
#include "frmOptions.h"
#include "sqlHelper.h"

#include <QDir>
#include <QPushButton>
#include <QTabBar>
#include <QTest>
#include <QTreeWidget>
#include <memory>

namespace
{

const QStringList kAllGroups = {QStringLiteral("tb_import"), QStringLiteral("tb_export"),
                                QStringLiteral("tb_customer"), QStringLiteral("tb_goods"),
                                QStringLiteral("tb_location")};

class OptionsTest : public DbTest
{
  protected:
    void SetUp() override
    {
        DbTest::SetUp();
        loginAs(1); // 系统管理 holds "optionset"
    }

    // One row in every table the window empties, and rights of a second department.
    void seedMasterData()
    {
        exec(QStringLiteral("INSERT INTO tb_customer (id) VALUES (1)"));
        exec(QStringLiteral("INSERT INTO tb_goods_head (id, goodsCode) VALUES (1, 'G1')"));
        exec(QStringLiteral("INSERT INTO tb_goods_detail (id, headId, isDefault) VALUES (1, 1, 1)"));
        exec(QStringLiteral("INSERT INTO tb_location (id) VALUES (1)"));
        exec(QStringLiteral("INSERT INTO tb_location_fun (locationId, departmentId) VALUES (1, 1)"));
        exec(QStringLiteral("INSERT INTO tb_events (id) VALUES (1)"));
    }
    void seedInbound(bool withLine = true)
    {
        exec(QStringLiteral("INSERT INTO tb_rk_head (id) VALUES (1)"));
        if (withLine)
            exec(QStringLiteral("INSERT INTO tb_rk_detail (id) VALUES (1)"));
    }
    void seedOutbound(bool withLine = true)
    {
        exec(QStringLiteral("INSERT INTO tb_ck_head (id) VALUES (1)"));
        if (withLine)
            exec(QStringLiteral("INSERT INTO tb_ck_detail (id) VALUES (1)"));
    }

    std::unique_ptr<frmOptions> open()
    {
        auto w = std::make_unique<frmOptions>();
        EXPECT_TRUE(w->isLoaded());
        w->show();
        return w;
    }
    void check(frmOptions& w, const QStringList& keys)
    {
        for (const QString& key : keys)
            w.node(key)->setCheckState(0, Qt::Checked);
    }
    void click(frmOptions& w, const char* button)
    {
        auto* b = w.findChild<QPushButton*>(QString::fromLatin1(button));
        ASSERT_NE(b, nullptr) << button;
        // Like a user, go to the page that holds the button first.
        for (int page = 0; page < 2; ++page) {
            if (w.findChild<QWidget*>(QStringLiteral("picOptions_%1").arg(page))->isAncestorOf(b))
                w.selectTab(page);
        }
        QTest::mouseClick(b, Qt::LeftButton);
    }
    int backups() const
    {
        return int(QDir(appDir()).entryList({QStringLiteral("CompactBackUp_*.db")}, QDir::Files).size());
    }
    QStringList checkedKeys(frmOptions& w)
    {
        QStringList keys;
        for (const QString& key :
             {QStringLiteral("key_0"), QStringLiteral("key_1"), QStringLiteral("tb_import"),
              QStringLiteral("tb_export"), QStringLiteral("tb_customer"), QStringLiteral("tb_goods"),
              QStringLiteral("tb_location")}) {
            if (w.node(key)->checkState(0) == Qt::Checked)
                keys.append(key);
        }
        return keys;
    }
    // Rows left per group: inbound lines+heads, outbound lines+heads, partners,
    // goods units+heads, locations+location rights.
    QList<int> left()
    {
        return {count(QStringLiteral("tb_rk_detail")) + count(QStringLiteral("tb_rk_head")),
                count(QStringLiteral("tb_ck_detail")) + count(QStringLiteral("tb_ck_head")),
                count(QStringLiteral("tb_customer")),
                count(QStringLiteral("tb_goods_detail")) + count(QStringLiteral("tb_goods_head")),
                count(QStringLiteral("tb_location")) + count(QStringLiteral("tb_location_fun"))};
    }
};

TEST_F(OptionsTest, OpensOnTheFirstTabWithAnUncheckedTree)
{
    auto w = open();
    EXPECT_EQ(w->windowTitle(), QStringLiteral("选项"));
    EXPECT_EQ(w->currentTab(), 0);
    auto* tree = w->findChild<QTreeWidget*>(QStringLiteral("tv_db_table"));
    ASSERT_NE(tree, nullptr);
    EXPECT_EQ(tree->topLevelItemCount(), 2);
    EXPECT_EQ(tree->topLevelItem(0)->text(0), QStringLiteral("业务数据"));
    EXPECT_EQ(tree->topLevelItem(1)->text(0), QStringLiteral("基础数据"));
    EXPECT_TRUE(tree->topLevelItem(0)->isExpanded());
    EXPECT_TRUE(tree->topLevelItem(1)->isExpanded());
    EXPECT_EQ(tree->topLevelItem(1)->child(2)->text(0), QStringLiteral("库位信息"));
    EXPECT_TRUE(checkedKeys(*w).isEmpty());
}

TEST_F(OptionsTest, CheckingAGroupChecksItsChildrenButUncheckingDoesNot)
{
    auto w = open();
    w->node(QStringLiteral("key_1"))->setCheckState(0, Qt::Checked);
    EXPECT_EQ(checkedKeys(*w), (QStringList{QStringLiteral("key_1"), QStringLiteral("tb_customer"),
                                            QStringLiteral("tb_goods"), QStringLiteral("tb_location")}));
    w->node(QStringLiteral("key_1"))->setCheckState(0, Qt::Unchecked);
    EXPECT_EQ(checkedKeys(*w).size(), 3);

    click(*w, "btn_checkall");
    EXPECT_EQ(checkedKeys(*w).size(), 7);
    click(*w, "btn_check");
    EXPECT_TRUE(checkedKeys(*w).isEmpty());
}

TEST_F(OptionsTest, CtrlTabCyclesThroughTheTabs)
{
    auto w = open();
    auto* tree = w->findChild<QTreeWidget*>(QStringLiteral("tv_db_table"));
    ui::activate(w.get());
    ui::press(Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(w->currentTab(), 1);
    EXPECT_TRUE(tree->isEnabled());
    ui::focusOn(tree);
    ui::press(Qt::Key_Tab, Qt::ControlModifier); // seen by the window before the tree
    EXPECT_EQ(w->currentTab(), 0);
    EXPECT_FALSE(tree->isEnabled());
    EXPECT_EQ(w->findChild<QTabBar*>(QStringLiteral("tbsOptions"))->currentIndex(), 0);
}

TEST_F(OptionsTest, WithoutTheRightTheWindowClosesDuringItsLoad)
{
    loginAs(1);
    exec(QStringLiteral("DELETE FROM tb_user_group_fun WHERE funCode='optionset'"));
    loginAs(1);
    frmOptions w;
    EXPECT_FALSE(w.isLoaded());
    EXPECT_EQ(shown(), QStringList{QStringLiteral("功能受限,请与系统管理联系!")});
    EXPECT_EQ(w.exec(), int(QDialog::Rejected));
}

struct ClearCase {
    const char* name;
    QStringList checked;
    bool inbound;               // an inbound bill with a line
    bool outbound;              // an outbound bill with a line
    QStringList after;          // messages after the question
    QList<int> left;            // rows left per group, see left()
    QStringList unchecked = {}; // unchecked by hand after checking
};

void PrintTo(const ClearCase& c, std::ostream* os)
{
    *os << c.name;
}

class OptionsClearTest : public OptionsTest, public ::testing::WithParamInterface<ClearCase>
{
};

TEST_P(OptionsClearTest, ClearsTheCheckedGroupsAfterASilentBackup)
{
    const ClearCase& c = GetParam();
    seedMasterData();
    if (c.inbound)
        seedInbound();
    if (c.outbound)
        seedOutbound();
    auto w = open();
    w->selectTab(1);
    check(*w, c.checked);
    for (const QString& key : c.unchecked)
        w->node(key)->setCheckState(0, Qt::Unchecked);

    answer(MsgAnswer::Yes);
    click(*w, "cmd_clear");

    EXPECT_EQ(shown(), QStringList{QStringLiteral("是否清空选中的数据?")} + c.after);
    EXPECT_EQ(left(), c.left);
    EXPECT_EQ(backups(), 1);
    for (const ShownMessage& m : MsgBox::Shown())
        EXPECT_EQ(m.title, QStringLiteral("选项"));
    // Nothing else is touched.
    EXPECT_EQ(count(QStringLiteral("tb_events")), 1);
    EXPECT_EQ(count(QStringLiteral("tb_user")), 1);
}

const QString kDone = QStringLiteral("数据清空完成!");

INSTANTIATE_TEST_SUITE_P(
    Cases, OptionsClearTest,
    ::testing::Values(
        ClearCase{"NothingChecked", {}, true, true, {}, {2, 2, 1, 2, 2}},
        ClearCase{"GroupNodeWithoutItsChildren",
                  {QStringLiteral("key_0")},
                  true,
                  true,
                  {},
                  {2, 2, 1, 2, 2},
                  {QStringLiteral("tb_import"), QStringLiteral("tb_export")}},
        ClearCase{"PartnersWhileInboundBillsExist",
                  {QStringLiteral("tb_customer")},
                  true,
                  false,
                  {QStringLiteral("往来单位信息已经在入库表建账,不允许清空!")},
                  {2, 0, 1, 2, 2}},
        ClearCase{"PartnersWhileOutboundBillsExist",
                  {QStringLiteral("tb_customer")},
                  false,
                  true,
                  {QStringLiteral("往来单位信息已经在出库表建账,不允许清空!")},
                  {0, 2, 1, 2, 2}},
        ClearCase{"GoodsWhileInboundLinesExist",
                  {QStringLiteral("tb_goods")},
                  true,
                  true,
                  {QStringLiteral("货品信息已经在入库表建账,不允许清空!")},
                  {2, 2, 1, 2, 2}},
        ClearCase{"GoodsWhileOutboundLinesExist",
                  {QStringLiteral("tb_goods")},
                  false,
                  true,
                  {QStringLiteral("货品信息已经在出库表建账,不允许清空!")},
                  {0, 2, 1, 2, 2}},
        ClearCase{"OutboundThenLocationsWhileInboundLinesExist",
                  {QStringLiteral("tb_export"), QStringLiteral("tb_location")},
                  true,
                  true,
                  {QStringLiteral("库位信息已经在入库表建账,不允许清空!")},
                  {2, 0, 1, 2, 2}},
        ClearCase{"LocationsWhileOutboundLinesExist",
                  {QStringLiteral("tb_location")},
                  false,
                  true,
                  {QStringLiteral("库位信息已经在出库表建账,不允许清空!")},
                  {0, 2, 1, 2, 2}},
        ClearCase{
            "MasterDataWithoutBills", {QStringLiteral("key_1")}, false, false, {kDone}, {0, 0, 0, 0, 0}},
        ClearCase{"BillsClearedFirstUnlockTheMasterData",
                  {QStringLiteral("tb_import"), QStringLiteral("tb_export"), QStringLiteral("tb_customer")},
                  true,
                  true,
                  {kDone},
                  {0, 0, 0, 2, 2}},
        ClearCase{"Everything", kAllGroups, true, true, {kDone}, {0, 0, 0, 0, 0}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(OptionsTest, ClearingIsRefusedWhileBillsExistAndAllowedOnceTheyAreCleared)
{
    seedMasterData();
    seedInbound(false); // a bill without lines still holds the partners
    auto w = open();
    check(*w, {QStringLiteral("tb_customer")});
    answer(MsgAnswer::Yes);
    click(*w, "cmd_clear");
    EXPECT_EQ(shown().last(), QStringLiteral("往来单位信息已经在入库表建账,不允许清空!"));
    EXPECT_EQ(count(QStringLiteral("tb_customer")), 1);

    w->node(QStringLiteral("tb_customer"))->setCheckState(0, Qt::Unchecked);
    check(*w, {QStringLiteral("tb_import")});
    answer(MsgAnswer::Yes);
    click(*w, "cmd_clear");
    EXPECT_EQ(count(QStringLiteral("tb_rk_head")), 0);

    check(*w, {QStringLiteral("tb_customer")});
    answer(MsgAnswer::Yes);
    click(*w, "cmd_clear");
    EXPECT_EQ(shown().last(), kDone);
    EXPECT_EQ(count(QStringLiteral("tb_customer")), 0);
    EXPECT_EQ(backups(), 3);
}

TEST_F(OptionsTest, NoToTheQuestionChangesNothing)
{
    seedMasterData();
    auto w = open();
    click(*w, "btn_checkall");
    answer(MsgAnswer::No);
    click(*w, "cmd_clear");
    answer(MsgAnswer::No);
    click(*w, "cmd_clearAll");
    EXPECT_EQ(shown(),
              (QStringList{QStringLiteral("是否清空选中的数据?"), QStringLiteral("是否执行初始化操作?")}));
    EXPECT_EQ(left(), (QList<int>{0, 0, 1, 2, 2}));
    EXPECT_EQ(backups(), 0);
}

TEST_F(OptionsTest, AFailedBackupStopsClearingAndInitialisation)
{
    seedMasterData();
    auto w = open();
    click(*w, "btn_checkall");
    // The program folder cannot take the backup; the database in use stays open.
    SetAppPathOverride(appDir() + QStringLiteral("gone"));
    answer(MsgAnswer::Yes);
    click(*w, "cmd_clear");
    answer(MsgAnswer::Yes);
    click(*w, "cmd_clearAll");
    ASSERT_EQ(MsgBox::Shown().size(), 4);
    EXPECT_EQ(MsgBox::Shown().at(1).title, QStringLiteral("System"));
    EXPECT_EQ(MsgBox::Shown().at(1).icon, MsgIcon::Exclamation);
    EXPECT_EQ(MsgBox::Shown().at(3).title, QStringLiteral("System"));
    EXPECT_EQ(left(), (QList<int>{0, 0, 1, 2, 2}));
    EXPECT_EQ(count(QStringLiteral("tb_events")), 1);
}

TEST_F(OptionsTest, AFailureInsideAGroupLeavesTheGroupAsItWas)
{
    seedMasterData();
    seedInbound();
    exec(QStringLiteral("CREATE TRIGGER keep_goods BEFORE DELETE ON tb_goods_head "
                        "BEGIN SELECT RAISE(ABORT, 'goods are locked'); END"));
    auto w = open();
    check(*w, {QStringLiteral("tb_import"), QStringLiteral("tb_goods"), QStringLiteral("tb_location")});
    answer(MsgAnswer::Yes);
    click(*w, "cmd_clear");
    EXPECT_EQ(shown().last(), QStringLiteral("goods are locked"));
    EXPECT_EQ(MsgBox::Shown().last().title, QStringLiteral("System"));
    // The inbound bills before it are cleared; the goods keep their units; the locations after it stay.
    EXPECT_EQ(left(), (QList<int>{0, 0, 1, 2, 2}));
}

TEST_F(OptionsTest, InitialisationKeepsUsersDepartmentsAndSystemItems)
{
    seedMasterData();
    seedInbound();
    seedOutbound();
    exec(QStringLiteral("INSERT INTO tb_dictionary (id, utype, uname, isSystemSet) VALUES "
                        "(10, 'department', '仓储部', 0), (11, 'goodsType', '五金', 0), "
                        "(12, 'accountType', '分账', 0), (13, 'customerType', '零售', 1)"));
    exec(QStringLiteral("INSERT INTO tb_user (id, [user], pw, dictionaryId) VALUES (2, 'clerk', 'x', 10)"));
    exec(QStringLiteral("INSERT INTO tb_user_group_fun (funCode, departmentId) VALUES ('import', 10)"));
    exec(QStringLiteral("INSERT INTO tb_account_fun (accountId, departmentId) VALUES (12, 10)"));
    const int rights = count(QStringLiteral("tb_user_group_fun"));
    const int systemItems = count(QStringLiteral("tb_dictionary"), QStringLiteral("isSystemSet=1"));

    auto w = open();
    answer(MsgAnswer::Yes);
    click(*w, "cmd_clearAll");

    EXPECT_EQ(shown(),
              (QStringList{QStringLiteral("是否执行初始化操作?"), QStringLiteral("执行初始化完成!")}));
    EXPECT_EQ(MsgBox::Shown().last().title, QStringLiteral("选项"));
    EXPECT_EQ(backups(), 1);
    EXPECT_EQ(left(), (QList<int>{0, 0, 0, 0, 0}));
    EXPECT_EQ(count(QStringLiteral("tb_events")), 0);
    EXPECT_EQ(count(QStringLiteral("tb_account_fun")), 0);
    EXPECT_EQ(count(QStringLiteral("tb_user")), 2);
    EXPECT_EQ(count(QStringLiteral("tb_user_group_fun")), rights);
    EXPECT_EQ(count(QStringLiteral("tb_dictionary"), QStringLiteral("isSystemSet=1")), systemItems);
    EXPECT_EQ(count(QStringLiteral("tb_dictionary"), QStringLiteral("id=10")),
              1); // a department, though no system item
    EXPECT_EQ(count(QStringLiteral("tb_dictionary"), QStringLiteral("id IN (11, 12)")), 0);
    EXPECT_GT(count(QStringLiteral("tb_sys_fun")), 0);
}

TEST_F(OptionsTest, AFailedInitialisationLeavesEverything)
{
    seedMasterData();
    seedInbound();
    exec(QStringLiteral(
        "INSERT INTO tb_dictionary (id, utype, uname, isSystemSet) VALUES (11, 'goodsType', 'x', 0)"));
    exec(QStringLiteral("CREATE TRIGGER keep_types BEFORE DELETE ON tb_dictionary "
                        "BEGIN SELECT RAISE(ABORT, 'types are locked'); END"));
    auto w = open();
    answer(MsgAnswer::Yes);
    click(*w, "cmd_clearAll");
    EXPECT_EQ(shown().last(), QStringLiteral("types are locked"));
    EXPECT_EQ(left(), (QList<int>{2, 0, 1, 2, 2}));
    EXPECT_EQ(count(QStringLiteral("tb_events")), 1);
    EXPECT_EQ(count(QStringLiteral("tb_account_fun")), 1);
}

TEST_F(OptionsTest, BackupAndCompactButtonsReportThemselves)
{
    auto w = open();
    click(*w, "cmd_copyData");
    click(*w, "cmd_ysData");
    EXPECT_EQ(shown(),
              (QStringList{QStringLiteral("数据压缩备份完毕!"), QStringLiteral("数据压缩修复完毕!")}));
    EXPECT_EQ(backups(), 1);
}

} // namespace

#include "TestEnv.h"
#include "XlsxSheet.h"

#include "Clock.h"
#include "FakeBillWindow.h"
#include "FlexGrid.h"
#include "GridDriver.h"
#include "TreeDriver.h"
#include "UiDriver.h"
#include "WindowRegistry.h"
#include "frm_customer.h"
#include "frm_dictionary.h"
#include "sqlHelper.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QDomDocument>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMap>
#include <QMenu>
#include <QProcess>
#include <QRadioButton>
#include <QTest>
#include <QTreeWidget>

namespace
{

// Categories: 20 批发 > 22 华东 > 23 上海; 21 停用类 is disabled.
// Partners: 1 supplier (批发), 2 customer (上海, no contact or company),
// 3 both (停用类), 4 disabled supplier without a category.
class CustomerWindowTest : public DbTest
{
  protected:
    void SetUp() override
    {
        DbTest::SetUp();
        Clock::SetFixed(QDateTime(QDate(2024, 5, 10), QTime(9, 30, 0)));
        exec("insert into tb_dictionary (id,utype,uname,parentId,isstart) values "
             "(20,'customerType','批发',0,1),(21,'customerType','停用类',0,0),"
             "(22,'customerType','华东',20,1),(23,'customerType','上海',22,1)");
        exec("insert into tb_customer (id,utype,customType,customerCode,uname,pinyin,contact,companyName,tel,"
             "status,creator,createTime,userId) values "
             "(1,0,20,'ct-2405-00007','甲供应','JGY','张三','甲公司','021-1',1,'li','2024-05-01 08:00:00',5),"
             "(2,1,23,'ct-2405-00002','乙客户','YKH',NULL,NULL,NULL,1,'li','2024-05-02 08:00:00',5),"
             "(3,2,21,'ct-2404-00001','丙两者','BLZ','赵六','丙公司',NULL,1,'li','2024-04-03 08:00:00',5),"
             "(4,0,0,'ct-2404-00002','丁停用','DTY','王五',NULL,NULL,0,'li','2024-04-04 08:00:00',5)");
        loginAs(1);
        WindowRegistry::add("frm_dictionary", [] { return new frm_dictionary; });
        openWindow();
    }
    void TearDown() override
    {
        window.reset();
        WindowRegistry::remove("frmImport");
        WindowRegistry::remove("frmExport");
        WindowRegistry::remove("frm_dictionary");
        FakeBillWindow::imports.clear();
        FakeBillWindow::exports.clear();
        FakeBillWindow::names.clear();
        DbTest::TearDown();
    }

    void openWindow()
    {
        window = std::make_unique<frm_customer>();
        ui::activate(window.get());
    }
    FlexGrid* grid() { return window->list(); }
    // The names listed, sorted (the list itself has no fixed order).
    QStringList listed()
    {
        QStringList out;
        for (int r = 1; r < grid()->Rows(); ++r) {
            if (!grid()->TextMatrix(r, window->dgCol_id).isEmpty())
                out << grid()->TextMatrix(r, window->dgCol_name);
        }
        out.sort();
        return out;
    }
    void clickNode(const QString& key)
    {
        SCOPED_TRACE(key.toStdString());
        ui::clickNode(window->tree(), window->findNode(key));
    }
    void clickPartner(const QString& name)
    {
        ASSERT_TRUE(ui::clickRow(grid(), name, window->dgCol_name)) << name.toStdString();
    }
    QString field(const char* name) { return ui::child<QLineEdit>(window.get(), name)->text(); }
    QComboBox* combo(const char* name) { return ui::child<QComboBox>(window.get(), name); }
    void choose(const char* comboName, const QString& text)
    {
        QComboBox* c = combo(comboName);
        const int i = c->findText(text);
        ASSERT_GE(i, 0) << text.toStdString();
        c->setCurrentIndex(i);
    }
    void search(const QString& keyword)
    {
        ui::typeInto(window.get(), "txt_KeyWord", keyword);
        ui::press(Qt::Key_Return);
    }
    void newPartner(const QString& name)
    {
        ui::clickToolbar(window.get(), "add");
        ui::typeInto(window.get(), "txt_Name", name);
    }
    // Saves, answering the questions in order.
    void save(std::initializer_list<MsgAnswer> answers = {MsgAnswer::Yes})
    {
        for (MsgAnswer a : answers)
            answer(a);
        ui::click(window.get(), "btn_CustomerSave");
    }
    void registerBillWindows()
    {
        WindowRegistry::add("frmImport", [] { return new FakeBillWindow; });
        WindowRegistry::add("frmExport", [] { return new FakeBillWindow; });
    }

    std::unique_ptr<frm_customer> window;
};

TEST_F(CustomerWindowTest, OpensOnTheFixedTreeWithEveryPartner)
{
    EXPECT_TRUE(ui::child<QRadioButton>(window.get(), "Opt_treeType_0")->isChecked());
    EXPECT_EQ(field("txt_TreeType"), "uType");
    QTreeWidgetItem* root = window->tree()->topLevelItem(0);
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(frm_customer::nodeKey(root), "key_3");
    EXPECT_EQ(window->tree()->currentItem(), root);
    QStringList kinds;
    for (int i = 0; i < root->childCount(); ++i)
        kinds << root->child(i)->text(0);
    EXPECT_EQ(kinds, (QStringList{"供应商", "客户", "两者都是"}));
    EXPECT_EQ(listed(), (QStringList{"丁停用", "丙两者", "乙客户", "甲供应"}));
    EXPECT_EQ(ui::child<QLabel>(window.get(), "lb_rowCount")->text(), "找到[4]条信息");
    EXPECT_EQ(grid()->Cols(), 15);
    EXPECT_TRUE(grid()->ColHidden(window->dgCol_id));
    EXPECT_TRUE(grid()->ColHidden(window->dgCol_check));
    EXPECT_FALSE(grid()->CellPicture(1, window->dgCol_status).isNull());
    EXPECT_EQ(grid()->TextMatrix(1, window->dgCol_no), "1");
    // Row 1 fills the panel; the category list holds the enabled categories in id order.
    EXPECT_FALSE(field("txt_id").isEmpty());
    QStringList categories;
    for (int i = 0; i < combo("cobo_CustomTypeName")->count(); ++i)
        categories << combo("cobo_CustomTypeName")->itemText(i);
    EXPECT_EQ(categories, (QStringList{"批发", "华东", "上海"}));
}

TEST_F(CustomerWindowTest, FixedTreeNodesListTheirKinds)
{
    const struct {
        const char* key;
        QStringList names;
    } cases[] = {
        {"key_0", {"丁停用", "甲供应"}},
        {"key_1", {"乙客户"}},
        {"key_2", {"丙两者"}},
        {"key_3", {"丁停用", "丙两者", "乙客户", "甲供应"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key);
        clickNode(QString::fromLatin1(c.key));
        EXPECT_EQ(listed(), c.names);
    }
    // A right click in the fixed tree shows no menu.
    QTest::mousePress(window->tree()->viewport(), Qt::RightButton, {}, QPoint(10, 10));
    EXPECT_FALSE(window->treeMenu()->isVisible());
}

TEST_F(CustomerWindowTest, CustomTreeNodesListTheirWholeSubtree)
{
    ui::click(window.get(), "Opt_treeType_1");
    EXPECT_EQ(field("txt_TreeType"), "customType");
    EXPECT_EQ(frm_customer::nodeKey(window->tree()->currentItem()), "key_0");
    EXPECT_EQ(listed().size(), 4); // the root lists everyone, also those without a category

    QTreeWidgetItem* root = window->tree()->topLevelItem(0);
    ASSERT_EQ(root->childCount(), 2); // 批发 and the disabled 停用类
    EXPECT_EQ(frm_customer::nodeImage(window->findNode("key_20")), "close");
    clickNode("key_20");
    EXPECT_EQ(listed(), (QStringList{"乙客户", "甲供应"}));
    EXPECT_NE(window->findNode("key_22"), nullptr);
    EXPECT_EQ(window->findNode("key_23"), nullptr); // one level per click
    clickNode("key_22");
    EXPECT_EQ(listed(), (QStringList{"乙客户"}));
    clickNode("key_21");
    EXPECT_EQ(listed(), (QStringList{"丙两者"}));

    // 刷新 rebuilds the tree without searching; 分类管理 opens the editor on partner categories.
    ui::rightClickNode(window->tree(), window->findNode("key_21"));
    EXPECT_TRUE(window->treeMenu()->isVisible());
    window->treeMenu()->close();
    ui::child<QAction>(window.get(), "menu_refresh")->trigger();
    EXPECT_EQ(window->findNode("key_22"), nullptr);
    EXPECT_EQ(listed(), (QStringList{"丙两者"}));
    ui::child<QAction>(window.get(), "menu_customTypeMg")->trigger();
    auto* editor = WindowRegistry::instance<frm_dictionary>("frm_dictionary");
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->tree()->topLevelItem(0)->text(0), "往来单位分类");

    // Back to the fixed tree: rebuilt, no kind filter.
    ui::click(window.get(), "Opt_treeType_0");
    EXPECT_EQ(frm_customer::nodeKey(window->tree()->currentItem()), "key_3");
    EXPECT_EQ(listed().size(), 4);
}

TEST_F(CustomerWindowTest, KeywordSearchesFiveFieldsJoined)
{
    exec("insert into tb_customer (id,utype,customType,customerCode,uname,pinyin,contact,companyName,status,"
         "creator,createTime) values (5,1,20,'ct-2405-00009','O''Brien 100%','OB','x@fax.cn','a|b',1,'li',"
         "'2024-05-09 08:00:00')");
    const struct {
        const char16_t* keyword;
        QStringList names;
    } cases[] = {
        {u"YKH", {"乙客户"}},           // pinyin of a partner with no contact or company
        {u"00002乙", {"乙客户"}},       // the end of the code and the start of the name
        {u"张三", {"甲供应"}},          // the contact
        {u"丙公司", {"丙两者"}},        // the company
        {u"O'Brien", {"O'Brien 100%"}}, // an apostrophe is just text
        {u"x@fax.cn", {"O'Brien 100%"}},
        {u"a|b", {"O'Brien 100%"}},
        {u"没有", {}},
    };
    for (const auto& c : cases) {
        const QString keyword = QString::fromUtf16(c.keyword);
        SCOPED_TRACE(keyword.toStdString());
        search(keyword);
        EXPECT_EQ(listed(), c.names);
    }
    // No result: one empty row, an empty panel, no message, no menu.
    EXPECT_EQ(grid()->Rows(), 2);
    EXPECT_EQ(ui::child<QLabel>(window.get(), "lb_rowCount")->text(), "找到[0]条信息");
    EXPECT_EQ(field("txt_id"), "");
    EXPECT_FALSE(window->prepareListMenu());
}

TEST_F(CustomerWindowTest, ARowFillsThePanelAndListKeysMoveTheFocus)
{
    clickPartner("甲供应");
    EXPECT_EQ(field("txt_id"), "1");
    EXPECT_EQ(field("txt_customerCode"), "ct-2405-00007");
    EXPECT_EQ(field("txt_contact"), "张三");
    EXPECT_EQ(field("txt_createTime"), "2024-05-01");
    EXPECT_EQ(combo("cobo_TypeName")->currentText(), "供应商");
    EXPECT_EQ(combo("cobo_CustomTypeName")->currentText(), "批发");
    EXPECT_EQ(ui::child<QLabel>(window.get(), "lab_status")->palette().color(QPalette::WindowText),
              QColor(64, 64, 64));
    clickPartner("丁停用");
    EXPECT_EQ(combo("cobo_status")->currentText(), "禁用");
    EXPECT_EQ(ui::child<QLabel>(window.get(), "lab_status")->palette().color(QPalette::WindowText),
              QColor(255, 0, 0));

    ui::focusOn(grid());
    ui::press(Qt::Key_Return);
    EXPECT_EQ(ui::focused()->objectName(), "txt_Name");
    ui::press(Qt::Key_Return);
    EXPECT_EQ(ui::focused()->objectName(), "txt_companyName");
    ui::focusOn(grid());
    ui::press(Qt::Key_Backspace);
    EXPECT_EQ(ui::focused()->objectName(), "txt_KeyWord");

    // Sorting renumbers from 1.
    QHeaderView* header = grid()->horizontalHeader();
    const int x =
        header->sectionViewportPosition(window->dgCol_name) + header->sectionSize(window->dgCol_name) / 2;
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, header->height() / 2));
    EXPECT_EQ(ui::child<QLabel>(window.get(), "lb_rowCount")->text(), "找到[4]条信息");
    for (int r = 1; r < grid()->Rows(); ++r)
        EXPECT_EQ(grid()->TextMatrix(r, window->dgCol_no), QString::number(r));
}

TEST_F(CustomerWindowTest, NewPartnerGetsTheNextCodeAndItsCreator)
{
    newPartner("  戊新户");
    ui::typeInto(window.get(), "txt_email", "x@fax.cn");
    ui::typeInto(window.get(), "txt_bankAccount", "6222'%|户");
    choose("cobo_TypeName", "供应商");
    choose("cobo_CustomTypeName", "华东");
    save();
    EXPECT_EQ(shown().last(), "保存成功!");
    EXPECT_EQ(count("tb_customer"), 5);
    const RecordSetPtr rs = ExecuteSql("select * from tb_customer where id=5");
    ASSERT_TRUE(rs && rs->RecordCount() == 1);
    EXPECT_EQ(rs->text(0, "customerCode"), "ct-2405-00008");
    EXPECT_EQ(rs->text(0, "uname"), "  戊新户");
    EXPECT_EQ(rs->text(0, "pinyin"), "WXH");
    EXPECT_EQ(rs->text(0, "email"), "x@fax.cn");
    EXPECT_EQ(rs->text(0, "bankAccount"), "6222'%|户");
    EXPECT_EQ(rs->value(0, "utype").toInt(), 0);
    EXPECT_EQ(rs->value(0, "customType").toInt(), 22);
    EXPECT_EQ(rs->value(0, "status").toInt(), 1);
    EXPECT_EQ(rs->text(0, "creator"), "admin");
    EXPECT_EQ(rs->text(0, "createTime"), "2024-05-10 09:30:00");
    EXPECT_EQ(rs->value(0, "userId").toInt(), 1);
    // The saved partner is the current row again and fills the panel.
    EXPECT_EQ(field("txt_id"), "5");
    EXPECT_EQ(field("txt_customerCode"), "ct-2405-00008");
    EXPECT_EQ(field("txt_creator"), "admin");
    EXPECT_EQ(grid()->TextMatrix(grid()->Row(), window->dgCol_id), "5");

    // A stored partner keeps its code, creator and creating user.
    ui::typeInto(window.get(), "txt_tel", "123");
    save();
    EXPECT_EQ(scalar("select tel from tb_customer where id=5").toString(), "123");
    EXPECT_EQ(scalar("select customerCode from tb_customer where id=5").toString(), "ct-2405-00008");
    EXPECT_EQ(count("tb_customer"), 5);
}

TEST_F(CustomerWindowTest, SameNameQuestionDecides)
{
    for (MsgAnswer a : {MsgAnswer::No, MsgAnswer::Yes}) {
        const int before = count("tb_customer");
        newPartner("甲供应");
        if (a == MsgAnswer::No)
            save({MsgAnswer::No});
        else
            save({MsgAnswer::Yes, MsgAnswer::Yes});
        EXPECT_TRUE(shown().contains("往来单位名称[甲供应]存在,是否继续保存!"));
        EXPECT_EQ(count("tb_customer"), before + (a == MsgAnswer::Yes ? 1 : 0));
    }
    // Saving a partner under its own name asks nothing more than the confirmation.
    clickPartner("乙客户");
    MsgBox::ClearShown();
    save();
    EXPECT_EQ(shown(), (QStringList{"确定保存当前往来单位?", "保存成功!"}));
}

TEST_F(CustomerWindowTest, CopyMakesASecondPartner)
{
    clickPartner("甲供应");
    ui::click(window.get(), "btn_CustomerCopy");
    EXPECT_EQ(field("txt_id"), "");
    EXPECT_EQ(field("txt_customerCode"), "");
    save({MsgAnswer::Yes, MsgAnswer::Yes});
    EXPECT_EQ(count("tb_customer", "uname='甲供应' and contact='张三'"), 2);
    EXPECT_EQ(scalar("select customerCode from tb_customer where id=5").toString(), "ct-2405-00008");
}

TEST_F(CustomerWindowTest, SaveRefusals)
{
    newPartner("   ");
    ui::click(window.get(), "btn_CustomerSave");
    EXPECT_EQ(shown().last(), "往来单位名称不能为空!");
    EXPECT_EQ(ui::focused()->objectName(), "txt_Name");

    // The user may change stored partners but not make new ones: refused after the question.
    exec("delete from tb_user_group_fun where funCode='customer_save'");
    loginAs(1);
    newPartner("新户");
    save();
    EXPECT_EQ(shown().last(), "功能受限,请与系统管理联系!");
    EXPECT_EQ(count("tb_customer"), 4);

    // Without any enabled category, no partner can be saved.
    exec("update tb_dictionary set isstart=0 where utype='customerType'");
    window.reset();
    openWindow();
    newPartner("新户");
    ui::click(window.get(), "btn_CustomerSave");
    EXPECT_EQ(shown().last(), "自定义类别不能为空!");
    EXPECT_EQ(count("tb_customer"), 4);
}

TEST_F(CustomerWindowTest, AStoredPartnerKeepsItsDisabledCategory)
{
    clickPartner("丙两者");
    EXPECT_EQ(combo("cobo_CustomTypeName")->currentText(), "停用类");
    ui::typeInto(window.get(), "txt_tel", "88");
    save();
    EXPECT_EQ(scalar("select customType from tb_customer where id=3").toInt(), 21);
    EXPECT_EQ(scalar("select tel from tb_customer where id=3").toString(), "88");
    // Another partner does not see the stored entry.
    clickPartner("甲供应");
    EXPECT_EQ(combo("cobo_CustomTypeName")->findText("停用类"), -1);

    // A partner whose category was deleted loads with none and must be given one.
    exec("update tb_customer set customType=99 where id=1");
    clickPartner("乙客户");
    clickPartner("甲供应");
    EXPECT_EQ(combo("cobo_CustomTypeName")->currentText(), "");
    ui::click(window.get(), "btn_CustomerSave");
    EXPECT_EQ(shown().last(), "自定义类别不能为空!");
    EXPECT_EQ(scalar("select customType from tb_customer where id=1").toInt(), 99);
}

// Another workstation deletes the chosen category while the panel shows it:
// the save is refused with the window's text, nothing is written, and the
// window goes on working, also with no window active after the message.
TEST_F(CustomerWindowTest, ACategoryDeletedElsewhereIsRefusedAtTheSave)
{
    const struct {
        const char* name;
        const char* partner; // empty: a new partner
    } cases[] = {{"a new partner", ""}, {"a stored partner", "甲供应"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        exec("update tb_customer set tel=NULL where tel='7778'");
        exec("delete from tb_dictionary where id=23");
        exec("insert into tb_dictionary (id,utype,uname,parentId,isstart) values "
             "(23,'customerType','上海',22,1)");
        window.reset();
        openWindow();
        const int before = count("tb_customer");
        if (*c.partner)
            clickPartner(c.partner);
        else
            newPartner("戊新户");
        choose("cobo_CustomTypeName", "上海");
        ui::typeInto(window.get(), "txt_tel", "777");
        exec("delete from tb_dictionary where id=23");
        save();
        EXPECT_EQ(shown().last(), "自定义类别不能为空!");
        EXPECT_EQ(MsgBox::Shown().last().title, QStringLiteral("往来单位"));
        EXPECT_EQ(MsgBox::Shown().last().icon, MsgIcon::Exclamation);
        EXPECT_EQ(window->focusWidget(), ui::child<QWidget>(window.get(), "cobo_CustomTypeName"));
        EXPECT_EQ(count("tb_customer"), before);
        EXPECT_EQ(count("tb_customer", "tel='777'"), 0);

        QApplication::setActiveWindow(nullptr);
        choose("cobo_CustomTypeName", "批发");
        ui::focusOn(ui::child<QWidget>(window.get(), "txt_tel"));
        QApplication::setActiveWindow(nullptr);
        ui::type("8");
        save();
        EXPECT_EQ(shown().last(), "保存成功!");
        EXPECT_EQ(count("tb_customer", "tel='7778' and customType=20"), 1);
    }
}

TEST_F(CustomerWindowTest, PartnerGoneElsewhere)
{
    clickPartner("甲供应");
    exec("delete from tb_customer where id=1");
    ui::typeInto(window.get(), "txt_tel", "1");
    save();
    EXPECT_EQ(shown().last(), "当前往业单位信息不存在!");
    EXPECT_EQ(count("tb_customer"), 3);
    // Loading it from the stale list says so too.
    clickPartner("乙客户");
    clickPartner("甲供应");
    EXPECT_EQ(shown().last(), "当前往业单位信息不存在!");
}

// Two clerks have the same partner open in windows of their own: the later
// save, from the partner as it was loaded, is refused in the window's words
// and writes nothing; opened anew, it saves over the earlier one's values.
TEST_F(CustomerWindowTest, APartnerChangedElsewhereIsRefusedAtTheSave)
{
    clickPartner("甲供应");
    std::unique_ptr<frm_customer> a = std::move(window);
    openWindow();
    clickPartner("甲供应");
    ui::typeInto(window.get(), "txt_tel", "021-9");
    save();
    EXPECT_EQ(shown().last(), "保存成功!");

    std::swap(window, a);
    ui::activate(window.get());
    ui::typeInto(window.get(), "txt_address", "南京路1号");
    save();
    EXPECT_EQ(shown().last(), "当前记录已被其他用户修改,请重新打开后再保存!");
    EXPECT_EQ(count("tb_customer", "id=1 and tel='021-9' and coalesce(address,'')=''"), 1);

    clickPartner("乙客户");
    clickPartner("甲供应");
    EXPECT_EQ(field("txt_tel"), "021-9");
    ui::typeInto(window.get(), "txt_address", "南京路1号");
    save();
    EXPECT_EQ(shown().last(), "保存成功!");
    EXPECT_EQ(count("tb_customer", "id=1 and tel='021-9' and address='南京路1号'"), 1);
}

TEST_F(CustomerWindowTest, DeletingAPartnerDeletedElsewhereIsNoSuccess)
{
    clickPartner("甲供应");
    exec("delete from tb_customer where id=1");
    answer(MsgAnswer::Yes);
    ui::clickToolbar(window.get(), "delete");
    EXPECT_EQ(shown().last(), "当前记录不存在!");
    EXPECT_FALSE(shown().contains("删除成功!"));
}

// A right click on a row that is not selected takes that row first: the
// menu's 删除 names that partner and deletes it, not the one selected before.
TEST_F(CustomerWindowTest, ARightClickDeletesThePartnerUnderThePointer)
{
    clickNode("key_0");
    clickPartner("甲供应");
    const int row = grid()->FindRow(QStringLiteral("丁停用"), 1, window->dgCol_name);
    ASSERT_GT(row, 0);
    ui::rightClickCell(grid(), row, window->dgCol_name);
    EXPECT_TRUE(window->listMenu()->isVisible());
    EXPECT_EQ(grid()->Row(), row);
    EXPECT_EQ(field("txt_Name"), QStringLiteral("丁停用"));
    window->listMenu()->close();
    answer(MsgAnswer::Yes);
    ui::child<QAction>(window.get(), "menu_customer_delete")->trigger();
    EXPECT_EQ(shown(), (QStringList{QStringLiteral("删除后将不能恢复,确定删除当前往来单位[丁停用]?"),
                                    QStringLiteral("删除成功!")}));
    EXPECT_EQ(count("tb_customer", "id=4"), 0);
    EXPECT_EQ(count("tb_customer", "id=1"), 1);
}

TEST_F(CustomerWindowTest, DeleteIsRefusedByBillHeads)
{
    exec("insert into tb_rk_head (id, billNo, supplierId) values (1, 'rk-2405-00001', 2)");
    exec("insert into tb_ck_head (id, billNo, customerId) values (1, 'ck-2405-00001', 3)");
    const struct {
        const char* name;
        const char16_t* message;
    } refusals[] = {
        {"乙客户", u"当前往来单位在入库表已经建账,不能删除!"}, // whatever its kind
        {"丙两者", u"当前往来单位在出库表已经建账,不能删除!"},
    };
    for (const auto& r : refusals) {
        SCOPED_TRACE(r.name);
        clickPartner(QString::fromUtf8(r.name));
        answer(MsgAnswer::Yes);
        ui::clickToolbar(window.get(), "delete");
        EXPECT_EQ(shown().last(), QString::fromUtf16(r.message));
        EXPECT_EQ(count("tb_customer"), 4);
    }
    clickPartner("甲供应");
    answer(MsgAnswer::No);
    ui::click(window.get(), "btn_CustomerDelete");
    EXPECT_EQ(count("tb_customer"), 4);
    answer(MsgAnswer::Yes);
    ui::child<QAction>(window.get(), "menu_customer_delete")->trigger();
    EXPECT_EQ(shown().last(), "删除成功!");
    EXPECT_EQ(count("tb_customer", "id=1"), 0);
    EXPECT_EQ(listed(), (QStringList{"丁停用", "丙两者", "乙客户"}));

    // A new partner in the panel: nothing to delete, nothing said.
    ui::click(window.get(), "btn_CustomerAdd");
    MsgBox::ClearShown();
    ui::click(window.get(), "btn_CustomerDelete");
    EXPECT_TRUE(shown().isEmpty());
}

TEST_F(CustomerWindowTest, ListMenuFollowsKindAndStatus)
{
    // Until the bill windows exist, no bill can be started.
    clickPartner("丙两者");
    EXPECT_TRUE(window->prepareListMenu());
    EXPECT_FALSE(ui::child<QAction>(window.get(), "menu_import_Add")->isEnabled());
    EXPECT_FALSE(ui::child<QAction>(window.get(), "menu_export_Add")->isEnabled());

    registerBillWindows();
    const struct {
        const char* name;
        bool import;
        bool exportBill;
    } cases[] = {
        {"甲供应", true, false},
        {"乙客户", false, true},
        {"丙两者", true, true},
        {"丁停用", false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        clickPartner(QString::fromUtf8(c.name));
        EXPECT_TRUE(window->prepareListMenu());
        EXPECT_EQ(ui::child<QAction>(window.get(), "menu_import_Add")->isEnabled(), c.import);
        EXPECT_EQ(ui::child<QAction>(window.get(), "menu_export_Add")->isEnabled(), c.exportBill);
        EXPECT_TRUE(ui::child<QAction>(window.get(), "menu_customer_delete")->isEnabled());
    }

    // A right click on a partner's row pops the menu up, set for that partner.
    const auto rightClick = [&](const char* name) {
        clickPartner(QString::fromUtf8(name));
        const QRect cell = grid()->visualRect(
            grid()->model()->index(grid()->Row() - grid()->FixedRows(), window->dgCol_name));
        QTest::mousePress(grid()->viewport(), Qt::RightButton, {}, cell.center());
        EXPECT_TRUE(window->listMenu()->isVisible());
        // It opens at the pointer.
        EXPECT_EQ(window->listMenu()->pos(), grid()->viewport()->mapToGlobal(cell.center()));
        window->listMenu()->close();
    };
    rightClick("甲供应");
    ui::child<QAction>(window.get(), "menu_import_Add")->trigger();
    EXPECT_EQ(FakeBillWindow::imports, (QList<int>{1}));
    rightClick("丙两者");
    ui::child<QAction>(window.get(), "menu_export_Add")->trigger();
    EXPECT_EQ(FakeBillWindow::exports, (QList<int>{3}));
    EXPECT_EQ(FakeBillWindow::names, (QStringList{"甲供应", "丙两者"}));
    // A disabled partner starts nothing, even through an entry left enabled.
    rightClick("甲供应");
    clickPartner("丁停用");
    ui::child<QAction>(window.get(), "menu_import_Add")->trigger();
    EXPECT_EQ(FakeBillWindow::imports, (QList<int>{1}));
}

TEST_F(CustomerWindowTest, ExportWritesTheLastSearch)
{
    clickNode("key_0");
    ui::clickToolbar(window.get(), "export");
    EXPECT_EQ(shown().last(), "导出完成！");
    const QStringList files =
        QDir(appDir() + "qvPrint/generateXls").entryList({"*.xlsx"}, QDir::Files, QDir::Name);
    ASSERT_EQ(files.size(), 1);
    const QMap<QString, QString> cells =
        ReadXlsxSheet(appDir() + "qvPrint/generateXls/" + files.first()).cells;
    EXPECT_EQ(cells.value("A1"), "往来单位信息");
    const QStringList headers = {"固定类别", "自定义类别", "编码",     "往来单位名称", "联系人", "公司名称",
                                 "税务号",   "开户银行",   "开户帐号", "地址",         "电话",   "Email",
                                 "传真",     "状态",       "创建人",   "创建时间"};
    for (int c = 0; c < headers.size(); ++c)
        EXPECT_EQ(cells.value(QString(QChar('A' + c)) + "2"), headers[c]) << c;
    // The suppliers only, the creation time with its time of day.
    QStringList names = {cells.value("D3"), cells.value("D4")};
    names.sort();
    EXPECT_EQ(names, (QStringList{"丁停用", "甲供应"}));
    EXPECT_FALSE(cells.contains("D5"));
    const int jia = cells.value("D3") == "甲供应" ? 3 : 4;
    EXPECT_EQ(cells.value(QStringLiteral("A%1").arg(jia)), "供应商");
    EXPECT_EQ(cells.value(QStringLiteral("B%1").arg(jia)), "批发");
    EXPECT_EQ(cells.value(QStringLiteral("N%1").arg(jia)), "启用");
    EXPECT_EQ(cells.value(QStringLiteral("P%1").arg(jia)), "2024-05-01 08:00:00");

    // Without the right nothing is written.
    exec("delete from tb_user_group_fun where funCode='customer_export'");
    loginAs(1);
    ui::clickToolbar(window.get(), "export");
    EXPECT_EQ(shown().last(), "功能受限,请与系统管理联系!");
}

TEST_F(CustomerWindowTest, BoxesKeepToTheirLengths)
{
    const struct {
        const char* box;
        int limit;
    } boxes[] = {{"txt_Name", 255},        {"txt_companyName", 255}, {"txt_contact", 50},
                 {"txt_tel", 50},          {"txt_fax", 50},          {"txt_email", 100},
                 {"txt_address", 255},     {"txt_taxNumber", 100},   {"txt_bankName", 100},
                 {"txt_bankAccount", 100}, {"txt_KeyWord", 50}};
    for (const auto& b : boxes) {
        SCOPED_TRACE(b.box);
        ui::typeInto(window.get(), b.box, QString(b.limit + 5, QChar(u'货')));
        EXPECT_EQ(field(b.box).size(), b.limit);
    }
}

} // namespace

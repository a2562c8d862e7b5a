#include "DayFixture.h"

#include "dal_goods_detail.h"
#include "dal_goods_head.h"
#include "frmGoods.h"
#include "frmLocation.h"
#include "frmOptions.h"
#include "frm_customer.h"
#include "frm_department_fun.h"
#include "frm_dictionary.h"
#include "frm_rpt_stock.h"
#include "uTreeView.h"

#include <QComboBox>
#include <QLabel>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QThread>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

namespace
{

// "%" and "_" typed into a search box stay wildcards, as users of the
// program know them; the rest is searched as typed.
bool IsWildcard(const QString& text)
{
    return text == QLatin1String("%") || text == QLatin1String("_");
}

// The bad input a clerk may type anywhere a text goes.
QStringList BadTexts()
{
    return {QStringLiteral("'"),
            QStringLiteral("%"),
            QStringLiteral("_"),
            QStringLiteral("|"),
            QStringLiteral("@x"),
            QStringLiteral("N:1"),
            QString(10000, QLatin1Char('y')),
            QStringLiteral("无此货品")};
}

class WorkingDayTest : public DayTest
{
  protected:
    // ---- the catalogue

    // A goods item with two packing units, the first the default. Made
    // through the goods data class the goods window saves with.
    void addGoods(int id, int typeId, const QString& code, const QString& name,
                  const QList<std::tuple<QString, QString, double, double, double>>& units)
    {
        m_goods_head head;
        head.id = id;
        head.goodsTypeId = typeId;
        head.goodsCode = code;
        head.goodsName = name;
        head.status = QStringLiteral("启用");
        head.creator = QStringLiteral("admin");
        int row = 0;
        for (const auto& [unit, barcode, pack, inPrice, salePrice] : units) {
            m_goods_detail d;
            d.id = id * 10 + ++row;
            d.headId = id;
            d.rowNo = row;
            d.isDefault = row == 1 ? 1 : 0;
            d.unit = unit;
            d.goodsDetailCode = barcode;
            d.packQty = pack;
            d.inPrice = inPrice;
            d.salePrice = salePrice;
            if (row == 1) {
                const m_DBresult r = dal_goods_head().Add(head, d);
                ASSERT_TRUE(r.isResult) << r.str_MsgBox.toStdString();
            } else {
                dal_goods_detail().Add(d);
            }
        }
    }

    // ---- the catalogue through its windows

    // A goods type made in the dictionary window (it opens on the goods types).
    void addGoodsType(const QString& name)
    {
        menu("menu_dictionary");
        auto* w = window<frm_dictionary>("frm_dictionary");
        ASSERT_NE(w, nullptr);
        ui::clickToolbar(w, "add");
        ui::typeInto(w, "txt_Name", name);
        answer(MsgAnswer::Yes);
        ui::clickToolbar(w, "save");
        EXPECT_EQ(MsgBox::LastText(), QStringLiteral("保存成功!"));
        w->close();
        settle();
    }

    struct Unit {
        QString unit, barcode, pack, inPrice, salePrice;
    };
    // A goods item made in the goods window: the item with its default unit,
    // then the second unit in the unit grid.
    void addGoodsInWindow(frmGoods* w, const QString& code, const QString& name, const QString& type,
                          const Unit& first, const Unit& second)
    {
        ui::click(w, "btn_GoodsAdd");
        ui::typeInto(w, "txt_goodsCode", code);
        ui::typeInto(w, "txt_goodsName", name);
        auto* types = ui::child<QComboBox>(w, "cobo_goodsTypeName");
        ui::focusOn(types);
        const int target = types->findText(type);
        ASSERT_GE(target, 0) << type.toStdString();
        while (types->currentIndex() < target)
            ui::press(Qt::Key_Down);
        while (types->currentIndex() > target)
            ui::press(Qt::Key_Up);
        ui::typeInto(w, "txt_unit", first.unit);
        ui::typeInto(w, "txt_goodsDetailCode", first.barcode);
        ui::typeInto(w, "txt_packQty", first.pack);
        ui::typeInto(w, "txt_inPrice", first.inPrice);
        ui::typeInto(w, "txt_salePrice", first.salePrice);
        answer(MsgAnswer::Yes);
        ui::click(w, "btn_GoodsSave");
        EXPECT_EQ(MsgBox::LastText(), QStringLiteral("保存成功!")) << code.toStdString();

        ui::click(w, "btn_addBarCode");
        FlexGrid* units = w->unitGrid();
        const int row = units->Rows() - 1;
        ui::typeCell(units, row, frmGoods::dcBarcode, second.barcode);
        ui::typeCell(units, row, frmGoods::dcUnit, second.unit);
        ui::typeCell(units, row, frmGoods::dcPackQty, second.pack);
        ui::typeCell(units, row, frmGoods::dcInPrice, second.inPrice);
        ui::typeCell(units, row, frmGoods::dcSalePrice, second.salePrice);
        answer(MsgAnswer::Yes);
        ui::click(w, "btn_DetailSave");
        EXPECT_EQ(MsgBox::LastText(), QStringLiteral("保存成功!")) << code.toStdString();
    }

    // ---- partners and locations, through their windows

    void addPartner(frm_customer* w, const QString& name, const QString& kind)
    {
        ui::clickToolbar(w, "add");
        ui::typeInto(w, "txt_Name", name);
        auto* type = ui::child<QComboBox>(w, "cobo_TypeName");
        type->setCurrentIndex(type->findText(kind));
        auto* category = ui::child<QComboBox>(w, "cobo_CustomTypeName");
        category->setCurrentIndex(category->findText(QStringLiteral("批发")));
        answer(MsgAnswer::Yes);
        ui::click(w, "btn_CustomerSave");
        EXPECT_EQ(MsgBox::LastText(), QStringLiteral("保存成功!")) << name.toStdString();
    }
    void addLocation(frmLocation* w, const QString& code, const QString& name)
    {
        ui::clickToolbar(w, "add_location");
        ui::typeInto(w, "txt_Name", name);
        ui::typeInto(w, "txt_locationCode", code);
        answer(MsgAnswer::Yes);
        ui::clickToolbar(w, "save_location");
        EXPECT_EQ(MsgBox::LastText(), QStringLiteral("保存成功!")) << code.toStdString();
    }

    // Starts a bill for the partner from the partner list's pop-up menu.
    void billFor(frm_customer* w, const QString& partner, const char* entry)
    {
        ASSERT_TRUE(ui::clickRow(w->list(), partner, w->dgCol_name)) << partner.toStdString();
        ASSERT_TRUE(w->prepareListMenu());
        auto* action = ui::child<QAction>(w, entry);
        ASSERT_TRUE(action->isEnabled()) << entry;
        action->trigger();
        QApplication::processEvents();
    }

    // The rights editor gives department 1 (the admin's) both new locations.
    void grantLocations(const QStringList& ids)
    {
        menu("menu_fun");
        auto* w = window<frm_department_fun>("frm_department_fun");
        ASSERT_NE(w, nullptr);
        QTreeWidget* departments = w->departmentTree();
        departments->expandAll();
        for (QTreeWidgetItemIterator it(departments); *it; ++it)
            if (frm_department_fun::nodeKey(*it) == QLatin1String("key_1")) {
                departments->scrollToItem(*it);
                QTest::mouseClick(departments->viewport(), Qt::LeftButton, {},
                                  departments->visualItemRect(*it).center());
            }
        QTest::mouseClick(w->typeButton(1), Qt::LeftButton);
        for (const QString& id : ids) {
            QTreeWidgetItem* node = nullptr;
            for (QTreeWidgetItemIterator it(w->rightsTree()); *it; ++it)
                if (uTreeView::NodeTag(*it).toString() == id)
                    node = *it;
            ASSERT_NE(node, nullptr) << id.toStdString();
            if (node->checkState(0) != Qt::Checked) {
                w->rightsTree()->setCurrentItem(node);
                ui::focusOn(w->rightsTree());
                ui::press(Qt::Key_Space);
            }
        }
        answer(MsgAnswer::Yes);
        ui::clickToolbar(w, "save");
        EXPECT_EQ(MsgBox::LastText(), QStringLiteral("权限保存成功!"));
        // The session takes the new rights at a refresh, which closes the windows.
        answer(MsgAnswer::Yes);
        frame().ToolbarClick(QStringLiteral("menu_funRefresh"));
        settle();
    }

    QStringList billNos(const QString& table, QSqlDatabase db = QSqlDatabase())
    {
        QStringList out;
        const QString sql = QStringLiteral("select billNo || ':' || ispass || ':' || "
                                           "(select count(*) from %1_detail d where d.headId=h.id) "
                                           "from %1_head h order by id")
                                .arg(table);
        if (db.isValid()) {
            QSqlQuery b(db);
            EXPECT_TRUE(b.exec(sql));
            while (b.next())
                out << b.value(0).toString();
            return out;
        }
        const RecordSetPtr rs = ExecuteSql(sql);
        for (int r = 0; r < rs->RecordCount(); ++r)
            out << rs->value(r, 0).toString();
        return out;
    }
};

// The admin's day: catalogue, partners, locations, a bill in and a bill out,
// the stock and the six bill reports, exports, prints and a backup.
TEST_F(WorkingDayTest, AdminRunsTheWholeDay)
{
    ASSERT_TRUE(start(QStringLiteral("admin"), QStringLiteral("740")));
    EXPECT_EQ(frame().Panel(QStringLiteral("cur_userinfor"))->text().contains(QStringLiteral("admin")), true);

    // A goods type and two items of two packing units each, in their windows.
    exec(QStringLiteral("insert into tb_dictionary (id,utype,uname,parentId,isstart) values "
                        "(31,'customerType','批发',0,1)"));
    addGoodsType(QStringLiteral("饮料"));
    menu("menu_goods");
    auto* goods = window<frmGoods>("frmGoods");
    ASSERT_NE(goods, nullptr);
    addGoodsInWindow(goods, QStringLiteral("G001"), QStringLiteral("可乐"), QStringLiteral("饮料"),
                     {QStringLiteral("瓶"), QStringLiteral("6901"), QStringLiteral("1"),
                      QStringLiteral("2.5"), QStringLiteral("3.5")},
                     {QStringLiteral("箱"), QStringLiteral("6902"), QStringLiteral("12"),
                      QStringLiteral("28"), QStringLiteral("40")});
    addGoodsInWindow(goods, QStringLiteral("G002"), QStringLiteral("雪碧"), QStringLiteral("饮料"),
                     {QStringLiteral("瓶"), QStringLiteral("6903"), QStringLiteral("1"), QStringLiteral("2"),
                      QStringLiteral("3")},
                     {QStringLiteral("箱"), QStringLiteral("6904"), QStringLiteral("24"),
                      QStringLiteral("45"), QStringLiteral("60")});
    EXPECT_EQ(
        scalar(
            QStringLiteral("select group_concat(x, ' ') from (select h.goodsCode||':'||d.unit||':'||"
                           "d.goodsDetailCode||':'||d.packQty||':'||d.isDefault as x from tb_goods_detail d "
                           "join tb_goods_head h on h.id=d.headId order by h.goodsCode, d.rowNo)"))
            .toString(),
        QStringLiteral("G001:瓶:6901:1.0:1 G001:箱:6902:12.0:0 G002:瓶:6903:1.0:1 G002:箱:6904:24.0:0"));
    for (const QString& bad : BadTexts()) {
        replaceText(goods, "txt_KeyWord", bad);
        ui::press(Qt::Key_Return);
    }
    EXPECT_EQ(faults(), QStringList());

    // A supplier and a customer, and bad names and searches on the way.
    menu("menu_MyCustomer");
    auto* partners = window<frm_customer>("frm_customer");
    ASSERT_NE(partners, nullptr);
    addPartner(partners, QStringLiteral("华东供应"), QStringLiteral("供应商"));
    addPartner(partners, QStringLiteral("华联超市"), QStringLiteral("客户"));
    addPartner(partners, QStringLiteral("'%_|@x N:1 怪名"), QStringLiteral("客户"));
    EXPECT_EQ(
        scalar(QStringLiteral("select count(*) from tb_customer where uname='''%_|@x N:1 怪名'")).toInt(), 1);
    for (const QString& bad : BadTexts()) {
        replaceText(partners, "txt_KeyWord", bad);
        ui::press(Qt::Key_Return);
        for (int r = 1; r < partners->list()->Rows(); ++r)
            EXPECT_TRUE(IsWildcard(bad) || partners->list()->TextMatrix(r, partners->dgCol_id).isEmpty() ||
                        partners->list()->TextMatrix(r, partners->dgCol_name).contains(bad))
                << bad.left(20).toStdString();
    }
    ui::typeInto(partners, "txt_KeyWord", QStringLiteral("华联"));
    ui::press(Qt::Key_Return);
    EXPECT_TRUE(ui::clickRow(partners->list(), QStringLiteral("华联超市"), partners->dgCol_name));
    EXPECT_EQ(faults(), QStringList());
    ui::typeInto(partners, "txt_KeyWord", QString());
    ui::press(Qt::Key_Return);

    // Two locations, granted to the admin's department in the rights editor.
    menu("menu_location");
    auto* locations = window<frmLocation>("frmLocation");
    ASSERT_NE(locations, nullptr);
    addLocation(locations, QStringLiteral("A-01"), QStringLiteral("一号位"));
    addLocation(locations, QStringLiteral("B-01"), QStringLiteral("二号位"));
    for (const QString& bad : BadTexts()) {
        replaceText(locations, "txt_KeyWord", bad);
        ui::press(Qt::Key_Return);
    }
    EXPECT_EQ(faults(), QStringList());
    grantLocations({QStringLiteral("1"), QStringLiteral("2")});
    EXPECT_TRUE(frame().Area()->subWindowList().isEmpty());

    // The inbound bill: three cases by barcode, ten bottles by code (the
    // code matches both units: the picker chooses), saved and audited.
    menu("menu_MyCustomer");
    partners = window<frm_customer>("frm_customer");
    billFor(partners, QStringLiteral("华东供应"), "menu_import_Add");
    auto* in = window<frmImport>("frmImport");
    ASSERT_NE(in, nullptr);
    EXPECT_EQ(in->txt_partnerName->text(), QStringLiteral("华东供应"));
    MsgBox::ClearShown();
    enterGoods(in, QStringLiteral("6902"), QStringLiteral("3"));
    EXPECT_EQ(shown(), QStringList());
    pickRowWith(QStringLiteral("瓶"));
    enterGoods(in, QStringLiteral("G002"), QStringLiteral("10"));
    EXPECT_TRUE(MsgBox::LastText().startsWith(QStringLiteral("找到2个")));
    for (const QString& bad : BadTexts()) {
        if (IsWildcard(bad))
            DialogRunner::QueueHandler([](QDialog*) { return int(QDialog::Rejected); }); // every goods item
        enterGoods(in, bad);
        EXPECT_EQ(DialogRunner::PendingHandlers(), 0);
        EXPECT_EQ(in->lb_NoGoods->isHidden(), IsWildcard(bad)) << bad.left(20).toStdString();
    }
    EXPECT_EQ(in->lineIds(3).goodsId, 0) << "no third line";
    EXPECT_EQ(in->txt_BillAmount->text(), QStringLiteral("￥104.0"));
    answer(MsgAnswer::Yes);
    ui::press(Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(MsgBox::LastText(), QStringLiteral("保存成功!"));
    const QString inNo = in->txt_billNo->text();
    EXPECT_TRUE(inNo.startsWith(QStringLiteral("rk-")));
    answer(MsgAnswer::Yes);
    ui::clickToolbar(in, "pass");
    EXPECT_EQ(MsgBox::LastText(), QStringLiteral("审核成功!"));
    EXPECT_EQ(billNos(QStringLiteral("tb_rk")), QStringList{inNo + QStringLiteral(":1:2")});
    EXPECT_EQ(scalar(QStringLiteral("select group_concat(goodsCode||'x'||qty||'@'||inPrice||'#'||"
                                    "(select locationCode from tb_location l where l.id=locationId), ' ') "
                                    "from (select * from tb_rk_detail order by rowNo)"))
                  .toString(),
              QStringLiteral("6902x3.0@28.0#A-01 G002x10.0@2.0#A-01")); // the code as entered
    ui::press(Qt::Key_P, Qt::ControlModifier);
    const QString inPrinted = printedText();
    EXPECT_TRUE(inPrinted.contains(inNo)) << inPrinted.toStdString();
    EXPECT_TRUE(inPrinted.contains(QStringLiteral("壹佰零肆元整"))) << inPrinted.toStdString();

    // The stock report: 36 bottles of cola, 10 of sprite.
    menu("menu_kcbill");
    auto* stock = window<frm_rpt_stock>("frm_rpt_stock");
    ASSERT_NE(stock, nullptr);
    EXPECT_EQ(reportCell(stock, QStringLiteral("goodsCode"), QStringLiteral("G001"),
                         QStringLiteral("totalBlanceQty")),
              QStringLiteral("36"));
    EXPECT_EQ(reportCell(stock, QStringLiteral("goodsCode"), QStringLiteral("G002"),
                         QStringLiteral("totalBlanceQty")),
              QStringLiteral("10"));

    // The outbound bill: forty bottles of cola would leave -4; No, then Yes.
    billFor(partners, QStringLiteral("华联超市"), "menu_export_Add");
    auto* out = window<frmExport>("frmExport");
    ASSERT_NE(out, nullptr);
    answer(MsgAnswer::No);
    enterGoods(out, QStringLiteral("6901"), QStringLiteral("40"));
    EXPECT_EQ(MsgBox::LastText(),
              QStringLiteral("货品[可乐]的库存总数(36)-出库数(40) = -4 出现负数,是否继续出库?"));
    EXPECT_EQ(out->lineIds(1).goodsId, 0);
    answer(MsgAnswer::Yes);
    ui::focusOn(out->txt_GoodsCode);
    ui::press(Qt::Key_Return);
    EXPECT_EQ(out->lineIds(1).goodsId, 1);
    enterGoods(out, QStringLiteral("6903"), QStringLiteral("4"));
    EXPECT_EQ(out->txt_BillAmount->text(), QStringLiteral("￥152.0"));
    answer(MsgAnswer::Yes);
    ui::clickToolbar(out, "save");
    EXPECT_EQ(MsgBox::LastText(), QStringLiteral("保存成功!"));
    const QString outNo = out->txt_billNo->text();
    answer(MsgAnswer::Yes);
    ui::clickToolbar(out, "pass");
    EXPECT_EQ(MsgBox::LastText(), QStringLiteral("审核成功!"));
    EXPECT_EQ(billNos(QStringLiteral("tb_ck")), QStringList{outNo + QStringLiteral(":1:2")});
    ui::press(Qt::Key_P, Qt::ControlModifier);
    EXPECT_TRUE(printedText().contains(outNo));

    menu("menu_kcbill");
    stock = window<frm_rpt_stock>("frm_rpt_stock");
    EXPECT_EQ(reportCell(stock, QStringLiteral("goodsCode"), QStringLiteral("G001"),
                         QStringLiteral("totalBlanceQty")),
              QStringLiteral("-4"));
    EXPECT_EQ(reportCell(stock, QStringLiteral("goodsCode"), QStringLiteral("G002"),
                         QStringLiteral("totalBlanceQty")),
              QStringLiteral("6"));

    // The six bill reports show the two bills; each exports and the sums print.
    const struct {
        const char* entry;
        const char* name;
        QStringList wanted; // texts the rows and the workbook must hold
        int rows;
        bool print;
    } reports[] = {
        {"menu_rk_bill", "frm_rpt_rkHead", {inNo, QStringLiteral("华东供应")}, 1, false},
        {"menu_rk_detail_bill",
         "frm_rpt_rkDetail",
         {inNo, QStringLiteral("可乐"), QStringLiteral("雪碧")},
         2,
         false},
        {"menu_rksum", "frm_rpt_rkSum", {QStringLiteral("G001"), QStringLiteral("G002")}, 2, true},
        {"menu_ck_bill", "frm_rpt_ckHead", {outNo, QStringLiteral("华联超市")}, 1, false},
        {"menu_ck_detail_bill",
         "frm_rpt_ckDetail",
         {outNo, QStringLiteral("可乐"), QStringLiteral("雪碧")},
         2,
         false},
        {"menu_cksum", "frm_rpt_ckSum", {QStringLiteral("G001"), QStringLiteral("G002")}, 2, true},
    };
    for (const auto& r : reports) {
        SCOPED_TRACE(r.name);
        menu(r.entry);
        auto* report = window<ReportFrame>(r.name);
        ASSERT_NE(report, nullptr);
        const QStringList rows = reportRows(report);
        EXPECT_EQ(rows.size(), r.rows) << rows.join(QLatin1Char('\n')).toStdString();
        const int before = workbooks();
        ui::clickToolbar(report, "export");
        EXPECT_EQ(workbooks(), before + 1);
        const QString sheet = sheetText(lastWorkbook());
        for (const QString& text : r.wanted) {
            EXPECT_TRUE(rows.join(QLatin1Char('\n')).contains(text)) << text.toStdString();
            EXPECT_TRUE(sheet.contains(text)) << text.toStdString() << "\n" << sheet.toStdString();
        }
        if (r.print) {
            ui::clickToolbar(report, "print");
            const QString printed = printedText();
            EXPECT_TRUE(printed.contains(QStringLiteral("可乐"))) << printed.toStdString();
        }
        if (report->findChild<QLineEdit*>(QStringLiteral("txt_KeyWord"))) {
            for (const QString& bad : BadTexts()) {
                replaceText(report, "txt_KeyWord", bad);
                ui::press(Qt::Key_Return);
                settle();
                const QString found = report->findChild<QLabel*>(QStringLiteral("lab_recordCount"))->text();
                // The reports search for "%" and "_" as typed.
                EXPECT_EQ(found, QStringLiteral("记录数: 0 条")) << bad.left(20).toStdString();
            }
            ui::typeInto(report, "txt_KeyWord", QString());
        }
    }
    EXPECT_EQ(faults(), QStringList());

    // The backup from the options window holds the same bills.
    DialogRunner::QueueHandler([](QDialog* d) {
        auto* options = qobject_cast<frmOptions*>(d);
        EXPECT_NE(options, nullptr);
        if (!options)
            return int(QDialog::Rejected);
        options->show();
        auto* backup = options->findChild<QPushButton*>(QStringLiteral("cmd_copyData"));
        for (int page = 0; page < 2; ++page) // to the page that holds the button
            if (options->findChild<QWidget*>(QStringLiteral("picOptions_%1").arg(page))->isAncestorOf(backup))
                options->selectTab(page);
        QTest::mouseClick(backup, Qt::LeftButton);
        return int(QDialog::Accepted);
    });
    menu("menu_opt");
    settle();
    EXPECT_EQ(MsgBox::LastText(), QStringLiteral("数据压缩备份完毕!"));
    const QStringList backups = QDir(appDir()).entryList({QStringLiteral("CompactBackUp_*.db")}, QDir::Files);
    ASSERT_EQ(backups.size(), 1);
    {
        QSqlDatabase copy = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("backup"));
        copy.setDatabaseName(appDir() + backups.first());
        ASSERT_TRUE(copy.open());
        EXPECT_EQ(billNos(QStringLiteral("tb_rk"), copy), billNos(QStringLiteral("tb_rk")));
        EXPECT_EQ(billNos(QStringLiteral("tb_ck"), copy), billNos(QStringLiteral("tb_ck")));
        copy.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("backup"));
    EXPECT_EQ(faults(), QStringList());
}

// The same day for a clerk of a department with inbound rights and one
// account tag: the rest is refused with the program's text, and the reports
// show the tag's bills only.
TEST_F(WorkingDayTest, ClerkWithInboundRightsAndOneTag)
{
    exec(QStringLiteral(
        "insert into tb_dictionary (id,utype,uname,parentId,isstart) values "
        "(30,'goodsType','饮料',0,1),(12,'accountType','分账',0,1),(5,'department','仓库一组',0,1)"));
    addGoods(1, 30, QStringLiteral("G001"), QStringLiteral("可乐"),
             {{QStringLiteral("瓶"), QStringLiteral("6901"), 1, 2.5, 3.5},
              {QStringLiteral("箱"), QStringLiteral("6902"), 12, 28, 40}});
    exec(
        QStringLiteral("insert into tb_location (id,locationCode,uname,state) values (1,'A-01','一号位',1)"));
    exec(QStringLiteral("insert into tb_location_fun (locationId,departmentId) values (1,1),(1,5)"));
    exec(QStringLiteral("insert into tb_account_fun (accountId,departmentId) values (12,1),(12,5)"));
    exec(QStringLiteral("insert into tb_customer (id,utype,customerCode,uname,status) values "
                        "(7,0,'ct-2405-00001','华东供应',1)"));
    exec(QStringLiteral("insert into tb_user (id,[user],pw,usex,isStart,dictionaryId) values "
                        "(2,'clerk','cf9246bb0d40eb4d','女',1,5)"));
    for (const char* code : {"import", "import_save", "import_update", "import_pass", "import_print",
                             "rpt_rkbill", "rpt_rkbill_export", "rpt_rk_detail_bill", "rpt_rksum"})
        exec(QStringLiteral("insert into tb_user_group_fun (funCode,departmentId) values ('%1',5)")
                 .arg(QLatin1String(code)));

    // The admin's bill on the default tag 默认账套 (id 2).
    ASSERT_TRUE(start(QStringLiteral("admin"), QStringLiteral("740")));
    menu("menu_rk");
    auto* in = window<frmImport>("frmImport");
    ASSERT_NE(in, nullptr);
    in->Import_Add(7, QStringLiteral("华东供应"));
    in->cobo_accountType->setCurrentIndex(in->cobo_accountType->findText(QStringLiteral("默认账套")));
    enterGoods(in, QStringLiteral("6901"), QStringLiteral("2"));
    answer(MsgAnswer::Yes);
    ui::press(Qt::Key_S, Qt::ControlModifier);
    const QString adminNo = in->txt_billNo->text();
    EXPECT_EQ(scalar(QStringLiteral("select accountId from tb_rk_head")).toInt(), 2);

    // The clerk's day.
    ASSERT_TRUE(start(QStringLiteral("clerk"), QStringLiteral("740")));
    const QString refused = QStringLiteral("功能受限,请与系统管理联系!");
    for (const char* entry : {"menu_ck", "menu_kcbill", "menu_ck_bill", "menu_ck_detail_bill", "menu_cksum",
                              "menu_MyCustomer", "menu_goods", "menu_location", "menu_opt", "menu_fun"}) {
        MsgBox::ClearShown();
        menu(entry);
        EXPECT_EQ(shown(), QStringList{refused}) << entry;
    }
    EXPECT_TRUE(frame().Area()->subWindowList().isEmpty());

    MsgBox::ClearShown();
    menu("menu_rk");
    in = window<frmImport>("frmImport");
    ASSERT_NE(in, nullptr);
    in->Import_Add(7, QStringLiteral("华东供应")); // as the partner list hands the supplier over
    QStringList tags;
    for (int i = 0; i < in->cobo_accountType->count(); ++i)
        tags << in->cobo_accountType->itemText(i);
    EXPECT_EQ(tags, QStringList{QStringLiteral("分账")});
    enterGoods(in, QStringLiteral("6902"), QStringLiteral("1"));
    answer(MsgAnswer::Yes);
    ui::press(Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(MsgBox::LastText(), QStringLiteral("保存成功!"));
    const QString clerkNo = in->txt_billNo->text();
    EXPECT_EQ(
        scalar(QStringLiteral("select accountId from tb_rk_head where billNo='%1'").arg(clerkNo)).toInt(),
        12);
    answer(MsgAnswer::Yes);
    ui::clickToolbar(in, "pass");
    EXPECT_EQ(MsgBox::LastText(), QStringLiteral("审核成功!"));
    // Undoing the audit and deleting are not the clerk's.
    MsgBox::ClearShown();
    ui::clickToolbar(in, "pass");
    EXPECT_EQ(shown(), QStringList{refused});
    MsgBox::ClearShown();
    ui::clickToolbar(in, "delete");
    EXPECT_EQ(shown(), QStringList{refused});
    EXPECT_EQ(scalar(QStringLiteral("select ispass from tb_rk_head where billNo='%1'").arg(clerkNo)).toInt(),
              1);

    for (const char* entry : {"menu_rk_bill", "menu_rk_detail_bill", "menu_rksum"}) {
        SCOPED_TRACE(entry);
        menu(entry);
    }
    auto* heads = window<ReportFrame>("frm_rpt_rkHead");
    ASSERT_NE(heads, nullptr);
    const QStringList rows = reportRows(heads);
    ASSERT_EQ(rows.size(), 1) << rows.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(rows.first().contains(clerkNo));
    EXPECT_FALSE(rows.first().contains(adminNo));
    auto* sums = window<ReportFrame>("frm_rpt_rkSum");
    ASSERT_NE(sums, nullptr);
    EXPECT_EQ(reportCell(sums, QStringLiteral("goodsCode"), QStringLiteral("G001"),
                         QStringLiteral("totalImportQty")),
              QStringLiteral("12.0"));
    // The detail export is not the clerk's right; the list export is.
    MsgBox::ClearShown();
    ui::clickToolbar(window<ReportFrame>("frm_rpt_rkDetail"), "export");
    EXPECT_EQ(shown(), QStringList{refused});
    ui::clickToolbar(heads, "export");
    const QString sheet = sheetText(lastWorkbook());
    EXPECT_TRUE(sheet.contains(clerkNo));
    EXPECT_FALSE(sheet.contains(adminNo));
    EXPECT_EQ(faults(), QStringList());
}

// A bill save killed half-way leaves a sound database with the whole bill or none of it.
TEST_F(WorkingDayTest, KilledInTheMiddleOfABillSave)
{
    const int lines = 1500;
    int caughtMidSave = 0;
    for (int round = 0; round < 4; ++round) {
        SCOPED_TRACE(round);
        QProcess saver;
        saver.start(QStringLiteral(WMS_BILL_SAVER), {appDir(), QString::number(lines)});
        ASSERT_TRUE(saver.waitForStarted());
        // Let it store a bill or two, then kill it somewhere inside the next save.
        int saved = 0;
        while (saved < round + 1 && saver.waitForReadyRead(20000))
            saved += int(saver.readAll().count("saved"));
        ASSERT_GE(saved, 1) << saver.readAllStandardError().toStdString();
        QThread::msleep(5 + round * 7);
        saver.kill(); // SIGKILL
        saver.waitForFinished();
        // A journal left behind: the kill came inside a save's transaction.
        if (QFile::exists(appDir() + QStringLiteral("wms.db-journal")))
            ++caughtMidSave;
        EXPECT_EQ(saver.exitStatus(), QProcess::CrashExit);

        EXPECT_EQ(scalar(QStringLiteral("PRAGMA integrity_check")).toString(), QStringLiteral("ok"));
        EXPECT_EQ(count(QStringLiteral("tb_rk_detail"),
                        QStringLiteral("headId not in (select id from tb_rk_head)")),
                  0);
        EXPECT_EQ(
            count(QStringLiteral("tb_rk_head"),
                  QStringLiteral("(select count(*) from tb_rk_detail d where d.headId=tb_rk_head.id) <> %1")
                      .arg(lines)),
            0);
        EXPECT_GE(count(QStringLiteral("tb_rk_head")), saved);
    }
    EXPECT_GT(caughtMidSave, 0) << "no kill came during a save";
}

} // namespace

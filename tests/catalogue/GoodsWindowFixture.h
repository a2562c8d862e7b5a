#pragma once

#include "FlexGrid.h"
#include "GridDriver.h"
#include "InputBox.h"
#include "TestEnv.h"
#include "UiDriver.h"
#include "frmGoods.h"
#include "mod_public.h"
#include "sqlHelper.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <memory>

// The goods window over a small catalogue written straight into the tables,
// worked as a user works it.
class GoodsWindowTest : public DbTest
{
  protected:
    void SetUp() override
    {
        DbTest::SetUp();
        loginAs(1);
    }
    void TearDown() override
    {
        window.reset();
        DbTest::TearDown();
    }

    void addType(int id, const QString& name, int parentId = 0, int enabled = 1)
    {
        ExecuteParaSql(
            QStringLiteral("insert into tb_dictionary (id,utype,uname,parentId,orderBy,remark,isstart,"
                           "isSystemSet) values (@id,'goodsType',@name,@parent,0,'',@on,0)"),
            ParamMap{{QStringLiteral("@id"), id},
                     {QStringLiteral("@name"), name},
                     {QStringLiteral("@parent"), parentId},
                     {QStringLiteral("@on"), enabled}});
    }

    // A goods item with one unit per entry of units ("unit:barcode"); the
    // first is the default. Unit ids are id*10 + n.
    void addGoods(int id, int typeId, const QString& code, const QString& name,
                  const QStringList& units = {QStringLiteral("个")}, const QString& pinyin = {})
    {
        ExecuteParaSql(
            QStringLiteral("insert into tb_goods_head (id,goodsTypeId,goodsCode,goodsName,goodsDesc,"
                           "pinyin,status,creator,createTime) values (@id,@type,@code,@name,'规格',"
                           "@py,'启用','admin','2024-01-02 08:00:00')"),
            ParamMap{{QStringLiteral("@id"), id},
                     {QStringLiteral("@type"), typeId},
                     {QStringLiteral("@code"), code},
                     {QStringLiteral("@name"), name},
                     {QStringLiteral("@py"), pinyin}});
        int n = 0;
        for (const QString& u : units) {
            ++n;
            const QStringList parts = u.split(QLatin1Char(':'));
            ExecuteParaSql(
                QStringLiteral("insert into tb_goods_detail (id,headId,isDefault,rowNo,goodsDetailCode,"
                               "unit,packQty) values (@id,@head,@def,@row,@code,@unit,@pack)"),
                ParamMap{{QStringLiteral("@id"), id * 10 + n},
                         {QStringLiteral("@head"), id},
                         {QStringLiteral("@def"), n == 1 ? 1 : 0},
                         {QStringLiteral("@row"), n},
                         {QStringLiteral("@code"), parts.value(1)},
                         {QStringLiteral("@unit"), parts.value(0)},
                         {QStringLiteral("@pack"), n == 1 ? 1 : n * 6}});
        }
    }

    void open()
    {
        window = std::make_unique<frmGoods>();
        ui::activate(window.get());
    }

    FlexGrid* list() const { return window->goodsList(); }
    FlexGrid* units() const { return window->unitGrid(); }
    QString text(const char* name) const { return ui::child<QLineEdit>(window.get(), name)->text(); }
    QComboBox* combo(const char* name) const { return ui::child<QComboBox>(window.get(), name); }

    // The codes the list shows, in its order.
    QStringList listedCodes() const
    {
        QStringList codes;
        for (int r = 1; r < list()->Rows(); ++r)
            codes << list()->TextMatrix(r, frmGoods::lcCode);
        return codes;
    }

    // Clicks the list row of a goods code; false when the list has none.
    bool clickGoods(const QString& code)
    {
        const int row = list()->FindRow(code, 1, frmGoods::lcCode);
        if (row < 1)
            return false;
        ui::clickCell(list(), row, frmGoods::lcName);
        return true;
    }

    // Replaces a unit cell's text as a user does.
    void typeCell(int row, int col, const QString& value) { ui::typeCell(units(), row, col, value); }

    void chooseType(const QString& name)
    {
        QComboBox* box = combo("cobo_goodsTypeName");
        ui::focusOn(box);
        const int target = box->findText(name);
        ASSERT_GE(target, 0) << name.toStdString();
        while (box->currentIndex() < target)
            ui::press(Qt::Key_Down);
        while (box->currentIndex() > target)
            ui::press(Qt::Key_Up);
    }

    // Fills the form for a new goods item, starting with 新建.
    void fillNew(const QString& code, const QString& name, const QString& type, const QString& unit,
                 const QString& barcode = {})
    {
        ui::click(window.get(), "btn_GoodsAdd");
        ui::typeInto(window.get(), "txt_goodsCode", code);
        ui::typeInto(window.get(), "txt_goodsName", name);
        if (!type.isEmpty())
            chooseType(type);
        ui::typeInto(window.get(), "txt_unit", unit);
        if (!barcode.isEmpty())
            ui::typeInto(window.get(), "txt_goodsDetailCode", barcode);
    }

    void saveGoods(MsgAnswer a = MsgAnswer::Yes)
    {
        answer(a);
        ui::click(window.get(), "btn_GoodsSave");
    }

    void saveUnits(MsgAnswer a = MsgAnswer::Yes)
    {
        answer(a);
        ui::click(window.get(), "btn_DetailSave");
    }

    // The units of an item as "unit:barcode:isDefault" by row number.
    QStringList unitsOf(int headId)
    {
        QStringList out;
        const RecordSetPtr rs =
            ExecuteSql(QStringLiteral("select unit,COALESCE(goodsDetailCode,''),isDefault from "
                                      "tb_goods_detail where headId=@h order by rowNo,id"),
                       ParamMap{{QStringLiteral("@h"), headId}});
        for (int r = 0; r < rs->RecordCount(); ++r)
            out << rs->value(r, 0).toString() + ":" + rs->value(r, 1).toString() + ":" +
                       rs->value(r, 2).toString();
        return out;
    }

    void takeRight(const QString& code)
    {
        SysVar.Sys_funJoinCode.replace(QLatin1Char(',') + code + QLatin1Char(','), QStringLiteral(","));
        if (SysVar.Sys_funJoinCode.startsWith(code + QLatin1Char(',')))
            SysVar.Sys_funJoinCode.remove(0, code.size() + 1);
    }

    std::unique_ptr<frmGoods> window;
};

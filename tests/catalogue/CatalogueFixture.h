#pragma once

#include "TestEnv.h"

#include "m_goods_detail.h"
#include "m_goods_head.h"
#include "sqlHelper.h"

#include <QStringList>

// A goods catalogue written straight into the tables, so that the data classes
// are tested against rows they did not write themselves.
class CatalogueTest : public DbTest
{
  protected:
    // A goods item with one unit per entry of units ("unit:barcode", barcode
    // optional); the first unit is the default. Unit ids are headId*10 + n.
    void addGoods(int id, const QString& code, const QStringList& units,
                  const QString& status = QStringLiteral("启用"),
                  const QString& name = QStringLiteral("货品"))
    {
        ExecuteParaSql(
            QStringLiteral("insert into tb_goods_head (id,goodsTypeId,goodsCode,goodsName,goodsDesc,pinyin,"
                           "status,creator,createTime) values (@id,0,@code,@name,'',@py,@status,'admin',"
                           "'2024-01-01 08:00:00')"),
            ParamMap{{QStringLiteral("@id"), id},
                     {QStringLiteral("@code"), code},
                     {QStringLiteral("@name"), name},
                     {QStringLiteral("@py"), QStringLiteral("HP")},
                     {QStringLiteral("@status"), status}});
        int n = 0;
        for (const QString& u : units) {
            ++n;
            const QStringList parts = u.split(QLatin1Char(':'));
            ExecuteParaSql(
                QStringLiteral("insert into tb_goods_detail (id,headId,isDefault,rowNo,goodsDetailCode,unit,"
                               "packQty) values (@id,@headId,@def,@rowNo,@code,@unit,@pack)"),
                ParamMap{{QStringLiteral("@id"), id * 10 + n},
                         {QStringLiteral("@headId"), id},
                         {QStringLiteral("@def"), n == 1 ? 1 : 0},
                         {QStringLiteral("@rowNo"), n},
                         {QStringLiteral("@code"), parts.value(1)},
                         {QStringLiteral("@unit"), parts.value(0)},
                         {QStringLiteral("@pack"), n * 6}});
        }
    }

    static m_goods_detail unit(int id, int headId, int isDefault, int rowNo, const QString& name,
                               const QString& barcode = {})
    {
        m_goods_detail u;
        u.id = id;
        u.headId = headId;
        u.isDefault = isDefault;
        u.rowNo = rowNo;
        u.unit = name;
        u.goodsDetailCode = barcode;
        u.packQty = 1;
        return u;
    }

    // The units of an item as "id:unit:isDefault", by id.
    QStringList unitsOf(int headId)
    {
        QStringList out;
        const RecordSetPtr rs = ExecuteSql(
            QStringLiteral("select id,unit,isDefault from tb_goods_detail where headId=@h order by id"),
            ParamMap{{QStringLiteral("@h"), headId}});
        for (int r = 0; r < rs->RecordCount(); ++r)
            out << QStringLiteral("%1:%2:%3")
                       .arg(rs->text(r, QStringLiteral("id")), rs->text(r, QStringLiteral("unit")),
                            rs->text(r, QStringLiteral("isDefault")));
        return out;
    }
};

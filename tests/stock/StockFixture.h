#pragma once

#include "TestEnv.h"
#include "dal_rpt_stock.h"

#include <QString>
#include <QStringList>

// Goods and bills written straight into the tables, as the bill windows would
// have stored them: a line carries the pieces and weight of its own unit.
class StockTest : public DbTest
{
  protected:
    struct Line {
        int goodsId;
        double qty;
        double packQty;
        double weight;
    };

    // A goods item with its default unit (and optionally a second, smaller one).
    void addGoods(int id, const QString& code, const QString& name, double defaultPack = 12,
                  const QString& typeName = QStringLiteral("饮料"), bool withDefault = true)
    {
        int typeId =
            scalar(QStringLiteral("select id from tb_dictionary where utype='goodsType' and uname='%1'")
                       .arg(typeName))
                .toInt();
        if (typeId == 0 && !typeName.isEmpty()) {
            typeId = scalar(QStringLiteral("select max(id)+1 from tb_dictionary")).toInt();
            exec(QStringLiteral("insert into tb_dictionary(id,utype,uname) values(%1,'goodsType','%2')")
                     .arg(typeId)
                     .arg(typeName));
        }
        exec(QStringLiteral(
                 "insert into tb_goods_head(id,goodsTypeId,goodsCode,goodsName,pinyin,upqty,downqty)"
                 " values(%1,%2,'%3','%4','py%1',100,5)")
                 .arg(id)
                 .arg(typeId)
                 .arg(code, name));
        const int unitId = id * 10;
        exec(QStringLiteral("insert into tb_goods_detail(id,headId,isDefault,unit,packQty,weight)"
                            " values(%1,%2,%3,'箱',%4,2.5)")
                 .arg(unitId)
                 .arg(id)
                 .arg(withDefault ? 1 : 0)
                 .arg(defaultPack));
        exec(QStringLiteral("insert into tb_goods_detail(id,headId,isDefault,unit,packQty,weight)"
                            " values(%1,%2,0,'个',1,0.2)")
                 .arg(unitId + 1)
                 .arg(id));
    }

    // A bill of either direction ("rk" inbound, "ck" outbound) with its lines.
    void addBill(const QString& dir, int id, int accountId, bool audited, const QList<Line>& lines)
    {
        // The account tag is stored, as a bill's tag always is.
        exec(QStringLiteral(
                 "insert or ignore into tb_dictionary(id,utype,uname) values(%1,'accountType','账目%1')")
                 .arg(accountId));
        exec(QStringLiteral("insert into tb_%1_head(id,accountId,billNo,ispass) values(%2,%3,'%1-%2',%4)")
                 .arg(dir)
                 .arg(id)
                 .arg(accountId)
                 .arg(audited ? 1 : 0));
        for (const Line& l : lines) {
            const int lineId =
                scalar(QStringLiteral("select coalesce(max(id),0)+1 from tb_%1_detail").arg(dir)).toInt();
            exec(QStringLiteral(
                     "insert into tb_%1_detail(id,headId,goodsId,goodsCode,goodsName,qty,packQty,weight)"
                     " values(%2,%3,%4,'c','n',%5,%6,%7)")
                     .arg(dir)
                     .arg(lineId)
                     .arg(id)
                     .arg(l.goodsId)
                     .arg(l.qty, 0, 'g', 17)
                     .arg(l.packQty, 0, 'g', 17)
                     .arg(l.weight, 0, 'g', 17));
        }
    }

    // The stored texts of one goods item's row: the six sums and three balances.
    QStringList totals(int goodsId)
    {
        dal_rpt_stock dal;
        const RecordSetPtr rs = dal.GetStockQtyForGoodCode(QStringLiteral("0"), goodsId);
        if (!rs || rs->isEmpty())
            return {};
        QStringList out;
        for (const char* f : {"totalImportQty", "totalImportDefaultQty", "totalImportWeight",
                              "totalExportQty", "totalExportDefaultQty", "totalExportWeight",
                              "totalBlanceQty", "totalBlanceDefaultQty", "totalBlanceWeight"})
            out << rs->text(0, QString::fromLatin1(f));
        return out;
    }
};

// The live balance of a goods item as the nearest double.
inline std::optional<double> LiveQty(dal_rpt_stock& dal, const QString& accounts, int goodsId)
{
    const std::optional<Decimal> stock = dal.GetLiveStock(accounts, goodsId);
    if (!stock)
        return std::nullopt;
    return stock->toDouble() + 0.0;
}

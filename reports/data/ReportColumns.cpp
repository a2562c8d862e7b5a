#include "ReportColumns.h"

#include "BillSetup.h"
#include "StockSums.h"

namespace ReportColumns
{

QString AsNumber(const QString& field)
{
    return QStringLiteral("CAST(%1 AS REAL)").arg(field);
}

QString BillListRow(BillDirection dir)
{
    return QStringLiteral("select 0,id,passName,accountName,billNo,ubillNo,utype,%1,totalItemRow,totalAmount,"
                          "remark,creator,createTime,rowVersion ")
        .arg(BillSetup::Of(dir).partnerNameCol);
}

QString BillDetailRow(BillDirection dir)
{
    return QStringLiteral(
               "select 0,id,passName,headId,accountName,billNo,ubillNo,utype,%1,goodsTypeName,"
               "goodsCode,goodsDetailCode,goodsName,goodsDesc,unit,packQty,weight,inPrice,%2qty,"
               "totalAmount,totalQty,totalDefaultQty,totalWeight,locationCode,lotNo,remark,creator,"
               "createTime,rowVersion ")
        .arg(BillSetup::Of(dir).partnerNameCol,
             BillSetup::Of(dir).hasSalePrice ? QStringLiteral("salePrice,") : QString());
}

QString GoodsSumRow(BillDirection dir)
{
    const StockSums::SumColumns sums = StockSums::SumColumns::Of(BillSetup::Of(dir));
    return QStringLiteral("select 0,id,status,goodsTypeName,goodsCode,goodsName,goodsDesc,upqty,downqty,unit,"
                          "%1,%2,%3 ")
        .arg(sums.qty, sums.weight, sums.defaultQty);
}

QString StockRow()
{
    using StockSums::SumColumns;
    const SumColumns in = SumColumns::Of(BillSetup::Of(BillDirection::In));
    const SumColumns out = SumColumns::Of(BillSetup::Of(BillDirection::Out));
    const SumColumns balance = SumColumns::Balance();
    return QStringLiteral(
               "select 0,id,status,goodsTypeName,goodsCode,goodsName,goodsDesc,upqty,downqty,unit,") +
           QStringList{in.qty,         out.qty,       balance.qty,    in.weight,         out.weight,
                       balance.weight, in.defaultQty, out.defaultQty, balance.defaultQty}
               .join(QLatin1Char(',')) +
           QStringLiteral(" ");
}

} // namespace ReportColumns

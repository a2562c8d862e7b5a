#include "ReportColumns.h"

namespace ReportColumns
{

QString AsNumber(const QString& field)
{
    return QStringLiteral("CAST(%1 AS REAL)").arg(field);
}

QString BillListRow(BillDirection dir)
{
    return QStringLiteral("select 0,id,passName,accountName,billNo,ubillNo,utype,%1,totalItemRow,totalAmount,"
                          "remark,creator,createTime ")
        .arg(BillSetup::Of(dir).partnerNameCol);
}

QString BillDetailRow(BillDirection dir)
{
    return QStringLiteral(
               "select 0,id,passName,headId,accountName,billNo,ubillNo,utype,%1,goodsTypeName,"
               "goodsCode,goodsDetailCode,goodsName,goodsDesc,unit,packQty,weight,inPrice,%2qty,"
               "totalAmount,totalQty,totalDefaultQty,totalWeight,locationCode,lotNo,remark,creator,"
               "createTime ")
        .arg(BillSetup::Of(dir).partnerNameCol,
             BillSetup::Of(dir).hasSalePrice ? QStringLiteral("salePrice,") : QString());
}

QString GoodsSumRow(BillDirection dir)
{
    return QStringLiteral("select 0,id,status,goodsTypeName,goodsCode,goodsName,goodsDesc,upqty,downqty,unit,"
                          "total%1Qty,total%1Weight,total%1DefaultQty ")
        .arg(BillSetup::Of(dir).sumWord);
}

QString StockRow()
{
    return QStringLiteral(
        "select 0,id,status,goodsTypeName,goodsCode,goodsName,goodsDesc,upqty,downqty,unit,totalImportQty,"
        "totalExportQty,totalBlanceQty,totalImportWeight,totalExportWeight,totalBlanceWeight,"
        "totalImportDefaultQty,totalExportDefaultQty,totalBlanceDefaultQty ");
}

} // namespace ReportColumns

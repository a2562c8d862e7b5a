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
        .arg(Tables(dir).partnerName);
}

QString BillDetailRow(BillDirection dir)
{
    return QStringLiteral(
               "select 0,id,passName,headId,accountName,billNo,ubillNo,utype,%1,goodsTypeName,"
               "goodsCode,goodsDetailCode,goodsName,goodsDesc,unit,packQty,weight,inPrice,%2qty,"
               "totalAmount,totalQty,totalDefaultQty,totalWeight,locationCode,lotNo,remark,creator,"
               "createTime ")
        .arg(Tables(dir).partnerName, dir == BillDirection::In ? QString() : QStringLiteral("salePrice,"));
}

QString GoodsSumRow(BillDirection dir)
{
    return QStringLiteral("select 0,id,status,goodsTypeName,goodsCode,goodsName,goodsDesc,upqty,downqty,unit,"
                          "total%1Qty,total%1Weight,total%1DefaultQty ")
        .arg(Tables(dir).sumWord);
}

QString StockRow()
{
    return QStringLiteral(
        "select 0,id,status,goodsTypeName,goodsCode,goodsName,goodsDesc,upqty,downqty,unit,totalImportQty,"
        "totalExportQty,totalBlanceQty,totalImportWeight,totalExportWeight,totalBlanceWeight,"
        "totalImportDefaultQty,totalExportDefaultQty,totalBlanceDefaultQty ");
}

} // namespace ReportColumns

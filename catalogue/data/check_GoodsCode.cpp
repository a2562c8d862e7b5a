#include "check_GoodsCode.h"

#include "KeyValue.h"
#include "sqlHelper.h"

namespace
{

bool sameBarcode(const QString& a, const QString& b)
{
    return a.trimmed().compare(b.trimmed(), Qt::CaseInsensitive) == 0;
}

// The entered barcodes of the listed units that differ from what is stored.
QStringList changedBarcodes(const QList<GoodsBarcode>& units)
{
    QStringList ids;
    for (const GoodsBarcode& u : units)
        ids << QString::number(u.id);
    if (ids.isEmpty())
        return {};
    ids << QStringLiteral("0");
    const RecordSetPtr rs = ExecuteSql(
        QStringLiteral("SELECT id,goodsDetailCode from tb_goods_detail where id in(%1)").arg(ids.join(',')));
    QStringList out;
    for (const GoodsBarcode& u : units) {
        bool unchanged = false;
        for (int r = 0; rs && r < rs->RecordCount() && !unchanged; ++r)
            unchanged = rs->value(r, 0).toInt() == u.id && sameBarcode(rs->value(r, 1).toString(), u.barcode);
        if (!unchanged)
            out << u.barcode;
    }
    return out;
}

} // namespace

m_DBresult check_GoodsCode(const QStringList& newValues, const QList<GoodsBarcode>& units)
{
    const QStringList values = newValues + changedBarcodes(units);
    m_DBresult result;
    result.isResult = true;
    if (values.isEmpty())
        return result;

    QString pieces;
    ParamMap params;
    for (int i = 0; i < values.size(); ++i) {
        const QString name = QStringLiteral("@v%1").arg(i + 1);
        pieces += QStringLiteral(" union all select %1 as goodsCode from v_sys_goodsCode ").arg(name);
        params.Add(name, values.at(i));
    }
    // Codes and barcodes are compared as the goods columns compare them: without letter case.
    const RecordSetPtr rs =
        ExecuteSql(QStringLiteral("SELECT goodsCode, count(*) AS iCount FROM ( "
                                  " SELECT goodsCode from tb_goods_head "
                                  " union all SELECT goodsDetailCode as goodsCode from tb_goods_detail "
                                  " where COALESCE(goodsDetailCode,'')<>'' ") +
                       pieces +
                       QStringLiteral(" )  as temp_z group by goodsCode COLLATE NOCASE having count(*)>1 "
                                      " order by min(goodsCode) COLLATE NOCASE"),
                   params);
    if (!rs || rs->isEmpty())
        return result;
    QString codes;
    for (int r = 0; r < rs->RecordCount(); ++r)
        codes += rs->value(r, 0).toString() + QLatin1Char(',');
    result.isResult = false;
    result.int_Count = rs->RecordCount();
    result.str_MsgBox = QStringLiteral("有以下条码重复:\r\n") + codes + QStringLiteral("\r\n请重新设置!");
    return result;
}

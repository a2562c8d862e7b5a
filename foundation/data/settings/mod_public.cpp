#include "mod_public.h"

#include "BillDirection.h"
#include "Clock.h"
#include "PrintXml.h"
#include "sqlHelper.h"

void init_SysVar()
{
    m_SysVar& v = SysVar;
    v.Sys_dbName = QStringLiteral("wms.db");
    v.acc_OrderBy = QStringLiteral("id");
    v.Sys_AmountFormat = QStringLiteral("#0.0##");
    v.Sys_PriceFormat = QStringLiteral("#0.0##");
    v.Sys_NotNullColor = 12640511;
    v.Sys_DateFormat = QStringLiteral("yyyy-MM-dd");
    v.Sys_TimeFormat = QStringLiteral("yyyy-MM-dd HH:mm:ss");
    v.Sys_importBill =
        PrintToolCommand(PrintKind::Bill, BillDirectionFacts::Of(BillDirection::In).printTemplate);
    v.Sys_exportBill =
        PrintToolCommand(PrintKind::Bill, BillDirectionFacts::Of(BillDirection::Out).printTemplate);
    v.Sys_stockBill = PrintToolCommand(PrintKind::List, kStockPrintTemplate);
    v.Sys_importListBill = PrintToolCommand(PrintKind::List, QStringLiteral("qv_rpt_rkList"));
    v.Sys_importDetailBill = PrintToolCommand(PrintKind::List, QStringLiteral("qv_rpt_rkDetail"));
    v.Sys_importSumBill =
        PrintToolCommand(PrintKind::List, BillDirectionFacts::Of(BillDirection::In).sumTemplate);
    v.Sys_exportListBill = PrintToolCommand(PrintKind::List, QStringLiteral("qv_rpt_ckList"));
    v.Sys_exportDetailBill = PrintToolCommand(PrintKind::List, QStringLiteral("qv_rpt_ckDetail"));
    v.Sys_exportSumBill =
        PrintToolCommand(PrintKind::List, BillDirectionFacts::Of(BillDirection::Out).sumTemplate);

    const int department = CurrentUser.dictionaryId;
    v.Sys_funJoinCode = GetJoinId(department, QStringLiteral("f"));
    v.Sys_accountJoinId = GetJoinId(department, QStringLiteral("a"));
    v.Sys_locationJoinId = GetJoinId(department, QStringLiteral("l"));
}

QString GetJoinId(int departmentId, const QString& kind)
{
    QString column;
    QString table;
    const QString k = kind.toLower();
    if (k == QLatin1String("f")) {
        column = QStringLiteral("funCode");
        table = QStringLiteral("tb_user_group_fun");
    } else if (k == QLatin1String("a")) {
        column = QStringLiteral("accountId");
        table = QStringLiteral("tb_account_fun");
    } else if (k == QLatin1String("l")) {
        column = QStringLiteral("locationId");
        table = QStringLiteral("tb_location_fun");
    } else {
        return QStringLiteral("0");
    }
    const RecordSetPtr rs =
        ExecuteSql(QStringLiteral("select %1 from %2 where departmentId=@departmentId order by rowid")
                       .arg(column, table),
                   ParamMap{{QStringLiteral("@departmentId"), departmentId}});
    QString list;
    for (int r = 0; r < rs->RecordCount(); ++r)
        list += rs->value(r, 0).toString() + QLatin1Char(',');
    return list + QLatin1Char('0');
}

QString GetNowStr(const QString& format)
{
    return Clock::Now().toString(format);
}

QString ProductTitle()
{
    return QStringLiteral("朗岱仓库管理系统");
}

bool check_Brand(int kind)
{
    const QString word = kind == 1 ? QStringLiteral("澄屿") : QStringLiteral("朗岱");
    return ProductTitle().contains(word);
}

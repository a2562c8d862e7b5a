#include "DataClearing.h"

#include "GetvalueFunction.h"
#include "sqlHelper.h"

#include <QList>
#include <QStringList>

namespace
{

struct Guard {
    const char* table;
    const char* message;
};

struct DataGroup {
    const char* key;
    QList<Guard> guards;
    QStringList statements;
};

// The tables each data group empties, in order, and the bill tables that
// must be empty before master data may go.
const QList<DataGroup>& dataGroups()
{
    static const QList<DataGroup> groups = {
        {"tb_import",
         {},
         {QStringLiteral("delete from tb_rk_detail"), QStringLiteral("delete from tb_rk_head")}},
        {"tb_export",
         {},
         {QStringLiteral("delete from tb_ck_detail"), QStringLiteral("delete from tb_ck_head")}},
        {"tb_customer",
         {{"tb_rk_head", "往来单位信息已经在入库表建账,不允许清空!"},
          {"tb_ck_head", "往来单位信息已经在出库表建账,不允许清空!"}},
         {QStringLiteral("delete from tb_customer")}},
        {"tb_goods",
         {{"tb_rk_detail", "货品信息已经在入库表建账,不允许清空!"},
          {"tb_ck_detail", "货品信息已经在出库表建账,不允许清空!"}},
         {QStringLiteral("delete from tb_goods_detail"), QStringLiteral("delete from tb_goods_head")}},
        {"tb_location",
         {{"tb_rk_detail", "库位信息已经在入库表建账,不允许清空!"},
          {"tb_ck_detail", "库位信息已经在出库表建账,不允许清空!"}},
         {QStringLiteral("delete from tb_location"), QStringLiteral("delete from tb_location_fun")}},
    };
    return groups;
}

const QStringList& initialisationStatements()
{
    static const QStringList statements = {
        QStringLiteral("delete from tb_rk_detail"),
        QStringLiteral("delete from tb_rk_head"),
        QStringLiteral("delete from tb_ck_detail"),
        QStringLiteral("delete from tb_ck_head"),
        QStringLiteral("delete from tb_events"),
        QStringLiteral("delete from tb_customer"),
        QStringLiteral("delete from tb_goods_detail"),
        QStringLiteral("delete from tb_goods_head"),
        QStringLiteral("delete from tb_location"),
        QStringLiteral("delete from tb_location_fun"),
        QStringLiteral("delete from tb_account_fun"),
        QStringLiteral("delete from tb_dictionary where isSystemSet=0 and utype<>'department'"),
    };
    return statements;
}

} // namespace

ClearOutcome ClearDataGroup(const QString& key)
{
    ClearOutcome outcome;
    for (const DataGroup& group : dataGroups()) {
        if (key != QLatin1String(group.key))
            continue;
        const m_DBresult result = RunTrans([&] {
            for (const Guard& guard : group.guards) {
                if (GetCountValue(QStringLiteral("id"), QString::fromLatin1(guard.table)) > 0) {
                    outcome.refusal = QString::fromUtf8(guard.message);
                    return;
                }
            }
            for (const QString& sql : group.statements)
                ExecuteSql(sql);
        });
        if (!result.isResult) {
            outcome.ok = false;
            outcome.error = result.str_MsgBox;
            outcome.refusal.clear();
        } else {
            outcome.cleared = outcome.refusal.isEmpty();
        }
        break;
    }
    return outcome;
}

m_DBresult InitialiseData()
{
    return RunTrans([] {
        for (const QString& sql : initialisationStatements())
            ExecuteSql(sql);
    });
}

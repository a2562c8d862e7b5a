#include "DataClearing.h"

#include "BillDirection.h"
#include "GetvalueFunction.h"
#include "sqlHelper.h"

#include <QList>
#include <QStringList>

namespace
{

struct Guard {
    QString table;
    const char* message;
};

const BillDirectionFacts& inbound()
{
    return BillDirectionFacts::Of(BillDirection::In);
}

const BillDirectionFacts& outbound()
{
    return BillDirectionFacts::Of(BillDirection::Out);
}

QString deleteFrom(const QString& table)
{
    return QStringLiteral("delete from ") + table;
}

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
        {"tb_import", {}, {deleteFrom(inbound().lineTable), deleteFrom(inbound().headTable)}},
        {"tb_export", {}, {deleteFrom(outbound().lineTable), deleteFrom(outbound().headTable)}},
        {"tb_customer",
         {{inbound().headTable, "往来单位信息已经在入库表建账,不允许清空!"},
          {outbound().headTable, "往来单位信息已经在出库表建账,不允许清空!"}},
         {QStringLiteral("delete from tb_customer")}},
        {"tb_goods",
         {{inbound().lineTable, "货品信息已经在入库表建账,不允许清空!"},
          {outbound().lineTable, "货品信息已经在出库表建账,不允许清空!"}},
         {QStringLiteral("delete from tb_goods_detail"), QStringLiteral("delete from tb_goods_head")}},
        {"tb_location",
         {{inbound().lineTable, "库位信息已经在入库表建账,不允许清空!"},
          {outbound().lineTable, "库位信息已经在出库表建账,不允许清空!"}},
         {QStringLiteral("delete from tb_location"), QStringLiteral("delete from tb_location_fun")}},
    };
    return groups;
}

const QStringList& initialisationStatements()
{
    static const QStringList statements = {
        deleteFrom(inbound().lineTable),
        deleteFrom(inbound().headTable),
        deleteFrom(outbound().lineTable),
        deleteFrom(outbound().headTable),
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
                if (GetCountValue(QStringLiteral("id"), guard.table) > 0) {
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

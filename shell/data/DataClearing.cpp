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
    QString message;
};

QString deleteFrom(const QString& table)
{
    return QStringLiteral("delete from ") + table;
}

// The bill tables (as billTable answers) that must be empty before the
// master data named subject may go, one per direction.
QList<Guard> billGuards(const char* subject, QString BillDirectionFacts::*billTable)
{
    QList<Guard> guards;
    for (const BillDirection d : kBillDirections) {
        const BillDirectionFacts& bills = BillDirectionFacts::Of(d);
        guards.append({bills.*billTable, QStringLiteral("%1信息已经在%2表建账,不允许清空!")
                                             .arg(QString::fromUtf8(subject), bills.billWord)});
    }
    return guards;
}

// A direction's bills: the lines before their heads.
QStringList deleteBills(BillDirection d)
{
    const BillDirectionFacts& bills = BillDirectionFacts::Of(d);
    return {deleteFrom(bills.lineTable), deleteFrom(bills.headTable)};
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
        {"tb_import", {}, deleteBills(BillDirection::In)},
        {"tb_export", {}, deleteBills(BillDirection::Out)},
        {"tb_customer",
         billGuards("往来单位", &BillDirectionFacts::headTable),
         {QStringLiteral("delete from tb_customer")}},
        {"tb_goods",
         billGuards("货品", &BillDirectionFacts::lineTable),
         {QStringLiteral("delete from tb_goods_detail"), QStringLiteral("delete from tb_goods_head")}},
        {"tb_location",
         billGuards("库位", &BillDirectionFacts::lineTable),
         {QStringLiteral("delete from tb_location"), QStringLiteral("delete from tb_location_fun")}},
    };
    return groups;
}

const QStringList& initialisationStatements()
{
    static const QStringList statements = [] {
        QStringList all;
        for (const BillDirection d : kBillDirections)
            all << deleteBills(d);
        return all << QStringList{
                   QStringLiteral("delete from tb_events"),
                   QStringLiteral("delete from tb_customer"),
                   QStringLiteral("delete from tb_goods_detail"),
                   QStringLiteral("delete from tb_goods_head"),
                   QStringLiteral("delete from tb_location"),
                   QStringLiteral("delete from tb_location_fun"),
                   QStringLiteral("delete from tb_account_fun"),
                   QStringLiteral("delete from tb_dictionary where isSystemSet=0 and utype<>'department'"),
               };
    }();
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
                    outcome.refusal = guard.message;
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

// Four workstations on one database file: each a process of its own, saving
// inbound and outbound bills, auditing bills and rebuilding the stock report
// for a given time. At the end the counts are printed: operations, failures
// (and how many of them were lock failures), the longest lock wait, bill
// numbers stored twice and lines that point at no bill, goods or location.
//
//   stress_workstations [seconds=120] [workstations=4]
//
// Not a test: it runs for minutes. Each workstation is this program started
// again with "--workstation <folder> <seconds> <seed>".
#include "BillStore.h"
#include "DbCreator.h"
#include "DbError.h"
#include "dal_rpt_stock.h"
#include "sqlHelper.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <cstdio>
#include <random>

namespace
{

constexpr int kGoods = 50;

QString text(const char* s)
{
    return QString::fromUtf8(s);
}

int scalar(const QString& sql)
{
    const RecordSetPtr rs = ExecuteSql(sql);
    return rs && !rs->isEmpty() ? rs->value(0, 0).toInt() : 0;
}

void makeDatabase(const QString& folder)
{
    const QString error = CreateFreshDatabase(folder + QStringLiteral("wms.db"));
    if (!error.isEmpty())
        throw DbError(error);
    SetAppPathOverride(folder);
    SetEndProgramOnMissingDb(false);
    const m_DBresult r = RunTrans([] {
        ExecuteSql(
            text("insert into tb_dictionary (id,utype,uname,isstart) values (10,'goodsType','饮料',1)"));
        for (int g = 1; g <= kGoods; ++g) {
            ExecuteParaSql(
                text("insert into tb_goods_head (id,goodsTypeId,goodsCode,goodsName,goodsDesc,pinyin) "
                     "values (@id,10,@code,@name,'','')"),
                ParamMap{{text("@id"), g},
                         {text("@code"), QStringLiteral("G%1").arg(g, 4, 10, QLatin1Char('0'))},
                         {text("@name"), text("货品") + QString::number(g)}});
            ExecuteParaSql(
                text("insert into tb_goods_detail (id,headId,isDefault,rowNo,goodsDetailCode,unit,"
                     "packQty,weight,inPrice,salePrice) values (@id,@id,1,1,'',@unit,1,0.5,2.5,3.5)"),
                ParamMap{{text("@id"), g}, {text("@unit"), text("瓶")}});
        }
        ExecuteSql(text("insert into tb_location (id,locationCode,uname,state) values (1,'A-01','一号',1)"));
        ExecuteSql(text("insert into tb_customer (id,utype,customerCode,uname,status) values "
                        "(7,1,'ct-2403-00001','华东五金',1),(8,2,'ct-2403-00002','华联超市',1)"));
    });
    if (!r.isResult)
        throw DbError(r.str_MsgBox);
    CloseConn();
}

bool isLockFailure(const QString& message)
{
    return message.contains(QLatin1String("locked")) || message.contains(QLatin1String("busy")) ||
           message.contains(SqlErrorSentence(5));
}

struct Counts {
    qint64 operations = 0;
    qint64 failures = 0;
    qint64 lockFailures = 0;
    qint64 saves = 0, audits = 0, reports = 0;
    qint64 longestWaitMs = 0;
};

int workstation(const QString& folder, int seconds, int seed)
{
    SetAppPathOverride(folder);
    SetEndProgramOnMissingDb(false);
    QElapsedTimer waitClock;
    Counts c;
    SetLockWaitHook([&](bool waiting) {
        if (waiting)
            waitClock.start();
        else if (waitClock.isValid())
            c.longestWaitMs = std::max(c.longestWaitMs, waitClock.elapsed() + 300);
    });
    std::mt19937 rng(seed);
    QElapsedTimer clock;
    clock.start();
    QStringList errors;
    while (clock.elapsed() < qint64(seconds) * 1000) {
        const int pick = int(rng() % 10);
        const bool inbound = rng() % 2 == 0;
        BillStore store(inbound ? BillSetup::In() : BillSetup::Out());
        QString error;
        try {
            if (pick < 5) {
                BillHead h;
                h.accountId = 2;
                h.utypeId = inbound ? 3 : 4;
                h.partnerId = inbound ? 7 : 8;
                h.partnerName = inbound ? text("华东五金") : text("华联超市");
                h.createTime = QStringLiteral("2024-03-15");
                h.creator = h.updateLastUser = QStringLiteral("admin");
                h.updateLastTime =
                    QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
                h.userId = 1;
                QList<BillLine> lines;
                for (int r = 1; r <= 5; ++r) {
                    BillLine l;
                    const int g = 1 + int(rng() % kGoods);
                    l.rowNo = r;
                    l.goodsId = g;
                    l.goodsTypeId = 10;
                    l.goodsTypeName = text("饮料");
                    l.goodsCode = QStringLiteral("G%1").arg(g, 4, 10, QLatin1Char('0'));
                    l.goodsName = text("货品") + QString::number(g);
                    l.unit = text("瓶");
                    l.packQty = 1;
                    l.weight = 0.5;
                    l.inPrice = 2.5;
                    l.salePrice = 3.5;
                    l.qty = 1 + int(rng() % 20);
                    l.locationId = 1;
                    lines.append(l);
                }
                const m_DBresult r = store.Add(h, lines);
                if (!r.isResult)
                    error = r.str_MsgBox;
                ++c.saves;
            } else if (pick < 7) {
                const int last = scalar(QStringLiteral("select max(id) from ") + store.direction().headTable);
                if (last > 0)
                    store.SetPass(1 + int(rng() % last), true, QStringLiteral("admin"),
                                  QStringLiteral("2024-03-15 10:00:00"));
                ++c.audits;
            } else {
                dal_rpt_stock stock;
                const m_DBresult r = stock.insert_temp_rpt_stock(QStringLiteral("2"));
                if (!r.isResult)
                    error = r.str_MsgBox;
                ++c.reports;
            }
        } catch (const DbError& e) {
            error = e.message();
        } catch (const std::exception& e) {
            error = QString::fromUtf8(e.what());
        }
        ++c.operations;
        if (!error.isEmpty()) {
            ++c.failures;
            if (isLockFailure(error))
                ++c.lockFailures;
            if (errors.size() < 5)
                errors.append(error.simplified());
        }
    }
    CloseConn();
    std::printf("%lld %lld %lld %lld %lld %lld %lld\n", (long long)c.operations, (long long)c.failures,
                (long long)c.lockFailures, (long long)c.saves, (long long)c.audits, (long long)c.reports,
                (long long)c.longestWaitMs);
    for (const QString& e : errors)
        std::fprintf(stderr, "workstation %d: %s\n", seed, e.toUtf8().constData());
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    try {
        if (args.size() >= 5 && args.at(1) == QLatin1String("--workstation"))
            return workstation(args.at(2), args.at(3).toInt(), args.at(4).toInt());

        const int seconds = args.size() > 1 ? args.at(1).toInt() : 120;
        const int count = args.size() > 2 ? args.at(2).toInt() : 4;
        QTemporaryDir dir;
        const QString folder = dir.path() + QLatin1Char('/');
        makeDatabase(folder);
        std::printf("%d workstations on %swms.db for %d s\n", count, folder.toUtf8().constData(), seconds);
        std::fflush(stdout);

        std::vector<std::unique_ptr<QProcess>> workers;
        for (int i = 0; i < count; ++i) {
            auto p = std::make_unique<QProcess>();
            p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
            p->start(app.applicationFilePath(), {QStringLiteral("--workstation"), folder,
                                                 QString::number(seconds), QString::number(i + 1)});
            workers.push_back(std::move(p));
        }
        Counts total;
        for (size_t i = 0; i < workers.size(); ++i) {
            QProcess& p = *workers[i];
            p.waitForFinished(-1);
            const QStringList f =
                QString::fromUtf8(p.readAllStandardOutput()).simplified().split(QLatin1Char(' '));
            if (f.size() < 7) {
                std::printf("workstation %zu: no counts (exit %d)\n", i + 1, p.exitCode());
                ++total.failures;
                continue;
            }
            std::printf("workstation %zu: operations %s, failures %s (locked %s), saves %s, audits %s, "
                        "reports %s, longest lock wait about %s ms\n",
                        i + 1, qPrintable(f[0]), qPrintable(f[1]), qPrintable(f[2]), qPrintable(f[3]),
                        qPrintable(f[4]), qPrintable(f[5]), qPrintable(f[6]));
            total.operations += f[0].toLongLong();
            total.failures += f[1].toLongLong();
            total.lockFailures += f[2].toLongLong();
            total.longestWaitMs = std::max(total.longestWaitMs, f[6].toLongLong());
        }

        SetAppPathOverride(folder);
        int duplicates = 0;
        int orphans = 0;
        for (const char* side : {"rk", "ck"}) {
            const QString head = QStringLiteral("tb_%1_head").arg(QLatin1String(side));
            const QString detail = QStringLiteral("tb_%1_detail").arg(QLatin1String(side));
            duplicates += scalar(QStringLiteral("select count(*) from (select billNo from %1 group by billNo "
                                                "having count(*) > 1)")
                                     .arg(head));
            orphans +=
                scalar(QStringLiteral("select count(*) from %1 d where not exists (select 1 from %2 h "
                                      "where h.id = d.headId) or not exists (select 1 from tb_goods_head g "
                                      "where g.id = d.goodsId) or not exists (select 1 from tb_location "
                                      "l where l.id = d.locationId)")
                           .arg(detail, head));
            orphans += scalar(QStringLiteral("select count(*) from %1 h where not exists (select 1 from %2 d "
                                             "where d.headId = h.id)")
                                  .arg(head, detail));
        }
        const int bills = scalar(QStringLiteral("select (select count(*) from tb_rk_head) + (select count(*) "
                                                "from tb_ck_head)"));
        const QString integrity =
            ExecuteSql(QStringLiteral("PRAGMA integrity_check"))->value(0, 0).toString();
        CloseConn();
        std::printf("total: operations %lld, failures %lld (locked %lld), duplicates %d, orphans %d, bills "
                    "stored %d, longest lock wait about %lld ms, integrity %s\n",
                    (long long)total.operations, (long long)total.failures, (long long)total.lockFailures,
                    duplicates, orphans, bills, (long long)total.longestWaitMs, qPrintable(integrity));
        return total.failures == 0 && duplicates == 0 && orphans == 0 ? 0 : 1;
    } catch (const DbError& e) {
        std::fprintf(stderr, "%s\n", e.message().toUtf8().constData());
        return 2;
    }
}

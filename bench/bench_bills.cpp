// Saving and opening a bill must stay quick when the store holds years of
// bills: 10,000 to 1,000,000 heads with 10 lines each, spread evenly over the
// twelve months of 2024, and a bill of 200 lines saved into one of those
// months, so that its number is taken among a month's worth of numbers. The
// stores are made once and kept (BenchData::Kept). Every measure runs beside
// a bare twin, interleaved (Paired.h): the sqlite3 C API on the same
// connection, statements prepared once, the same rows written or read. The
// save is measured with the disk's flushes (as the program always saves) and
// without them (synchronous=OFF for both sides), where the work of the two
// sides shows.
#include "BareExact.h"
#include "BareSql.h"
#include "BenchData.h"
#include "BillStore.h"
#include "Paired.h"
#include "ProcessFuntion.h"
#include "sqlHelper.h"

#include <QCoreApplication>
#include <benchmark/benchmark.h>
#include <map>
#include <memory>

namespace
{

constexpr int kBills = 100000;
constexpr int kLinesPerBill = 10;
constexpr int kBillLines = 200;
constexpr int kGoods = 2000;
const QString kSaveDate = QStringLiteral("2024-03-15"); // a month as busy as any

// A store of the given number of bills. Bill b belongs to month 1 + b % 12
// of 2024 and numbers serially within it, as saves would have numbered it.
BenchData& store(int billCount = kBills)
{
    static std::map<int, std::unique_ptr<BenchData>> made;
    BenchData& d = BenchData::Kept(
        made[billCount], QStringLiteral("bills-%1-v1").arg(billCount), [billCount](BenchData& d) {
            BenchData::GoodsPlan setup;
            setup.goodsCount = kGoods;
            d.AddGoods(setup);
            d.Fill([billCount, &d] {
                d.AddBillReferences(500);
                ExecuteParaSql(
                    QStringLiteral(
                        "WITH RECURSIVE n(b) AS (SELECT 1 UNION ALL SELECT b+1 FROM n WHERE b<@bills) "
                        "INSERT INTO tb_rk_head "
                        "(id,accountId,billNo,ubillNo,utypeId,supplierId,supplierName,remark,"
                        "ispass,creator,createTime,updateLastUser,updateLastTime,userId) "
                        "SELECT "
                        "b,2,printf('rk-24%02d-%05d',1+b%12,1+(b-1)/12),'',3,1+b%500,'供应商'||(b%500),'',"
                        "CASE WHEN b%3=0 THEN 1 ELSE 0 END,'admin',printf('2024-%02d-15',1+b%12),"
                        "'admin','2024-01-01 00:00:00',1 FROM n"),
                    ParamMap{{QStringLiteral("@bills"), billCount}});
                ExecuteParaSql(
                    QStringLiteral(
                        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM n WHERE i<@lines) "
                        "INSERT INTO tb_rk_detail "
                        "(id,headId,rowNo,goodsTypeId,goodsTypeName,goodsId,goodsCode,"
                        "goodsDetailCode,goodsName,goodsDesc,unit,inPrice,packQty,weight,qty,locationId,"
                        "lotNo,"
                        "remark) "
                        "SELECT "
                        "i,1+(i-1)/@per,1+(i-1)%@per,1,'类别',1+i%@goods,printf('G%07d',1+i%@goods),'',"
                        "'货品','','箱',12.5,12,1.5,3,1,'','' FROM n"),
                    ParamMap{{QStringLiteral("@lines"), billCount * kLinesPerBill},
                             {QStringLiteral("@per"), kLinesPerBill},
                             {QStringLiteral("@goods"), kGoods}});
            });
            ExecuteSql(QStringLiteral("analyze"));
        });
    d.UseIfElsewhere();
    if (qEnvironmentVariableIsSet("WMS_BENCH_WAL"))
        ExecuteSql(QStringLiteral("PRAGMA journal_mode=WAL"));
    return d;
}

// The bare probe for the month's largest serial (the serial index's
// expressions), its answer read natively.
qint64 bareLargestSerial(BareStatement& probe, const QString& monthPrefix)
{
    return probe.Integer({monthPrefix});
}

// Removes every head and line from firstHead on, in one transaction.
void dropBillsFrom(int firstHead)
{
    BareStatement begin(QStringLiteral("BEGIN IMMEDIATE"));
    BareStatement commit(QStringLiteral("COMMIT"));
    BareStatement drop(QStringLiteral("delete from tb_rk_head where id>=?"));
    BareStatement dropLines(QStringLiteral("delete from tb_rk_detail where headId>=?"));
    begin.Exec();
    dropLines.Exec({firstHead});
    drop.Exec({firstHead});
    commit.Exec();
}

QList<BillLine> billLines()
{
    QList<BillLine> lines;
    for (int r = 1; r <= kBillLines; ++r) {
        BillLine l;
        l.rowNo = r;
        l.goodsId = r;
        l.goodsTypeId = 1;
        l.goodsTypeName = QStringLiteral("类别");
        l.goodsCode = BenchData::GoodsCode(r);
        l.goodsName = QStringLiteral("货品 %1").arg(r);
        l.unit = QStringLiteral("箱");
        l.inPrice = 12.5;
        l.packQty = 12;
        l.qty = r;
        l.locationId = 1;
        lines.append(l);
    }
    return lines;
}

BillHead billHead()
{
    BillHead h;
    h.accountId = 2;
    h.utypeId = 3;
    h.partnerId = 7;
    h.partnerName = QStringLiteral("供应商7");
    h.createTime = kSaveDate;
    h.creator = h.updateLastUser = QStringLiteral("admin");
    h.userId = 1;
    return h;
}

// The next number of the month beside the bare index probe.
void BM_NextBillNo(benchmark::State& state)
{
    store(int(state.range(0)));
    BareStatement probe(QStringLiteral("select max(CAST(substr(billNo,9) AS INTEGER)) from tb_rk_head "
                                       "where billNo<>'' and substr(billNo,1,8)=? collate nocase"));
    const QString expected = GetNewBillNo(QStringLiteral("rk"), kSaveDate);
    Paired pair(1e6);
    for (auto _ : state) {
        QString ours;
        qint64 bare = 0;
        pair.Run(
            state, [&] { ours = GetNewBillNo(QStringLiteral("rk"), kSaveDate); },
            [&] { bare = bareLargestSerial(probe, QStringLiteral("rk-2403-")); });
        if (ours != expected ||
            QStringLiteral("rk-2403-%1").arg(bare + 1, 5, 10, QLatin1Char('0')) != expected)
            state.SkipWithError("the numbers differ");
    }
    pair.Report(state);
    state.counters["month_bills"] = double(state.range(0) / 12);
}
BENCHMARK(BM_NextBillNo)
    ->Arg(10000)
    ->Arg(kBills)
    ->Arg(1000000)
    ->Unit(benchmark::kMicrosecond)
    ->UseManualTime();

// A 200-line bill saved into the busy month, beside the same save bare: one
// transaction, the head and line ids from the tables' sequences, the number
// from the bare probe, the two inserts prepared once.
void BM_SaveBill200Lines(benchmark::State& state)
{
    BenchData& db = store(int(state.range(0)));
    // Without the disk's flushes only the work of the two sides is compared
    // (the program itself always flushes); both sides use the connection.
    const bool flush = state.range(1) != 0;
    if (!flush)
        ExecuteSql(QStringLiteral("PRAGMA synchronous=OFF"));
    BillStore bills(BillSetup::In());
    BareStatement begin(QStringLiteral("BEGIN IMMEDIATE"));
    BareStatement commit(QStringLiteral("COMMIT"));
    // The ids come from the tables' sequences, as the program takes them.
    BareStatement takeIds(
        QStringLiteral("update tb_sequence set lastId = max(lastId, (select coalesce(max(id), 0) "
                       "from tb_rk_head)) + ? where tableName = 'tb_rk_head'"));
    BareStatement takeLineIds(QStringLiteral("update tb_sequence set lastId = max(lastId, (select "
                                             "coalesce(max(id), 0) from tb_rk_detail)) + ? where tableName = "
                                             "'tb_rk_detail'"));
    BareStatement lastId(QStringLiteral("select lastId from tb_sequence where tableName = ?"));
    BareStatement probe(QStringLiteral("select max(CAST(substr(billNo,9) AS INTEGER)) from tb_rk_head "
                                       "where billNo<>'' and substr(billNo,1,8)=? collate nocase"));
    BareStatement head(
        QStringLiteral("insert into tb_rk_head (id,accountId,billNo,ubillNo,utypeId,supplierId,supplierName,"
                       "remark,ispass,creator,createTime,updateLastUser,updateLastTime,userId) values "
                       "(?,?,?,?,?,?,?,?,?,?,?,?,?,?)"));
    BareStatement line(QStringLiteral(
        "insert into tb_rk_detail (id,headId,rowNo,goodsTypeId,goodsTypeName,goodsId,goodsCode,"
        "goodsDetailCode,goodsName,goodsDesc,unit,inPrice,packQty,weight,qty,locationId,lotNo,"
        "remark) values (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)"));
    const int firstHead = db.NextId(QStringLiteral("tb_rk_head"));
    Paired pair(1e3);
    for (auto _ : state) {
        BillHead ours = billHead();
        QList<BillLine> oursLines = billLines();
        const BillHead h = billHead();
        const QList<BillLine> lines = billLines();
        m_DBresult r;
        pair.Run(
            state, [&] { r = bills.Add(ours, oursLines); },
            [&] {
                begin.Exec();
                takeIds.Exec({1});
                const qint64 headId = lastId.Integer({QStringLiteral("tb_rk_head")});
                takeLineIds.Exec({int(lines.size())});
                qint64 lineId = lastId.Integer({QStringLiteral("tb_rk_detail")}) - lines.size() + 1;
                const QString billNo = QStringLiteral("rk-2403-%1")
                                           .arg(bareLargestSerial(probe, QStringLiteral("rk-2403-")) + 1, 5,
                                                10, QLatin1Char('0'));
                head.Exec({headId, h.accountId, billNo, h.ubillNo, h.utypeId, h.partnerId, h.partnerName,
                           h.remark, 0, h.creator, h.createTime, h.updateLastUser, h.updateLastTime,
                           h.userId});
                for (const BillLine& l : lines)
                    line.Exec({lineId++, headId, l.rowNo, l.goodsTypeId, l.goodsTypeName, l.goodsId,
                               l.goodsCode, l.goodsDetailCode, l.goodsName, l.goodsDesc, l.unit, l.inPrice,
                               l.packQty, l.weight, l.qty, l.locationId, l.lotNo, l.remark});
                commit.Exec();
            });
        if (!r.isResult)
            state.SkipWithError(r.str_MsgBox.toStdString().c_str());
        else if (!ours.billNo.startsWith(QStringLiteral("rk-2403-")))
            state.SkipWithError("saved outside the busy month");
    }
    pair.Report(state);
    // After the timed loop: the next run starts from the same store.
    dropBillsFrom(firstHead);
    ExecuteSql(QStringLiteral("PRAGMA synchronous=FULL"));
    state.counters["bills"] = double(state.range(0));
    state.SetLabel(flush ? "with flushes" : "no flush (synchronous=OFF)");
}
BENCHMARK(BM_SaveBill200Lines)
    ->ArgsProduct({{10000, kBills, 1000000}, {1, 0}})
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime();

// A stored bill of 200 lines opened: its head and its lines in row order,
// beside the same cells read bare from the tables.
void BM_LoadBill200Lines(benchmark::State& state)
{
    store();
    BillStore bills(BillSetup::In());
    BillHead h = billHead();
    QList<BillLine> lines = billLines();
    bills.Add(h, lines);
    // The amounts exact, by the twin's own sums (BareExact.h).
    RegisterBareExact(BareStatement::Handle());
    BareStatement head(QStringLiteral(
        "SELECT a.id, a.accountId, COALESCE((SELECT uname FROM tb_dictionary WHERE id = a.accountId), ''), "
        "a.billNo, a.ubillNo, a.utypeId, COALESCE((SELECT uname FROM tb_dictionary WHERE id = a.utypeId), "
        "''), "
        "a.supplierId, a.ispass, CASE WHEN a.ispass = 0 THEN '未审核' ELSE '已审核' END, a.supplierName, "
        "a.remark, a.creator, a.createTime, a.updateLastUser, a.updateLastTime, a.userId, '1单' || s.n || "
        "'项', "
        "s.n, s.qty, bare_text(s.amount, 6, 2, 1) "
        "FROM tb_rk_head AS a, (SELECT COUNT(*) AS n, SUM(qty) AS qty, COALESCE(bare_sum(qty, inPrice, 3), "
        "0) AS amount FROM tb_rk_detail WHERE headId = ?1) AS s WHERE a.id = ?1"));
    BareStatement rows(QStringLiteral(
        "SELECT 0, l.id, l.goodsId, l.goodsTypeId, l.goodsCode, l.goodsDetailCode, l.goodsName, l.goodsDesc, "
        "l.goodsTypeName, l.unit, l.packQty, l.weight, l.inPrice, l.qty, bare_text(bare_prod(l.qty, "
        "l.inPrice), 6, "
        "3, 1), l.locationId, "
        "(SELECT locationCode FROM tb_location WHERE id = l.locationId), l.lotNo, l.remark "
        "FROM tb_rk_detail AS l WHERE l.headId = ? ORDER BY l.rowNo, l.id"));
    Paired pair(1e3);
    for (auto _ : state) {
        BillHead back;
        m_recordSet read;
        int bareRows = 0;
        pair.Run(
            state,
            [&] {
                back = bills.GetModel(h.id);
                read = bills.GetBillLines(h.id);
            },
            [&] { bareRows = head.Run({h.id}) + rows.Run({h.id}); });
        if (back.rowsCount != kBillLines || read.recordCount != kBillLines || bareRows != kBillLines + 1) {
            state.SkipWithError("bill not read back whole");
            break;
        }
        // The bill's amount and every line's amount alike on both sides.
        const std::vector<BareRow> bareHead = head.Rows({h.id});
        const std::vector<BareRow> bareLines = rows.Rows({h.id});
        bool same = BareExactErrors() == 0 && !bareHead.empty() &&
                    std::stod(std::get<std::string>(bareHead[0].back())) == back.totalAmount;
        for (int r = 0; same && r < kBillLines; ++r)
            same = std::stod(std::get<std::string>(bareLines[size_t(r)][14])) ==
                   read.recordSet->value(r, QStringLiteral("totalAmount")).toDouble();
        if (!same) {
            state.SkipWithError("the bills read back different amounts");
            break;
        }
    }
    pair.Report(state);
    bills.Delete(h.id);
}
BENCHMARK(BM_LoadBill200Lines)->Unit(benchmark::kMillisecond)->UseManualTime();

// The last price of a goods item from a partner, beside the same probe bare.
void BM_LastPrice(benchmark::State& state)
{
    store();
    BillStore bills(BillSetup::In());
    BareStatement probe(QStringLiteral("SELECT l.inPrice FROM tb_rk_detail AS l INNER JOIN tb_rk_head AS h "
                                       "ON h.id = l.headId WHERE h.supplierId = ? AND l.goodsCode = ? "
                                       "ORDER BY l.headId DESC, l.id DESC LIMIT 1"));
    Paired pair(1e6);
    int n = 0;
    for (auto _ : state) {
        const int partner = 1 + n % 500;
        const QString code = BenchData::GoodsCode(1 + n % 2000);
        ++n;
        double price = 0;
        bool found = false;
        int bareFound = 0;
        pair.Run(
            state, [&] { found = bills.GetLastPrice(partner, code, price); },
            [&] {
                bareFound = probe.Run({partner, code});
            });
        if (found != (bareFound == 1)) {
            state.SkipWithError("the probes found different lines");
            break;
        }
    }
    pair.Report(state);
}
BENCHMARK(BM_LastPrice)->Unit(benchmark::kMicrosecond)->UseManualTime();

} // namespace

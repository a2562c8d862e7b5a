// Saving and opening a bill must stay quick when the store holds years of
// bills: 10,000 to 1,000,000 heads with 10 lines each, and a bill of 200
// lines. The save is measured beside the same rows inserted bare in one
// transaction on the same connection.
#include "BareSql.h"
#include "BenchData.h"
#include "BillStore.h"
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

BenchData* g_current = nullptr;

// A store of the given number of bills, made on first use and kept.
BenchData& store(int billCount = kBills)
{
    static std::map<int, std::unique_ptr<BenchData>> made;
    std::unique_ptr<BenchData>& db = made[billCount];
    if (!db) {
        if (made.size() == 1) // the databases go before the application does
            qAddPostRoutine([] { made.clear(); });
        db = std::make_unique<BenchData>();
        g_current = db.get();
        BenchData& d = *db;
        BenchData::GoodsPlan setup;
        setup.goodsCount = 2000;
        d.AddGoods(setup);
        d.Fill([billCount, &d] {
            d.AddBillReferences(500);
            BenchData::Inserter head(
                QStringLiteral("insert into tb_rk_head "
                               "(id,accountId,billNo,ubillNo,utypeId,supplierId,supplierName,remark,ispass,"
                               "creator,createTime,updateLastUser,updateLastTime,userId) values "
                               "(?,2,?,'',3,?,?,'',?,'admin',?,"
                               "'admin','2024-01-01 00:00:00',1)"));
            BenchData::Inserter line(QStringLiteral(
                "insert into tb_rk_detail (id,headId,rowNo,goodsTypeId,goodsTypeName,goodsId,goodsCode,"
                "goodsDetailCode,goodsName,goodsDesc,unit,inPrice,packQty,weight,qty,locationId,lotNo,remark)"
                " "
                "values (?,?,?,1,'类别',?,?,'','货品','','箱',12.5,12,1.5,3,1,'','')"));
            int lineId = 1;
            for (int b = 1; b <= billCount; ++b) {
                const int month = 1 + (b % 12);
                const QString yymm = QStringLiteral("23%1").arg(month, 2, 10, QLatin1Char('0'));
                head.Row({b, QStringLiteral("rk-%1-%2").arg(yymm).arg(b, 6, 10, QLatin1Char('0')),
                          1 + b % 500, QStringLiteral("供应商%1").arg(b % 500), b % 3 == 0 ? 1 : 0,
                          QStringLiteral("2023-%1-15").arg(month, 2, 10, QLatin1Char('0'))});
                for (int r = 1; r <= kLinesPerBill; ++r) {
                    const int goods = 1 + (lineId % 2000);
                    line.Row({lineId++, b, r, goods, BenchData::GoodsCode(goods)});
                }
            }
        });
        ExecuteSql(QStringLiteral("analyze"));
        if (qEnvironmentVariableIsSet("WMS_BENCH_WAL"))
            ExecuteSql(QStringLiteral("PRAGMA journal_mode=WAL"));
    }
    if (g_current != db.get()) {
        db->Use();
        g_current = db.get();
    }
    return *db;
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
    h.createTime = QStringLiteral("2024-03-15");
    h.creator = h.updateLastUser = QStringLiteral("admin");
    h.userId = 1;
    return h;
}

void BM_SaveBill200Lines(benchmark::State& state)
{
    store(int(state.range(0)));
    BillStore bills(BillSetup::In());
    std::vector<int> saved;
    for (auto _ : state) {
        BillHead h = billHead();
        QList<BillLine> lines = billLines();
        const m_DBresult r = bills.Add(h, lines);
        if (!r.isResult)
            state.SkipWithError(r.str_MsgBox.toStdString().c_str());
        saved.push_back(h.id);
    }
    for (int id : saved) // after the timed loop: the next run starts from the same store
        bills.Delete(id);
    state.counters["bills"] = double(state.range(0));
}
BENCHMARK(BM_SaveBill200Lines)->Arg(10000)->Arg(kBills)->Arg(1000000)->Unit(benchmark::kMillisecond);

// The same head and lines inserted bare: one transaction, the two inserts
// prepared once, the ids and the number given (no lookups).
void BM_SaveBill200LinesBare(benchmark::State& state)
{
    BenchData& db = store(int(state.range(0)));
    BareStatement begin(QStringLiteral("BEGIN IMMEDIATE"));
    BareStatement commit(QStringLiteral("COMMIT"));
    BareStatement head(
        QStringLiteral("insert into tb_rk_head (id,accountId,billNo,ubillNo,utypeId,supplierId,supplierName,"
                       "remark,ispass,creator,createTime,updateLastUser,updateLastTime,userId) values "
                       "(?,?,?,?,?,?,?,?,?,?,?,?,?,?)"));
    BareStatement line(QStringLiteral(
        "insert into tb_rk_detail (id,headId,rowNo,goodsTypeId,goodsTypeName,goodsId,goodsCode,"
        "goodsDetailCode,goodsName,goodsDesc,unit,inPrice,packQty,weight,qty,locationId,lotNo,"
        "remark) values (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)"));
    BareStatement drop(QStringLiteral("delete from tb_rk_head where id>=?"));
    BareStatement dropLines(QStringLiteral("delete from tb_rk_detail where headId>=?"));
    const int firstHead = db.NextId(QStringLiteral("tb_rk_head"));
    int headId = firstHead;
    int lineId = db.NextId(QStringLiteral("tb_rk_detail"));
    for (auto _ : state) {
        const BillHead h = billHead();
        const QList<BillLine> lines = billLines();
        begin.Exec();
        head.Exec({headId, h.accountId, QStringLiteral("rk-2403-%1").arg(headId, 5, 10, QLatin1Char('0')),
                   h.ubillNo, h.utypeId, h.partnerId, h.partnerName, h.remark, 0, h.creator, h.createTime,
                   h.updateLastUser, h.updateLastTime, h.userId});
        for (const BillLine& l : lines)
            line.Exec({lineId++, headId, l.rowNo, l.goodsTypeId, l.goodsTypeName, l.goodsId, l.goodsCode,
                       l.goodsDetailCode, l.goodsName, l.goodsDesc, l.unit, l.inPrice, l.packQty, l.weight,
                       l.qty, l.locationId, l.lotNo, l.remark});
        commit.Exec();
        ++headId;
    }
    begin.Exec();
    dropLines.Exec({firstHead});
    drop.Exec({firstHead});
    commit.Exec();
    state.counters["bills"] = double(state.range(0));
}
BENCHMARK(BM_SaveBill200LinesBare)->Arg(10000)->Arg(kBills)->Arg(1000000)->Unit(benchmark::kMillisecond);

void BM_LoadBill200Lines(benchmark::State& state)
{
    store();
    BillStore bills(BillSetup::In());
    BillHead h = billHead();
    QList<BillLine> lines = billLines();
    bills.Add(h, lines);
    for (auto _ : state) {
        const BillHead back = bills.GetModel(h.id);
        const m_recordSet rows = bills.GetBillLines(h.id);
        if (back.rowsCount != kBillLines || rows.recordCount != kBillLines)
            state.SkipWithError("bill not read back whole");
        benchmark::DoNotOptimize(rows.recordSet);
    }
    bills.Delete(h.id);
}
BENCHMARK(BM_LoadBill200Lines)->Unit(benchmark::kMillisecond);

void BM_LastPrice(benchmark::State& state)
{
    store();
    BillStore bills(BillSetup::In());
    double price = 0;
    int n = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(bills.GetLastPrice(1 + n % 500, BenchData::GoodsCode(1 + n % 2000), price));
        ++n;
    }
}
BENCHMARK(BM_LastPrice)->Unit(benchmark::kMillisecond);

} // namespace

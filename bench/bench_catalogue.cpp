// Bill entry waits on the goods lookup (a barcode scanner types and presses
// Enter), and the picker waits on the keyword search. Both are measured on
// catalogues of the size a busy store reaches; the lookups beside a bare twin
// (the C API on the same connection), interleaved in the same run.
#include "BareSql.h"
#include "BenchData.h"
#include "Paired.h"
#include "dal_goods_detail.h"
#include "dal_goods_head.h"
#include "sqlHelper.h"

#include <QCoreApplication>
#include <benchmark/benchmark.h>
#include <map>
#include <memory>
#include <random>
#include <stdexcept>

namespace
{

constexpr int kUnitsPerGoods = 4;
constexpr int kLookupGoods = 250000; // 1,000,000 packing units
constexpr int kSearchGoods = 25000;  // 100,000 packing units

BenchData* g_current = nullptr;

BenchData& catalogue(int goodsCount)
{
    static std::map<int, std::unique_ptr<BenchData>> made;
    std::unique_ptr<BenchData>& db = made[goodsCount];
    if (!db) {
        if (made.size() == 1) // the databases go before the application does
            qAddPostRoutine([] { made.clear(); });
        db = std::make_unique<BenchData>();
        BenchData::GoodsPlan setup;
        setup.goodsCount = goodsCount;
        setup.unitsPerGoods = kUnitsPerGoods;
        setup.disabledEvery = 50;
        db->AddGoods(setup);
        ExecuteSql(QStringLiteral("analyze"));
    }
    if (g_current != db.get()) {
        db->Use();
        g_current = db.get();
    }
    return *db;
}

// Enabled goods ids (every 50th item is disabled) in a random order.
std::vector<int> enabledIds(int goodsCount, int n)
{
    std::mt19937 rng(42);
    std::uniform_int_distribution<int> pick(1, goodsCount);
    std::vector<int> ids;
    while (int(ids.size()) < n) {
        const int id = pick(rng);
        if (id % 50 != 0)
            ids.push_back(id);
    }
    return ids;
}

// The lookup bare: the statement GetModelForInput runs, prepared once on the
// same connection, the first row's columns read natively (no conversion to
// Qt types) and the other rows counted.
class BareLookup
{
  public:
    BareLookup()
    {
        const QByteArray sql =
            "select utype,id,headId,rowNo,goodsTypeId,goodsTypeName,goodsCode,goodsDetailCode,inputGoodsCode,"
            "isDefault,goodsName,goodsDesc,pinyin,status,upqty,downqty,unit,packQty,weight,inPrice,salePrice "
            " from v_goods_detail_input where status='启用' and (inputGoodsCode=?)";
        if (sqlite3_prepare_v2(BareStatement::Handle(), sql.constData(), int(sql.size()), &m_stmt, nullptr) !=
            SQLITE_OK)
            throw std::runtime_error(sqlite3_errmsg(BareStatement::Handle()));
    }
    ~BareLookup() { sqlite3_finalize(m_stmt); }
    BareLookup(const BareLookup&) = delete;
    BareLookup& operator=(const BareLookup&) = delete;

    // The rows found; the first one's id in id.
    int Run(const QByteArray& code, sqlite3_int64& id)
    {
        sqlite3_bind_text(m_stmt, 1, code.constData(), int(code.size()), SQLITE_STATIC);
        int rows = 0;
        while (sqlite3_step(m_stmt) == SQLITE_ROW) {
            if (rows++ == 0) {
                std::uint64_t sum = 0;
                for (int c = 0; c < sqlite3_column_count(m_stmt); ++c) {
                    switch (sqlite3_column_type(m_stmt, c)) {
                    case SQLITE_INTEGER:
                        sum += std::uint64_t(sqlite3_column_int64(m_stmt, c));
                        break;
                    case SQLITE_FLOAT:
                        sum += std::uint64_t(sqlite3_column_double(m_stmt, c));
                        break;
                    case SQLITE_TEXT:
                        sum +=
                            std::uint64_t(sqlite3_column_bytes(m_stmt, c)) + *sqlite3_column_text(m_stmt, c);
                        break;
                    default:
                        break;
                    }
                }
                benchmark::DoNotOptimize(sum);
                id = sqlite3_column_int64(m_stmt, 1);
            }
        }
        sqlite3_reset(m_stmt);
        return rows;
    }

  private:
    sqlite3_stmt* m_stmt = nullptr;
};

// Ours and the bare lookup interleaved on the same typed texts; both must find
// the same unit and count.
void pairedLookup(benchmark::State& state, const std::vector<QString>& typed, int expectedRows)
{
    catalogue(kLookupGoods);
    dal_goods_detail dal;
    BareLookup bare;
    std::vector<QByteArray> bytes;
    for (const QString& t : typed)
        bytes.push_back(t.toUtf8());
    Paired pair(1e6);
    size_t i = 0;
    for (auto _ : state) {
        const size_t k = i++ % typed.size();
        m_goods_detail m;
        int bareRows = 0;
        sqlite3_int64 bareId = 0;
        pair.Run(
            state, [&] { m = dal.GetModelForInput(typed[k]); },
            [&] { bareRows = bare.Run(bytes[k], bareId); });
        if (m.irowsCount != expectedRows || bareRows != expectedRows || m.id != bareId)
            state.SkipWithError("the lookups found different rows");
    }
    pair.Report(state);
    state.counters["units"] = kLookupGoods * kUnitsPerGoods;
}

void BM_LookupByGoodsCode(benchmark::State& state)
{
    std::vector<QString> codes;
    for (int id : enabledIds(kLookupGoods, 4096))
        codes.push_back(BenchData::GoodsCode(id).toLower()); // typed in lower case
    pairedLookup(state, codes, kUnitsPerGoods);
}
BENCHMARK(BM_LookupByGoodsCode)->Unit(benchmark::kMicrosecond)->UseManualTime();

void BM_LookupByBarcode(benchmark::State& state)
{
    const std::vector<int> ids = enabledIds(kLookupGoods, 4096);
    std::vector<QString> barcodes;
    for (size_t k = 0; k < ids.size(); ++k)
        barcodes.push_back(BenchData::Barcode(ids[k], 1 + int(k % kUnitsPerGoods)));
    pairedLookup(state, barcodes, 1);
}
BENCHMARK(BM_LookupByBarcode)->Unit(benchmark::kMicrosecond)->UseManualTime();

void BM_LookupMiss(benchmark::State& state)
{
    pairedLookup(state, {QStringLiteral("X-NOT-THERE")}, 0);
}
BENCHMARK(BM_LookupMiss)->Unit(benchmark::kMicrosecond)->UseManualTime();

// The second lookup after a pick: code plus unit id.
void BM_LookupByGoodsCodeAndUnit(benchmark::State& state)
{
    catalogue(kLookupGoods);
    dal_goods_detail dal;
    const std::vector<int> ids = enabledIds(kLookupGoods, 4096);
    std::vector<std::pair<QString, int>> keys;
    for (int id : ids) {
        const m_goods_detail m = dal.GetModelForInput(BenchData::GoodsCode(id));
        keys.push_back({BenchData::GoodsCode(id), m.id});
    }
    size_t i = 0;
    for (auto _ : state) {
        const auto& [code, unitId] = keys[i++ % keys.size()];
        const m_goods_detail m = dal.GetModelForInput(code, unitId);
        if (m.irowsCount != 1)
            state.SkipWithError("code and unit did not find one unit");
        benchmark::DoNotOptimize(m.id);
    }
}
BENCHMARK(BM_LookupByGoodsCodeAndUnit)->Unit(benchmark::kMicrosecond);

// The picker's keyword search over 100,000 units (200,000 entry codes).
const char* const kKeywords[] = {
    "ZZZ-none", // nothing matches: the pure scan
    "G00123",   // a code fragment: 100 items
    "可乐",     // a product word: 1/16 of the items
    "KKKL",     // pinyin initials of 可口可乐
};

void BM_PickerKeywordSearch(benchmark::State& state)
{
    catalogue(kSearchGoods);
    dal_goods_detail dal;
    const QString keyword = QString::fromUtf8(kKeywords[state.range(0)]);
    const QString select = QStringLiteral(
        "select id,0,inputGoodsCode,goodsName,goodsDesc,goodsTypeName,unit,packQty,weight,inPrice,status  ");
    int rows = 0;
    for (auto _ : state) {
        const m_recordSet r = dal.GetListForInputAndCondition(
            {m_condition(QStringLiteral("status"), QStringLiteral("="), QStringLiteral("启用")),
             m_condition(dal_goods_detail::kInputKeywordField, QStringLiteral("like"), keyword)},
            select);
        rows = r.recordCount;
        benchmark::DoNotOptimize(rows);
    }
    state.SetLabel(keyword.toStdString());
    state.counters["rows"] = rows;
    state.counters["units"] = kSearchGoods * kUnitsPerGoods;
}
BENCHMARK(BM_PickerKeywordSearch)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

// The goods window's keyword search over the items of the same catalogue.
void BM_GoodsListKeywordSearch(benchmark::State& state)
{
    catalogue(kSearchGoods);
    dal_goods_head dal;
    const QString keyword = QString::fromUtf8(kKeywords[state.range(0)]);
    int rows = 0;
    for (auto _ : state) {
        const m_recordSet r = dal.GetListForCondition(
            {m_condition(dal_goods_head::kKeywordField, QStringLiteral("like"), keyword)});
        rows = r.recordCount;
        benchmark::DoNotOptimize(rows);
    }
    state.SetLabel(keyword.toStdString());
    state.counters["rows"] = rows;
}
BENCHMARK(BM_GoodsListKeywordSearch)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

} // namespace

// Bill entry waits on the goods lookup (a barcode scanner types and presses
// Enter), and the picker waits on the keyword search. Both are measured on
// catalogues of the size a busy store reaches.
#include "BareSql.h"
#include "BenchData.h"
#include "dal_goods_detail.h"
#include "dal_goods_head.h"
#include "sqlHelper.h"

#include <QCoreApplication>
#include <benchmark/benchmark.h>
#include <map>
#include <memory>
#include <random>

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

void BM_LookupByGoodsCode(benchmark::State& state)
{
    catalogue(kLookupGoods);
    dal_goods_detail dal;
    const std::vector<int> ids = enabledIds(kLookupGoods, 4096);
    std::vector<QString> codes;
    for (int id : ids)
        codes.push_back(BenchData::GoodsCode(id).toLower()); // typed in lower case
    size_t i = 0;
    for (auto _ : state) {
        const m_goods_detail m = dal.GetModelForInput(codes[i++ % codes.size()]);
        if (m.irowsCount != kUnitsPerGoods)
            state.SkipWithError("goods code did not find every unit");
        benchmark::DoNotOptimize(m.id);
    }
    state.counters["units"] = kLookupGoods * kUnitsPerGoods;
}
BENCHMARK(BM_LookupByGoodsCode)->Unit(benchmark::kMicrosecond);

void BM_LookupByBarcode(benchmark::State& state)
{
    catalogue(kLookupGoods);
    dal_goods_detail dal;
    const std::vector<int> ids = enabledIds(kLookupGoods, 4096);
    std::vector<QString> barcodes;
    for (size_t k = 0; k < ids.size(); ++k)
        barcodes.push_back(BenchData::Barcode(ids[k], 1 + int(k % kUnitsPerGoods)));
    size_t i = 0;
    for (auto _ : state) {
        const m_goods_detail m = dal.GetModelForInput(barcodes[i++ % barcodes.size()]);
        if (m.irowsCount != 1)
            state.SkipWithError("barcode did not find its unit");
        benchmark::DoNotOptimize(m.id);
    }
    state.counters["units"] = kLookupGoods * kUnitsPerGoods;
}
BENCHMARK(BM_LookupByBarcode)->Unit(benchmark::kMicrosecond);

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

void BM_LookupMiss(benchmark::State& state)
{
    catalogue(kLookupGoods);
    dal_goods_detail dal;
    for (auto _ : state) {
        const m_goods_detail m = dal.GetModelForInput(QStringLiteral("X-NOT-THERE"));
        if (m.id != 0)
            state.SkipWithError("found a unit that does not exist");
        benchmark::DoNotOptimize(m.id);
    }
}
BENCHMARK(BM_LookupMiss)->Unit(benchmark::kMicrosecond);

// The same lookups bare: the statement GetModelForInput runs, prepared once
// on the same connection, its rows read with the C API.
BareStatement& bareLookup()
{
    static BareStatement stmt(QStringLiteral(
        "select utype,id,headId,rowNo,goodsTypeId,goodsTypeName,goodsCode,goodsDetailCode,inputGoodsCode,"
        "isDefault,goodsName,goodsDesc,pinyin,status,upqty,downqty,unit,packQty,weight,inPrice,salePrice "
        " from v_goods_detail_input where status='启用' and (inputGoodsCode=?)"));
    return stmt;
}

void BM_BareLookupByGoodsCode(benchmark::State& state)
{
    catalogue(kLookupGoods);
    const std::vector<int> ids = enabledIds(kLookupGoods, 4096);
    std::vector<QVariant> codes;
    for (int id : ids)
        codes.push_back(BenchData::GoodsCode(id).toLower());
    size_t i = 0;
    for (auto _ : state) {
        if (bareLookup().Run({codes[i++ % codes.size()]}) != kUnitsPerGoods)
            state.SkipWithError("goods code did not find every unit");
    }
}
BENCHMARK(BM_BareLookupByGoodsCode)->Unit(benchmark::kMicrosecond);

void BM_BareLookupByBarcode(benchmark::State& state)
{
    catalogue(kLookupGoods);
    const std::vector<int> ids = enabledIds(kLookupGoods, 4096);
    std::vector<QVariant> barcodes;
    for (size_t k = 0; k < ids.size(); ++k)
        barcodes.push_back(BenchData::Barcode(ids[k], 1 + int(k % kUnitsPerGoods)));
    size_t i = 0;
    for (auto _ : state) {
        if (bareLookup().Run({barcodes[i++ % barcodes.size()]}) != 1)
            state.SkipWithError("barcode did not find its unit");
    }
}
BENCHMARK(BM_BareLookupByBarcode)->Unit(benchmark::kMicrosecond);

void BM_BareLookupMiss(benchmark::State& state)
{
    catalogue(kLookupGoods);
    for (auto _ : state) {
        if (bareLookup().Run({QStringLiteral("X-NOT-THERE")}) != 0)
            state.SkipWithError("found a unit that does not exist");
    }
}
BENCHMARK(BM_BareLookupMiss)->Unit(benchmark::kMicrosecond);

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

// Bill entry waits on the goods lookup (a barcode scanner types and presses
// Enter), and the picker and the goods window wait on the keyword search.
// Both are measured on catalogues of the size a busy store reaches, made
// once and kept (BenchData::Kept); every measure beside a bare twin (the C
// API on the same connection, statements prepared once, the same rows
// read), interleaved in the same run (Paired.h).
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

BenchData& catalogue(int goodsCount)
{
    static std::map<int, std::unique_ptr<BenchData>> made;
    BenchData& db = BenchData::Kept(made[goodsCount], QStringLiteral("catalogue-%1-v1").arg(goodsCount),
                                    [goodsCount](BenchData& d) {
                                        BenchData::GoodsPlan setup;
                                        setup.goodsCount = goodsCount;
                                        setup.unitsPerGoods = kUnitsPerGoods;
                                        setup.disabledEvery = 50;
                                        d.AddGoods(setup);
                                        ExecuteSql(QStringLiteral("analyze"));
                                    });
    db.UseIfElsewhere();
    return db;
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
    explicit BareLookup(bool byUnit = false)
    {
        const QByteArray sql =
            QByteArray(
                "select utype,id,headId,rowNo,goodsTypeId,goodsTypeName,goodsCode,goodsDetailCode,"
                "inputGoodsCode,isDefault,goodsName,goodsDesc,pinyin,status,upqty,downqty,unit,packQty,"
                "weight,inPrice,salePrice  from v_goods_detail_input where status='启用' and "
                "(inputGoodsCode=?)") +
            (byUnit ? " and id=?" : "");
        if (sqlite3_prepare_v2(BareStatement::Handle(), sql.constData(), int(sql.size()), &m_stmt, nullptr) !=
            SQLITE_OK)
            throw std::runtime_error(sqlite3_errmsg(BareStatement::Handle()));
    }
    ~BareLookup() { sqlite3_finalize(m_stmt); }
    BareLookup(const BareLookup&) = delete;
    BareLookup& operator=(const BareLookup&) = delete;

    // The rows found; the first one's id in id.
    int Run(const QByteArray& code, sqlite3_int64& id, sqlite3_int64 unitId = 0)
    {
        sqlite3_bind_text(m_stmt, 1, code.constData(), int(code.size()), SQLITE_STATIC);
        if (unitId > 0)
            sqlite3_bind_int64(m_stmt, 2, unitId);
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
    BareLookup bare(true);
    const std::vector<int> ids = enabledIds(kLookupGoods, 4096);
    std::vector<std::pair<QString, int>> keys;
    std::vector<QByteArray> bytes;
    for (int id : ids) {
        const m_goods_detail m = dal.GetModelForInput(BenchData::GoodsCode(id));
        keys.push_back({BenchData::GoodsCode(id), m.id});
        bytes.push_back(BenchData::GoodsCode(id).toUtf8());
    }
    Paired pair(1e6);
    size_t i = 0;
    for (auto _ : state) {
        const size_t k = i++ % keys.size();
        m_goods_detail m;
        int bareRows = 0;
        sqlite3_int64 bareId = 0;
        pair.Run(
            state, [&] { m = dal.GetModelForInput(keys[k].first, keys[k].second); },
            [&] { bareRows = bare.Run(bytes[k], bareId, keys[k].second); });
        if (m.irowsCount != 1 || bareRows != 1 || m.id != bareId) {
            state.SkipWithError("code and unit did not find one unit");
            break;
        }
    }
    pair.Report(state);
}
BENCHMARK(BM_LookupByGoodsCodeAndUnit)->Unit(benchmark::kMicrosecond)->UseManualTime();

// The picker's keyword search over 100,000 units (200,000 entry codes).
const char* const kKeywords[] = {
    "ZZZ-none", // nothing matches: the pure scan
    "G00123",   // a code fragment: 100 items
    "可乐",     // a product word: 1/16 of the items
    "KKKL",     // pinyin initials of 可口可乐
};

// The keyword pattern as the search binds it: the typed text between "%".
QString Pattern(const QString& keyword)
{
    return QStringLiteral("%") + keyword + QStringLiteral("%");
}

void BM_PickerKeywordSearch(benchmark::State& state)
{
    catalogue(kSearchGoods);
    dal_goods_detail dal;
    const QString keyword = QString::fromUtf8(kKeywords[state.range(0)]);
    const QString select = QStringLiteral(
        "select id,0,inputGoodsCode,goodsName,goodsDesc,goodsTypeName,unit,packQty,weight,inPrice,status  ");
    // The same rows bare, from the entry codes and the tables they join.
    BareStatement bare(QStringLiteral(
        "SELECT g.id, 0, k.inputCode, h.goodsName, h.goodsDesc, COALESCE(d.uname, ''), g.unit, g.packQty, "
        "g.weight, g.inPrice, h.status FROM tb_goods_input_key AS k CROSS JOIN tb_goods_detail AS g "
        "ON g.id = k.detailId CROSS JOIN tb_goods_head AS h ON h.id = k.headId LEFT JOIN tb_dictionary AS d "
        "ON d.id = h.goodsTypeId WHERE h.status = ? AND COALESCE(k.keyText, '') LIKE ?"));
    const std::vector<QVariant> values = {QStringLiteral("启用"), Pattern(keyword)};
    Paired pair(1e3);
    int rows = 0;
    for (auto _ : state) {
        int bareRows = 0;
        pair.Run(
            state,
            [&] {
                rows = dal.GetListForInputAndCondition(
                              {m_condition(SearchKey::Status, QStringLiteral("="), QStringLiteral("启用")),
                               m_condition(SearchKey::Keyword, QStringLiteral("like"), keyword)},
                              SelectListOf(select))
                           .recordCount;
            },
            [&] { bareRows = bare.Run(values); });
        if (rows != bareRows) {
            state.SkipWithError("the searches found different rows");
            break;
        }
    }
    pair.Report(state);
    state.SetLabel(keyword.toStdString());
    state.counters["rows"] = rows;
    state.counters["units"] = kSearchGoods * kUnitsPerGoods;
}
BENCHMARK(BM_PickerKeywordSearch)->DenseRange(0, 3)->Unit(benchmark::kMillisecond)->UseManualTime();

// The goods window's keyword search over the items of the same catalogue.
void BM_GoodsListKeywordSearch(benchmark::State& state)
{
    catalogue(kSearchGoods);
    dal_goods_head dal;
    const QString keyword = QString::fromUtf8(kKeywords[state.range(0)]);
    BareStatement bare(QStringLiteral(
        "SELECT h.id, h.goodsTypeId, COALESCE(d.uname, ''), h.goodsCode, h.goodsName, h.goodsDesc, h.pinyin, "
        "h.upqty, h.downqty, h.status, h.imageUrl, h.creator, h.createTime, h.updateLastUser, "
        "h.updateLastTime "
        "FROM tb_goods_head AS h LEFT JOIN tb_dictionary AS d ON d.id = h.goodsTypeId "
        "WHERE COALESCE(h.goodsCode,'')||COALESCE(h.goodsName,'')||COALESCE(h.pinyin,'') LIKE ?"));
    const std::vector<QVariant> values = {Pattern(keyword)};
    Paired pair(1e3);
    int rows = 0;
    for (auto _ : state) {
        int bareRows = 0;
        pair.Run(
            state,
            [&] {
                rows = dal.GetListForCondition(
                              {m_condition(SearchKey::Keyword, QStringLiteral("like"), keyword)})
                           .recordCount;
            },
            [&] { bareRows = bare.Run(values); });
        if (rows != bareRows) {
            state.SkipWithError("the searches found different rows");
            break;
        }
    }
    pair.Report(state);
    state.SetLabel(keyword.toStdString());
    state.counters["rows"] = rows;
}
BENCHMARK(BM_GoodsListKeywordSearch)->DenseRange(0, 3)->Unit(benchmark::kMillisecond)->UseManualTime();

} // namespace

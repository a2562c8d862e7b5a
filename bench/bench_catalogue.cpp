// Bill entry waits on the goods lookup (a barcode scanner types and presses
// Enter), and the picker and the goods window wait on the keyword search.
// Both are measured on catalogues of the size a busy store reaches, made
// once and kept (BenchData::Kept); every measure beside a bare twin (the C
// API on the same connection, statements prepared once, no Qt type),
// interleaved in the same run (Paired.h). The twin hands on what the
// program does (the unit found with its fields, every row found with its
// cells, in the same order), and each run compares the two field by field
// and cell by cell.
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
#include <string>
#include <variant>
#include <vector>

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

// A unit as bill entry's lookup hands it on, without a Qt type: the first
// matching row's columns (a Null text empty, a Null number 0, the whole
// columns as whole numbers), the code as typed and the number of matches.
struct BareUnit {
    std::string utype, goodsTypeName, goodsCode, goodsDetailCode, inputGoodsCode, goodsName, goodsDesc,
        pinyin, status, unit;
    int id = 0, headId = 0, rowNo = 0, goodsTypeId = 0, isDefault = 0, rows = 0;
    double upqty = 0, downqty = 0, packQty = 0, weight = 0, inPrice = 0, salePrice = 0;
};

// The lookup bare: the statement GetModelForInput runs, prepared once on the
// same connection, the first row's columns read natively into a BareUnit and
// the other rows counted.
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

    // The unit found (an empty one when nothing matched).
    BareUnit Run(const std::string& code, sqlite3_int64 unitId = 0)
    {
        sqlite3_bind_text(m_stmt, 1, code.data(), int(code.size()), SQLITE_STATIC);
        if (unitId > 0)
            sqlite3_bind_int64(m_stmt, 2, unitId);
        BareUnit u;
        int rc = sqlite3_step(m_stmt);
        if (rc == SQLITE_ROW) {
            u.utype = text(0);
            u.id = integer(1);
            u.headId = integer(2);
            u.rowNo = integer(3);
            u.goodsTypeId = integer(4);
            u.goodsTypeName = text(5);
            u.goodsCode = text(6);
            u.goodsDetailCode = text(7);
            u.isDefault = integer(9);
            u.goodsName = text(10);
            u.goodsDesc = text(11);
            u.pinyin = text(12);
            u.status = text(13);
            u.upqty = number(14);
            u.downqty = number(15);
            u.unit = text(16);
            u.packQty = number(17);
            u.weight = number(18);
            u.inPrice = number(19);
            u.salePrice = number(20);
            u.rows = 1;
            while ((rc = sqlite3_step(m_stmt)) == SQLITE_ROW)
                ++u.rows;
            u.inputGoodsCode = code;
        }
        if (rc != SQLITE_DONE)
            throw std::runtime_error(sqlite3_errmsg(BareStatement::Handle()));
        sqlite3_reset(m_stmt);
        sqlite3_clear_bindings(m_stmt);
        return u;
    }

  private:
    std::string text(int c) const
    {
        const auto* chars = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, c));
        return chars ? std::string(chars, size_t(sqlite3_column_bytes(m_stmt, c))) : std::string();
    }
    double number(int c) const
    {
        return sqlite3_column_type(m_stmt, c) == SQLITE_NULL ? 0.0 : sqlite3_column_double(m_stmt, c);
    }
    int integer(int c) const { return int(number(c)); }
    sqlite3_stmt* m_stmt = nullptr;
};

// Whether the program's unit and the twin's hold the same values, field by
// field.
bool SameUnit(const m_goods_detail& m, const BareUnit& u)
{
    const auto same = [](const QString& a, const std::string& b) { return a.toStdString() == b; };
    return m.irowsCount == u.rows && m.id == u.id && m.headId == u.headId && m.rowNo == u.rowNo &&
           m.goodsTypeId == u.goodsTypeId && m.isDefault == u.isDefault && m.upqty == u.upqty &&
           m.downqty == u.downqty && m.packQty == u.packQty && m.weight == u.weight &&
           m.inPrice == u.inPrice && m.salePrice == u.salePrice && same(m.utype, u.utype) &&
           same(m.goodsTypeName, u.goodsTypeName) && same(m.goodsCode, u.goodsCode) &&
           same(m.goodsDetailCode, u.goodsDetailCode) && same(m.inputGoodsCode, u.inputGoodsCode) &&
           same(m.goodsName, u.goodsName) && same(m.goodsDesc, u.goodsDesc) && same(m.pinyin, u.pinyin) &&
           same(m.status, u.status) && same(m.unit, u.unit);
}

// Ours and the bare lookup interleaved on the same typed texts; both must find
// the same number of units and hand on the same unit, every field.
void pairedLookup(benchmark::State& state, const std::vector<QString>& typed, int expectedRows)
{
    catalogue(kLookupGoods);
    dal_goods_detail dal;
    BareLookup bare;
    std::vector<std::string> bytes;
    for (const QString& t : typed)
        bytes.push_back(t.toStdString());
    Paired pair(1e6);
    size_t i = 0;
    for (auto _ : state) {
        const size_t k = i++ % typed.size();
        m_goods_detail m;
        BareUnit u;
        pair.Run(
            state, [&] { m = dal.GetModelForInput(typed[k]); }, [&] { u = bare.Run(bytes[k]); });
        if (m.irowsCount != expectedRows || !SameUnit(m, u)) {
            state.SkipWithError("the lookups found different rows");
            break;
        }
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
    std::vector<std::string> bytes;
    for (int id : ids) {
        const m_goods_detail m = dal.GetModelForInput(BenchData::GoodsCode(id));
        keys.push_back({BenchData::GoodsCode(id), m.id});
        bytes.push_back(BenchData::GoodsCode(id).toStdString());
    }
    Paired pair(1e6);
    size_t i = 0;
    for (auto _ : state) {
        const size_t k = i++ % keys.size();
        m_goods_detail m;
        BareUnit u;
        pair.Run(
            state, [&] { m = dal.GetModelForInput(keys[k].first, keys[k].second); },
            [&] { u = bare.Run(bytes[k], keys[k].second); });
        if (m.irowsCount != 1 || !SameUnit(m, u)) {
            state.SkipWithError("code and unit did not find one unit");
            break;
        }
    }
    pair.Report(state);
}
BENCHMARK(BM_LookupByGoodsCodeAndUnit)->Unit(benchmark::kMicrosecond)->UseManualTime();

// A keyword search bare: its statement prepared once, the pattern bound as
// UTF-8, every row kept with its cells as SQLite gives them.
class BareSearch
{
  public:
    explicit BareSearch(const char* sql)
    {
        if (sqlite3_prepare_v2(BareStatement::Handle(), sql, -1, &m_stmt, nullptr) != SQLITE_OK)
            throw std::runtime_error(sqlite3_errmsg(BareStatement::Handle()));
    }
    ~BareSearch() { sqlite3_finalize(m_stmt); }
    BareSearch(const BareSearch&) = delete;
    BareSearch& operator=(const BareSearch&) = delete;

    // The values bound in order (texts), the rows in the statement's order.
    std::vector<BareRow> Run(const std::vector<std::string>& values)
    {
        for (size_t k = 0; k < values.size(); ++k)
            sqlite3_bind_text(m_stmt, int(k) + 1, values[k].data(), int(values[k].size()), SQLITE_STATIC);
        return BareRows(m_stmt);
    }

  private:
    sqlite3_stmt* m_stmt = nullptr;
};

// Whether the program's kept rows hold the twin's rows, in order, cell by
// cell: a Null as a Null, a number of the same kind and value, a text of
// the same characters.
bool SameRows(const RecordSetPtr& ours, const std::vector<BareRow>& bare)
{
    if (!ours || ours->RecordCount() != int(bare.size()))
        return false;
    for (int r = 0; r < ours->RecordCount(); ++r) {
        const BareRow& row = bare[size_t(r)];
        if (ours->fieldCount() != int(row.size()))
            return false;
        for (int c = 0; c < int(row.size()); ++c) {
            const QVariant v = ours->value(r, c);
            const BareValue& b = row[size_t(c)];
            bool same = false;
            if (std::holds_alternative<std::monostate>(b))
                same = v.isNull();
            else if (const auto* i = std::get_if<sqlite3_int64>(&b))
                same = !v.isNull() && (v.typeId() == QMetaType::LongLong || v.typeId() == QMetaType::Int) &&
                       v.toLongLong() == *i;
            else if (const auto* d = std::get_if<double>(&b))
                same = !v.isNull() && v.typeId() == QMetaType::Double && v.toDouble() == *d;
            else
                same = !v.isNull() && v.typeId() == QMetaType::QString &&
                       v.toString().toStdString() == std::get<std::string>(b);
            if (!same)
                return false;
        }
    }
    return true;
}

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
    BareSearch bare(
        "SELECT g.id, 0, k.inputCode, h.goodsName, h.goodsDesc, COALESCE(d.uname, ''), g.unit, g.packQty, "
        "g.weight, g.inPrice, h.status FROM tb_goods_input_key AS k CROSS JOIN tb_goods_detail AS g "
        "ON g.id = k.detailId CROSS JOIN tb_goods_head AS h ON h.id = k.headId LEFT JOIN tb_dictionary AS d "
        "ON d.id = h.goodsTypeId WHERE h.status = ? AND COALESCE(k.keyText, '') LIKE ?");
    const std::vector<std::string> values = {"启用", Pattern(keyword).toStdString()};
    Paired pair(1e3);
    int rows = 0;
    for (auto _ : state) {
        m_recordSet result;
        std::vector<BareRow> bareRows;
        pair.Run(
            state,
            [&] {
                result = dal.GetListForInputAndCondition(
                    {m_condition(SearchKey::Status, QStringLiteral("="), QStringLiteral("启用")),
                     m_condition(SearchKey::Keyword, QStringLiteral("like"), keyword)},
                    SelectListOf(select));
            },
            [&] { bareRows = bare.Run(values); });
        rows = result.recordCount;
        if (rows != int(bareRows.size()) || !SameRows(result.recordSet, bareRows)) {
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
    BareSearch bare(
        "SELECT h.id, h.goodsTypeId, COALESCE(d.uname, ''), h.goodsCode, h.goodsName, h.goodsDesc, h.pinyin, "
        "h.upqty, h.downqty, h.status, h.imageUrl, h.creator, h.createTime, h.updateLastUser, "
        "h.updateLastTime "
        "FROM tb_goods_head AS h LEFT JOIN tb_dictionary AS d ON d.id = h.goodsTypeId "
        "WHERE COALESCE(h.goodsCode,'')||COALESCE(h.goodsName,'')||COALESCE(h.pinyin,'') LIKE ?");
    const std::vector<std::string> values = {Pattern(keyword).toStdString()};
    Paired pair(1e3);
    int rows = 0;
    for (auto _ : state) {
        m_recordSet result;
        std::vector<BareRow> bareRows;
        pair.Run(
            state,
            [&] {
                result = dal.GetListForCondition(
                    {m_condition(SearchKey::Keyword, QStringLiteral("like"), keyword)});
            },
            [&] { bareRows = bare.Run(values); });
        rows = result.recordCount;
        if (rows != int(bareRows.size()) || !SameRows(result.recordSet, bareRows)) {
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

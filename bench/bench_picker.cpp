// One keystroke in the picker: the search of the mode with the new keyword
// and the refill of its list, over 100,000 packing units and 10,000 partners
// (made once and kept, BenchData::Kept). Beside it, interleaved (Paired.h),
// the bare twin on the C API (statements prepared once, no Qt type) reads
// the same first page of 200 rows in the list's order, counts the matches
// when there are more and makes the texts the list and its count line show;
// each run compares them with the picker's, cell by cell.
#include "BareExact.h"
#include "BareSql.h"
#include "BenchData.h"
#include "FlexGrid.h"
#include "Paired.h"
#include "ToPinyin.h"
#include "frm_select.h"
#include "mod_public.h"

#include <QLabel>
#include <QLineEdit>
#include <benchmark/benchmark.h>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace
{

constexpr int kGoods = 25000; // 4 units each: 100,000 packing units, 200,000 entry codes
constexpr int kPartners = 10000;

const QStringList& cities()
{
    static const QStringList list = {QStringLiteral("上海"), QStringLiteral("北京"), QStringLiteral("广州"),
                                     QStringLiteral("深圳"), QStringLiteral("杭州"), QStringLiteral("南京"),
                                     QStringLiteral("武汉"), QStringLiteral("成都")};
    return list;
}

const QStringList& trades()
{
    static const QStringList list = {QStringLiteral("食品"), QStringLiteral("饮料"), QStringLiteral("商贸"),
                                     QStringLiteral("物流"), QStringLiteral("超市"), QStringLiteral("百货")};
    return list;
}

void addPartners(BenchData& data, int count)
{
    data.Fill([&] {
        BenchData::Inserter ins(QStringLiteral(
            "insert into tb_customer (id,utype,customType,customerCode,uname,pinyin,contact,companyName,tel,"
            "status,creator,createTime,userId) values (?,?,0,?,?,?,?,?,?,?,'admin','2024-05-01 "
            "08:00:00',1)"));
        const int first = data.NextId(QStringLiteral("tb_customer"));
        for (int n = 0; n < count; ++n) {
            const int id = first + n;
            const QString stem = cities().at(id % cities().size()) + trades().at((id / 8) % trades().size());
            const QString name = stem + QString::number(id) + QStringLiteral("有限公司");
            // Half of the partners have no contact and no company name.
            const bool sparse = id % 2 == 0;
            ins.Row({id, id % 3, QStringLiteral("ct-2405-%1").arg(id, 5, 10, QLatin1Char('0')), name,
                     GetPinyin(stem), sparse ? QVariant() : QVariant(QStringLiteral("联系人%1").arg(id)),
                     sparse ? QVariant() : QVariant(name), QStringLiteral("021-%1").arg(id),
                     id % 50 == 0 ? 0 : 1});
        }
    });
}

BenchData& data()
{
    static std::unique_ptr<BenchData> kept;
    BenchData& d = BenchData::Kept(kept, QStringLiteral("picker-v1"), [](BenchData& bench) {
        BenchData::GoodsPlan setup;
        setup.goodsCount = kGoods;
        setup.unitsPerGoods = 4;
        setup.disabledEvery = 20;
        bench.AddGoods(setup);
        addPartners(bench, kPartners);
    });
    d.UseIfElsewhere();
    SysVar.Sys_accountJoinId = QStringLiteral("2,0");
    SysVar.Sys_locationJoinId = QStringLiteral("0");
    return d;
}

// The list bare: the rows of the mode's view that match, in the list's
// order, 200 at most, each with the texts the list shows (its row number,
// then every column: whole numbers and numbers in the plain form, a Null
// empty), the matches counted when the page is full, and the count line.
class BarePicker
{
  public:
    explicit BarePicker(const QString& mode)
    {
        QString select, from, keyword, order;
        if (mode == QLatin1String("inputGoods") || mode == QLatin1String("inputGoodsForExport")) {
            select =
                QStringLiteral("SELECT id, 0, inputGoodsCode, goodsName, goodsDesc, goodsTypeName, unit, "
                               "packQty, weight, %1, status")
                    .arg(mode == QLatin1String("inputGoods") ? QStringLiteral("inPrice")
                                                             : QStringLiteral("salePrice"));
            from = QStringLiteral(" FROM v_goods_detail_input WHERE status = '启用'");
            keyword = QStringLiteral(" AND COALESCE(keyText, '') LIKE ?");
            order = QStringLiteral(" ORDER BY keyId");
        } else {
            select = QStringLiteral("SELECT id, 0, uname, customerCode, contact, companyName, utypeName");
            from =
                QStringLiteral(" FROM v_customer WHERE utype IN (%1) AND status = 1")
                    .arg(mode == QLatin1String("supplier") ? QStringLiteral("0,2") : QStringLiteral("1,2"));
            keyword = QStringLiteral(
                " AND COALESCE(pinyin,'')||COALESCE(uname,'')||COALESCE(customerCode,'') LIKE ?");
            order = QStringLiteral(" ORDER BY id");
        }
        for (int k = 0; k < 2; ++k) {
            const QString where = from + (k ? keyword : QString());
            m_page[k] = prepare(select + where + order + QStringLiteral(" LIMIT 200"));
            m_count[k] = prepare(QStringLiteral("SELECT COUNT(*)") + where);
        }
    }
    ~BarePicker()
    {
        for (int k = 0; k < 2; ++k) {
            sqlite3_finalize(m_page[k]);
            sqlite3_finalize(m_count[k]);
        }
    }
    BarePicker(const BarePicker&) = delete;
    BarePicker& operator=(const BarePicker&) = delete;

    // pattern: the keyword between "%", empty for none.
    void Run(const std::string& pattern)
    {
        const int k = pattern.empty() ? 0 : 1;
        sqlite3_stmt* page = m_page[k];
        if (k)
            sqlite3_bind_text(page, 1, pattern.data(), int(pattern.size()), SQLITE_STATIC);
        rows.clear();
        const int cols = sqlite3_column_count(page);
        int rc;
        while ((rc = sqlite3_step(page)) == SQLITE_ROW) {
            std::vector<std::string>& row = rows.emplace_back();
            row.reserve(size_t(cols) + 1);
            row.push_back(std::to_string(rows.size()));
            for (int c = 0; c < cols; ++c) {
                switch (sqlite3_column_type(page, c)) {
                case SQLITE_INTEGER:
                    row.push_back(std::to_string(sqlite3_column_int64(page, c)));
                    break;
                case SQLITE_FLOAT:
                    row.push_back(BarePlainNumber(sqlite3_column_double(page, c)));
                    break;
                case SQLITE_NULL:
                    row.emplace_back();
                    break;
                default:
                    row.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(page, c)),
                                     size_t(sqlite3_column_bytes(page, c)));
                }
            }
        }
        check(rc, page);
        long long found = (long long)rows.size();
        if (found >= 200) {
            sqlite3_stmt* count = m_count[k];
            if (k)
                sqlite3_bind_text(count, 1, pattern.data(), int(pattern.size()), SQLITE_STATIC);
            rc = sqlite3_step(count);
            found = rc == SQLITE_ROW ? sqlite3_column_int64(count, 0) : 0;
            check(rc == SQLITE_ROW ? sqlite3_step(count) : rc, count);
        }
        info = "当前找到[ " + std::to_string(found) + " ]条记录";
    }

    std::vector<std::vector<std::string>> rows;
    std::string info;

  private:
    static sqlite3_stmt* prepare(const QString& sql)
    {
        const QByteArray text = sql.toUtf8();
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(BareStatement::Handle(), text.constData(), int(text.size()), &stmt, nullptr) !=
            SQLITE_OK)
            throw std::runtime_error(sqlite3_errmsg(BareStatement::Handle()));
        return stmt;
    }
    static void check(int rc, sqlite3_stmt* stmt)
    {
        sqlite3_reset(stmt);
        if (rc != SQLITE_DONE)
            throw std::runtime_error(sqlite3_errmsg(BareStatement::Handle()));
    }
    sqlite3_stmt* m_page[2] = {};
    sqlite3_stmt* m_count[2] = {};
};

// Whether the picker's list and count line show what the twin made: every
// row, every column's text.
bool SameList(const frm_select& picker, const BarePicker& bare)
{
    if (picker.Lblinfor->text().toStdString() != bare.info)
        return false;
    const FlexGrid& grid = *picker.vgInput;
    const int shown = bare.rows.empty() ? 0 : grid.Rows() - grid.FixedRows();
    if (shown != int(bare.rows.size()))
        return false;
    for (int r = 0; r < shown; ++r) {
        const std::vector<std::string>& row = bare.rows[size_t(r)];
        if (grid.Cols() != int(row.size()))
            return false;
        for (int c = 0; c < int(row.size()); ++c)
            if (grid.TextMatrix(grid.FixedRows() + r, c).toStdString() != row[size_t(c)])
                return false;
    }
    return true;
}

// Each iteration types the keyword into a picker whose box held another text:
// the search runs and the list is refilled, as on a keystroke.
void typeKeyword(benchmark::State& state, const QString& mode, const QString& keyword)
{
    data();
    frm_select picker;
    picker.utbName = mode;
    picker.isHideCheckCol = true;
    picker.RunSearch();
    BarePicker bare(mode);
    const std::string pattern = keyword.isEmpty()
                                    ? std::string()
                                    : (QStringLiteral("%") + keyword + QStringLiteral("%")).toStdString();
    const QString other = keyword.isEmpty() ? QStringLiteral("x") : QString();
    Paired pair(1e3);
    for (auto _ : state) {
        picker.utxtkeyword->blockSignals(true);
        picker.utxtkeyword->setText(other);
        picker.utxtkeyword->blockSignals(false);
        pair.Run(
            state, [&] { picker.utxtkeyword->setText(keyword); }, [&] { bare.Run(pattern); });
        if (!SameList(picker, bare)) {
            state.SkipWithError("the lists show different rows");
            break;
        }
    }
    pair.Report(state);
    state.counters["rows"] = picker.vgInput->Rows() - 1;
    state.SetLabel(picker.Lblinfor->text().toStdString());
}

void BM_Goods_FirstCharacter(benchmark::State& s)
{
    typeKeyword(s, QStringLiteral("inputGoods"), QStringLiteral("可"));
}
void BM_Goods_Word(benchmark::State& s)
{
    typeKeyword(s, QStringLiteral("inputGoods"), QStringLiteral("康师傅方便"));
}
void BM_Goods_Pinyin(benchmark::State& s)
{
    typeKeyword(s, QStringLiteral("inputGoods"), QStringLiteral("ksfkl"));
}
void BM_Goods_Code(benchmark::State& s)
{
    typeKeyword(s, QStringLiteral("inputGoods"), BenchData::GoodsCode(12345));
}
void BM_Goods_Barcode(benchmark::State& s)
{
    typeKeyword(s, QStringLiteral("inputGoodsForExport"), BenchData::Barcode(12345, 3));
}
void BM_Goods_NoMatch(benchmark::State& s)
{
    typeKeyword(s, QStringLiteral("inputGoods"), QStringLiteral("没有这种货"));
}
void BM_Goods_Cleared(benchmark::State& s)
{
    typeKeyword(s, QStringLiteral("inputGoods"), QString());
}
void BM_Partner_FirstCharacter(benchmark::State& s)
{
    typeKeyword(s, QStringLiteral("customer"), QStringLiteral("上"));
}
void BM_Partner_Name(benchmark::State& s)
{
    // The name a supplier was given (see addPartners).
    const int id = 1233;
    typeKeyword(s, QStringLiteral("supplier"),
                cities().at(id % cities().size()) + trades().at((id / 8) % trades().size()) +
                    QString::number(id));
}
void BM_Partner_Code(benchmark::State& s)
{
    typeKeyword(s, QStringLiteral("supplier"), QStringLiteral("ct-2405-0999"));
}
void BM_Partner_Cleared(benchmark::State& s)
{
    typeKeyword(s, QStringLiteral("customer"), QString());
}

BENCHMARK(BM_Goods_FirstCharacter)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(BM_Goods_Word)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(BM_Goods_Pinyin)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(BM_Goods_Code)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(BM_Goods_Barcode)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(BM_Goods_NoMatch)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(BM_Goods_Cleared)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(BM_Partner_FirstCharacter)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(BM_Partner_Name)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(BM_Partner_Code)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(BM_Partner_Cleared)->Unit(benchmark::kMillisecond)->UseManualTime();

} // namespace

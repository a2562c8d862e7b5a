// A search keeps the keys of its rows and reads each page by position; the
// rows, their order and the count must be those of the filled work table.
// Both are read here on a seeded database: the pages of the search against
// the same pages read from the table after a whole fill.
#include "TestEnv.h"

#include "ReportSetup.h"
#include "dal_rpt_Reports.h"
#include "sqlHelper.h"

#include <random>

namespace
{

// Every row of a record set as one text per row (Null as "<null>", the
// value's type beside it so that 3 and 3.0 differ).
QStringList texts(const RecordSetPtr& rs)
{
    QStringList rows;
    for (int r = 0; rs && r < rs->RecordCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < rs->fieldCount(); ++c) {
            const QVariant v = rs->value(r, c);
            cells << (v.isNull() ? QStringLiteral("<null>")
                                 : v.toString() + QLatin1Char(':') + QString::fromLatin1(v.typeName()));
        }
        rows << cells.join(QLatin1Char('|'));
    }
    return rows;
}

} // namespace

class DirectPagesTest : public DbTest, public ::testing::WithParamInterface<BillDirection>
{
  protected:
    void SetUp() override
    {
        DbTest::SetUp();
        std::mt19937 rng(7);
        std::uniform_int_distribution<int> pick(0, 999);
        exec(QStringLiteral("BEGIN"));
        // Bills of partner 1 with lines of goods items 41 and 42, none of
        // them stored, as a file of the layout before the declared
        // references may hold: the reports show such lines too.
        for (const char* trigger : {"tr_rk_head_refs_insert", "tr_ck_head_refs_insert",
                                    "tr_rk_detail_refs_insert", "tr_ck_detail_refs_insert"})
            exec(QStringLiteral("DROP TRIGGER %1").arg(QLatin1String(trigger)));
        exec(QStringLiteral(
            "INSERT INTO tb_dictionary (id, utype, uname) VALUES (12, 'accountType', '总账'), "
            "(15, 'accountType', '分账'), (7, 'goodsType', '饮料'), (5, 'importType', '退货')"));
        exec(
            QStringLiteral("INSERT INTO tb_location (id, locationCode, uname) VALUES (1, 'A-01', '一号位')"));
        // Codes that differ in case only sort apart in the work table; some
        // items have no default unit, two, or one of 0 pieces.
        for (int g = 1; g <= 40; ++g) {
            const QString code =
                (g % 3 ? QStringLiteral("G%1") : QStringLiteral("g%1")).arg(g % 17, 3, 10, QLatin1Char('0'));
            exec(QStringLiteral(
                     "INSERT INTO tb_goods_head (id, goodsTypeId, goodsCode, goodsName, pinyin, upqty, "
                     "downqty, status) VALUES (%1, 7, '%2', '货%1', 'H%1', 10, 1, '启用')")
                     .arg(g)
                     .arg(code));
            if (g % 11 != 0)
                exec(QStringLiteral(
                         "INSERT INTO tb_goods_detail (id, headId, isDefault, unit, packQty) VALUES "
                         "(%1, %2, 1, '箱', %3)")
                         .arg(g * 10)
                         .arg(g)
                         .arg(g % 13 == 0 ? 0 : 1 + g % 4 * 6));
            if (g % 9 == 0)
                exec(QStringLiteral(
                         "INSERT INTO tb_goods_detail (id, headId, isDefault, unit, packQty) VALUES "
                         "(%1, %2, 1, '托', 48)")
                         .arg(g * 10 + 1)
                         .arg(g));
        }
        const BillSetup& t = BillSetup::Of(GetParam());
        const QString sale = GetParam() == BillDirection::Out ? QStringLiteral("salePrice, ") : QString();
        int lineId = 0;
        for (int b = 1; b <= 300; ++b) {
            // Head ids do not follow the dates; some days have many bills,
            // at different hours.
            const QString time = QStringLiteral("2024-%1-%2 %3:00:00")
                                     .arg(1 + pick(rng) % 5, 2, 10, QLatin1Char('0'))
                                     .arg(1 + pick(rng) % 6, 2, 10, QLatin1Char('0'))
                                     .arg(8 + pick(rng) % 10, 2, 10, QLatin1Char('0'));
            const int id = 1 + (b * 37) % 300;
            exec(QStringLiteral(
                     "INSERT INTO %1 (id, accountId, billNo, ubillNo, utypeId, %2, %3, ispass, creator, "
                     "createTime, userId) VALUES (%4, %5, '%6-%4', %7, 5, 1, '伙伴%8', %9, 'admin', "
                     "'%10', 1)")
                     .arg(t.headTable, t.partnerIdCol, t.partnerNameCol)
                     .arg(id)
                     .arg(pick(rng) % 4 ? 12 : 15)
                     .arg(t.numberKind)
                     .arg(pick(rng) % 5 ? QStringLiteral("NULL") : QStringLiteral("'U%1'").arg(id))
                     .arg(id % 7)
                     .arg(pick(rng) % 3 ? 1 : 0)
                     .arg(time));
            const int lines = pick(rng) % 9; // some bills have no lines
            for (int l = 1; l <= lines; ++l) {
                const int goods = 1 + pick(rng) % 42;
                double qty = 1 + pick(rng) % 20;
                if (pick(rng) % 5 == 0)
                    qty += (pick(rng) % 100) / 100.0;
                exec(QStringLiteral(
                         "INSERT INTO %1 (id, headId, rowNo, goodsTypeId, goodsTypeName, goodsId, "
                         "goodsCode, goodsName, unit, inPrice, %2packQty, weight, qty, locationId, "
                         "lotNo) VALUES (%3, %4, %5, 7, '饮料', %6, 'c%6', '货%6', '箱', %7, %8%9, %10, "
                         "%11, %12, NULL)")
                         .arg(t.lineTable, sale)
                         .arg(++lineId)
                         .arg(id)
                         .arg(l)
                         .arg(goods)
                         .arg((pick(rng) % 500) / 100.0)
                         .arg(sale.isEmpty() ? QString()
                                             : QStringLiteral("%1, ").arg((pick(rng) % 700) / 100.0))
                         .arg(pick(rng) % 2 ? 1 : 6)
                         .arg(pick(rng) % 3 * 0.25)
                         .arg(qty)
                         .arg(pick(rng) % 4 ? 1 : 0));
            }
        }
        exec(QStringLiteral("COMMIT"));
    }

    // The reports of the direction.
    struct Kind {
        std::unique_ptr<dal_rpt_Report> data;
        bool auditStates;
    };
    std::vector<Kind> kinds() const
    {
        const bool in = GetParam() == BillDirection::In;
        std::vector<Kind> k;
        k.push_back({in ? std::unique_ptr<dal_rpt_Report>(std::make_unique<dal_rpt_rkHead>())
                        : std::make_unique<dal_rpt_ckHead>(),
                     true});
        k.push_back({in ? std::unique_ptr<dal_rpt_Report>(std::make_unique<dal_rpt_rkDetail>())
                        : std::make_unique<dal_rpt_ckDetail>(),
                     true});
        k.push_back({in ? std::unique_ptr<dal_rpt_Report>(std::make_unique<dal_rpt_rkSum>())
                        : std::make_unique<dal_rpt_ckSum>(),
                     false});
        return k;
    }
};

TEST_P(DirectPagesTest, PagesAndCountAreThoseOfTheFilledTable)
{
    for (Kind& k : kinds()) {
        for (const bool month : {false, true}) {
            ReportFill fill;
            fill.accountList = QStringLiteral("12,15,0");
            fill.conditions.append(
                m_condition(SearchKey::CreateTime, QStringLiteral(">="),
                            month ? QStringLiteral("2024-03-01") : QStringLiteral("2024-01-01")));
            fill.conditions.append(
                m_condition(SearchKey::CreateTime, QStringLiteral("<"),
                            month ? QStringLiteral("2024-04-01") : QStringLiteral("2024-06-01")));
            if (k.auditStates) {
                fill.conditions.append(
                    m_condition(SearchKey::Account, QStringLiteral("in"), NList(fill.accountList)));
                fill.conditions.append(
                    m_condition(SearchKey::Audit, QStringLiteral("in"), NList(QStringLiteral("1,0,3"))));
            }
            for (const bool desc : {true, false}) {
                for (const int size : {1, 7, 20, 1000}) {
                    SCOPED_TRACE(k.data->setup().workTable.toStdString() + (month ? " month" : " year") +
                                 (desc ? " desc" : " asc") + " size " + std::to_string(size));
                    m_PageInfor page;
                    page.int_PageSize = size;
                    page.int_currentPageIndex = 1;
                    page.sortKey = k.data->DefaultSort();
                    page.isDesc = desc;
                    const m_recordSet first = k.data->GetListForCondition(fill, {}, page);
                    ASSERT_TRUE(first.str_MsgBox.isEmpty()) << first.str_MsgBox.toStdString();
                    QList<QStringList> direct = {texts(first.recordSet)};
                    const int pages = (first.recordCount + size - 1) / size;
                    for (const int p : {2, pages / 2, pages - 1, pages, pages + 3}) {
                        page.int_currentPageIndex = p;
                        direct << texts(k.data->GetPage(page));
                    }

                    // The filled search: the whole work table filled, then read.
                    ASSERT_TRUE(k.data->insert_temp(fill).isResult);
                    const QString table = k.data->setup().workTable;
                    EXPECT_EQ(first.recordCount,
                              scalar(QStringLiteral("select count(*) from ") + table).toInt());
                    ASSERT_GT(first.recordCount, 20);
                    const auto filled = [&](int p) {
                        p = qBound(1, p, qMax(1, pages));
                        return texts(
                            ExecuteSql(QStringLiteral("select ") + k.data->setup().fullColumns +
                                       QStringLiteral(" from ") + table + k.data->OrderText(page) +
                                       QStringLiteral(" limit %1 offset %2").arg(size).arg((p - 1) * size)));
                    };
                    QList<QStringList> before = {filled(1)};
                    for (const int p : {2, pages / 2, pages - 1, pages, pages + 3})
                        before << filled(p);
                    ASSERT_EQ(direct.size(), before.size());
                    for (int i = 0; i < direct.size(); ++i)
                        EXPECT_EQ(direct.at(i).join(QLatin1Char('\n')).toStdString(),
                                  before.at(i).join(QLatin1Char('\n')).toStdString())
                            << "read " << i;
                }
            }
        }
    }
}

// The export after a search reads every row of that search.
TEST_P(DirectPagesTest, ExportAfterASearchReadsEveryRow)
{
    for (Kind& k : kinds()) {
        ReportFill fill;
        fill.accountList = QStringLiteral("12,0");
        m_PageInfor page;
        page.int_PageSize = 20;
        page.int_currentPageIndex = 1;
        page.sortKey = k.data->DefaultSort();
        page.isDesc = true;
        const m_recordSet r = k.data->GetListForCondition(fill, {}, page);
        const RecordSetPtr all = k.data->GetDataTable(k.data->OrderText(page), true);
        ASSERT_GT(r.recordCount, 20);
        EXPECT_EQ(all->RecordCount(), r.recordCount) << k.data->setup().workTable.toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(Directions, DirectPagesTest,
                         ::testing::Values(BillDirection::In, BillDirection::Out),
                         [](const ::testing::TestParamInfo<BillDirection>& info) {
                             return info.param == BillDirection::In ? std::string("Inbound")
                                                                    : std::string("Outbound");
                         });

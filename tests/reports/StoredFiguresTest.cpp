#include "ReportFixture.h"

#include "GridDriver.h"
#include "MsgBox.h"
#include "PlainOracle.h"
#include "frmBill.h"

#include <QPlainTextEdit>
#include <QSqlQuery>
#include <QSqlRecord>

#include <bit>
#include <random>

namespace
{

// Figures as another tool writes them into the file: SQL literals with 7 to 9
// decimals, exponent forms, prices of 4 or 5 decimals, 16 and 17 significant
// digits.
class FigureMaker
{
  public:
    std::string qty()
    {
        switch (pick(4)) {
        case 0:
            return digits(1 + pick(4)) + "." + digits(7 + pick(3));
        case 1:
            return digits(1) + "." + digits(1 + pick(5)) + (pick(2) ? "e-" : "E-") +
                   std::to_string(5 + pick(5));
        case 2:
            return digits(1) + "." + digits(2) + "e+" + std::to_string(1 + pick(3));
        default:
            return sixteenOrSeventeen();
        }
    }
    std::string price()
    {
        switch (pick(3)) {
        case 0:
            return digits(1 + pick(3)) + "." + digits(4 + pick(2));
        case 1:
            return "0.0000" + std::to_string(1 + pick(9));
        default:
            return sixteenOrSeventeen();
        }
    }
    std::string packQty() { return pick(2) ? std::to_string(1 + pick(24)) : digits(1) + "." + digits(8); }

  private:
    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(m_random); }
    // n digits, the first not 0.
    std::string digits(int n)
    {
        std::string s;
        for (int i = 0; i < n; ++i)
            s += char('0' + (i == 0 ? 1 + pick(9) : pick(10)));
        return s;
    }
    std::string sixteenOrSeventeen()
    {
        const int total = 16 + pick(2);
        const int whole = 1 + pick(13);
        return digits(whole) + "." + digits(total - whole);
    }
    std::mt19937 m_random{20261211};
};

// What a file of a tool other than this program holds: bills whose lines
// carry more digits than a clerk can type. The bill window shows each stored
// figure whole, totals the bill as the bill list does, and a save that
// changes only the remark writes every line back as it was, byte for byte.
class StoredFiguresTest : public ReportTest
{
  protected:
    // Each stored line of the direction, every column, REALs by their bits.
    std::vector<std::string> storedLines()
    {
        std::vector<std::string> out;
        QSqlQuery q(SharedConn());
        q.setForwardOnly(true);
        EXPECT_TRUE(q.exec(QStringLiteral("select * from %1 order by id").arg(t().lineTable)));
        while (q.next()) {
            std::string row;
            for (int c = 0; c < q.record().count(); ++c) {
                const QVariant v = q.value(c);
                row += q.record().fieldName(c).toStdString() + "=";
                if (v.isNull())
                    row += "NULL";
                else if (v.typeId() == QMetaType::Double)
                    row += "R" + std::to_string(std::bit_cast<std::uint64_t>(v.toDouble()));
                else
                    row += std::string(v.typeName()) + ":" + v.toString().toStdString();
                row += " ";
            }
            out.push_back(row);
        }
        return out;
    }
};

TEST_P(StoredFiguresTest, TheBillWindowShowsTotalsAndSavesBackWhatIsStored)
{
    constexpr int kBills = 24;
    FigureMaker make;
    {
        OtherWorkstation tool(appDir() + QStringLiteral("wms.db"));
        int lineId = 1;
        for (int b = 1; b <= kBills; ++b) {
            tool.exec(
                QStringLiteral("INSERT INTO %1 (id, accountId, billNo, ubillNo, utypeId, %2, %3, ispass, "
                               "remark, creator, createTime, userId) VALUES (%4, 12, '%5-2405-%6', "
                               "'U', %7, 1, '华东五金', 0, '旧备注', 'admin', '2024-05-02', 1)")
                    .arg(t().headTable, t().partnerIdCol, t().partnerNameCol)
                    .arg(b)
                    .arg(code())
                    .arg(b, 5, 10, QLatin1Char('0'))
                    .arg(in() ? 3 : 4));
            const int lines = 1 + b % 4;
            for (int r = 1; r <= lines; ++r, ++lineId) {
                const QString sale = in() ? QString() : QStringLiteral("salePrice, ");
                const QString salePrice =
                    in() ? QString() : QString::fromStdString(make.price()) + QStringLiteral(", ");
                tool.exec(QStringLiteral("INSERT INTO %1 (id, headId, rowNo, goodsTypeId, goodsTypeName, "
                                         "goodsId, goodsCode, goodsDetailCode, goodsName, goodsDesc, unit, "
                                         "inPrice, %2packQty, weight, qty, locationId, lotNo, remark) VALUES "
                                         "(%3, %4, %5, 7, '饮料', 1, 'G001', '6901', '可乐', '330ml', '瓶', "
                                         "%6, %7%8, %9, %10, 1, 'L1', '行')")
                              .arg(t().lineTable, sale)
                              .arg(lineId)
                              .arg(b)
                              .arg(r)
                              .arg(QString::fromStdString(make.price()), salePrice,
                                   QString::fromStdString(make.packQty()), QString::fromStdString(make.qty()),
                                   QString::fromStdString(make.qty())));
            }
        }
    }
    const std::vector<std::string> before = storedLines();

    // The bill list's amount of every bill, page by page.
    ReportFrame* list = openHead();
    QStringList numbers;
    QStringList amounts;
    for (;;) {
        for (int r = 0; r < dataRows(list); ++r) {
            numbers << cell(list, r, ColumnOf(list, QStringLiteral("billNo")));
            amounts << cell(list, r, ColumnOf(list, QStringLiteral("totalAmount")));
        }
        if (!ui::child<QWidget>(list, "btn_NextPage")->isEnabled())
            break;
        ui::click(list, "btn_NextPage");
    }
    ASSERT_EQ(numbers.size(), kBills);

    frmBill* w = in() ? static_cast<frmBill*>(new frmImport) : static_cast<frmBill*>(new frmExport);
    w->show();
    ui::activate(w);
    FlexGrid* g = w->vs_bill;
    QSqlQuery figures(SharedConn());
    for (int k = 0; k < kBills; ++k) {
        const int id = numbers.at(k).right(5).toInt();
        SCOPED_TRACE(numbers.at(k).toStdString());
        w->LoadBill(id);
        ASSERT_EQ(w->txt_id->text().toInt(), id);
        // Every stored figure whole, as the oracle writes it.
        ASSERT_TRUE(figures.exec(QStringLiteral("select packQty, weight, inPrice, %1 qty from %2 where "
                                                "headId=%3 order by rowNo")
                                     .arg(in() ? QString() : QStringLiteral("salePrice,"), t().lineTable)
                                     .arg(id)));
        for (int r = 1; figures.next(); ++r) {
            const QStringList keys = in() ? QStringList{QStringLiteral("packQty"), QStringLiteral("weight"),
                                                        QStringLiteral("inPrice"), QStringLiteral("qty")}
                                          : QStringList{QStringLiteral("packQty"), QStringLiteral("weight"),
                                                        QStringLiteral("inPrice"),
                                                        QStringLiteral("salePrice"), QStringLiteral("qty")};
            for (int f = 0; f < keys.size(); ++f) {
                std::string expected = PlainOracle(figures.value(f).toDouble());
                // The line's price pads to the price format's one decimal at least.
                if (keys.at(f) == t().priceCol && expected.find('.') == std::string::npos)
                    expected += ".0";
                EXPECT_EQ(g->TextMatrix(r, keys.at(f)).toStdString(), expected) << keys.at(f).toStdString();
            }
        }
        // The window's total is the list's, digit for digit.
        QString total = w->txt_BillAmount->text();
        total.remove(QStringLiteral("￥")).remove(QLatin1Char(','));
        const auto exact = [](const QString& text) {
            return Decimal::FromText(QStringView(text)).value_or(Decimal(-1)).toStdString();
        };
        EXPECT_EQ(exact(total), exact(amounts.at(k))) << total.toStdString();

        // Walked over by the cursor, then only the remark changed and saved.
        for (int r = g->Rows() - 1; r >= 1; --r)
            ui::clickCell(g, r, g->ColIndex(QStringLiteral("qty")));
        ui::focusOn(w->txt_remark);
        ui::type(QStringLiteral("新"));
        answer(MsgAnswer::Yes);
        ui::clickToolbar(w, "save");
        ASSERT_EQ(MsgBox::LastText(), QStringLiteral("保存成功!"));
    }
    EXPECT_EQ(storedLines(), before);
    EXPECT_EQ(count(t().headTable, QStringLiteral("remark='旧备注'")), 0);
    w->close();
    delete w;
}

INSTANTIATE_TEST_SUITE_P(Directions, StoredFiguresTest,
                         ::testing::Values(BillDirection::In, BillDirection::Out), DirectionName);

} // namespace

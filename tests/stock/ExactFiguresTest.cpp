// A few thousand random bill lines, in the forms clerks type and the forms
// that once went wrong (exponent forms after longer values, 15-digit values,
// ten-thousandths, ties at the rounding place, negatives), give the same
// digits on every road a figure takes: the bill window's total, the bill
// list, the line detail, the goods sums, the stock report, the live balance,
// the export and the print data. The digits to expect are worked out here
// with a plain digit-string adder, multiplier and divider of our own.

#include "StockFixture.h"
#include "XlsxSheet.h"

#include "BillStore.h"
#include "CMoney.h"
#include "ExcelExport.h"
#include "PrintJob.h"
#include "PrintXml.h"
#include "ReportSetup.h"
#include "RowReader.h"
#include "StockSums.h"
#include "UiDriver.h"
#include "dal_rpt_Report.h"
#include "frmBill.h"
#include "sqlHelper.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <algorithm>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace
{

// ---------------------------------------------------------------- reference

// A decimal as the reference keeps it: sign, digits (most significant first)
// and the number of them after the point.
struct Num {
    bool neg = false;
    std::string digits = "0";
    int places = 0;
};

std::string Trim(std::string d)
{
    size_t i = 0;
    while (i + 1 < d.size() && d[i] == '0')
        ++i;
    return d.substr(i);
}

bool IsZero(const Num& n)
{
    return n.digits.find_first_not_of('0') == std::string::npos;
}

Num N(const std::string& plain)
{
    Num n;
    std::string t = plain;
    if (!t.empty() && t[0] == '-') {
        n.neg = true;
        t.erase(0, 1);
    }
    const size_t point = t.find('.');
    if (point == std::string::npos) {
        n.digits = Trim(t);
    } else {
        n.places = int(t.size() - point - 1);
        n.digits = Trim(t.substr(0, point) + t.substr(point + 1));
    }
    if (IsZero(n))
        n.neg = false;
    return n;
}

Num WithPlaces(Num n, int places)
{
    n.digits += std::string(size_t(places - n.places), '0');
    n.places = places;
    return n;
}

// Magnitudes of the same places: -1, 0, 1.
int Compare(const std::string& a, const std::string& b)
{
    const std::string x = Trim(a);
    const std::string y = Trim(b);
    if (x.size() != y.size())
        return x.size() < y.size() ? -1 : 1;
    return x < y ? -1 : (x > y ? 1 : 0);
}

std::string AddMagnitudes(const std::string& a, const std::string& b)
{
    std::vector<int> sum(std::max(a.size(), b.size()) + 1, 0);
    for (size_t i = 0; i < sum.size(); ++i) {
        const int da = i < a.size() ? a[a.size() - 1 - i] - '0' : 0;
        const int db = i < b.size() ? b[b.size() - 1 - i] - '0' : 0;
        sum[i] += da + db;
        if (sum[i] >= 10 && i + 1 < sum.size()) {
            sum[i] -= 10;
            sum[i + 1] += 1;
        }
    }
    std::string out;
    for (size_t i = sum.size(); i-- > 0;)
        out += char('0' + sum[i]);
    return Trim(out);
}

// a - b for a >= b.
std::string SubtractMagnitudes(const std::string& a, const std::string& b)
{
    std::vector<int> d(a.size(), 0);
    for (size_t i = 0; i < a.size(); ++i)
        d[i] = (a[a.size() - 1 - i] - '0') - (i < b.size() ? b[b.size() - 1 - i] - '0' : 0);
    for (size_t i = 0; i + 1 < d.size(); ++i) {
        if (d[i] < 0) {
            d[i] += 10;
            d[i + 1] -= 1;
        }
    }
    std::string out;
    for (size_t i = d.size(); i-- > 0;)
        out += char('0' + d[i]);
    return Trim(out);
}

Num Add(Num a, Num b)
{
    const int places = std::max(a.places, b.places);
    a = WithPlaces(a, places);
    b = WithPlaces(b, places);
    Num out;
    out.places = places;
    if (a.neg == b.neg) {
        out.digits = AddMagnitudes(a.digits, b.digits);
        out.neg = a.neg;
    } else if (Compare(a.digits, b.digits) >= 0) {
        out.digits = SubtractMagnitudes(a.digits, b.digits);
        out.neg = a.neg;
    } else {
        out.digits = SubtractMagnitudes(b.digits, a.digits);
        out.neg = b.neg;
    }
    if (IsZero(out))
        out.neg = false;
    return out;
}

Num Negated(Num n)
{
    n.neg = !n.neg && !IsZero(n);
    return n;
}

Num Multiply(const Num& a, const Num& b)
{
    std::vector<int> p(a.digits.size() + b.digits.size(), 0);
    for (size_t i = 0; i < a.digits.size(); ++i)
        for (size_t j = 0; j < b.digits.size(); ++j)
            p[i + j] += (a.digits[a.digits.size() - 1 - i] - '0') * (b.digits[b.digits.size() - 1 - j] - '0');
    for (size_t k = 0; k + 1 < p.size(); ++k) {
        p[k + 1] += p[k] / 10;
        p[k] %= 10;
    }
    std::string d;
    for (size_t k = p.size(); k-- > 0;)
        d += char('0' + p[k]);
    Num out;
    out.digits = Trim(d);
    out.places = a.places + b.places;
    out.neg = a.neg != b.neg && !IsZero(out);
    return out;
}

// Half away from zero: only the first dropped digit decides.
Num Round(Num n, int places)
{
    if (n.places <= places)
        return WithPlaces(n, places);
    const int drop = n.places - places;
    std::string d = std::string(size_t(drop + 1), '0') + n.digits;
    const bool up = d[d.size() - size_t(drop)] >= '5';
    d.resize(d.size() - size_t(drop));
    Num out;
    out.digits = Trim(up ? AddMagnitudes(d, "1") : d);
    out.places = places;
    out.neg = n.neg && !IsZero(out);
    return out;
}

// a / b rounded half away from zero to places, by long division.
Num Divide(const Num& a, const Num& b, int places)
{
    // a / b = (A / 10^pa) / (B / 10^pb) = A × 10^(pb + places) / (B × 10^pa) / 10^places
    std::string top = a.digits + std::string(size_t(b.places + places), '0');
    const std::string bottom = Trim(b.digits + std::string(size_t(a.places), '0'));
    std::string q;
    std::string r = "0";
    for (const char c : top) {
        r = Trim(r + c);
        int digit = 0;
        while (Compare(r, bottom) >= 0) {
            r = SubtractMagnitudes(r, bottom);
            ++digit;
        }
        q += char('0' + digit);
    }
    const bool up = Compare(AddMagnitudes(r, r), bottom) >= 0;
    Num out;
    out.digits = Trim(up ? AddMagnitudes(q, "1") : q);
    out.places = places;
    out.neg = a.neg != b.neg && !IsZero(out);
    return out;
}

// Rounded to maxDecimals, written with at least minDecimals; grouped by
// thousands when asked.
std::string Text(const Num& value, int minDecimals, int maxDecimals, bool grouped = false)
{
    const Num r = Round(value, maxDecimals);
    std::string d = std::string(size_t(maxDecimals + 1), '0') + r.digits;
    std::string whole = Trim(d.substr(0, d.size() - size_t(maxDecimals)));
    std::string fraction = d.substr(d.size() - size_t(maxDecimals));
    while (int(fraction.size()) > minDecimals && fraction.back() == '0')
        fraction.pop_back();
    if (grouped) {
        for (int i = int(whole.size()) - 3; i > 0; i -= 3)
            whole.insert(size_t(i), ",");
    }
    std::string out = (r.neg ? "-" : "") + whole;
    if (!fraction.empty())
        out += "." + fraction;
    return out;
}

std::string Plain(const Num& n)
{
    return Text(n, 0, n.places);
}

// "#0.0##" with 0 for a zero figure, as the reports store pieces.
std::string Pieces(const Num& n)
{
    return IsZero(Round(n, 3)) ? "0" : Text(n, 1, 3);
}

std::string Weights(const Num& n)
{
    return IsZero(Round(n, 2)) ? "0" : Text(n, 1, 2);
}

// ---------------------------------------------------------------- the lines

struct LineData {
    int goods;
    std::string qty, price, packQty, weight;
};

struct BillData {
    bool inbound;
    int id;
    bool audited;
    std::vector<LineData> lines;
};

// Values in the forms of the fault reports and random ones, at most 15
// significant digits, at most 6 decimals for a quantity and 3 for a price
// (what the bill window keeps).
class Forms
{
  public:
    explicit Forms(unsigned seed) : m_rng(seed) {}

    std::string qty()
    {
        static const char* special[] = {
            "100000", "1000000", "200000.25", "0.00001", "0.000001", "12.345",          "12.3456",
            "1.5",    "-2.5",    "0.3",       "1",       "0.0001",   "999999999999999", "123456789.123456"};
        return pick(special, 6);
    }
    std::string price()
    {
        static const char* special[] = {
            "0.003", "0.005", "3", "12.5", "999999999999999", "0.1", "69.072", "91.053", "0", "1.005", "1e5"};
        std::string p = pick(special, 3);
        return p == "1e5" ? "100000" : p;
    }
    std::string packQty()
    {
        static const char* special[] = {"1",   "6",      "12",     "0.0000001",
                                        "1.5", "0.0015", "100000", "0.333333333"};
        return pick(special, 4);
    }
    std::string weight()
    {
        static const char* special[] = {"0.5", "2.5", "0.00001", "0.0000001", "12.345", "0.005"};
        return pick(special, 3);
    }
    int below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(m_rng); }

  private:
    template <size_t Count> std::string pick(const char* (&special)[Count], int places)
    {
        if (below(3) == 0)
            return special[size_t(below(int(Count)))];
        // A random value: up to 9 whole digits and up to places decimals.
        std::string whole = std::to_string(below(1000000));
        if (below(4) == 0)
            whole += std::to_string(below(1000));
        const int decimals = below(places + 1);
        std::string fraction;
        for (int i = 0; i < decimals; ++i)
            fraction += char('0' + below(10));
        return Plain(N(fraction.empty() ? whole : whole + "." + fraction));
    }

    std::mt19937 m_rng;
};

constexpr int kGoods = 12;
// The goods items' default units hold these pieces.
const char* const kDefaultPacks[kGoods] = {"1",  "6",   "12", "0.0015", "7",      "1",
                                           "24", "0.5", "3",  "1",      "100000", "2"};

class ExactFiguresTest : public StockTest
{
  protected:
    void SetUp() override
    {
        StockTest::SetUp();
        loginAs(1);
        ASSERT_TRUE(installPrintTemplates());
        makeData();
    }

    void makeData()
    {
        TransactionGuard tx;
        exec(QStringLiteral("insert into tb_dictionary(id,utype,uname) values(50,'goodsType','饮料')"));
        exec(QStringLiteral("insert into tb_customer(id,uname) values(7,'华联超市')"));
        exec(QStringLiteral("insert into tb_location(id,locationCode) values(1,'A-01')"));
        for (int g = 1; g <= kGoods; ++g) {
            exec(QStringLiteral("insert into tb_goods_head(id,goodsTypeId,goodsCode,goodsName) "
                                "values(%1,50,'G%2','货品%1')")
                     .arg(g)
                     .arg(g, 2, 10, QLatin1Char('0')));
            exec(QStringLiteral("insert into tb_goods_detail(id,headId,isDefault,unit,packQty) "
                                "values(%1,%2,1,'箱',%3)")
                     .arg(g * 10)
                     .arg(g)
                     .arg(QLatin1String(kDefaultPacks[g - 1])));
        }
        Forms forms(47);
        int lineId = 0;
        for (int b = 0; b < 48; ++b) {
            BillData bill;
            bill.inbound = b % 3 != 2;
            bill.id = b + 1;
            bill.audited = b % 5 != 4;
            const int lines = 40 + forms.below(40);
            for (int l = 0; l < lines; ++l)
                bill.lines.push_back(
                    {1 + forms.below(kGoods), forms.qty(), forms.price(), forms.packQty(), forms.weight()});
            const QString k = bill.inbound ? QStringLiteral("rk") : QStringLiteral("ck");
            exec(QStringLiteral("insert into tb_%1_head(id,accountId,billNo,%2,%3,ispass,createTime) "
                                "values(%4,2,'%1-%4',7,'华联超市',%5,'2024-05-02')")
                     .arg(k, bill.inbound ? QStringLiteral("supplierId") : QStringLiteral("customerId"),
                          bill.inbound ? QStringLiteral("supplierName") : QStringLiteral("customerName"))
                     .arg(bill.id)
                     .arg(bill.audited ? 1 : 0));
            int row = 0;
            for (const LineData& l : bill.lines)
                exec(QStringLiteral(
                         "insert into tb_%1_detail(id,headId,rowNo,goodsTypeId,goodsTypeName,goodsId,"
                         "goodsCode,goodsName,unit,%2,qty,packQty,weight,locationId) values("
                         "%3,%4,%5,50,'饮料',%6,'G','n','箱',%7,%8,%9,%10,1)")
                         .arg(k, bill.inbound ? QStringLiteral("inPrice") : QStringLiteral("salePrice"))
                         .arg(++lineId)
                         .arg(bill.id)
                         .arg(++row)
                         .arg(l.goods)
                         .arg(QString::fromStdString(l.price), QString::fromStdString(l.qty),
                              QString::fromStdString(l.packQty), QString::fromStdString(l.weight)));
            m_bills.push_back(bill);
        }
        tx.commit();
    }

    // The reference figures.
    static Num BillAmount(const BillData& b)
    {
        Num sum;
        for (const LineData& l : b.lines)
            sum = Add(sum, Round(Multiply(N(l.qty), N(l.price)), 3));
        return Round(sum, 2);
    }
    // Pieces and weight of a goods item over the audited lines of a direction.
    Num Sum(int goods, bool inbound, bool weight) const
    {
        Num sum;
        for (const BillData& b : m_bills) {
            if (b.inbound != inbound || !b.audited)
                continue;
            for (const LineData& l : b.lines)
                if (l.goods == goods)
                    sum = Add(sum, Multiply(N(l.qty), N(weight ? l.weight : l.packQty)));
        }
        return sum;
    }
    size_t lineCount() const
    {
        size_t n = 0;
        for (const BillData& b : m_bills)
            n += b.lines.size();
        return n;
    }

    std::vector<BillData> m_bills;
};

QStringList Column(const QString& sql)
{
    QStringList out;
    const RecordSetPtr rs = ExecuteSql(sql);
    for (int r = 0; r < rs->RecordCount(); ++r)
        out << rs->value(r, 0).toString();
    return out;
}

std::string Joined(const QStringList& texts)
{
    return texts.join(QLatin1Char(' ')).toStdString();
}

std::string Joined(const std::vector<std::string>& texts)
{
    std::string out;
    for (const std::string& t : texts)
        out += (out.empty() ? "" : " ") + t;
    return out;
}

} // namespace

TEST_F(ExactFiguresTest, EveryRoadGivesTheReferenceDigits)
{
    ASSERT_GT(lineCount(), 2500u);

    // The bill list, both directions: each bill's amount.
    for (const bool inbound : {true, false}) {
        SCOPED_TRACE(inbound ? "inbound" : "outbound");
        const BillDirection dir = inbound ? BillDirection::In : BillDirection::Out;
        dal_rpt_Report list(BillListSetup, dir);
        ASSERT_TRUE(list.insert_temp({}).isResult);
        std::vector<std::string> expected;
        for (const BillData& b : m_bills)
            if (b.inbound == inbound)
                expected.push_back(IsZero(BillAmount(b)) ? "0" : Text(BillAmount(b), 1, 2));
        EXPECT_EQ(Joined(Column(
                      QStringLiteral("select totalAmount from %1 order by id").arg(list.setup().workTable))),
                  Joined(expected));

        // The line detail: each line's amount and its default units.
        dal_rpt_Report detail(BillDetailSetup, dir);
        ASSERT_TRUE(detail.insert_temp({}).isResult);
        std::vector<std::string> amounts;
        std::vector<std::string> defaults;
        std::vector<std::string> products;
        for (const BillData& b : m_bills) {
            if (b.inbound != inbound)
                continue;
            for (const LineData& l : b.lines) {
                amounts.push_back(Pieces(Multiply(N(l.qty), N(l.price))));
                defaults.push_back(
                    Pieces(Divide(Multiply(N(l.packQty), N(l.qty)), N(kDefaultPacks[l.goods - 1]), 3)));
                products.push_back(Plain(Multiply(N(l.packQty), N(l.qty))) + "/" +
                                   Plain(Multiply(N(l.weight), N(l.qty))));
            }
        }
        EXPECT_EQ(
            Joined(Column(
                QStringLiteral("select totalAmount from %1 order by id").arg(detail.setup().workTable))),
            Joined(amounts));
        EXPECT_EQ(
            Joined(Column(
                QStringLiteral("select totalDefaultQty from %1 order by id").arg(detail.setup().workTable))),
            Joined(defaults));
        EXPECT_EQ(Joined(Column(QStringLiteral("select totalQty || '/' || totalWeight from %1 order by id")
                                    .arg(detail.setup().workTable))),
                  Joined(products));

        // The goods sums: pieces, default units and weight of every goods item.
        dal_rpt_Report sums(GoodsSumSetup, dir);
        ReportFill fill;
        fill.accountList = QStringLiteral("2,0");
        ASSERT_TRUE(sums.insert_temp(fill).isResult);
        const StockSums::SumColumns names = StockSums::SumColumns::Of(BillSetup::Of(dir));
        std::vector<std::string> pieces;
        std::vector<std::string> units;
        std::vector<std::string> weights;
        for (int g = 1; g <= kGoods; ++g) {
            pieces.push_back(Pieces(Sum(g, inbound, false)));
            units.push_back(Pieces(Divide(Sum(g, inbound, false), N(kDefaultPacks[g - 1]), 3)));
            weights.push_back(Weights(Sum(g, inbound, true)));
        }
        const QString table = sums.setup().workTable;
        EXPECT_EQ(Joined(Column(QStringLiteral("select %1 from %2 order by id").arg(names.qty, table))),
                  Joined(pieces));
        EXPECT_EQ(
            Joined(Column(QStringLiteral("select %1 from %2 order by id").arg(names.defaultQty, table))),
            Joined(units));
        EXPECT_EQ(Joined(Column(QStringLiteral("select %1 from %2 order by id").arg(names.weight, table))),
                  Joined(weights));
    }

    // The stock report and the live balance of every goods item.
    dal_rpt_stock stock;
    ASSERT_TRUE(stock.insert_temp_rpt_stock(QStringLiteral("2,0")).isResult);
    std::vector<std::vector<std::string>> rows;
    std::vector<std::string> live;
    for (int g = 1; g <= kGoods; ++g) {
        const Num in = Sum(g, true, false);
        const Num out = Sum(g, false, false);
        const Num pack = N(kDefaultPacks[g - 1]);
        const Num inUnits = Divide(in, pack, 3);
        const Num outUnits = Divide(out, pack, 3);
        const Num inWeight = Sum(g, true, true);
        const Num outWeight = Sum(g, false, true);
        rows.push_back({Pieces(in), Pieces(inUnits), Weights(inWeight), Pieces(out), Pieces(outUnits),
                        Weights(outWeight), Plain(Add(Round(in, 3), Negated(Round(out, 3)))),
                        Plain(Add(Round(inUnits, 3), Negated(Round(outUnits, 3)))),
                        Plain(Add(Round(inWeight, 2), Negated(Round(outWeight, 2))))});
        live.push_back(rows.back()[6]);
    }
    const QStringList totals = dal_rpt_stock::Columns().mid(12);
    for (int g = 1; g <= kGoods; ++g) {
        SCOPED_TRACE(g);
        const RecordSetPtr rs = stock.GetStockQtyForGoodCode(QStringLiteral("2,0"), g);
        ASSERT_TRUE(rs && rs->RecordCount() == 1);
        QStringList shown;
        for (const QString& c : totals)
            shown << rs->value(0, c).toString();
        EXPECT_EQ(Joined(shown), Joined(rows[size_t(g - 1)]));
        EXPECT_EQ(stock.GetLiveStock(QStringLiteral("2,0"), g)->toStdString(), live[size_t(g - 1)]);
    }

    // The stock report's export: a number cell holds the decimal shown, a
    // figure beyond what a spreadsheet number holds stays the text shown.
    {
        const std::unique_ptr<RowReader> reader =
            OpenRowReader(QStringLiteral("select ") + totals.join(QLatin1Char(',')) +
                          QStringLiteral(" from temp_rpt_stock order by id"));
        const QString path = appDir() + QStringLiteral("stock.xlsx");
        ASSERT_TRUE(
            WriteExcelWorkbook(path, ExportRowsOf(*reader), QStringLiteral("库存总账"), totals).isEmpty());
        const XlsxSheet sheet = ReadXlsxSheet(path);
        for (int g = 1; g <= kGoods; ++g) {
            for (int c = 0; c < totals.size(); ++c) {
                const QString ref = QChar(u'A' + c) + QString::number(2 + g);
                const std::string& text = rows[size_t(g - 1)][size_t(c)];
                EXPECT_EQ(sheet.cells.value(ref).toStdString(),
                          sheet.numbers.contains(ref) ? Plain(N(text)) : text)
                    << ref.toStdString();
            }
        }
    }

    // The print data of every bill: its head amount, its lines' amounts, and
    // the print tool's 合计.
    for (const BillData& b : m_bills) {
        SCOPED_TRACE(b.id);
        BillStore store(BillSetup::Of(b.inbound ? BillDirection::In : BillDirection::Out));
        const QString templ = BillSetup::Of(b.inbound ? BillDirection::In : BillDirection::Out).printTemplate;
        KeyValue nodes;
        const QDomElement head =
            store.GetGroupHeadRowNode({m_condition(SearchKey::Id, QStringLiteral("="), b.id)}, templ);
        const QDomElement lines =
            store.GetDetailRowNode({m_condition(SearchKey::HeadId, QStringLiteral("="), b.id)}, templ);
        const std::string amount = Text(BillAmount(b), 1, 2);
        EXPECT_EQ(
            head.firstChildElement().firstChildElement(QStringLiteral("totalAmount")).text().toStdString(),
            amount);
        std::vector<std::string> expected;
        std::vector<std::string> printed;
        for (const LineData& l : b.lines)
            expected.push_back(Text(Multiply(N(l.qty), N(l.price)), 1, 3));
        for (QDomElement row = lines.firstChildElement(); !row.isNull(); row = row.nextSiblingElement())
            printed.push_back(row.firstChildElement(QStringLiteral("totalAmount")).text().toStdString());
        EXPECT_EQ(Joined(printed), Joined(expected));

        nodes.AddItem(QStringLiteral("Content/DataGroupHead/DataRecord"), QVariant::fromValue(head));
        nodes.AddItem(QStringLiteral("Content/DataDetail/DataRecord"), QVariant::fromValue(lines));
        const QString file = CreatePrintXml(templ, nodes);
        {
            // The amount in words reads the exact amount, whatever its size.
            QFile data(appDir() + QStringLiteral("qvPrint/generateXml/") + file);
            ASSERT_TRUE(data.open(QIODevice::ReadOnly));
            QDomDocument doc;
            ASSERT_TRUE(doc.setContent(&data));
            const QDomNodeList words = doc.elementsByTagName(QStringLiteral("totalAmountWords"));
            QStringList printed;
            for (int i = 0; i < words.size(); ++i)
                if (words.item(i).parentNode().nodeName() != QLatin1String("DataCols"))
                    printed << words.item(i).toElement().text();
            EXPECT_EQ(printed, QStringList{GetChineseMoney(QString::fromStdString(amount))});
        }
        PrintCommand command;
        QString error;
        ASSERT_TRUE(ParsePrintCommand(
            QStringLiteral("ulmPrint:TypeId=1003&BillCode=%1&FileName=%2").arg(templ, file), command, error));
        PrintJob job;
        ASSERT_TRUE(LoadPrintJob(appDir() + QStringLiteral("qvPrint"), command, job, error))
            << error.toStdString();
        PrintPages pages(job);
        pages.toPlainText();
        int col = 0;
        while (col < job.detail.columns.size() &&
               job.detail.columns.at(col).name != QLatin1String("totalAmount"))
            ++col;
        EXPECT_EQ(pages.cellLines(-1, col).join(QString()).toStdString(), amount);
    }

    // The bill window's total of every bill, as a clerk opens it.
    for (const BillData& b : m_bills) {
        SCOPED_TRACE(b.id);
        std::unique_ptr<frmBill> w;
        if (b.inbound)
            w = std::make_unique<frmImport>();
        else
            w = std::make_unique<frmExport>();
        w->show();
        w->LoadBill(b.id);
        const Num amount = BillAmount(b);
        EXPECT_EQ(w->txt_BillAmount->text().toStdString(),
                  (amount.neg ? "-￥" : "￥") + Text(amount.neg ? Negated(amount) : amount, 1, 2, true));
    }
}

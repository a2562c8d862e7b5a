#pragma once

#include "TestEnv.h"
#include "UiDriver.h"

#include "Clock.h"
#include "FlexGrid.h"
#include "ReportFrame.h"
#include "WindowRegistry.h"
#include "XlsxSheet.h"
#include "frm_rpt_Detail.h"
#include "frm_rpt_Head.h"
#include "frm_rpt_Sum.h"
#include "sqlHelper.h"

#include <QApplication>
#include <QDir>
#include <QDomDocument>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>

#include <algorithm>

// Stands in for the bill windows: it records the bills it was asked to load
// and the new bills it was asked to start.
class FakeBillWindow : public QWidget
{
    Q_OBJECT

  public:
    explicit FakeBillWindow(const QString& name)
    {
        setObjectName(name);
        auto* id = new QLineEdit(this);
        id->setObjectName(QStringLiteral("txt_id"));
    }
    Q_INVOKABLE void GetRK_Infor(int id)
    {
        loaded.append(objectName() + QLatin1Char(':') + QString::number(id));
    }
    Q_INVOKABLE void GetCK_Infor(int id)
    {
        loaded.append(objectName() + QLatin1Char(':') + QString::number(id));
    }
    Q_INVOKABLE void Import_Add(int, const QString&) { loaded.append(objectName() + QStringLiteral(":new")); }
    Q_INVOKABLE void Export_Add(int, const QString&) { loaded.append(objectName() + QStringLiteral(":new")); }

    static inline QStringList loaded;
};

// The sheet of an exported workbook: its cell texts by row (from 1) and
// column (from 0), numbers as their stored value.
inline QList<QStringList> ReadWorkbook(const QString& path)
{
    return ReadXlsxSheet(path).rows;
}

// A database with account tags 12 and 15 permitted to the logged-in admin
// (16 not), bill types, goods types, three goods items with their units and a
// location; the date is 2024-05-20. Runs for both directions.
class ReportTest : public DbTest, public ::testing::WithParamInterface<BillDirection>
{
  protected:
    void SetUp() override
    {
        DbTest::SetUp();
        Clock::SetFixed(QDateTime(QDate(2024, 5, 20), QTime(10, 0, 0)));
        exec(QStringLiteral(
            "INSERT INTO tb_dictionary (id, utype, uname) VALUES "
            "(12, 'accountType', '总账'), (15, 'accountType', '分账'), (16, 'accountType', '外账'), "
            "(5, 'importType', '退货入库'), (6, 'exportType', '退货出库'), "
            "(7, 'goodsType', '饮料'), (8, 'goodsType', '零食')"));
        exec(QStringLiteral("INSERT INTO tb_account_fun (accountId, departmentId) VALUES (12, 1), (15, 1)"));
        exec(
            QStringLiteral("INSERT INTO tb_location (id, locationCode, uname) VALUES (1, 'A-01', '一号位')"));
        // The partner every bill below names.
        exec(QStringLiteral("INSERT INTO tb_customer (id, uname) VALUES (1, '华东五金')"));
        exec(QStringLiteral("INSERT INTO tb_goods_head (id, goodsTypeId, goodsCode, goodsName, goodsDesc, "
                            "pinyin, upqty, downqty, "
                            "status) VALUES (1, 7, 'G001', '可乐', '330ml', 'KL', 100, 10, '启用'), "
                            "(2, 8, 'G002', '薯片', '大包', 'SP', 0, 0, '替代'), (3, 7, 'G003', '雪碧', '', "
                            "'XB', 0, 0, '禁用')"));
        exec(QStringLiteral(
            "INSERT INTO tb_goods_detail (id, headId, isDefault, unit, packQty) VALUES "
            "(1, 1, 1, '瓶', 6), (2, 1, 0, '箱', 24), (3, 2, 1, '包', 2), (4, 3, 1, '瓶', 1)"));
        loginAs(1);
        FakeBillWindow::loaded.clear();
        WindowRegistry::add("frmImport", [] { return new FakeBillWindow(QStringLiteral("frmImport")); });
        WindowRegistry::add("frmExport", [] { return new FakeBillWindow(QStringLiteral("frmExport")); });
    }

    void TearDown() override
    {
        WindowRegistry::remove(QStringLiteral("frmImport"));
        WindowRegistry::remove(QStringLiteral("frmExport"));
        DbTest::TearDown();
    }

    BillDirection dir() const { return GetParam(); }
    bool in() const { return dir() == BillDirection::In; }
    const BillSetup& t() const { return BillSetup::Of(dir()); }
    QString billWindow() const { return in() ? QStringLiteral("frmImport") : QStringLiteral("frmExport"); }
    QString code() const { return t().numberKind; }

    void addBill(int id, int account, int ispass, const QString& date,
                 const QString& partner = QStringLiteral("华东五金"), int type = 0,
                 const QVariant& ubillNo = {}, const QString& billNo = {})
    {
        ExecuteParaSql(
            QStringLiteral("INSERT INTO %1 (id, accountId, billNo, ubillNo, utypeId, %2, %3, ispass, "
                           "creator, createTime, userId) VALUES (@id, @acc, @no, @ubill, @type, 1, "
                           "@partner, @pass, 'admin', @time, 1)")
                .arg(t().headTable, t().partnerIdCol, t().partnerNameCol),
            {{QStringLiteral("@id"), id},
             {QStringLiteral("@acc"), account},
             {QStringLiteral("@no"),
              billNo.isEmpty() ? QStringLiteral("%1-2405-%2").arg(code()).arg(id, 5, 10, QLatin1Char('0'))
                               : billNo},
             {QStringLiteral("@ubill"), ubillNo},
             {QStringLiteral("@type"), type ? type : (in() ? 3 : 4)},
             {QStringLiteral("@partner"), partner},
             {QStringLiteral("@pass"), ispass},
             {QStringLiteral("@time"), date + QStringLiteral(" 09:30:00")}});
    }

    // A line at the given price; outbound lines carry a different purchase
    // price, so an amount from the wrong price shows.
    void addLine(int id, int headId, int goodsId, double qty, double price, double packQty = 1,
                 double weight = 0, const QVariant& lotNo = {})
    {
        const QString sale = in() ? QString() : QStringLiteral(", salePrice");
        ExecuteParaSql(
            QStringLiteral(
                "INSERT INTO %1 (id, headId, rowNo, goodsTypeId, goodsTypeName, goodsId, goodsCode, "
                "goodsName, "
                "goodsDesc, unit, inPrice%2, packQty, weight, qty, locationId, lotNo) VALUES (@id, @head, "
                "@id, "
                "COALESCE((SELECT goodsTypeId FROM tb_goods_head WHERE id=@goods), 0), "
                "COALESCE((SELECT d.uname FROM tb_goods_head g JOIN tb_dictionary d ON d.id=g.goodsTypeId "
                "WHERE g.id=@goods), ''), "
                "@goods, (SELECT goodsCode FROM tb_goods_head WHERE id=@goods), "
                "(SELECT goodsName FROM tb_goods_head WHERE id=@goods), "
                "(SELECT goodsDesc FROM tb_goods_head WHERE id=@goods), '瓶', @inPrice%3, @pack, @weight, "
                "@qty, 1, @lot)")
                .arg(t().lineTable, sale, in() ? QString() : QStringLiteral(", @price")),
            {{QStringLiteral("@id"), id},
             {QStringLiteral("@head"), headId},
             {QStringLiteral("@goods"), goodsId},
             {QStringLiteral("@inPrice"), in() ? price : price + 100},
             {QStringLiteral("@price"), price},
             {QStringLiteral("@pack"), packQty},
             {QStringLiteral("@weight"), weight},
             {QStringLiteral("@qty"), qty},
             {QStringLiteral("@lot"), lotNo}});
    }

    // 97 bills of May 2024 on tag 12, every third audited, each with one line
    // whose amount is the bill id / 2.
    void add97Bills()
    {
        TransactionGuard tx;
        for (int id = 1; id <= 97; ++id) {
            addBill(id, 12, id % 3 == 0 ? 1 : 0,
                    QStringLiteral("2024-05-%1").arg(1 + id % 19, 2, 10, QLatin1Char('0')));
            addLine(id, id, 1, 1, id / 2.0);
        }
        tx.commit();
    }

    template <class W> W* open(W* window)
    {
        window->show();
        window->LoadData();
        QApplication::processEvents();
        return window;
    }
    ReportFrame* openHead()
    {
        return in() ? open<ReportFrame>(new frm_rpt_rkHead) : open<ReportFrame>(new frm_rpt_ckHead);
    }
    ReportFrame* openDetail()
    {
        return in() ? open<ReportFrame>(new frm_rpt_rkDetail) : open<ReportFrame>(new frm_rpt_ckDetail);
    }
    ReportFrame* openSum()
    {
        return in() ? open<ReportFrame>(new frm_rpt_rkSum) : open<ReportFrame>(new frm_rpt_ckSum);
    }

    static int dataRows(ReportFrame* w) { return w->grid()->Rows() - w->layout().headerRows; }
    static QString cell(ReportFrame* w, int dataRow, int col)
    {
        return w->grid()->TextMatrix(w->layout().headerRows + dataRow, col);
    }
    static QString pagerText(ReportFrame* w) { return ui::child<QLabel>(w, "lab_recordCount")->text(); }
    static bool enabled(ReportFrame* w, const char* name) { return ui::child<QWidget>(w, name)->isEnabled(); }

    // Clicks a column header as a user does.
    static void clickHeader(ReportFrame* w, int col)
    {
        QHeaderView* header = w->grid()->horizontalHeader();
        const QPoint at(header->sectionViewportPosition(col) + header->sectionSize(col) / 2,
                        header->height() - 4);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
        QApplication::processEvents();
    }
    // Makes the row holding text in col the current row, as a click does.
    static void clickRowWith(ReportFrame* w, const QString& text, int col)
    {
        ASSERT_TRUE(ui::clickRow(w->grid(), text, col)) << text.toStdString();
    }
    static void menu(ReportFrame* w, const char* name)
    {
        ui::child<QAction>(w, name)->trigger();
        QApplication::processEvents();
    }
    // The newest exported workbook.
    QString lastExport() const
    {
        const QDir folder(appDir() + QStringLiteral("qvPrint/generateXls"));
        const QStringList files = folder.entryList({QStringLiteral("*.xlsx")}, QDir::Files, QDir::Name);
        return files.isEmpty() ? QString() : folder.filePath(files.last());
    }
};

// The grid column of a work-table field (by the page fill of the window's layout).
inline int ColumnOf(ReportFrame* w, const QString& field)
{
    for (int c = 0; c < w->layout().columns.size(); ++c)
        if (w->layout().columns.at(c).field == field)
            return c;
    return -1;
}

// The texts of one column on the page shown and every page after it, walked
// with 下一页.
inline QStringList WalkOn(ReportFrame* w, const QString& field)
{
    const int col = ColumnOf(w, field);
    QStringList seen;
    for (;;) {
        for (int r = w->layout().headerRows; r < w->grid()->Rows(); ++r)
            seen << w->grid()->TextMatrix(r, col);
        if (!ui::child<QWidget>(w, "btn_NextPage")->isEnabled())
            break;
        ui::click(w, "btn_NextPage");
    }
    return seen;
}

// Texts of whole numbers in their numeric order.
inline QStringList SortedNumbers(QStringList list)
{
    std::sort(list.begin(), list.end(),
              [](const QString& a, const QString& b) { return a.toInt() < b.toInt(); });
    return list;
}

inline std::string DirectionName(const ::testing::TestParamInfo<BillDirection>& info)
{
    return info.param == BillDirection::In ? "Inbound" : "Outbound";
}

#include "TestEnv.h"
#include "UiDriver.h"

#include "DialogRunner.h"
#include "FlexGrid.h"
#include "frm_select.h"
#include "m_ck_head.h"
#include "m_customer.h"
#include "m_dictionary.h"
#include "m_goods_detail.h"
#include "m_location.h"
#include "m_rk_head.h"
#include "mod_public.h"
#include "sqlHelper.h"

#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSet>
#include <QTest>

namespace
{

QSet<QString> toSet(const QStringList& list)
{
    return QSet<QString>(list.begin(), list.end());
}

class PickerTest : public DbTest
{
  protected:
    void SetUp() override
    {
        DbTest::SetUp();
        // Partners: kinds 0 supplier, 1 customer, 2 both; status 1 enabled.
        exec(QStringLiteral(
            "insert into tb_customer (id,utype,customerCode,uname,pinyin,contact,companyName,status) values "
            "(1,0,'ct-2405-00001','甲供应','JGY','张三','甲公司',1),"
            "(2,1,'ct-2405-00002','乙客户','YKH','李四',NULL,1),"
            "(3,2,'ct-2405-00003','丙两者','BLZ',NULL,NULL,1),"
            "(4,0,'ct-2405-00004','丁停用','DTY','王五','丁公司',0),"
            "(5,0,'ct-2405-00005','O''Brien 100%','OB',NULL,NULL,1),"
            "(6,2,'ct-2405-00006','a@b|N:1','AB',NULL,NULL,1),"
            "(7,0,'ct-2405-00007','戊供应','WGYQ',NULL,NULL,1),"
            "(8,1,'ct-2405-00008','Zeta','Z',NULL,NULL,1)"));
        // Locations: 4 is disabled, 5 is outside the department's rights.
        exec(QStringLiteral(
            "insert into tb_location (id,locationCode,uname,capacity,parentId,isLock,isVirtual,state) values "
            "(1,'A','一区',100,0,0,0,1),(2,'A-01','一区一号',10,1,0,0,1),(3,'B','二区',0,0,1,1,1),"
            "(4,'C','停用区',0,0,0,0,0),(5,'D','无权区',0,0,0,0,1)"));
        // Goods: item 3 is disabled; unit 2 has no barcode (Null), unit 4 an empty one.
        exec(QStringLiteral(
            "insert into tb_dictionary (id,utype,uname,parentId,isstart) values "
            "(10,'goodsType','饮料',0,1),(11,'goodsType','果汁',10,1),(12,'goodsType','旧类',0,0),"
            "(13,'customerType','批发',0,1),(14,'accountType','第二账套',0,1)"));
        exec(QStringLiteral(
            "insert into tb_goods_head (id,goodsTypeId,goodsCode,goodsName,goodsDesc,pinyin,status) "
            "values (1,11,'G001','橙汁','1L','CZ','启用'),(2,10,'G002','可乐','330ml','KL','启用'),"
            "(3,10,'G003','旧货','','JH','禁用')"));
        exec(QStringLiteral(
            "insert into tb_goods_detail (id,headId,isDefault,rowNo,goodsDetailCode,unit,packQty,"
            "weight,inPrice,salePrice) values "
            "(1,1,1,1,'6901','瓶',1,1,2.5,4),(2,1,0,2,NULL,'箱',12,12,30,45),"
            "(3,2,1,1,'6902','罐',1,0.3,1.5,3),(4,3,1,1,'','个',1,0,1,2)"));
        // Bills: account tags 2 (default) and 14; the department may use only 2.
        exec(QStringLiteral(
            "insert into tb_rk_head (id,accountId,billNo,ubillNo,utypeId,supplierId,supplierName,"
            "ispass,creator,createTime) values "
            "(1,2,'rk-2405-00001',NULL,3,1,'甲供应',0,'admin','2024-05-01'),"
            "(2,14,'rk-2405-00002','X-9',3,1,'甲供应',1,'admin','2024-05-02')"));
        exec(QStringLiteral("insert into tb_rk_detail (id,headId,qty,inPrice) values (1,1,2,1.5),(2,1,1,1)"));
        exec(QStringLiteral(
            "insert into tb_ck_head (id,accountId,billNo,ubillNo,utypeId,customerId,customerName,"
            "ispass,creator,createTime) values "
            "(1,2,'ck-2405-00001','',4,2,'乙客户',1,'admin','2024-05-03'),"
            "(2,14,'ck-2405-00002','',4,2,'乙客户',0,'admin','2024-05-04')"));
        SysVar.Sys_locationJoinId = QStringLiteral("1,2,3,4,0");
        SysVar.Sys_accountJoinId = QStringLiteral("2,0");
    }

    // The key of the list's first shown field, the column right of the mark.
    static QString firstField(const frm_select& picker)
    {
        return picker.vgInput->ColKey(picker.vgInput->ColIndex(QStringLiteral("marked")) + 1);
    }
    // The data rows' texts of the column with key (the list's first shown
    // field when empty; the blank row of an empty result left out).
    static QStringList column(const frm_select& picker, QString key = {})
    {
        if (key.isEmpty())
            key = firstField(picker);
        QStringList out;
        for (int r = 1; r < picker.vgInput->Rows(); ++r) {
            if (!picker.vgInput->TextMatrix(r, QStringLiteral("id")).isEmpty())
                out.append(picker.vgInput->TextMatrix(r, key));
        }
        return out;
    }

    // Scrolls the list to its end until nothing more is read, as a user drags the bar down.
    static void scrollToEnd(frm_select& picker)
    {
        QScrollBar* bar = picker.vgInput->verticalScrollBar();
        for (int guard = 0; guard < 1000; ++guard) {
            const int rows = picker.vgInput->Rows();
            QApplication::processEvents();
            bar->setValue(bar->maximum());
            QApplication::processEvents();
            if (picker.vgInput->Rows() == rows)
                return;
        }
    }
    static void clickHeader(frm_select& picker, int col)
    {
        QHeaderView* header = picker.vgInput->horizontalHeader();
        const int x = header->sectionViewportPosition(col) + header->sectionSize(col) / 2;
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, header->height() / 2));
        QApplication::processEvents();
    }

    static std::unique_ptr<frm_select> open(const QString& mode, const QString& keyword = {},
                                            bool hideCheck = true)
    {
        auto picker = std::make_unique<frm_select>();
        picker->utbName = mode;
        picker->isHideCheckCol = hideCheck;
        if (!keyword.isEmpty())
            picker->utxtkeyword->setText(keyword);
        picker->RunSearch();
        return picker;
    }
};

// What each mode lists for a keyword: its fixed conditions, the department's
// right lists, and null-safe keyword fields that match across their seams.
TEST_F(PickerTest, EachModeListsTheRightRows)
{
    struct Case {
        const char* mode;
        const char* keyword;
        QStringList expected; // the first shown field of the listed rows
    };
    const Case cases[] = {
        {"supplier", "", {"甲供应", "丙两者", "O'Brien 100%", "a@b|N:1", "戊供应"}},
        {"customer", "", {"乙客户", "丙两者", "a@b|N:1", "Zeta"}},
        {"customer", "blz", {"丙两者"}},             // pinyin, no contact or company
        {"supplier", "Q戊", {"戊供应"}},             // across pinyin and name
        {"supplier", "应ct-2405-00007", {"戊供应"}}, // across name and code
        {"supplier", "O'Brien", {"O'Brien 100%"}},
        {"supplier", "100%", {"O'Brien 100%"}},
        {"customer", "@b|N:", {"a@b|N:1"}},
        {"customer", "N:1", {"a@b|N:1"}},
        {"supplier", "丁", {}}, // disabled
        {"supplier", "   ", {"甲供应", "丙两者", "O'Brien 100%", "a@b|N:1", "戊供应"}},
        {"location", "", {"A", "A-01", "B"}}, // enabled and permitted only
        {"location", "一号", {"A-01"}},
        {"location", "A一", {"A"}}, // across code and name
        {"location", "D", {}},
        {"inputGoods", "", {"G001", "6901", "G001", "G002", "6902"}},
        {"inputGoods", "6901", {"G001", "6901"}}, // the code row carries the barcode too
        {"inputGoods", "cz", {"G001", "6901", "G001"}},
        {"inputGoods", "旧", {}}, // disabled goods
        {"inputGoodsForExport", "可乐", {"G002", "6902"}},
        {"dictionary", "饮料", {"饮料", "果汁"}}, // a top-level item and the child under it
        {"dictionary", "旧", {}},
        {"rk_bill", "", {"rk-2405-00001"}},
        {"rk_bill", "甲供", {"rk-2405-00001"}}, // no own number (Null)
        {"ck_bill", "乙客户", {"ck-2405-00001"}},
        {"ck_bill", "00002", {}}, // another account tag
    };
    for (const Case& c : cases) {
        const auto picker = open(QString::fromUtf8(c.mode), QString::fromUtf8(c.keyword));
        EXPECT_EQ(toSet(column(*picker)), toSet(c.expected)) << c.mode << " / " << c.keyword;
        EXPECT_EQ(column(*picker).size(), c.expected.size()) << c.mode << " / " << c.keyword;
        EXPECT_EQ(picker->Lblinfor->text(), QStringLiteral("当前找到[ %1 ]条记录").arg(c.expected.size()))
            << c.mode << " / " << c.keyword;
    }
    EXPECT_TRUE(shown().isEmpty()) << shown().join(QLatin1Char('\n')).toStdString();
}

TEST_F(PickerTest, RightListsOfTheDepartment)
{
    SysVar.Sys_locationJoinId = QStringLiteral("0");
    EXPECT_TRUE(column(*open(QStringLiteral("location"))).isEmpty());
    SysVar.Sys_locationJoinId = QStringLiteral("5,4,0");
    EXPECT_EQ(column(*open(QStringLiteral("location"))), QStringList{QStringLiteral("D")});

    SysVar.Sys_accountJoinId = QStringLiteral("14,2,0");
    EXPECT_EQ(column(*open(QStringLiteral("rk_bill"))).size(), 2);
    SysVar.Sys_accountJoinId = QStringLiteral("0");
    EXPECT_TRUE(column(*open(QStringLiteral("ck_bill"))).isEmpty());

    // A right list that is not a plain number list never reaches the SQL: the
    // search stops with the error and the list keeps what it showed.
    SysVar.Sys_locationJoinId = QStringLiteral("1,2,0");
    const auto picker = open(QStringLiteral("location"));
    ASSERT_EQ(column(*picker).size(), 2);
    SysVar.Sys_locationJoinId = QStringLiteral("1) or (1=1");
    picker->utxtkeyword->setText(QStringLiteral("A"));
    ASSERT_EQ(MsgBox::Shown().size(), 1);
    EXPECT_EQ(MsgBox::Shown().at(0).title, QStringLiteral("System"));
    EXPECT_EQ(MsgBox::Shown().at(0).icon, MsgIcon::Critical);
    EXPECT_EQ(column(*picker).size(), 2);
    EXPECT_EQ(picker->Lblinfor->text(), QStringLiteral("当前找到[ 2 ]条记录"));
}

TEST_F(PickerTest, DictionaryNarrowedToOneType)
{
    auto picker = std::make_unique<frm_select>();
    picker->utbName = QStringLiteral("dictionary");
    picker->isHideCheckCol = true;
    picker->append_Condition = m_condition(SearchKey::Type, QStringLiteral("="), QStringLiteral("goodsType"));
    picker->RunSearch();
    EXPECT_EQ(toSet(column(*picker)), toSet({QStringLiteral("饮料"), QStringLiteral("果汁")}));
    QMap<QString, QString> parentOf; // 名称 -> 父节点
    for (int r = 1; r < picker->vgInput->Rows(); ++r)
        parentOf.insert(picker->vgInput->TextMatrix(r, QStringLiteral("uname")),
                        picker->vgInput->TextMatrix(r, QStringLiteral("parentName")));
    EXPECT_EQ(parentOf.value(QStringLiteral("饮料")), QString());
    EXPECT_EQ(parentOf.value(QStringLiteral("果汁")), QStringLiteral("饮料"));

    // Without the condition: the enabled items of every type.
    QStringList enabled;
    const RecordSetPtr rs = ExecuteSql(QStringLiteral("select uname from tb_dictionary where isstart=1"));
    for (int r = 0; r < rs->RecordCount(); ++r)
        enabled.append(rs->text(r, QStringLiteral("uname")));
    EXPECT_EQ(toSet(column(*open(QStringLiteral("dictionary")))), toSet(enabled));
    EXPECT_TRUE(enabled.contains(QStringLiteral("批发")) && enabled.contains(QStringLiteral("第二账套")));
}

TEST_F(PickerTest, GridLayoutOfEachMode)
{
    struct Case {
        const char* mode;
        int cols;
        const char* caption3;
    };
    const Case cases[] = {{"supplier", 8, "往来单位名称       "},
                          {"customer", 8, "往来单位名称       "},
                          {"location", 10, "库位编码       "},
                          {"inputGoods", 12, "货品编码或条码     "},
                          {"inputGoodsForExport", 12, "货品编码或条码     "},
                          {"dictionary", 7, "名称             "},
                          {"rk_bill", 11, "入库单号       "},
                          {"ck_bill", 11, "出库单号       "}};
    for (const Case& c : cases) {
        for (const bool hide : {true, false}) {
            const auto picker = open(QString::fromUtf8(c.mode), {}, hide);
            const FlexGrid* g = picker->vgInput;
            EXPECT_EQ(g->Cols(), c.cols) << c.mode;
            EXPECT_EQ(g->TextMatrix(0, QStringLiteral("rowNo")), QStringLiteral("行号 "));
            EXPECT_EQ(g->TextMatrix(0, QStringLiteral("marked")), QStringLiteral("选定   "));
            EXPECT_EQ(g->TextMatrix(0, g->ColIndex(firstField(*picker))), QString::fromUtf8(c.caption3))
                << c.mode;
            EXPECT_TRUE(g->ColHidden(g->ColIndex(QStringLiteral("id"))));
            EXPECT_EQ(g->ColHidden(g->ColIndex(QStringLiteral("marked"))), hide);
            EXPECT_EQ(g->ColDataType(g->ColIndex(QStringLiteral("marked"))), int(FlexGrid::flexDTBoolean));
            EXPECT_EQ(picker->B_AllSelect->isVisibleTo(picker.get()), !hide);
            // Rows are numbered 1, 2, ... and start unmarked.
            for (int r = 1; r < g->Rows(); ++r) {
                EXPECT_EQ(g->TextMatrix(r, QStringLiteral("rowNo")), QString::number(r));
                EXPECT_EQ(g->TextMatrix(r, QStringLiteral("marked")), QStringLiteral("0"));
            }
        }
        // The check column makes the dialog wider by exactly its own width.
        const auto narrow = open(QString::fromUtf8(c.mode), {}, true);
        const auto wide = open(QString::fromUtf8(c.mode), {}, false);
        EXPECT_EQ(wide->searchWidth() - narrow->searchWidth(),
                  wide->vgInput->ColWidth(wide->vgInput->ColIndex(QStringLiteral("marked"))))
            << c.mode;
    }
    const auto supplier = open(QStringLiteral("supplier"));
    EXPECT_EQ(supplier->vgInput->TextMatrix(1, QStringLiteral("customerCode")),
              QStringLiteral("ct-2405-00001"));
    EXPECT_EQ(supplier->vgInput->TextMatrix(1, QStringLiteral("utypeName")), QStringLiteral("供应商"));
}

TEST_F(PickerTest, EmptyResultKeepsOneBlankRow)
{
    const auto picker = open(QStringLiteral("supplier"), QStringLiteral("没有这个"));
    EXPECT_EQ(picker->vgInput->Rows(), 2);
    EXPECT_EQ(picker->vgInput->TextMatrix(1, QStringLiteral("rowNo")), QString());
    EXPECT_EQ(picker->vgInput->TextMatrix(1, QStringLiteral("id")), QString());
    EXPECT_EQ(picker->Lblinfor->text(), QStringLiteral("当前找到[ 0 ]条记录"));
}

TEST_F(PickerTest, SearchesAsTheUserTypes)
{
    const auto picker = open(QStringLiteral("customer"));
    EXPECT_EQ(picker->Lblinfor->text(), QStringLiteral("当前找到[ 4 ]条记录"));
    ui::focusOn(picker->utxtkeyword);
    ui::type(QStringLiteral("Ze"));
    EXPECT_EQ(column(*picker), QStringList{QStringLiteral("Zeta")});
    ui::press(Qt::Key_Backspace);
    EXPECT_EQ(toSet(column(*picker)),
              toSet({QStringLiteral("Zeta"), QStringLiteral("丙两者")})); // pinyin BLZ
    ui::press(Qt::Key_Backspace);
    EXPECT_EQ(picker->Lblinfor->text(), QStringLiteral("当前找到[ 4 ]条记录"));
    // A typed apostrophe or tilde is refused; pasted, it is searched as it stands.
    ui::type(QStringLiteral("O'~"));
    EXPECT_EQ(picker->utxtkeyword->text(), QStringLiteral("O"));
    picker->utxtkeyword->setText(QStringLiteral("'"));
    EXPECT_EQ(picker->Lblinfor->text(), QStringLiteral("当前找到[ 0 ]条记录"));
    EXPECT_EQ(picker->utxtkeyword->maxLength(), 30);
}

// One keystroke reads a page of rows and counts every match; scrolling to the
// end of the list reads the rest, page by page, until every match is listed.
TEST_F(PickerTest, ListsEveryMatchPageByPage)
{
    const auto fill = [this](int first, int last) {
        exec(QStringLiteral("WITH RECURSIVE n(i) AS (SELECT %1 UNION ALL SELECT i+1 FROM n WHERE i<%2) "
                            "INSERT INTO tb_customer (id,utype,customerCode,uname,pinyin,status) "
                            "SELECT i,1,'ct-2406-'||i,'客户'||i,'KH',1 FROM n")
                 .arg(first)
                 .arg(last));
    };
    fill(100, 6099);
    auto picker = open(QStringLiteral("customer"));
    EXPECT_EQ(picker->Lblinfor->text(), QStringLiteral("当前找到[ 6004 ]条记录"));
    EXPECT_EQ(picker->vgInput->Rows() - 1, frm_select::kPageRows);
    picker->utxtkeyword->setText(QStringLiteral("客户12"));
    EXPECT_EQ(picker->Lblinfor->text(), QStringLiteral("当前找到[ 110 ]条记录")); // 120-129, 1200-1299
    EXPECT_EQ(picker->vgInput->Rows() - 1, 110);
    EXPECT_FALSE(picker->canFetchMore());

    // More than a thousand matches: scrolled to the end, all of them are listed, in order.
    picker->utxtkeyword->setText(QStringLiteral("客户"));
    EXPECT_EQ(picker->Lblinfor->text(), QStringLiteral("当前找到[ 6001 ]条记录"));
    ui::activate(picker.get());
    scrollToEnd(*picker);
    ASSERT_EQ(picker->vgInput->Rows() - 1, 6001);
    EXPECT_EQ(picker->vgInput->TextMatrix(6001, QStringLiteral("rowNo")), QStringLiteral("6001"));
    EXPECT_EQ(picker->vgInput->TextMatrix(6001, QStringLiteral("uname")), QStringLiteral("客户6099"));
    QSet<QString> ids;
    for (int r = 1; r < picker->vgInput->Rows(); ++r)
        ids.insert(picker->vgInput->TextMatrix(r, QStringLiteral("id")));
    EXPECT_EQ(ids.size(), 6001); // no row twice

    // A click on the code column's header sorts every match, not only the rows read.
    clickHeader(*picker, picker->vgInput->ColIndex(QStringLiteral("customerCode")));
    EXPECT_EQ(picker->vgInput->Rows() - 1, frm_select::kPageRows);
    EXPECT_EQ(picker->vgInput->TextMatrix(1, QStringLiteral("customerCode")),
              QStringLiteral("ct-2405-00002")); // 乙客户 of the fixture
    EXPECT_EQ(picker->vgInput->TextMatrix(2, QStringLiteral("customerCode")), QStringLiteral("ct-2406-100"));
    clickHeader(*picker, picker->vgInput->ColIndex(QStringLiteral("customerCode")));
    EXPECT_EQ(picker->vgInput->TextMatrix(1, QStringLiteral("customerCode")), QStringLiteral("ct-2406-999"));
    scrollToEnd(*picker);
    ASSERT_EQ(picker->vgInput->Rows() - 1, 6001);
    EXPECT_EQ(picker->vgInput->TextMatrix(6001, QStringLiteral("customerCode")),
              QStringLiteral("ct-2405-00002"));
    EXPECT_EQ(picker->vgInput->TextMatrix(6000, QStringLiteral("customerCode")),
              QStringLiteral("ct-2406-100"));
    for (int r = 2; r < picker->vgInput->Rows(); ++r)
        ASSERT_GE(picker->vgInput->TextMatrix(r - 1, QStringLiteral("customerCode")),
                  picker->vgInput->TextMatrix(r, QStringLiteral("customerCode")))
            << r;
    // The order holds for the next keyword too.
    picker->utxtkeyword->setText(QStringLiteral("客户1"));
    EXPECT_EQ(picker->vgInput->TextMatrix(1, QStringLiteral("customerCode")), QStringLiteral("ct-2406-1999"));
}

// The answer of the single pick: one record of the mode's class under key 0,
// carrying only what the grid row shows.
TEST_F(PickerTest, SinglePickAnswersTheCurrentRow)
{
    struct Case {
        const char* mode;
        const char* keyword;
    };
    const Case cases[] = {{"supplier", "丙"},     {"location", "一号"}, {"inputGoods", "6902"},
                          {"dictionary", "果汁"}, {"rk_bill", "00001"}, {"ck_bill", "00001"}};
    for (const Case& c : cases) {
        const auto picker = open(QString::fromUtf8(c.mode), QString::fromUtf8(c.keyword));
        const int last = picker->vgInput->Rows() - 1;
        DialogRunner::QueueHandler([last](QDialog* d) {
            auto* p = static_cast<frm_select*>(d);
            p->vgInput->setRow(last);
            p->B_SelectInput->click();
            return d->result();
        });
        EXPECT_EQ(DialogRunner::Exec(picker.get()), int(QDialog::Accepted));
        const m_result& r = picker->resultVal;
        ASSERT_TRUE(r.isHasObject) << c.mode;
        ASSERT_EQ(r.resultValue.size(), 1) << c.mode;
        const QVariant v = r.resultValue.at(0);
        const QString mode = QString::fromUtf8(c.mode);
        if (mode == QLatin1String("supplier")) {
            const m_customer m = v.value<m_customer>();
            EXPECT_EQ(m.id, 3);
            EXPECT_EQ(m.uname, QStringLiteral("丙两者"));
            EXPECT_EQ(m.customerCode, QStringLiteral("ct-2405-00003"));
            EXPECT_TRUE(m.contact.isEmpty());
            EXPECT_EQ(m.status, 0);
            EXPECT_EQ(m.utype, 0);
        } else if (mode == QLatin1String("location")) {
            const m_location m = v.value<m_location>();
            EXPECT_EQ(m.id, 2);
            EXPECT_EQ(m.locationCode, QStringLiteral("A-01"));
            EXPECT_TRUE(m.uname.isEmpty());
        } else if (mode == QLatin1String("inputGoods")) {
            const m_goods_detail m = v.value<m_goods_detail>();
            EXPECT_EQ(m.id, 3);
            EXPECT_EQ(m.inputGoodsCode, picker->vgInput->TextMatrix(last, QStringLiteral("inputGoodsCode")));
            EXPECT_TRUE(m.goodsName.isEmpty());
        } else if (mode == QLatin1String("dictionary")) {
            const m_dictionary m = v.value<m_dictionary>();
            EXPECT_EQ(m.id, 11);
            EXPECT_EQ(m.uname, QStringLiteral("果汁"));
            EXPECT_TRUE(m.parentName.isEmpty());
        } else if (mode == QLatin1String("rk_bill")) {
            EXPECT_EQ(v.value<m_rk_head>().id, 1);
            EXPECT_TRUE(v.value<m_rk_head>().billNo.isEmpty());
        } else {
            EXPECT_EQ(v.value<m_ck_head>().id, 1);
        }
    }
}

TEST_F(PickerTest, SinglePickOfTheBlankRowAnswersAnEmptyRecord)
{
    const auto picker = open(QStringLiteral("customer"), QStringLiteral("没有"));
    DialogRunner::QueueHandler([](QDialog* d) {
        auto* p = static_cast<frm_select*>(d);
        p->vgInput->setRow(1);
        p->B_SelectInput->click();
        return d->result();
    });
    DialogRunner::Exec(picker.get());
    ASSERT_TRUE(picker->resultVal.isHasObject);
    ASSERT_EQ(picker->resultVal.resultValue.size(), 1);
    const m_customer m = picker->resultVal.resultValue.at(0).value<m_customer>();
    EXPECT_EQ(m.id, 0);
    EXPECT_TRUE(m.customerCode.trimmed().isEmpty());
}

// The check pick: marks by clicks in the check column, 全选, double click and
// Enter; the answer follows the grid's present order.
TEST_F(PickerTest, CheckPickAnswersTheMarkedRowsInGridOrder)
{
    auto picker = open(QStringLiteral("supplier"), {}, false);
    FlexGrid* g = picker->vgInput;
    ASSERT_EQ(g->Rows() - 1, 5);
    DialogRunner::QueueHandler([g](QDialog* d) {
        auto* p = static_cast<frm_select*>(d);
        for (const int row : {2, 5, 3}) {
            g->Select(row, 2);
            QTest::mouseClick(g->viewport(), Qt::LeftButton, {},
                              g->visualRect(g->model()->index(row - 1, 2)).center());
        }
        // A second click takes the mark away again.
        QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, g->visualRect(g->model()->index(2, 2)).center());
        p->B_SelectInput->click();
        return d->result();
    });
    const QString row2 = g->TextMatrix(2, QStringLiteral("uname"));
    const QString row5 = g->TextMatrix(5, QStringLiteral("uname"));
    DialogRunner::Exec(picker.get());
    ASSERT_TRUE(picker->resultVal.isHasObject);
    ASSERT_EQ(picker->resultVal.resultValue.size(), 2);
    EXPECT_EQ(picker->resultVal.resultValue.at(0).value<m_customer>().uname, row2);
    EXPECT_EQ(picker->resultVal.resultValue.at(1).value<m_customer>().uname, row5);

    // After a header sort the keys follow the sorted order, and the rows are renumbered.
    picker = open(QStringLiteral("supplier"), {}, false);
    g = picker->vgInput;
    g->setTextMatrix(1, QStringLiteral("marked"), QStringLiteral("-1")); // 甲供应 (ct-…01)
    g->setTextMatrix(5, QStringLiteral("marked"), QStringLiteral("-1")); // 戊供应 (ct-…07)
    emit g->horizontalHeader()->sectionClicked(g->ColIndex(QStringLiteral("customerCode")));
    emit g->horizontalHeader()->sectionClicked(
        g->ColIndex(QStringLiteral("customerCode"))); // descending by code
    for (int r = 1; r < g->Rows(); ++r)
        EXPECT_EQ(g->TextMatrix(r, QStringLiteral("rowNo")), QString::number(r));
    DialogRunner::QueueHandler([](QDialog* d) {
        static_cast<frm_select*>(d)->B_SelectInput->click();
        return d->result();
    });
    DialogRunner::Exec(picker.get());
    ASSERT_EQ(picker->resultVal.resultValue.size(), 2);
    EXPECT_EQ(picker->resultVal.resultValue.at(0).value<m_customer>().customerCode,
              QStringLiteral("ct-2405-00007"));
    EXPECT_EQ(picker->resultVal.resultValue.at(1).value<m_customer>().customerCode,
              QStringLiteral("ct-2405-00001"));
}

TEST_F(PickerTest, CheckPickWaysToConfirm)
{
    struct Case {
        const char* name;
        std::function<void(frm_select*)> act;
        int expected;
    };
    const Case cases[] = {
        {"nothing marked", [](frm_select* p) { p->B_SelectInput->click(); }, 0},
        {"全选",
         [](frm_select* p) {
             p->B_AllSelect->click();
             p->B_SelectInput->click();
         },
         5},
        {"double click joins the marked rows",
         [](frm_select* p) {
             p->vgInput->setTextMatrix(1, QStringLiteral("marked"), QStringLiteral("-1"));
             p->vgInput->setRow(3);
             const QRect cell = p->vgInput->visualRect(p->vgInput->model()->index(2, 4));
             QTest::mouseDClick(p->vgInput->viewport(), Qt::LeftButton, {}, cell.center());
         },
         2},
        {"Enter in the list",
         [](frm_select* p) {
             p->vgInput->setRow(4);
             ui::focusOn(p->vgInput);
             ui::press(Qt::Key_Return);
         },
         1},
    };
    for (const Case& c : cases) {
        const auto picker = open(QStringLiteral("supplier"), {}, false);
        DialogRunner::QueueHandler([&c](QDialog* d) {
            c.act(static_cast<frm_select*>(d));
            return d->result();
        });
        EXPECT_EQ(DialogRunner::Exec(picker.get()), int(QDialog::Accepted)) << c.name;
        EXPECT_TRUE(picker->resultVal.isHasObject) << c.name;
        EXPECT_EQ(picker->resultVal.resultValue.size(), c.expected) << c.name;
        for (int k = 0; k < picker->resultVal.resultValue.size(); ++k)
            EXPECT_GT(picker->resultVal.resultValue.at(k).value<m_customer>().id, 0) << c.name;
    }
}

// Esc and Enter in the keyword box leave the dialog open; only the close box
// ends it without an answer, whatever was marked.
TEST_F(PickerTest, KeysAndTheCloseBox)
{
    const auto picker = open(QStringLiteral("supplier"), {}, false);
    DialogRunner::QueueHandler([](QDialog* d) {
        auto* p = static_cast<frm_select*>(d);
        ui::focusOn(p->utxtkeyword);
        ui::press(Qt::Key_Escape);
        EXPECT_TRUE(p->isVisible());
        ui::press(Qt::Key_Return);
        ui::press(Qt::Key_Enter);
        EXPECT_TRUE(p->isVisible());
        EXPECT_FALSE(p->resultVal.isHasObject);
        ui::focusOn(p->B_AllSelect);
        ui::press(Qt::Key_Escape);
        EXPECT_TRUE(p->isVisible());

        // Down goes to the list's first row; Backspace there goes back and deletes nothing.
        ui::focusOn(p->utxtkeyword);
        ui::type(QStringLiteral("供"));
        ui::press(Qt::Key_Down);
        EXPECT_EQ(p->vgInput->Row(), 1);
        EXPECT_EQ(p->focusWidget(), p->vgInput);
        ui::press(Qt::Key_Backspace);
        EXPECT_EQ(p->utxtkeyword->text(), QStringLiteral("供"));
        EXPECT_EQ(p->focusWidget(), p->utxtkeyword);

        p->B_AllSelect->click();
        p->close();
        EXPECT_FALSE(p->isVisible());
        return d->result();
    });
    EXPECT_EQ(DialogRunner::Exec(picker.get()), int(QDialog::Rejected));
    EXPECT_FALSE(picker->resultVal.isHasObject);
    EXPECT_TRUE(picker->resultVal.resultValue.isEmpty());
}

TEST_F(PickerTest, UnknownModeAnswersNothing)
{
    const auto picker = open(QStringLiteral("warehouse"));
    EXPECT_EQ(picker->Lblinfor->text(), QStringLiteral("当前找到[ 0 ]条记录"));
    DialogRunner::QueueHandler([](QDialog* d) {
        static_cast<frm_select*>(d)->B_SelectInput->click();
        return d->result();
    });
    EXPECT_EQ(DialogRunner::Exec(picker.get()), int(QDialog::Accepted));
    EXPECT_FALSE(picker->resultVal.isHasObject);
}

TEST_F(PickerTest, StaysInsideTheScreen)
{
    // Long goods captions and a visible check column ask for a wide dialog.
    const auto picker = open(QStringLiteral("inputGoods"), {}, false);
    DialogRunner::QueueHandler([](QDialog* d) {
        const QRect screen = d->screen()->availableGeometry();
        d->move(screen.right() - 10, screen.bottom() - 10);
        QApplication::processEvents();
        auto* p = static_cast<frm_select*>(d);
        p->utxtkeyword->setText(QStringLiteral("G"));
        const QRect frame = d->frameGeometry();
        EXPECT_TRUE(screen.contains(frame))
            << frame.x() << "," << frame.y() << " " << frame.width() << "x" << frame.height();
        EXPECT_EQ(p->vgInput->width(), d->width());
        return int(QDialog::Rejected);
    });
    DialogRunner::Exec(picker.get());
}

} // namespace

// Down from the keyword box lands on the first row; further keys move from
// wherever the cursor is, and Enter picks the row the user sees highlighted.
TEST_F(PickerTest, KeyboardWalkPicksTheHighlightedRow)
{
    for (const bool hideCheck : {true, false}) {
        const auto picker = open(QStringLiteral("supplier"), {}, hideCheck);
        QString third;
        DialogRunner::QueueHandler([&third](QDialog* d) {
            auto* p = static_cast<frm_select*>(d);
            third = p->vgInput->TextMatrix(3, QStringLiteral("uname"));
            ui::focusOn(p->utxtkeyword);
            ui::press(Qt::Key_Down);
            EXPECT_EQ(p->focusWidget(), p->vgInput);
            EXPECT_EQ(p->vgInput->Row(), 1);
            EXPECT_FALSE(p->vgInput->ColHidden(p->vgInput->Col()));
            EXPECT_TRUE(p->vgInput->selectionModel()->isRowSelected(0, {}));
            ui::press(Qt::Key_Down);
            ui::press(Qt::Key_Down);
            EXPECT_EQ(p->vgInput->Row(), 3);
            ui::press(Qt::Key_Up);
            ui::press(Qt::Key_Down);
            ui::press(Qt::Key_Return);
            return d->result();
        });
        EXPECT_EQ(DialogRunner::Exec(picker.get()), int(QDialog::Accepted));
        ASSERT_EQ(picker->resultVal.resultValue.size(), 1);
        EXPECT_EQ(picker->resultVal.resultValue.first().value<m_customer>().uname, third);
        EXPECT_EQ(third, QStringLiteral("O'Brien 100%"));
    }
}

#include "ReportFixture.h"

#include "frmBill.h"

// The reports open bills in the real bill windows, found by name.
class RealBillWindowTest : public ReportTest
{
  protected:
    void SetUp() override
    {
        ReportTest::SetUp();
        WindowRegistry::add("frmImport", [] { return new frmImport; });
        WindowRegistry::add("frmExport", [] { return new frmExport; });
    }
};

TEST_P(RealBillWindowTest, ListOpensTheBillAndStartsANewOne)
{
    addBill(7, 12, 0, QStringLiteral("2024-05-02"));
    addLine(1, 7, 1, 2, 1.5);
    // The bill window keeps the bill date as a date alone.
    exec(QStringLiteral("update %1 set createTime='2024-05-02'").arg(t().headTable));
    ReportFrame* w = openHead();
    clickRowWith(w, QStringLiteral("%1-2405-00007").arg(code()), 5);
    menu(w, "menu_BrowseBill");
    QWidget* bill = WindowRegistry::instance(billWindow());
    ASSERT_NE(bill, nullptr);
    EXPECT_TRUE(shown().isEmpty()) << shown().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(bill->findChild<QLineEdit*>(QStringLiteral("txt_id"))->text(), QStringLiteral("7"));
    EXPECT_EQ(bill->findChild<QLineEdit*>(QStringLiteral("txt_billNo"))->text(),
              QStringLiteral("%1-2405-00007").arg(code()));
    ui::clickToolbar(w, "addNew");
    EXPECT_TRUE(bill->findChild<QLineEdit*>(QStringLiteral("txt_billNo"))->text().isEmpty());
    EXPECT_TRUE(shown().isEmpty()) << shown().join(QLatin1Char('|')).toStdString();
}

INSTANTIATE_TEST_SUITE_P(Directions, RealBillWindowTest,
                         ::testing::Values(BillDirection::In, BillDirection::Out), DirectionName);

#include "TestEnv.h"

#include "UiDriver.h"
#include "frmBill.h"

#include <QLineEdit>

namespace
{

class BillScreenshot : public DbTest
{
};

// Saves a picture of an inbound bill with lines when WMS_SCREENSHOT names a file.
TEST_F(BillScreenshot, InboundBillWithLines)
{
    const QString file = qEnvironmentVariable("WMS_SCREENSHOT");
    if (file.isEmpty())
        GTEST_SKIP() << "WMS_SCREENSHOT not set";
    exec(
        QStringLiteral("insert into tb_dictionary (id,utype,uname,isstart) values (5,'goodsType','饮料',1)"));
    exec(QStringLiteral("insert into tb_goods_head (id,goodsTypeId,goodsCode,goodsName,goodsDesc) values "
                        "(1,5,'G001','可口可乐','330ml'),(2,5,'G002','雪碧','500ml')"));
    exec(QStringLiteral(
        "insert into tb_goods_detail (id,headId,isDefault,rowNo,goodsDetailCode,unit,packQty,weight,"
        "inPrice) values (1,1,1,1,'6901','瓶',1,0.35,2.5),(2,1,0,2,'6902','箱',12,4.2,28),"
        "(3,2,1,1,'6903','瓶',1,0.5,2)"));
    exec(QStringLiteral("insert into tb_location (id,locationCode,uname,state) values (1,'A-01','一号',1)"));
    exec(QStringLiteral("insert into tb_location_fun (locationId,departmentId) values (1,1)"));
    loginAs(1);
    auto* w = new frmImport;
    w->resize(1200, 640);
    w->show();
    ui::activate(w);
    w->Import_Add(7, QStringLiteral("华联超市"));
    for (const char* code : {"6902", "6903", "G002"}) {
        ui::focusOn(w->txt_GoodsCode);
        ui::type(QString::fromUtf8(code));
        ui::press(Qt::Key_Return);
    }
    QApplication::processEvents();
    EXPECT_TRUE(w->grab().save(file));
}

} // namespace

#include "DayFixture.h"

#include "FrmCalendar.h"
#include "FrmLockSystem.h"
#include "PrintJob.h"
#include "frm_customer.h"

#include <QScreen>

namespace
{

// Pictures for a person to look at, taken on the screen the tests run on
// (an X display under xvfb-run at the size to be seen): the calendar with a
// marked day and its lock screen, opened from the main frame's menu; an
// inbound bill whose total has 9 digits and 5 decimals, printed (its preview
// window and its PDF). WMS_SCREENSHOT_DIR names the folder; the test does
// nothing without it.
class ScreenshotTest : public DayTest
{
};

TEST_F(ScreenshotTest, CalendarLockScreenAndPrintedBill)
{
    const QString dir = qEnvironmentVariable("WMS_SCREENSHOT_DIR");
    if (dir.isEmpty())
        GTEST_SKIP() << "WMS_SCREENSHOT_DIR not set";
    const QString size = QStringLiteral("%1x%2")
                             .arg(QGuiApplication::primaryScreen()->size().width())
                             .arg(QGuiApplication::primaryScreen()->size().height());
    const auto shot = [&](QWidget* w, const char* name) {
        QApplication::processEvents();
        QTest::qWait(100);
        EXPECT_TRUE(w->grab().save(dir + QLatin1Char('/') + QLatin1String(name) + QLatin1Char('-') + size +
                                   QStringLiteral(".png")));
    };
    exec(
        QStringLiteral("insert into tb_dictionary (id,utype,uname,isstart) values (5,'goodsType','饮料',1)"));
    exec(QStringLiteral("insert into tb_goods_head (id,goodsTypeId,goodsCode,goodsName,goodsDesc,pinyin) "
                        "values (1,5,'G001','可口可乐','330ml','KKKL')"));
    exec(QStringLiteral("insert into tb_goods_detail (id,headId,isDefault,rowNo,goodsDetailCode,unit,packQty,"
                        "weight,inPrice,salePrice) values (1,1,1,1,'6901','瓶',1,0.35,2.5,3.5)"));
    exec(QStringLiteral("insert into tb_location (id,locationCode,uname,state) values (1,'A-01','一号',1)"));
    exec(QStringLiteral("insert into tb_location_fun (locationId,departmentId) values (1,1)"));
    exec(QStringLiteral("insert into tb_customer (id,utype,customerCode,uname,status) values "
                        "(7,0,'ct-2403-00001','华东供应',1)"));
    // A marked day of this month other than today (today is the selected cell).
    const QDate now = QDate::currentDate();
    const QString today =
        QDate(now.year(), now.month(), now.day() == 3 ? 4 : 3).toString(QStringLiteral("yyyy-MM-dd"));
    exec(QStringLiteral("insert into tb_events (id,eventContent,createTime,createUserId,flgType) values "
                        "(1,'盘点','%1 09:00:00',1,'重要'),(2,'到货','%1 14:00:00',1,'一般')")
             .arg(today));
    ASSERT_TRUE(start(QStringLiteral("admin"), QStringLiteral("740")));
    frame().showMaximized();
    ui::activate(&frame());

    // The calendar (a modal window of the frame) and, from it, the lock screen.
    DialogRunner::QueueHandler([&](QDialog* d) {
        ui::activate(d);
        shot(d, "calendar");
        DialogRunner::QueueHandler([&](QDialog* lock) {
            ui::activate(lock);
            ui::focusOn(ui::child<QWidget>(lock, "utxtPassword"));
            ui::type(QStringLiteral("secret"));
            shot(lock, "lock");
            return int(QDialog::Rejected);
        });
        ui::click(d, "btn_lock");
        return int(QDialog::Rejected);
    });
    menu("menu_Calendar");

    // An inbound bill of one line: 123456789.12345 x 1, printed.
    menu("menu_MyCustomer");
    auto* partners = window<frm_customer>("frm_customer");
    ASSERT_NE(partners, nullptr);
    ASSERT_TRUE(ui::clickRow(partners->list(), QStringLiteral("华东供应"), partners->dgCol_name));
    ASSERT_TRUE(partners->prepareListMenu());
    ui::child<QAction>(partners, "menu_import_Add")->trigger();
    QApplication::processEvents();
    auto* in = window<frmImport>("frmImport");
    ASSERT_NE(in, nullptr);
    enterGoods(in, QStringLiteral("6901"), QStringLiteral("123456789.12345"), QStringLiteral("1"));
    shot(in->window(), "inbound-bill-window");
    answer(MsgAnswer::Yes);
    ui::press(Qt::Key_S, Qt::ControlModifier);
    ui::press(Qt::Key_P, Qt::ControlModifier);
    const QString text = printedText();
    EXPECT_TRUE(text.contains(QStringLiteral("123456789.12345"))) << text.toStdString();
    QFile::copy(appDir() + QStringLiteral("print.pdf"), dir + QStringLiteral("/bill-") + size + ".pdf");

    // The same print in the tool's preview window.
    PrintCommand command;
    QString error;
    ASSERT_TRUE(
        ParsePrintCommand(Launcher::Launches().last().arguments.join(QLatin1Char(' ')), command, error));
    PrintJob job;
    ASSERT_TRUE(LoadPrintJob(appDir() + QStringLiteral("qvPrint"), command, job, error))
        << error.toStdString();
    PrintPreview preview(job);
    preview.resize(QGuiApplication::primaryScreen()->availableSize() * 0.9);
    preview.show();
    ui::activate(&preview);
    shot(&preview, "bill-preview");
}

} // namespace

#include "DayFixture.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QThread>

namespace
{

using ProgramStartTest = DayTest;

// The start command on a fresh machine: a program folder holding the program
// and nothing else, the database made by wms-createdb, then the program
// itself. It comes up holding its single-copy lock and waits at the login.
TEST_F(ProgramStartTest, FreshProgramFolderComesUpAtTheLogin)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString program = folder.filePath(QStringLiteral("wms"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(WMS_PROGRAM), program));

    QProcess createDb;
    createDb.start(QStringLiteral(WMS_CREATEDB), {folder.path()});
    ASSERT_TRUE(createDb.waitForFinished(30000));
    ASSERT_EQ(createDb.exitCode(), 0) << createDb.readAllStandardError().toStdString();
    ASSERT_TRUE(QFileInfo::exists(folder.filePath(QStringLiteral("wms.db"))));

    QProcess wms;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    wms.setProcessEnvironment(env);
    wms.setWorkingDirectory(folder.path());
    wms.start(program, {});
    ASSERT_TRUE(wms.waitForStarted(10000));
    const QString lock = folder.filePath(QStringLiteral("wms.lock"));
    QElapsedTimer waited;
    waited.start();
    while (!QFileInfo::exists(lock) && wms.state() == QProcess::Running && waited.elapsed() < 20000)
        QThread::msleep(50);
    EXPECT_TRUE(QFileInfo::exists(lock)) << wms.readAllStandardError().toStdString();
    // Still there a moment later: it waits for the user at the login window.
    QThread::msleep(500);
    EXPECT_EQ(wms.state(), QProcess::Running) << wms.readAllStandardError().toStdString();
    wms.kill();
    wms.waitForFinished(10000);
}

// After a login every menu entry and toolbar button that names a window opens it.
TEST_F(ProgramStartTest, EveryMenuEntryOpensItsWindow)
{
    ASSERT_TRUE(start(QStringLiteral("admin"), QStringLiteral("740")));
    const struct {
        const char* entry;
        const char* window;
        bool modal;
    } entries[] = {
        {"menu_MyCustomer", "frm_customer", false},
        {"menu_rk", "frmImport", false},
        {"menu_ck", "frmExport", false},
        {"menu_kcbill", "frm_rpt_stock", false},
        {"menu_rk_bill", "frm_rpt_rkHead", false},
        {"menu_rk_detail_bill", "frm_rpt_rkDetail", false},
        {"menu_rksum", "frm_rpt_rkSum", false},
        {"menu_ck_bill", "frm_rpt_ckHead", false},
        {"menu_ck_detail_bill", "frm_rpt_ckDetail", false},
        {"menu_cksum", "frm_rpt_ckSum", false},
        {"menu_goods", "frmGoods", false},
        {"menu_location", "frmLocation", false},
        {"menu_dictionary", "frm_dictionary", false},
        {"menu_fun", "frm_department_fun", false},
        {"menu_user", "frm_user", false},
        {"menu_web", "frmBrowser", false},
        {"menu_Calendar", "FrmCalendar", true},
        {"menu_opt", "frmOptions", true},
        {"menu_modiflypw", "FrmModifypwd", true},
        {"menu_aboutus", "FrmHelp", true},
    };
    for (const auto& e : entries) {
        SCOPED_TRACE(e.entry);
        const QString name = QString::fromLatin1(e.window);
        EXPECT_TRUE(WindowRegistry::has(name)) << e.window;
        if (!WindowRegistry::has(name))
            continue;
        if (e.modal) {
            QString seen;
            DialogRunner::QueueHandler([&seen](QDialog* d) {
                seen = QString::fromLatin1(d->metaObject()->className());
                return int(QDialog::Rejected);
            });
            menu(e.entry);
            settle();
            EXPECT_EQ(seen, name);
        } else {
            menu(e.entry);
            QWidget* w = WindowRegistry::instance(name);
            ASSERT_NE(w, nullptr);
            if (name != QLatin1String("frmBrowser")) {
                ASSERT_NE(frame().Area()->activeSubWindow(), nullptr);
                EXPECT_EQ(frame().Area()->activeSubWindow()->widget(), w);
            }
        }
    }
    EXPECT_EQ(faults(), QStringList());
}

} // namespace

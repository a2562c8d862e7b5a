#include "ShellFixture.h"

#include "FormHelpers.h"
#include "GetvalueFunction.h"
#include "mod_public.h"
#include "sqlHelper.h"

#include <QAction>
#include <QCloseEvent>
#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QLockFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QProcess>
#include <QScreen>
#include <QToolBar>
#include <QVBoxLayout>

namespace
{

// A stand-in business window registered under a window's name: it keeps
// what is typed, and counts how often it was told to load its data.
class FakeForm : public QWidget
{
  public:
    FakeForm()
    {
        auto* layout = new QVBoxLayout(this);
        box = new QLineEdit(this);
        layout->addWidget(box);
        resize(320, 200);
        ++made;
    }
    ~FakeForm() override { ++gone; }
    QLineEdit* box;
    static inline int made = 0;
    static inline int gone = 0;
};

class FakeReport : public FakeForm
{
  public:
    void LoadData() { ++loads; }
    int loads = 0;
};

class FakeDictionary : public FakeForm
{
  public:
    void init(int kind) { kinds.append(kind); }
    QList<int> kinds;
};

// A window that keeps itself open (unsaved input it will not drop).
class StubbornForm : public FakeForm
{
  protected:
    void closeEvent(QCloseEvent* e) override { e->ignore(); }
};

class FakeDialog : public QDialog
{
  public:
    FakeDialog() { setObjectName(QStringLiteral("FakeDialog")); }
};

class MainFrameTest : public ShellTest
{
  protected:
    void SetUp() override
    {
        ShellTest::SetUp();
        FakeForm::made = 0;
        FakeForm::gone = 0;
    }

    void trigger(const char* entry)
    {
        auto* action = frame().findChild<QAction*>(QString::fromLatin1(entry));
        ASSERT_NE(action, nullptr) << entry;
        action->trigger();
    }

    QList<QMdiSubWindow*> subWindows() { return frame().Area()->subWindowList(); }

    static const QString refused() { return QStringLiteral("功能受限,请与系统管理联系!"); }
};

TEST_F(MainFrameTest, CaptionToolbarMenusAndStatusBar)
{
    frm_Main& f = frame();
    EXPECT_EQ(f.windowTitle(), QStringLiteral("朗岱仓库管理系统"));

    auto* toolbar = f.findChild<QToolBar*>(QStringLiteral("u_toolbar"));
    ASSERT_NE(toolbar, nullptr);
    QStringList captions;
    for (QAction* a : toolbar->actions())
        captions.append(a->isSeparator() ? QStringLiteral("-") : a->text());
    EXPECT_EQ(captions.join(QLatin1Char(' ')),
              QStringLiteral("往来单位 仓库管理 报表分析 系统网站 日程管理 - 基础档案 模板设置 系统管理 - "
                             "权限刷新 帮助 退出系统"));
    EXPECT_EQ(toolbar->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
    for (QAction* a : toolbar->actions())
        EXPECT_TRUE(a->isSeparator() || !a->icon().isNull()) << a->text().toStdString();

    const struct {
        const char* menu;
        const char* entries;
    } menus[] = {
        {"menu_ckMg", "入库业务 出库业务"},
        {"menu_report", "库存总账 - 入库单据 入库明细 入库汇总 - 出库单据 出库明细 出库汇总"},
        {"menu_basic", "货品信息 库位信息"},
        {"menu_systemset", "数据字典 权限设置 选项 - 用户信息 修改密码"},
        {"menu_help", "关于我们 我要定制软件..."},
    };
    for (const auto& m : menus) {
        auto* menu = f.findChild<QMenu*>(QString::fromLatin1(m.menu));
        ASSERT_NE(menu, nullptr) << m.menu;
        QStringList entries;
        for (QAction* a : menu->actions())
            entries.append(a->isSeparator() ? QStringLiteral("-") : a->text());
        EXPECT_EQ(entries.join(QLatin1Char(' ')), QString::fromUtf8(m.entries)) << m.menu;
    }

    EXPECT_EQ(f.Panel(QString())->text(),
              QStringLiteral("Version 1.0 [ Building: 20080925 Update:20120803]"));
    EXPECT_EQ(f.Panel(QStringLiteral("cur_userinfor"))->text(), QStringLiteral("当前用户:"));
    EXPECT_EQ(f.Panel(QStringLiteral("comp_infor"))->text(), QStringLiteral("朗岱科技"));
}

// Whatever the screen, the frame starts filling it.
TEST_F(MainFrameTest, FrameStartsMaximised)
{
    ASSERT_TRUE(startWith([](frmLogin* d) { logIn(d, QStringLiteral("admin"), QStringLiteral("740")); }));
    settle();
    EXPECT_TRUE(frame().isMaximized());
    EXPECT_EQ(frame().frameGeometry(), frame().screen()->availableGeometry());
}

// The menu opens just below the toolbar, 80 twips right of the button's left edge.
TEST_F(MainFrameTest, MenuPopsUpBelowItsButton)
{
    frm_Main& f = frame();
    f.show();
    auto* toolbar = f.findChild<QToolBar*>(QStringLiteral("u_toolbar"));
    auto* menu = f.findChild<QMenu*>(QStringLiteral("menu_report"));
    QWidget* button = toolbar->widgetForAction(f.findChild<QAction*>(QStringLiteral("menu_report")));
    f.ToolbarClick(QStringLiteral("menu_report"));
    EXPECT_TRUE(menu->isVisible());
    const QPoint expected = toolbar->mapToGlobal(
        QPoint(button->x() + TwipsToPixels(80, &f), toolbar->height() + TwipsToPixels(20, &f)));
    EXPECT_EQ(menu->pos(), expected);
    menu->hide();
}

TEST_F(MainFrameTest, EntryWithoutTheRightOpensNothing)
{
    addDepartmentUser(5, 2, QStringLiteral("clerk"), {QStringLiteral("export"), QStringLiteral("Import")});
    loginAs(2);
    registerWindow(QStringLiteral("frmImport"), [] { return new FakeForm; });
    registerWindow(QStringLiteral("frmExport"), [] { return new FakeForm; });

    trigger("menu_rk");
    EXPECT_EQ(shown(), QStringList{refused()});
    EXPECT_EQ(MsgBox::Shown().first().title, QStringLiteral("System"));
    EXPECT_EQ(WindowRegistry::instance(QStringLiteral("frmImport")), nullptr);
    EXPECT_EQ(FakeForm::made, 0);

    trigger("menu_ck");
    EXPECT_EQ(shown().size(), 1);
    EXPECT_NE(WindowRegistry::instance(QStringLiteral("frmExport")), nullptr);
}

// One instance, brought to the front with what was typed into it.
TEST_F(MainFrameTest, EntryWithTheRightOpensOneWindow)
{
    loginAs(1);
    registerWindow(QStringLiteral("frmImport"), [] { return new FakeForm; });
    registerWindow(QStringLiteral("frmExport"), [] { return new FakeForm; });
    frame().show();

    trigger("menu_rk");
    auto* inbound = WindowRegistry::instance<FakeForm>(QStringLiteral("frmImport"));
    ASSERT_NE(inbound, nullptr);
    inbound->box->setText(QStringLiteral("半张单据"));
    trigger("menu_ck");
    EXPECT_EQ(frame().Area()->activeSubWindow()->widget(),
              WindowRegistry::instance(QStringLiteral("frmExport")));

    trigger("menu_rk");
    EXPECT_TRUE(shown().isEmpty());
    EXPECT_EQ(FakeForm::made, 2);
    EXPECT_EQ(subWindows().size(), 2);
    EXPECT_EQ(WindowRegistry::instance(QStringLiteral("frmImport")), inbound);
    EXPECT_EQ(inbound->box->text(), QStringLiteral("半张单据"));
    EXPECT_EQ(frame().Area()->activeSubWindow()->widget(), inbound);
    EXPECT_EQ(inbound->parentWidget(), frame().Area()->activeSubWindow());
    EXPECT_EQ(inbound->size(), QSize(320, 200));

    // Closed by the user, it goes with its sub-window; the next choice makes a fresh one.
    inbound->close();
    settle();
    EXPECT_EQ(FakeForm::gone, 1);
    EXPECT_EQ(subWindows().size(), 1);
    trigger("menu_rk");
    EXPECT_EQ(FakeForm::made, 3);
    EXPECT_EQ(WindowRegistry::instance<FakeForm>(QStringLiteral("frmImport"))->box->text(), QString());
}

TEST_F(MainFrameTest, ReportEntriesLoadTheirDataEachTime)
{
    loginAs(1);
    registerWindow(QStringLiteral("frm_rpt_rkHead"), [] { return new FakeReport; });
    registerWindow(QStringLiteral("frm_dictionary"), [] { return new FakeDictionary; });
    trigger("menu_rk_bill");
    trigger("menu_rk_bill");
    auto* report = WindowRegistry::instance<FakeReport>(QStringLiteral("frm_rpt_rkHead"));
    ASSERT_NE(report, nullptr);
    EXPECT_EQ(report->loads, 2);
    EXPECT_EQ(FakeForm::made, 1);

    trigger("menu_dictionary");
    auto* dictionary = WindowRegistry::instance<FakeDictionary>(QStringLiteral("frm_dictionary"));
    ASSERT_NE(dictionary, nullptr);
    EXPECT_EQ(dictionary->kinds, QList<int>{0});
}

TEST_F(MainFrameTest, ModalEntriesRunTheirDialog)
{
    loginAs(1);
    registerWindow(QStringLiteral("frmOptions"), [] { return new FakeDialog; });
    registerWindow(QStringLiteral("FrmHelp"), [] { return new FakeDialog; });
    QPointer<QDialog> seen;
    DialogRunner::QueueHandler([&](QDialog* d) {
        seen = d;
        EXPECT_EQ(d->parentWidget(), &frame());
        return int(QDialog::Accepted);
    });
    trigger("menu_opt");
    settle();
    EXPECT_EQ(DialogRunner::PendingHandlers(), 0);
    EXPECT_TRUE(seen.isNull()); // made for this one showing

    // The about box needs no right.
    addDepartmentUser(5, 2, QStringLiteral("nobody"), {});
    loginAs(2);
    DialogRunner::QueueHandler([](QDialog*) { return int(QDialog::Accepted); });
    trigger("menu_aboutus");
    EXPECT_EQ(DialogRunner::PendingHandlers(), 0);
    EXPECT_TRUE(shown().isEmpty());

    trigger("menu_opt");
    EXPECT_EQ(shown(), QStringList{refused()});
}

// Entries whose window is not registered check their right and stop there.
TEST_F(MainFrameTest, EntriesWithoutARegisteredWindow)
{
    addDepartmentUser(5, 2, QStringLiteral("nobody"), {});
    loginAs(2);
    for (const char* entry : {"menu_rk", "menu_ck", "menu_kcbill", "menu_rk_bill", "menu_rk_detail_bill",
                              "menu_rksum", "menu_ck_bill", "menu_ck_detail_bill", "menu_cksum", "menu_goods",
                              "menu_location", "menu_dictionary", "menu_fun", "menu_opt", "menu_user",
                              "menu_modiflypw", "menu_MyCustomer", "menu_Calendar"})
        trigger(entry);
    EXPECT_EQ(shown().size(), 18);
    for (const QString& text : shown())
        EXPECT_EQ(text, refused());

    MsgBox::ClearShown();
    loginAs(1);
    for (const char* entry : {"menu_rk", "menu_goods", "menu_opt", "menu_MyCustomer", "menu_Calendar",
                              "menu_Templeteset", "menu_web", "menu_aboutus"})
        trigger(entry);
    EXPECT_TRUE(shown().isEmpty());
    EXPECT_TRUE(subWindows().isEmpty());
}

TEST_F(MainFrameTest, WebSiteAndCustomSoftwareNeedNoRight)
{
    addDepartmentUser(5, 2, QStringLiteral("nobody"), {});
    loginAs(2);
    registerWindow(QStringLiteral("frmBrowser"), [] { return new FakeForm; });
    registerWindow(QStringLiteral("frmImport"), [] { return new FakeForm; });
    trigger("menu_web");
    EXPECT_NE(WindowRegistry::instance(QStringLiteral("frmBrowser")), nullptr);
    trigger("menu_wydz");
    ASSERT_EQ(MsgBox::Shown().size(), 1);
    EXPECT_EQ(MsgBox::Shown().first().text, QStringLiteral("如果需要根据你的要求来定制软件,请与我们联系!"));
    EXPECT_EQ(MsgBox::Shown().first().title, QStringLiteral("朗岱仓库管理系统"));
    EXPECT_EQ(MsgBox::Shown().first().icon, MsgIcon::Information);
}

TEST_F(MainFrameTest, RightsRefreshClosesTheOtherWindowsAndReloadsTheRights)
{
    addDepartmentUser(5, 2, QStringLiteral("clerk"), {QStringLiteral("import"), QStringLiteral("export")});
    loginAs(2);
    registerWindow(QStringLiteral("frmImport"), [] { return new FakeForm; });
    registerWindow(QStringLiteral("frmExport"), [] { return new FakeForm; });
    frame().show();
    trigger("menu_rk");
    trigger("menu_ck");
    QPointer<QWidget> loose = new QWidget; // a window of its own, outside the frame
    loose->setAttribute(Qt::WA_DeleteOnClose);
    loose->show();

    // The editor takes import away and grants rpt_rkbill; the session sees it only after a refresh.
    exec(QStringLiteral("DELETE FROM tb_user_group_fun WHERE departmentId=5 AND funCode='import'"));
    exec(QStringLiteral("INSERT INTO tb_user_group_fun (funCode, departmentId) VALUES ('rpt_rkbill', 5)"));
    EXPECT_TRUE(check_FunRight(QStringLiteral("import"), false));

    answer(MsgAnswer::No);
    frame().ToolbarClick(QStringLiteral("menu_funRefresh"));
    settle();
    ASSERT_EQ(MsgBox::Shown().size(), 1);
    EXPECT_EQ(MsgBox::Shown().first().text, QStringLiteral("刷新权限会关闭全部的窗口,是否继续?"));
    EXPECT_EQ(MsgBox::Shown().first().title, QStringLiteral("朗岱仓库管理系统"));
    EXPECT_EQ(subWindows().size(), 2);
    EXPECT_FALSE(loose.isNull());
    EXPECT_TRUE(check_FunRight(QStringLiteral("import"), false));

    answer(MsgAnswer::Yes);
    frame().ToolbarClick(QStringLiteral("menu_funRefresh"));
    settle();
    EXPECT_TRUE(subWindows().isEmpty());
    EXPECT_EQ(FakeForm::gone, 2);
    EXPECT_TRUE(loose.isNull());
    EXPECT_TRUE(frame().isVisible());
    EXPECT_FALSE(check_FunRight(QStringLiteral("import"), false));
    EXPECT_TRUE(check_FunRight(QStringLiteral("rpt_rkbill"), false));
    EXPECT_EQ(CurrentUser.id, 2);
}

TEST_F(MainFrameTest, RefreshLeavesAWindowThatRefusesToClose)
{
    loginAs(1);
    registerWindow(QStringLiteral("frmImport"), [] { return new StubbornForm; });
    registerWindow(QStringLiteral("frmExport"), [] { return new FakeForm; });
    trigger("menu_rk");
    trigger("menu_ck");
    answer(MsgAnswer::Yes);
    frame().ToolbarClick(QStringLiteral("menu_funRefresh"));
    settle();
    EXPECT_NE(WindowRegistry::instance(QStringLiteral("frmImport")), nullptr);
    EXPECT_EQ(WindowRegistry::instance(QStringLiteral("frmExport")), nullptr);
}

TEST_F(MainFrameTest, ExitQuestion)
{
    loginAs(1);
    registerWindow(QStringLiteral("frmImport"), [] { return new StubbornForm; });
    frame().show();
    trigger("menu_rk");

    answer(MsgAnswer::No);
    frame().ToolbarClick(QStringLiteral("menu_SystemExit"));
    EXPECT_TRUE(frame().isVisible());
    EXPECT_TRUE(IsConnOpen());

    answer(MsgAnswer::No);
    frame().close();
    EXPECT_TRUE(frame().isVisible());

    // Yes ends at once; the open window is not asked.
    answer(MsgAnswer::Yes);
    frame().close();
    EXPECT_FALSE(frame().isVisible());
    EXPECT_FALSE(IsConnOpen());
    EXPECT_EQ(shown(), QStringList(3, QStringLiteral("是否退出系统?")));
}

TEST_F(MainFrameTest, SecondCopyIsRefused)
{
    QLockFile running(frm_Main::LockFileName());
    ASSERT_TRUE(running.tryLock(0));
    EXPECT_FALSE(frame().Start()); // no login dialog is shown
    EXPECT_EQ(shown(), QStringList{QStringLiteral("当前系统已打开!")});
    EXPECT_EQ(MsgBox::Shown().first().title, QStringLiteral("System"));
    EXPECT_EQ(MsgBox::Shown().first().parent, &frame()); // over the program's window, not the screen's middle
    EXPECT_FALSE(frame().isVisible());
    running.unlock();

    MsgBox::ClearShown();
    EXPECT_TRUE(startWith([](frmLogin* d) { logIn(d, QStringLiteral("admin"), QStringLiteral("740")); }));
    frm_Main second;
    EXPECT_FALSE(second.Start());
    EXPECT_EQ(shown(), QStringList{QStringLiteral("当前系统已打开!")});
}

// The lock of a copy that died does not lock the users out.
TEST_F(MainFrameTest, StaleLockOfADeadCopyIsTakenOver)
{
    QByteArray content;
    {
        QLockFile probe(frm_Main::LockFileName());
        ASSERT_TRUE(probe.tryLock(0));
        QFile file(frm_Main::LockFileName());
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        content = file.readAll();
    }
    QProcess gone;
    gone.start(QStringLiteral("true"), {});
    ASSERT_TRUE(gone.waitForStarted());
    const qint64 deadPid = gone.processId();
    ASSERT_TRUE(gone.waitForFinished());
    // The file a crashed copy leaves behind, naming a process that is gone.
    QFile file(frm_Main::LockFileName());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray::number(deadPid) + content.mid(content.indexOf('\n')));
    file.close();

    EXPECT_TRUE(frame().LockInstance());
    EXPECT_TRUE(shown().isEmpty());
    frm_Main second;
    EXPECT_FALSE(second.LockInstance());
}

} // namespace

// A report window of the program's size, which loads its data when opened.
class BigReport : public FakeReport
{
  public:
    BigReport() { resize(1000, 620); }
};

class MdiPlacementTest : public MainFrameTest
{
  protected:
    // Four report entries with windows of the report size, on a frame of the given size.
    void openFrame(QSize size)
    {
        loginAs(1);
        for (const char* name : {"frm_rpt_rkHead", "frm_rpt_rkDetail", "frm_rpt_rkSum", "frm_rpt_ckHead"})
            registerWindow(QString::fromLatin1(name), [] { return new BigReport; });
        frame().resize(size);
        frame().show();
        settle();
    }
    QMdiSubWindow* sub(const char* name)
    {
        QWidget* w = WindowRegistry::instance(QString::fromLatin1(name));
        return w ? qobject_cast<QMdiSubWindow*>(w->parentWidget()) : nullptr;
    }
    QRect area() { return frame().Area()->viewport()->rect(); }
};

// While one window fills the frame, the next one opens filling it too; an
// earlier window brought back fills it again.
TEST_F(MdiPlacementTest, NextWindowOpensMaximisedWhileOneIs)
{
    openFrame(QSize(1024, 720));
    trigger("menu_rk_bill");
    sub("frm_rpt_rkHead")->showMaximized();
    settle();

    trigger("menu_rk_detail_bill");
    settle();
    QMdiSubWindow* detail = sub("frm_rpt_rkDetail");
    ASSERT_NE(detail, nullptr);
    EXPECT_TRUE(detail->isMaximized());
    EXPECT_EQ(detail->geometry(), area());
    EXPECT_EQ(frame().Area()->currentSubWindow(), detail);

    trigger("menu_rk_bill");
    settle();
    EXPECT_EQ(frame().Area()->currentSubWindow(), sub("frm_rpt_rkHead"));
    EXPECT_TRUE(sub("frm_rpt_rkHead")->isMaximized());
    EXPECT_EQ(sub("frm_rpt_rkHead")->geometry(), area());

    // Restored, the window has the size it asked for, inside the frame.
    detail->showNormal();
    settle();
    EXPECT_TRUE(area().contains(detail->geometry()))
        << detail->geometry().x() << "," << detail->geometry().y();
    const QSize wanted(1000, 620);
    EXPECT_EQ(detail->widget()->size(),
              wanted.boundedTo(area().size() - (detail->size() - detail->widget()->size())));
}

// Windows opened one after the other, with and without one maximised, all
// stay wholly inside the frame's area, also when restored.
TEST_F(MdiPlacementTest, NewWindowsLandInsideTheArea)
{
    const struct {
        QSize frame;
        int maximiseAfter; // -1: none
    } cases[] = {{{1024, 720}, -1}, {{1400, 860}, -1}, {{1024, 720}, 0},
                 {{1024, 720}, 1},  {{1400, 860}, 0},  {{800, 560}, 2}};
    const char* entries[] = {"menu_rk_bill", "menu_rk_detail_bill", "menu_rksum", "menu_ck_bill"};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.frame.width() << "x" << c.frame.height() << " max " << c.maximiseAfter);
        openFrame(c.frame);
        for (int i = 0; i < 4; ++i) {
            trigger(entries[i]);
            settle();
            if (i == c.maximiseAfter)
                frame().Area()->currentSubWindow()->showMaximized();
            for (QMdiSubWindow* s : subWindows())
                EXPECT_TRUE(area().contains(s->geometry()))
                    << entries[i] << ": " << s->widget()->objectName().toStdString() << " at " << s->x()
                    << "," << s->y() << " " << s->width() << "x" << s->height();
        }
        for (QMdiSubWindow* s : subWindows()) {
            s->showNormal();
            EXPECT_TRUE(area().contains(s->geometry()))
                << s->widget()->objectName().toStdString() << " at " << s->x() << "," << s->y() << " "
                << s->width() << "x" << s->height();
        }
        m_frame.reset();
        settle();
    }
}

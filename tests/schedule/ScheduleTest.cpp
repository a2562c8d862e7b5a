#include "CalendarMonth.h"
#include "Clock.h"
#include "DialogRunner.h"
#include "FlexGrid.h"
#include "FrmCalendar.h"
#include "FrmLockSystem.h"
#include "MonthCalendar.h"
#include "ScheduleHelpers.h"
#include "TestEnv.h"
#include "UiDriver.h"
#include "dal_events.h"
#include "dal_setting.h"
#include "frmEvents.h"
#include "frmMain.h"
#include "frm_qjcx.h"
#include "sqlHelper.h"

#include "UpDown.h"
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>

namespace
{

class ScheduleTest : public DbTest
{
  protected:
    void SetUp() override
    {
        DbTest::SetUp();
        loginAs(1);
        Clock::SetFixed(QDateTime(QDate(2012, 1, 31), QTime(9, 30)));
        SetScheduleQuitHook([this] { ++quits; });
    }
    void TearDown() override
    {
        SetScheduleQuitHook({});
        Clock::Reset();
        DbTest::TearDown();
    }
    // Stores entries on one day, with the given labels in start-time order.
    void addEntries(const QString& day, const QStringList& labels)
    {
        for (int i = 0; i < labels.size(); ++i) {
            m_events m;
            m.eventContent = QStringLiteral("entry %1").arg(i + 1);
            m.createTime = day + QStringLiteral(" %1:00:00").arg(8 + i % 10, 2, 10, QLatin1Char('0'));
            m.flgType = labels.at(i);
            m.isstart = true;
            m.createUserId = 1;
            ASSERT_TRUE(dal_events().Add(m).isResult);
        }
    }
    int quits = 0;
};

TEST_F(ScheduleTest, EntriesRoundTripAndKeepTheirCreator)
{
    m_events m;
    m.eventContent = QStringLiteral("盘点 'A' @flgType | 50%");
    m.createTime = QStringLiteral("2012-05-03 14:20:00");
    m.flgType = QStringLiteral("重要");
    m.isstart = true;
    m.createUserId = 7;
    ASSERT_TRUE(dal_events().Add(m).isResult);
    EXPECT_EQ(m.id, 1);

    m_events read = dal_events().GetModel(1);
    EXPECT_EQ(read.eventContent, m.eventContent);
    EXPECT_EQ(read.createTime, m.createTime);
    EXPECT_EQ(read.flgType, m.flgType);
    EXPECT_TRUE(read.isstart);
    EXPECT_EQ(read.createUserId, 7);

    read.createUserId = 1; // another user edits it
    read.isstart = false;
    read.eventContent = QStringLiteral("changed");
    ASSERT_TRUE(dal_events().Update(read).isResult);
    read = dal_events().GetModel(1);
    EXPECT_EQ(read.createUserId, 7);
    EXPECT_FALSE(read.isstart);
    EXPECT_EQ(read.eventContent, QStringLiteral("changed"));

    const m_events missing = dal_events().GetModel(99);
    EXPECT_EQ(missing.id, 0);
    EXPECT_TRUE(missing.eventContent.isEmpty());
    EXPECT_FALSE(missing.isstart);
    m_events gone = missing;
    gone.id = 99;
    EXPECT_EQ(dal_events().Update(gone).str_MsgBox, QStringLiteral("当前记录不存在!"));
    EXPECT_FALSE(dal_events().Delete(99).isResult);
}

TEST_F(ScheduleTest, NewIdsFollowTheLargestAndDeleteMoreTakesAList)
{
    exec(QStringLiteral("INSERT INTO tb_events (id, eventContent, createTime, flgType, isStart) VALUES "
                        "(1,'a','2012-01-01 08:00:00','一般',1),(2,'b','2012-01-01 08:00:00','一般',1),"
                        "(5,'c','2012-01-01 08:00:00','一般',1)"));
    m_events m;
    m.eventContent = QStringLiteral("d");
    m.createTime = QStringLiteral("2012-01-02 08:00:00");
    ASSERT_TRUE(dal_events().Add(m).isResult);
    EXPECT_EQ(m.id, 6);
    EXPECT_TRUE(dal_events().DeleteMore(QStringLiteral("1,5,6")).isResult);
    EXPECT_EQ(count(QStringLiteral("tb_events")), 1);
    EXPECT_FALSE(dal_events().DeleteMore(QStringLiteral("2) or (1=1")).isResult);
    EXPECT_EQ(count(QStringLiteral("tb_events")), 1);
}

TEST_F(ScheduleTest, ViewTypeIsStoredAndAMissingRowIsAdded)
{
    EXPECT_EQ(dal_setting().GetModel(QStringLiteral("viewType")).setValue, QStringLiteral("列表显示"));
    exec(QStringLiteral("DELETE FROM tb_setting"));
    m_setting s;
    s.setKey = QStringLiteral("viewType");
    s.setValue = QStringLiteral("图标显示");
    ASSERT_TRUE(dal_setting().Update(s).isResult);
    EXPECT_EQ(dal_setting().GetModel(QStringLiteral("viewType")).setValue, QStringLiteral("图标显示"));
    s.setValue = QStringLiteral("列表显示");
    ASSERT_TRUE(dal_setting().Update(s).isResult);
    EXPECT_EQ(count(QStringLiteral("tb_setting")), 1);
}

TEST(CalendarMonth, MonthLayoutsAndLeapYears)
{
    // February 2015 begins on a Sunday and fills exactly four weeks.
    MonthCells feb = MonthLayout(2015, 2);
    EXPECT_EQ(feb[0][0], QStringLiteral("1"));
    EXPECT_EQ(feb[3][6], QStringLiteral("28"));
    EXPECT_TRUE(feb[4].join(QString()).isEmpty());
    // December 2012 begins on a Saturday and needs all six weeks.
    MonthCells dec = MonthLayout(2012, 12);
    EXPECT_EQ(dec[0][6], QStringLiteral("1"));
    EXPECT_TRUE(dec[0][5].isEmpty());
    EXPECT_EQ(dec[5][1], QStringLiteral("31"));

    const struct {
        const char* date;
        int days;
    } cases[] = {{"2000-02-01", 29}, {"2012-02-01", 29}, {"2100-02-01", 28},
                 {"2011-02-01", 28}, {"2012-04-01", 30}, {"2012-12-01", 31}};
    for (const auto& c : cases)
        EXPECT_EQ(uGetDays(QString::fromLatin1(c.date)), c.days) << c.date;
}

TEST(CalendarMonth, YearBoxTextsAreClamped)
{
    const struct {
        const char* typed;
        const char* shown;
    } cases[] = {{"abc", "1998"},   {"20125", "2101"}, {"2012年", "2012"},
                 {" 2012", "2012"}, {"1997", "1998"},  {"2101", "2101"}};
    for (const auto& c : cases)
        EXPECT_EQ(CheckedYearText(QString::fromUtf8(c.typed)), QString::fromUtf8(c.shown)) << c.typed;
}

TEST(CalendarMonth, DayMarksFillColumnsOfSevenAndShowMoreDots)
{
    auto labels = [](int n) {
        QStringList l;
        for (int i = 0; i < n; ++i)
            l << QStringLiteral("一般");
        return l.join(QLatin1Char('^'));
    };
    const QList<MarkBox> three = MarkLayout(QStringLiteral("一般^非常重要^重要"));
    ASSERT_EQ(three.size(), 3);
    EXPECT_EQ(three[0].oleColor, 0x8000);
    EXPECT_EQ(three[1].oleColor, 0xC0);
    EXPECT_EQ(three[2].oleColor, 0xC00000);
    EXPECT_EQ(three[2].rect.topLeft(), QPoint(40, 235));

    const QList<MarkBox> eight = MarkLayout(labels(8));
    ASSERT_EQ(eight.size(), 8);
    EXPECT_EQ(eight[7].rect.topLeft(), QPoint(160, 35));

    const QList<MarkBox> full = MarkLayout(labels(56));
    ASSERT_EQ(full.size(), 56);
    EXPECT_EQ(full[55].rect.topLeft(), QPoint(880, 635));

    const QList<MarkBox> more = MarkLayout(labels(57));
    ASSERT_EQ(more.size(), 55 + 12); // 55 boxes, then four columns of three dots
    EXPECT_EQ(more[55].oleColor, 0x40C0);
    EXPECT_EQ(more[55].rect.topLeft(), QPoint(880, 644));

    // An unknown label keeps the colour before it; the first one is black.
    const QList<MarkBox> odd = MarkLayout(QStringLiteral("x^重要^y"));
    EXPECT_EQ(odd[0].oleColor, 0);
    EXPECT_EQ(odd[2].oleColor, 0xC00000);
}

TEST_F(ScheduleTest, CalendarOpensOnTodayAndKeepsTheDayAcrossMonths)
{
    addEntries(QStringLiteral("2012-01-31"), {QStringLiteral("重要")});
    FrmCalendar w;
    ui::activate(&w);
    MonthCalendar* c = w.calendar();
    EXPECT_EQ(c->utxtYear->text(), QStringLiteral("2012"));
    EXPECT_EQ(c->uUpDownYear->value(), 2012);
    EXPECT_EQ(c->uCombMonth->currentText(), QStringLiteral("一月"));
    EXPECT_EQ(c->selectedDay, 31);
    EXPECT_EQ(c->VgCalendar->TextMatrix(c->VgCalendar->Row(), c->VgCalendar->Col()), QStringLiteral("31"));
    EXPECT_FALSE(c->VgCalendar->CellPicture(c->VgCalendar->Row(), c->VgCalendar->Col()).isNull());

    // 31 January, then February of a leap year: the 29th.
    c->uCombMonth->setCurrentIndex(1);
    emit c->uCombMonth->activated(1);
    EXPECT_EQ(c->selectedDay, 29);

    // Up in the year box at the top of the range changes nothing.
    ui::typeInto(&w, "utxtYear", QStringLiteral("2101"));
    ui::press(Qt::Key_Return);
    EXPECT_EQ(c->uUpDownYear->value(), 2101);
    ui::press(Qt::Key_Up);
    EXPECT_EQ(c->utxtYear->text(), QStringLiteral("2101"));
    ui::press(Qt::Key_Down);
    EXPECT_EQ(c->utxtYear->text(), QStringLiteral("2100"));
    EXPECT_EQ(c->uUpDownYear->value(), 2100);
    EXPECT_EQ(c->selectedDay, 28); // February 2100 is not a leap month

    ui::click(&w, "btn_today");
    EXPECT_EQ(c->utxtYear->text(), QStringLiteral("2012"));
    EXPECT_EQ(c->uUpDownYear->value(), 2012);
    EXPECT_EQ(c->selectedDay, 31);
}

// Closing the older calendar window asks with No as the default button:
// Enter shrinks it to the floating window and never ends the program.
TEST_F(ScheduleTest, OlderCalendarCloseQuestionDefaultsToNo)
{
    frmMain w;
    ui::activate(&w);
    answer(MsgAnswer::Cancel);
    w.close();
    ASSERT_FALSE(MsgBox::Shown().isEmpty());
    const ShownMessage& asked = MsgBox::Shown().last();
    EXPECT_EQ(asked.buttons, MsgButtons::YesNoCancel);
    EXPECT_EQ(asked.defaultButton, MsgDefault::Second);
    EXPECT_TRUE(w.isVisible());
}

// The older calendar window comes up in the middle of the screen, with every
// toolbar button inside the window and none pushed into the overflow.
TEST_F(ScheduleTest, OlderCalendarIsCentredAndItsToolbarFits)
{
    frmMain w;
    ui::activate(&w);
    const QRect screen = w.screen()->availableGeometry();
    const QPoint offset = w.frameGeometry().center() - screen.center();
    // A few pixels either way: the frame the window system adds is not known before showing.
    EXPECT_LE(qAbs(offset.x()), 3) << w.frameGeometry().x();
    EXPECT_LE(qAbs(offset.y()), 3) << w.frameGeometry().y();

    auto* bar = w.findChild<QToolBar*>(QStringLiteral("u_toolbar"));
    ASSERT_TRUE(bar);
    EXPECT_TRUE(w.rect().contains(bar->geometry())) << bar->width() << " in " << w.width();
    ASSERT_EQ(bar->actions().size(), 10);
    for (QAction* a : bar->actions()) {
        SCOPED_TRACE(a->text().toStdString());
        QWidget* button = bar->widgetForAction(a);
        ASSERT_TRUE(button);
        EXPECT_TRUE(button->isVisible());
        EXPECT_TRUE(bar->rect().contains(button->geometry()));
    }
    for (auto* extension : bar->findChildren<QToolButton*>(QStringLiteral("qt_toolbar_ext_button")))
        EXPECT_FALSE(extension->isVisible());
    // The calendar keeps its whole width inside the window.
    auto* panel = w.findChild<QWidget*>(QStringLiteral("picBox_Calendar"));
    ASSERT_TRUE(panel);
    EXPECT_TRUE(w.rect().contains(panel->geometry()));
}

TEST_F(ScheduleTest, EmptyCellsCannotBeSelected)
{
    FrmCalendar w;
    ui::activate(&w);
    MonthCalendar* c = w.calendar();
    // January 2012 begins on a Sunday: row 5 ends with the 31st, row 6 is empty.
    c->VgCalendar->Select(6, 3);
    EXPECT_EQ(c->selectedDay, 31);
    EXPECT_EQ(c->VgCalendar->TextMatrix(c->VgCalendar->Row(), c->VgCalendar->Col()), QStringLiteral("31"));
}

TEST_F(ScheduleTest, DoubleClickOpensTheListOnAMarkedDayAndTheEditorOnAnEmptyOne)
{
    addEntries(QStringLiteral("2012-01-31"), {QStringLiteral("一般"), QStringLiteral("重要")});
    addEntries(QStringLiteral("2012-01-05"), {QStringLiteral("一般")});
    FrmCalendar w;
    ui::activate(&w);
    MonthCalendar* c = w.calendar();

    int listed = -1;
    DialogRunner::QueueHandler([&](QDialog* d) {
        EXPECT_EQ(d->objectName(), QStringLiteral("frm_qjcx"));
        listed = d->findChild<QTreeWidget*>(QStringLiteral("listview_List"))->topLevelItemCount();
        return int(QDialog::Rejected);
    });
    emit c->VgCalendar->DblClick();
    EXPECT_EQ(listed, 2);

    c->selectDay(10);
    QDateTime editorTime;
    DialogRunner::QueueHandler([&](QDialog* d) {
        EXPECT_EQ(d->objectName(), QStringLiteral("frmEvents"));
        editorTime = d->findChild<QDateTimeEdit*>(QStringLiteral("dt_time"))->dateTime();
        return int(QDialog::Rejected);
    });
    emit c->VgCalendar->DblClick();
    EXPECT_EQ(editorTime, QDateTime(QDate(2012, 1, 10), QTime(9, 30)));
}

TEST_F(ScheduleTest, EditorRefusesABlankSubjectAndSavesWithCtrlS)
{
    frmEvents editor;
    editor.dt_time->setDateTime(QDateTime(QDate(2012, 3, 4), QTime(10, 15)));
    ui::activate(&editor);
    ui::focusOn(editor.txt_content);
    ui::type(QStringLiteral("   "));
    ui::press(Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(MsgBox::LastText(), QStringLiteral("主题内容不能为空"));
    EXPECT_EQ(count(QStringLiteral("tb_events")), 0);

    ui::type(QStringLiteral("盘点仓库"));
    answer(MsgAnswer::No);
    ui::press(Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(count(QStringLiteral("tb_events")), 0);
    EXPECT_TRUE(editor.isVisible());

    answer(MsgAnswer::Yes);
    ui::press(Qt::Key_S, Qt::ControlModifier);
    ASSERT_EQ(count(QStringLiteral("tb_events")), 1);
    const m_events m = dal_events().GetModel(1);
    EXPECT_EQ(m.eventContent, QStringLiteral("   盘点仓库"));
    EXPECT_EQ(m.createTime, QStringLiteral("2012-03-04 10:15:00"));
    EXPECT_EQ(m.flgType, QStringLiteral("一般"));
    EXPECT_EQ(m.createUserId, 1);
    EXPECT_TRUE(editor.saved());
}

TEST_F(ScheduleTest, ListPagesInTheDatabaseAndDeletesTheLastPagesOnlyRow)
{
    QStringList labels;
    for (int i = 0; i < 31; ++i)
        labels << QStringLiteral("一般");
    addEntries(QStringLiteral("2012-01-20"), labels);
    frm_qjcx list;
    list.chk_date->setChecked(false);
    list.btn_search_Click();
    ui::activate(&list);
    EXPECT_EQ(list.lab_recordCount->text(), QStringLiteral("记录数:31 条"));
    EXPECT_EQ(list.txt_MaxPageIndex->text(), QStringLiteral("3"));
    EXPECT_EQ(list.listview_List->topLevelItemCount(), 15);
    EXPECT_FALSE(list.btn_FirstPage->isEnabled());

    ui::click(&list, "btn_LastPage");
    EXPECT_EQ(list.txt_PageIndex->text(), QStringLiteral("3"));
    EXPECT_EQ(list.listview_List->topLevelItemCount(), 1);
    EXPECT_FALSE(list.btn_NextPage->isEnabled());
    EXPECT_FALSE(list.btn_LastPage->isEnabled());

    ui::focusOn(list.listview_List);
    answer(MsgAnswer::Yes);
    ui::press(Qt::Key_Delete);
    EXPECT_EQ(count(QStringLiteral("tb_events")), 30);
    EXPECT_EQ(list.txt_PageIndex->text(), QStringLiteral("2"));
    EXPECT_EQ(list.txt_MaxPageIndex->text(), QStringLiteral("2"));
    EXPECT_EQ(list.listview_List->topLevelItemCount(), 15);

    ui::typeInto(&list, "txt_PageIndex", QStringLiteral("99"));
    ui::press(Qt::Key_Return);
    EXPECT_EQ(list.txt_PageIndex->text(), QStringLiteral("2"));

    // Nothing checked, then two rows checked.
    list.findChild<QAction*>(QStringLiteral("mu_deleteSelect"))->trigger();
    EXPECT_EQ(MsgBox::LastText(), QStringLiteral("没有选中项!"));
    answer(MsgAnswer::Yes);
    list.listview_List->topLevelItem(0)->setCheckState(0, Qt::Checked);
    list.listview_List->topLevelItem(1)->setCheckState(0, Qt::Checked);
    list.findChild<QAction*>(QStringLiteral("mu_deleteSelect"))->trigger();
    EXPECT_EQ(count(QStringLiteral("tb_events")), 28);
}

TEST_F(ScheduleTest, SortingByTheIdColumnOrdersIdsAsNumbers)
{
    addEntries(QStringLiteral("2012-01-20"), QStringList(12, QStringLiteral("一般")));
    frm_qjcx list;
    list.chk_date->setChecked(false);
    list.btn_search_Click();
    emit list.listview_List->header()->sectionClicked(0); // first click: ascending
    EXPECT_EQ(list.listview_List->topLevelItem(0)->text(0), QStringLiteral("1"));
    EXPECT_EQ(list.listview_List->topLevelItem(1)->text(0), QStringLiteral("2"));
    EXPECT_EQ(list.listview_List->topLevelItem(11)->text(0), QStringLiteral("12"));
}

TEST_F(ScheduleTest, LockScreenWantsTheLoggedInUsersPassword)
{
    FrmLockSystem lock;
    lock.show();
    ui::activate(&lock);
    ui::focusOn(lock.utxtPassword);
    ui::type(QStringLiteral("  "));
    ui::press(Qt::Key_Return);
    EXPECT_EQ(MsgBox::LastText(), QStringLiteral("密码不能为空!"));
    EXPECT_EQ(MsgBox::Shown().last().title, QStringLiteral("系统锁定"));

    MsgBox::ClearShown();
    ui::typeInto(&lock, "utxtPassword", QStringLiteral("wrong"));
    ui::press(Qt::Key_Return);
    EXPECT_TRUE(MsgBox::Shown().isEmpty());
    EXPECT_NE(lock.result(), int(QDialog::Accepted));

    // The right password of a user disabled since the login: refused in the login's words.
    exec(QStringLiteral("UPDATE tb_user SET isStart = 0 WHERE id = 1"));
    ui::typeInto(&lock, "utxtPassword", QStringLiteral("740"));
    ui::press(Qt::Key_Return);
    ASSERT_EQ(MsgBox::Shown().size(), 1);
    EXPECT_EQ(MsgBox::Shown().last().text, QStringLiteral("无效用户或密码,请重试!"));
    EXPECT_EQ(MsgBox::Shown().last().icon, MsgIcon::Critical);
    EXPECT_EQ(MsgBox::Shown().last().title, QStringLiteral("系统锁定"));
    EXPECT_NE(lock.result(), int(QDialog::Accepted));
    EXPECT_TRUE(lock.isVisible());

    exec(QStringLiteral("UPDATE tb_user SET isStart = 1 WHERE id = 1"));
    ui::typeInto(&lock, "utxtPassword", QStringLiteral("740"));
    EXPECT_EQ(lock.utxtPassword->displayText(), QStringLiteral("***"));
    ui::press(Qt::Key_Return);
    EXPECT_EQ(lock.result(), int(QDialog::Accepted));

    FrmLockSystem again;
    again.show();
    ui::activate(&again);
    ui::focusOn(again.utxtPassword);
    ui::press(Qt::Key_Escape);
    EXPECT_EQ(quits, 1);
}

} // namespace

// Pictures of the calendar with marks and of the lock screen, for a person to
// look at: WMS_SCREENSHOT_DIR names the folder (the test does nothing without it).
TEST_F(ScheduleTest, Screenshots)
{
    const QString dir = qEnvironmentVariable("WMS_SCREENSHOT_DIR");
    if (dir.isEmpty())
        GTEST_SKIP();
    addEntries(QStringLiteral("2012-01-05"),
               {QStringLiteral("一般"), QStringLiteral("非常重要"), QStringLiteral("重要")});
    addEntries(QStringLiteral("2012-01-12"), QStringList(9, QStringLiteral("重要")));
    addEntries(QStringLiteral("2012-01-20"), QStringList(57, QStringLiteral("一般")));
    FrmCalendar w;
    ui::activate(&w);
    w.grab().save(dir + QStringLiteral("/calendar.png"));
    FrmLockSystem lock;
    ui::activate(&lock);
    lock.grab().save(dir + QStringLiteral("/lock.png"));
    // The older calendar window on the whole screen, to see where it comes up.
    frmMain older;
    ui::activate(&older);
    QTest::qWait(200);
    older.screen()->grabWindow(0).save(dir + QStringLiteral("/older-calendar-screen.png"));
}

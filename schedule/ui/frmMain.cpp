#include "frmMain.h"

#include "Clock.h"
#include "DialogRunner.h"
#include "FlexGrid.h"
#include "FormHelpers.h"
#include "FrmShowMin.h"
#include "Guarded.h"
#include "MonthCalendar.h"
#include "MsgBox.h"
#include "ScheduleHelpers.h"
#include "UpDown.h"
#include "WindowRegistry.h"
#include "frmEvents.h"
#include "frm_Main.h"
#include "frm_qjcx.h"
#include "mod_public.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QLineEdit>
#include <QLockFile>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>

using namespace ScheduleUi;

namespace
{

QPointer<frmMain> g_main;

} // namespace

frmMain::frmMain(QWidget* parent) : QWidget(parent, Qt::Window | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(ProductTitle());
    auto* bar = new QToolBar(this);
    bar->setObjectName(QStringLiteral("u_toolbar"));
    bar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    struct Button {
        const char* key;
        QString caption;
        QList<std::pair<const char*, QString>> items;
    };
    const QList<Button> buttons = {
        {"menu_MyCustomer", u"往来单位"_qs, {}},
        {"menu_ywMg", u"业务管理"_qs, {{"item_import", u"入库业务"_qs}, {"item_export", u"出库业务"_qs}}},
        {"menu_report",
         u"报表分析"_qs,
         {{"item_rpt_kctz", u"库存台账"_qs},
          {"item_rpt_kcbill", u"库存报表"_qs},
          {nullptr, {}},
          {"item_rpt_rkbill", u"入库单查询"_qs},
          {"item_rpt_rksum", u"入库汇总查询"_qs},
          {nullptr, {}},
          {"item_rpt_ckbill", u"出库单查询"_qs},
          {"item_rpt_cksum", u"出库汇总查询"_qs}}},
        {"menu_Calendar", u"日程管理"_qs, {}},
        {"menu_BasicInfor",
         u"基础档案"_qs,
         {{"item_goods", u"货品信息"_qs}, {"item_location", u"库位信息"_qs}}},
        {"menu_Templeteset",
         u"模板设置"_qs,
         {{"item_inBill", u"入库单据"_qs}, {"item_OutBill", u"出库单据"_qs}}},
        {"menu_SystemSet",
         u"系统管理"_qs,
         {{"user_infor", u"用户信息"_qs},
          {"fun_limited", u"权限设置"_qs},
          {"item_modflyPw", u"修改密码"_qs}}},
        {"menu_Help", u"帮助"_qs, {{"item_aboutus", u"关于我们"_qs}, {"wydz", u"我要定制软件..."_qs}}},
        {"menu_SystemExit", u"退出系统"_qs, {}},
        {"menu_SystemMin", u"最小化"_qs, {}},
    };
    for (const Button& b : buttons) {
        QAction* action = bar->addAction(style()->standardIcon(QStyle::SP_FileDialogListView), b.caption);
        action->setObjectName(QString::fromLatin1(b.key));
        const QString key = QString::fromLatin1(b.key);
        connect(action, &QAction::triggered, this, [this, key] { toolbarKey(key); });
        if (!b.items.isEmpty()) {
            auto* menu = new QMenu(this);
            for (const auto& [itemKey, caption] : b.items) {
                if (!itemKey) {
                    menu->addSeparator();
                    continue;
                }
                QAction* item = menu->addAction(caption);
                item->setObjectName(QString::fromLatin1(itemKey));
                const QString k = QString::fromLatin1(itemKey);
                connect(item, &QAction::triggered, this, [this, k] { toolbarKey(k); });
            }
            action->setMenu(menu);
            if (auto* tb = qobject_cast<QToolButton*>(bar->widgetForAction(action)))
                tb->setPopupMode(QToolButton::MenuButtonPopup);
        }
    }

    auto* panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("picBox_Calendar"));
    m_calendar = new MonthCalendar(panel, 1400);
    MonthCalendar* c = m_calendar;
    const int top = 120;
    place(c->utxtYear, 10, top, 960);
    place(c->uUpDownYear, 975, top, 255);
    place(c->uCombMonth, 1247, top, 975);
    place(c->comb_ViewType, 2238, top, 1215);
    place(c->btn_reset, 3469, top, 900);
    place(c->btn_today, 4385, top, 610);
    place(c->btn_list, 5011, top, 610);
    place(c->btn_addNew, 5640, top, 610);
    c->openEditor = [this](const QDateTime& start) {
        if (OpenEventEditor(this, start))
            m_calendar->load_Events();
    };
    c->openList = [this](const QDate* day) {
        OpenScheduleList(this, day);
        m_calendar->load_Events();
    };
    Guarded(this, [&] {
        const QString view = readStoredViewType();
        c->uUpDownYear->setValue(Clock::Today().year());
        c->utxtYear->setText(QString::number(Clock::Today().year()));
        c->initCalendar(view);
        c->selectDay(Clock::Today().day());
    });
    const int panelWidth = px(this, c->gridWidthTwips());
    const int panelHeight = c->VgCalendar->geometry().bottom() + 1 + px(this, 100);
    // The window is as wide as the calendar needs, or as the toolbar when its
    // captions make it wider: every button shows, none goes to the toolbar's
    // overflow. A calendar narrower than the window stays in its middle.
    const QSize barHint = bar->sizeHint();
    const int barHeight = barHint.height();
    const int width = qMax(panelWidth + px(this, 30), barHint.width());
    const int left = width > panelWidth + px(this, 30) ? (width - panelWidth) / 2 : px(this, 10);
    bar->setGeometry(0, 0, width, barHeight);
    panel->setGeometry(left, barHeight + px(this, 100), panelWidth, panelHeight);
    setFixedSize(width, barHeight + panelHeight + px(this, 130));
}

void frmMain::showEvent(QShowEvent* e)
{
    QWidget::showEvent(e);
    // Centred on its screen the first time; shown again later (from the
    // floating window) it comes back where the user left it.
    if (!m_centred) {
        m_centred = true;
        if (const QScreen* s = screen())
            move(s->availableGeometry().center() - QPoint(width() / 2, height() / 2));
    }
}

frmMain* frmMain::instance()
{
    if (g_main)
        return g_main.data();
    if (AnotherCopyRunning()) {
        MsgBox::Show(u"当前系统已打开!"_qs, MsgIcon::Information, QStringLiteral("System"));
        EndScheduleProgram();
        return nullptr;
    }
    g_main = new frmMain;
    g_main->show();
    if (QWidget* login = WindowRegistry::create(QStringLiteral("frmLogin"))) {
        if (auto* d = qobject_cast<QDialog*>(login))
            DialogRunner::Exec(d);
        delete login;
    }
    return g_main.data();
}

bool frmMain::AnotherCopyRunning()
{
    QLockFile lock(frm_Main::LockFileName());
    lock.setStaleLockTime(0);
    if (lock.tryLock(0)) {
        lock.unlock();
        return false;
    }
    qint64 pid = 0;
    QString host;
    QString app;
    if (!lock.getLockInfo(&pid, &host, &app))
        return false;
    // The program's own lock is no other copy.
    return pid != QCoreApplication::applicationPid();
}

void frmMain::shrink()
{
    hide();
    auto* floating = new FrmShowMin;
    floating->setAttribute(Qt::WA_DeleteOnClose);
    floating->show();
}

void frmMain::toolbarKey(const QString& key)
{
    Guarded(this, [&] {
        auto modal = [](const char* name) {
            if (QWidget* w = WindowRegistry::create(QString::fromLatin1(name))) {
                if (auto* d = qobject_cast<QDialog*>(w))
                    DialogRunner::Exec(d);
                delete w;
            }
        };
        if (key == u"item_import"_qs)
            WindowRegistry::Show(QStringLiteral("frmImport"));
        else if (key == u"item_goods"_qs)
            WindowRegistry::Show(QStringLiteral("frmGoods"));
        else if (key == u"user_infor"_qs)
            WindowRegistry::Show(QStringLiteral("frm_user"));
        else if (key == u"item_modflyPw"_qs)
            modal("FrmModifypwd");
        else if (key == u"item_aboutus"_qs)
            modal("FrmHelp");
        else if (key == u"wydz"_qs)
            MsgBox::Info(u"如果需要根据你的要求来定制软件,请与我们联系!"_qs, ProductTitle(), this);
        else if (key == u"menu_SystemExit"_qs)
            close();
        else if (key == u"menu_SystemMin"_qs)
            shrink();
    });
}

void frmMain::closeEvent(QCloseEvent* e)
{
    raise();
    const MsgAnswer answer = MsgBox::Show(
        u"是否退出朗岱进销存管理系统?\n\n 1、单击 [是] 退出系统;\n 2、单击 [否] 最小化窗口;\n 3、单击 [取消] 返回主窗口.\n\n"_qs,
        MsgIcon::Question, u"提示"_qs, MsgButtons::YesNoCancel, this, MsgDefault::Second);
    e->ignore();
    if (answer == MsgAnswer::Yes) {
        EndScheduleProgram();
        return;
    }
    if (answer == MsgAnswer::No)
        shrink();
    raise();
}

#include "frm_Main.h"

#include "DbError.h"
#include "DialogRunner.h"
#include "FormHelpers.h"
#include "GetvalueFunction.h"
#include "Guarded.h"
#include "MsgBox.h"
#include "PrintToolArea.h"
#include "ToolbarIcons.h"
#include "WindowChrome.h"
#include "WindowRegistry.h"
#include "frmLogin.h"
#include "m_funCode.h"
#include "mod_public.h"
#include "sqlHelper.h"

#include <algorithm>

#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QLabel>
#include <QLockFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QScreen>
#include <QStatusBar>
#include <QToolBar>
#include <QVBoxLayout>

namespace
{

frm_Main* s_frame = nullptr;

// The sub-window that holds one business window inside the frame. When the
// window closes itself (and is deleted), its empty sub-window goes too.
class FormSubWindow : public QMdiSubWindow
{
  public:
    explicit FormSubWindow(QWidget* form)
    {
        setAttribute(Qt::WA_DeleteOnClose);
        setWidget(form);
        setWindowIcon(form->windowIcon());
        connect(form, &QObject::destroyed, this, [this] {
            // Deferred: the window is still being torn down right now.
            QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
        });
    }
    ~FormSubWindow() override
    {
        if (QWidget* form = widget())
            disconnect(form, nullptr, this, nullptr);
    }
};

// The text of the status panel comp_infor when the product title carries no
// brand of the other company.
const QString kCompanyText = QStringLiteral("朗岱科技");

} // namespace

frm_Main::frm_Main(QWidget* parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("frm_Main"));
    setWindowTitle(ProductTitle());
    setWindowIcon(ToolbarIcon(QStringLiteral("house")));

    m_area = new QMdiArea(this);
    m_area->setObjectName(QStringLiteral("mdiArea"));
    m_area->setBackground(QColor(171, 171, 171));
    setCentralWidget(m_area);

    buildToolbar();
    buildMenus();
    buildStatusBar();
    resize(1024, 720);

    if (!s_frame)
        s_frame = this;
    WindowRegistry::SetHost([](QWidget* form) {
        if (s_frame)
            s_frame->placeInside(form);
        else
            form->show();
    });
}

frm_Main::~frm_Main()
{
    if (s_frame == this)
        s_frame = nullptr;
}

void frm_Main::buildToolbar()
{
    auto* pic_toolbar = new QWidget(this);
    pic_toolbar->setObjectName(QStringLiteral("pic_toolbar"));
    auto* layout = new QVBoxLayout(pic_toolbar);
    layout->setContentsMargins(0, 0, 0, 0);

    KeyedToolbar toolbar(
        this, QStringLiteral("u_toolbar"), [this](const QString& key) { ToolbarClick(key); }, pic_toolbar);
    u_toolbar = toolbar.bar();
    u_toolbar->setMovable(false);
    u_toolbar->setFloatable(false);
    u_toolbar->setIconSize(QSize(32, 32));
    layout->addWidget(u_toolbar);
    setMenuWidget(pic_toolbar);

    struct Button {
        const char16_t* caption;
        const char* key;
        const char* image;
    };
    static const Button buttons[] = {
        {u"往来单位", "menu_MyCustomer", "customer"},   {u"仓库管理", "menu_ckMg", "house"},
        {u"报表分析", "menu_report", "report"},         {u"系统网站", "menu_web", "web"},
        {u"日程管理", "menu_Calendar", "calendar"},     {nullptr, nullptr, nullptr},
        {u"基础档案", "menu_BasicInfor", "basic"},      {u"模板设置", "menu_Templeteset", "docset"},
        {u"系统管理", "menu_SystemSet", "sysset"},      {nullptr, nullptr, nullptr},
        {u"权限刷新", "menu_funRefresh", "funLimited"}, {u"帮助", "menu_Help", "help"},
        {u"退出系统", "menu_SystemExit", "back"},
    };
    for (const Button& b : buttons) {
        if (!b.caption) {
            u_toolbar->addSeparator();
            continue;
        }
        toolbar.add(QString::fromUtf16(b.caption), QString::fromLatin1(b.key),
                    ToolbarIcon(QString::fromLatin1(b.image)));
    }
}

void frm_Main::buildMenus()
{
    struct Entry {
        const char* name; // nullptr: a separator line (named by caption)
        const char16_t* caption;
        QString code; // the right; empty: none
        const char* window;
        How how;
    };
    const m_funCode& f = FunCodeTable;
    auto makeMenu = [this](const char* name, const char16_t* title, const QList<Entry>& entries) {
        auto* menu = new QMenu(QString::fromUtf16(title), this);
        menu->setObjectName(QString::fromLatin1(name));
        for (const Entry& e : entries) {
            if (!e.name) {
                QAction* line = menu->addSeparator();
                line->setObjectName(QString::fromUtf16(e.caption));
                continue;
            }
            QAction* action = menu->addAction(QString::fromUtf16(e.caption));
            action->setObjectName(QString::fromLatin1(e.name));
            const QString code = e.code;
            const QString window = QString::fromLatin1(e.window ? e.window : "");
            const How how = e.how;
            connect(action, &QAction::triggered, this, [this, code, window, how] {
                if (code.isEmpty())
                    openWindow(window, how);
                else
                    openGuarded(code, window, how);
            });
        }
        return menu;
    };

    menu_ckMg = makeMenu("menu_ckMg", u"仓库管理",
                         {{"menu_rk", u"入库业务", f.import(), "frmImport", How::Front},
                          {"menu_ck", u"出库业务", f.export_(), "frmExport", How::Front}});
    menu_report = makeMenu(
        "menu_report", u"报表分析",
        {{"menu_kcbill", u"库存总账", f.rpt_kczz(), "frm_rpt_stock", How::LoadData},
         {nullptr, u"sp1", {}, nullptr, How::Front},
         {"menu_rk_bill", u"入库单据", f.rpt_rkbill(), "frm_rpt_rkHead", How::LoadData},
         {"menu_rk_detail_bill", u"入库明细", f.rpt_rk_detail_bill(), "frm_rpt_rkDetail", How::LoadData},
         {"menu_rksum", u"入库汇总", f.rpt_rksum(), "frm_rpt_rkSum", How::LoadData},
         {nullptr, u"sp2", {}, nullptr, How::Front},
         {"menu_ck_bill", u"出库单据", f.rpt_ckbill(), "frm_rpt_ckHead", How::LoadData},
         {"menu_ck_detail_bill", u"出库明细", f.rpt_ck_detail_bill(), "frm_rpt_ckDetail", How::LoadData},
         {"menu_cksum", u"出库汇总", f.rpt_cksum(), "frm_rpt_ckSum", How::LoadData}});
    menu_basic = makeMenu("menu_basic", u"基础档案",
                          {{"menu_goods", u"货品信息", f.goodsInfor(), "frmGoods", How::Front},
                           {"menu_location", u"库位信息", f.locationInfor(), "frmLocation", How::Front}});
    menu_systemset = makeMenu("menu_systemset", u"系统设置",
                              {{"menu_dictionary", u"数据字典", f.dictionary(), "frm_dictionary", How::Init},
                               {"menu_fun", u"权限设置", f.limited(), "frm_department_fun", How::Front},
                               {"menu_opt", u"选项", f.optionset(), "frmOptions", How::Modal},
                               {nullptr, u"sp3", {}, nullptr, How::Front},
                               {"menu_user", u"用户信息", f.user(), "frm_user", How::Front},
                               {"menu_modiflypw", u"修改密码", f.modifyPW(), "FrmModifypwd", How::Modal}});
    menu_help =
        makeMenu("menu_help", u"帮助",
                 {{"menu_aboutus", u"关于我们", {}, check_Brand(0) ? "FrmHelp" : "FrmHelpQZ", How::Modal},
                  {"menu_wydz", u"我要定制软件...", {}, nullptr, How::Front}});

    // The custom-software entry only tells whom to ask.
    QAction* wydz = menu_help->findChild<QAction*>(QStringLiteral("menu_wydz"));
    disconnect(wydz, &QAction::triggered, this, nullptr);
    connect(wydz, &QAction::triggered, this, [this] {
        MsgBox::Show(QStringLiteral("如果需要根据你的要求来定制软件,请与我们联系!"), MsgIcon::Information,
                     ProductTitle(), MsgButtons::Ok, this);
    });
}

void frm_Main::buildStatusBar()
{
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar1"));
    bar->setSizeGripEnabled(true);
    QPalette pal = bar->palette();
    pal.setColor(QPalette::Window, QColor(232, 232, 232));
    bar->setPalette(pal);
    bar->setAutoFillBackground(true);

    auto panel = [bar](const QString& name, const QString& text) {
        auto* label = new QLabel(text, bar);
        label->setObjectName(name);
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        label->setContentsMargins(4, 0, 4, 0);
        return label;
    };
    m_panelVersion = panel(QStringLiteral("ver_infor"),
                           QStringLiteral("Version 1.0 [ Building: 20080925 Update:20120803]"));
    m_panelUser = panel(QStringLiteral("cur_userinfor"), QStringLiteral("当前用户:"));
    m_panelCompany =
        panel(QStringLiteral("comp_infor"), check_Brand(1) ? QStringLiteral("澄屿科技") : kCompanyText);
    m_panelUser->setMinimumWidth(200);
    bar->addWidget(m_panelVersion);
    bar->addWidget(m_panelUser, 1);
    bar->addPermanentWidget(m_panelCompany);
}

QString frm_Main::LockFileName()
{
    return GetAppPath() + QStringLiteral("wms.lock");
}

bool frm_Main::LockInstance()
{
    if (m_lock)
        return true;
    auto lock = std::make_unique<QLockFile>(LockFileName());
    // Only a copy that still runs holds the program: the lock of a copy that
    // died is taken over, however young it is, and a live one never goes stale.
    lock->setStaleLockTime(0);
    if (lock->tryLock(0)) {
        m_lock = std::move(lock);
        return true;
    }
    // Only a lock held by another copy refuses the start; a program folder
    // where no lock can be made tells nothing about other copies.
    return lock->error() != QLockFile::LockFailedError;
}

bool frm_Main::Start()
{
    if (!LockInstance()) {
        MsgBox::Show(QStringLiteral("当前系统已打开!"), MsgIcon::Information, QStringLiteral("System"),
                     MsgButtons::Ok, this);
        return false;
    }
    s_frame = this;
    setWindowTitle(ProductTitle());
    // The frame fills the screen it starts on: maximised, and sized to the
    // screen as well, for a display without a window manager to carry out
    // the maximising.
    if (QScreen* screen = QGuiApplication::primaryScreen())
        setGeometry(screen->availableGeometry());
    showMaximized();

    frmLogin login(this);
    m_login = &login;
    DialogRunner::Exec(&login);
    m_login = nullptr;
    return !m_ending && login.LoginSucceeded;
}

void frm_Main::SetUserInfor(const QString& text)
{
    m_panelUser->setText(text);
}

QLabel* frm_Main::Panel(const QString& key) const
{
    if (key == QLatin1String("cur_userinfor"))
        return m_panelUser;
    if (key == QLatin1String("comp_infor"))
        return m_panelCompany;
    return key.isEmpty() ? m_panelVersion : nullptr;
}

void frm_Main::ToolbarClick(const QString& key)
{
    const m_funCode& f = FunCodeTable;
    if (key == QLatin1String("menu_MyCustomer"))
        openGuarded(f.customer(), QStringLiteral("frm_customer"), How::Front);
    else if (key == QLatin1String("menu_ckMg"))
        popMenu(menu_ckMg, key);
    else if (key == QLatin1String("menu_report"))
        popMenu(menu_report, key);
    else if (key == QLatin1String("menu_web"))
        openWindow(QStringLiteral("frmBrowser"), How::Browser);
    else if (key == QLatin1String("menu_Calendar"))
        openGuarded(f.rcmg(), QStringLiteral("FrmCalendar"), How::Modal);
    else if (key == QLatin1String("menu_BasicInfor"))
        popMenu(menu_basic, key);
    else if (key == QLatin1String("menu_SystemSet"))
        popMenu(menu_systemset, key);
    else if (key == QLatin1String("menu_funRefresh"))
        funRefresh();
    else if (key == QLatin1String("menu_Help"))
        popMenu(menu_help, key);
    else if (key == QLatin1String("menu_SystemExit"))
        close();
}

void frm_Main::popMenu(QMenu* menu, const QString& buttonKey)
{
    QAction* button = u_toolbar->findChild<QAction*>(buttonKey);
    QWidget* buttonWidget = button ? u_toolbar->widgetForAction(button) : nullptr;
    const int left = buttonWidget ? buttonWidget->x() : 0;
    ShowPopMenu(this, menu, u_toolbar, left, TwipsToPixels(20, this), 0);
}

void frm_Main::openGuarded(const QString& code, const QString& window, How how)
{
    if (!check_FunRight(code, true))
        return;
    openWindow(window, how);
}

void frm_Main::openWindow(const QString& window, How how)
{
    // Business windows are reached by their registered name, so the frame
    // needs no link to them; an entry whose window is not registered (a build
    // or test without it) does nothing.
    if (window.isEmpty() || !WindowRegistry::has(window))
        return;
    Guarded(this, [&] {
        if (how == How::Modal) {
            runModal(window);
            return;
        }
        QWidget* form = ShowForm(window);
        if (!form)
            return;
        if (how == How::LoadData)
            WindowRegistry::LoadData(window);
        else if (how == How::Init)
            WindowRegistry::Init(window, 0);
        if (how != How::Browser)
            WindowRegistry::BringToFront(WindowRegistry::instance(window));
    });
}

void frm_Main::runModal(const QString& window)
{
    QPointer<QWidget> form = WindowRegistry::create(window);
    if (!form)
        return;
    if (auto* dialog = qobject_cast<QDialog*>(form.data())) {
        dialog->setParent(this, dialog->windowFlags() | Qt::Dialog);
        DialogRunner::Exec(dialog);
        delete form.data();
        return;
    }
    form->setParent(this, Qt::Dialog);
    form->setAttribute(Qt::WA_DeleteOnClose);
    form->setWindowModality(Qt::ApplicationModal);
    form->show();
}

QWidget* frm_Main::ShowForm(const QString& name)
{
    return WindowRegistry::Show(name);
}

void frm_Main::placeInside(QWidget* form)
{
    const QSize wanted = form->testAttribute(Qt::WA_Resized) ? form->size() : form->sizeHint();
    // As in a frame of child windows: while one child fills the frame, the
    // next one opens filling it too.
    const QList<QMdiSubWindow*> others = m_area->subWindowList();
    const bool maximized = (form->windowState() & Qt::WindowMaximized) ||
                           std::any_of(others.begin(), others.end(),
                                       [](QMdiSubWindow* s) { return s->isVisible() && s->isMaximized(); });
    auto* sub = new FormSubWindow(form);
    // The size is set before the area places the sub-window, so that the
    // place it finds is one where the whole window fits, and the size it
    // goes back to from maximised is this one.
    const QSize room =
        m_area->isVisible() ? m_area->viewport()->size() : QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    if (wanted.isValid()) {
        // Inside the area the sub-window knows the width of its edges and title.
        sub->setParent(m_area->viewport(), sub->windowFlags());
        const QMargins edge = sub->contentsMargins();
        const QSize size = wanted.grownBy(edge).boundedTo(room);
        sub->resize(size.expandedTo(sub->minimumSizeHint().boundedTo(room)));
    }
    m_area->addSubWindow(sub);
    const int x = qMax(0, qMin(sub->x(), room.width() - sub->width()));
    const int y = qMax(0, qMin(sub->y(), room.height() - sub->height()));
    sub->move(x, y);
    if (maximized)
        sub->showMaximized();
    else
        sub->show();
}

void frm_Main::funRefresh()
{
    if (!MsgBox::Ask(QStringLiteral("刷新权限会关闭全部的窗口,是否继续?"), windowTitle(), this))
        return;
    UnloadAllForms();
    Guarded(this, [] { init_SysVar(); });
}

void frm_Main::moveEvent(QMoveEvent* event)
{
    QMainWindow::moveEvent(event);
    publishWorkArea();
}

void frm_Main::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    publishWorkArea();
}

void frm_Main::publishWorkArea()
{
    // The print preview opens there: the toolbar stays in view.
    SetPrintToolArea(QRect(m_area->mapToGlobal(QPoint(0, 0)), m_area->size()));
}

void frm_Main::closeEvent(QCloseEvent* event)
{
    if (m_ending) {
        event->accept();
        return;
    }
    if (!MsgBox::Ask(QStringLiteral("是否退出系统?"), ProductTitle(), this)) {
        event->ignore();
        return;
    }
    // The program ends at once: open windows are not asked.
    m_ending = true;
    CloseRs();
    CloseConn();
    event->accept();
    if (m_login)
        m_login->EndWithoutLogin();
    QCoreApplication::exit(0);
}

#include "ScheduleWindows.h"

#include "CalendarMonth.h"
#include "Clock.h"
#include "DialogRunner.h"
#include "FlexGrid.h"
#include "FormHelpers.h"
#include "Guarded.h"
#include "MonthCalendar.h"
#include "MsgBox.h"
#include "Numbers.h"
#include "PageRow.h"
#include "WindowRegistry.h"
#include "dal_events.h"
#include "dal_setting.h"
#include "dal_user.h"
#include "frm_Main.h"
#include "mod_public.h"
#include "sqlHelper.h"

#include "UpDown.h"
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLockFile>
#include <QMenu>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace
{

std::function<void()>& quitHook()
{
    static std::function<void()> hook;
    return hook;
}

QPointer<FrmCalendar> g_calendar;

int px(const QWidget* w, int twips)
{
    return TwipsToPixels(twips, w);
}

QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    return b;
}

// Places a control of the calendar strip: left and width in twips, 300 high.
void place(QWidget* w, int left, int top, int width)
{
    w->setGeometry(px(w, left), px(w, top), px(w, width), px(w, 300));
}

QString readStoredViewType()
{
    const QString v = dal_setting().GetModel(QStringLiteral("viewType")).setValue.trimmed();
    return v.isEmpty() ? u"列表显示"_qs : v;
}

// The small pictures of the schedule list.
QIcon dotIcon(const QColor& color, bool cross = false)
{
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(color);
    p.setPen(color.darker(140));
    p.drawEllipse(2, 2, 12, 12);
    if (cross) {
        p.setPen(QPen(Qt::white, 2));
        p.drawLine(5, 5, 11, 11);
        p.drawLine(11, 5, 5, 11);
    }
    return QIcon(pm);
}

const QStringList PageSizes = {QStringLiteral("15"), QStringLiteral("30"), QStringLiteral("50"),
                               QStringLiteral("80"), QStringLiteral("100")};

} // namespace

void SetScheduleQuitHook(std::function<void()> hook)
{
    quitHook() = std::move(hook);
}

void EndScheduleProgram()
{
    CloseRs();
    CloseRs2();
    CloseConn();
    if (quitHook()) {
        quitHook()();
        return;
    }
    // Leaves every event loop, the modal ones included, so main() returns.
    QCoreApplication::exit(0);
}

bool OpenEventEditor(QWidget* owner, const QDateTime& start, int id)
{
    frmEvents editor(owner);
    editor.dt_time->setDateTime(start);
    if (id > 0) {
        editor.txt_id->setText(QString::number(id));
        editor.load_EventsContent();
    }
    DialogRunner::Exec(&editor);
    if (!editor.saved())
        return false;
    // A new entry shows on the calendar at once, whichever window opened the editor.
    if (!editor.wasUpdate() && FrmCalendar::current())
        FrmCalendar::current()->load_Events();
    return true;
}

void OpenScheduleList(QWidget* owner, const QDate* day)
{
    frm_qjcx list(owner);
    if (day)
        list.dt_time->setDate(*day);
    else
        list.chk_date->setChecked(false);
    list.btn_search_Click();
    DialogRunner::Exec(&list);
}

// ---------------------------------------------------------------- FrmCalendar

FrmCalendar::FrmCalendar(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FrmCalendar"));
    setWindowTitle(u"日程管理"_qs);
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    g_calendar = this;

    m_calendar = new MonthCalendar(this, 1380);
    MonthCalendar* c = m_calendar;
    place(c->utxtYear, 20, 50, 1080);
    place(c->uUpDownYear, 1100, 50, 255);
    place(c->uCombMonth, 1400, 50, 1215);
    place(c->comb_ViewType, 2640, 50, 1215);
    place(c->btn_reset, 3900, 50, 975);
    place(c->btn_today, 4890, 50, 610);

    // Commands kept hidden: nothing in the window shows them.
    auto* btn_lock = makeButton(this, "btn_lock", u"锁定"_qs);
    auto* btn_ShowMin = makeButton(this, "btn_ShowMin", u"最小化"_qs);
    auto* btn_about = makeButton(this, "btn_about", u"关于我们"_qs);
    auto* btn_modifyPw = makeButton(this, "btn_modifyPw", u"修改密码"_qs);
    place(btn_lock, 5520, 50, 610);
    place(btn_ShowMin, 5760, 50, 855);
    place(btn_about, 6240, 50, 975);
    place(btn_modifyPw, 7800, 50, 975);
    btn_lock->setToolTip(u"最小化"_qs);
    btn_ShowMin->setToolTip(u"最小化"_qs);
    auto* picMain = new QLabel(this);
    picMain->setObjectName(QStringLiteral("picMain"));
    picMain->setToolTip(u"双击打开主窗口"_qs);
    picMain->setGeometry(px(this, 360), px(this, 3840), px(this, 750), px(this, 750));
    for (QWidget* w : {static_cast<QWidget*>(btn_lock), static_cast<QWidget*>(btn_ShowMin),
                       static_cast<QWidget*>(btn_about), static_cast<QWidget*>(btn_modifyPw),
                       static_cast<QWidget*>(picMain)})
        w->hide();
    connect(btn_about, &QPushButton::clicked, this, [this] {
        Guarded(this, [] {
            if (QWidget* w = WindowRegistry::create(QStringLiteral("FrmHelp"))) {
                if (auto* d = qobject_cast<QDialog*>(w))
                    DialogRunner::Exec(d);
                delete w;
            }
        });
    });
    connect(btn_modifyPw, &QPushButton::clicked, this, [this] {
        Guarded(this, [] {
            if (QWidget* w = WindowRegistry::create(QStringLiteral("FrmModifypwd"))) {
                if (auto* d = qobject_cast<QDialog*>(w))
                    DialogRunner::Exec(d);
                delete w;
            }
        });
    });
    connect(btn_lock, &QPushButton::clicked, this, [this] {
        Guarded(this, [] {
            FrmLockSystem lock;
            DialogRunner::Exec(&lock);
        });
    });
    connect(btn_ShowMin, &QPushButton::clicked, this, [this] {
        Guarded(this, [this] {
            hide();
            auto* floating = new FrmShowMin;
            floating->setAttribute(Qt::WA_DeleteOnClose);
            floating->show();
        });
    });

    c->openEditor = [this](const QDateTime& start) { OpenEventEditor(this, start); };
    c->openList = [this](const QDate* day) {
        OpenScheduleList(this, day);
        load_Events();
    };

    Guarded(this, [&] {
        const QString view = readStoredViewType();
        c->uUpDownYear->setValue(Clock::Today().year());
        c->utxtYear->setText(QString::number(Clock::Today().year()));
        c->initCalendar(view);
    });

    const int width = px(this, c->gridWidthTwips());
    const int height =
        c->VgCalendar->geometry().top() + px(this, c->gridHeightTwips()) + px(this, 390) - px(this, 390) + 8;
    setFixedSize(width, height);
    c->btn_addNew->setGeometry(width - px(this, 610) - px(this, 150), px(this, 50), px(this, 610),
                               px(this, 300));
    c->btn_list->setGeometry(width - px(this, 610) - px(this, 610) - px(this, 150), px(this, 50),
                             px(this, 610), px(this, 300));
    if (QWidget* frame = parent ? parent->window() : nullptr)
        move((frame->width() - width) / 2, qMax(0, (frame->height() - height - px(this, 1500)) / 2));
    Guarded(this, [&] { c->selectDay(Clock::Today().day()); });
}

FrmCalendar::~FrmCalendar() = default;

FrmCalendar* FrmCalendar::current()
{
    return g_calendar.data();
}

void FrmCalendar::load_Events()
{
    Guarded(this, [this] { m_calendar->load_Events(); });
}

bool FrmCalendar::event(QEvent* e)
{
    if (e->type() == QEvent::WindowActivate)
        m_calendar->VgCalendar->setFocus();
    return QDialog::event(e);
}

// ---------------------------------------------------------------- frmEvents

frmEvents::frmEvents(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmEvents"));
    setWindowTitle(u"日程"_qs);
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    dt_time = new QDateTimeEdit(this);
    dt_time->setObjectName(QStringLiteral("dt_time"));
    dt_time->setDisplayFormat(QStringLiteral("yyyy-MM-dd HH:mm"));
    dt_time->setCalendarPopup(true);
    comb_flgtype = new QComboBox(this);
    comb_flgtype->setObjectName(QStringLiteral("comb_flgtype"));
    comb_flgtype->addItems({u"一般"_qs, u"重要"_qs, u"非常重要"_qs});
    comb_flgtype->setCurrentIndex(0);
    chk_start = new QCheckBox(u"启用"_qs, this);
    chk_start->setObjectName(QStringLiteral("chk_start"));
    chk_start->setChecked(true);
    txt_content = new QPlainTextEdit(this);
    txt_content->setObjectName(QStringLiteral("txt_content"));
    txt_content->setTabChangesFocus(true);
    txt_id = new QLineEdit(this);
    txt_id->setObjectName(QStringLiteral("txt_id"));
    txt_id->hide();
    btn_Save = makeButton(this, "btn_Save", u"保存"_qs);

    // The subject holds at most 500 characters, however it is typed or pasted.
    connect(txt_content, &QPlainTextEdit::textChanged, this, [this] {
        const QString t = txt_content->toPlainText();
        if (t.size() > 500) {
            const QSignalBlocker block(txt_content);
            txt_content->setPlainText(t.left(500));
            txt_content->moveCursor(QTextCursor::End);
        }
    });

    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(u"日期:"_qs, this));
    top->addWidget(dt_time);
    top->addWidget(new QLabel(u"标注:"_qs, this));
    top->addWidget(comb_flgtype);
    top->addWidget(chk_start);
    top->addStretch();
    auto* bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(btn_Save);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(new QLabel(u"主题内容:"_qs, this));
    layout->addWidget(txt_content, 1);
    layout->addLayout(bottom);
    resize(520, 300);

    connect(btn_Save, &QPushButton::clicked, this, [this] { Guarded(this, [this] { save(); }); });
    auto* ctrlS = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_S), this);
    connect(ctrlS, &QShortcut::activated, this, [this] { Guarded(this, [this] { save(); }); });
}

void frmEvents::load_EventsContent()
{
    const int id = int(ReadNumber(txt_id->text()));
    if (id <= 0)
        return;
    Guarded(this, [&] {
        const m_events m = dal_events().GetModel(id);
        if (m.id <= 0) {
            MsgBox::Warn(u"当前记录不存在!"_qs, windowTitle(), this);
            return;
        }
        txt_content->setPlainText(m.eventContent);
        chk_start->setChecked(m.isstart);
        const QDateTime t = ParseEventTime(m.createTime);
        if (t.isValid())
            dt_time->setDateTime(t);
        const int i = comb_flgtype->findText(m.flgType);
        if (i >= 0)
            comb_flgtype->setCurrentIndex(i);
    });
}

void frmEvents::save()
{
    if (txt_content->toPlainText().trimmed().isEmpty()) {
        MsgBox::Warn(u"主题内容不能为空"_qs, windowTitle(), this);
        txt_content->setFocus();
        return;
    }
    const int id = int(RoundHalfAway(ReadNumber(txt_id->text()), 0));
    m_events m;
    m.id = id;
    QDateTime start = dt_time->dateTime();
    start.setTime(QTime(start.time().hour(), start.time().minute()));
    m.createTime = EventTimeText(start);
    m.createUserId = CurrentUser.id;
    m.eventContent = txt_content->toPlainText();
    m.flgType = comb_flgtype->currentText();
    m.isstart = chk_start->isChecked();
    if (!MsgBox::Ask(u"确认保存日程!"_qs, windowTitle(), this))
        return;
    const bool update = id > 0;
    const m_DBresult result = update ? dal_events().Update(m) : dal_events().Add(m);
    if (!ShowIfFailed(this, result))
        return;
    m_saved = true;
    m_wasUpdate = update;
    accept();
}

// ---------------------------------------------------------------- frm_qjcx

frm_qjcx::frm_qjcx(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frm_qjcx"));
    setWindowTitle(u"日程列表"_qs);
    dt_time = new QDateEdit(Clock::Today(), this);
    dt_time->setObjectName(QStringLiteral("dt_time"));
    dt_time->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    dt_time->setCalendarPopup(true);
    chk_date = new QCheckBox(u"指定日期"_qs, this);
    chk_date->setObjectName(QStringLiteral("chk_date"));
    chk_date->setChecked(true);
    txt_KeyWord = new QLineEdit(this);
    txt_KeyWord->setObjectName(QStringLiteral("txt_KeyWord"));
    txt_KeyWord->setMaxLength(20);
    btn_search = makeButton(this, "btn_search", u"查询"_qs);

    listview_List = new QTreeWidget(this);
    listview_List->setObjectName(QStringLiteral("listview_List"));
    listview_List->setRootIsDecorated(false);
    listview_List->setSortingEnabled(false);
    listview_List->setColumnCount(4);
    listview_List->setHeaderLabels({u"选择"_qs, u"标注"_qs, u"主题内容"_qs, u"开始时间"_qs});
    const int widths[] = {1200, 1500, 4500, 2000};
    for (int c = 0; c < 4; ++c)
        listview_List->setColumnWidth(c, px(this, widths[c]));
    listview_List->header()->setSectionsClickable(true);
    listview_List->setContextMenuPolicy(Qt::CustomContextMenu);
    listview_List->installEventFilter(this);

    m_pager = new QWidget(this);
    m_pager->setObjectName(QStringLiteral("Pic_PagerBottom"));
    CheckAll = new QCheckBox(u"全选"_qs, m_pager);
    CheckAll->setObjectName(QStringLiteral("CheckAll"));
    lab_recordCount = new QLabel(m_pager);
    lab_recordCount->setObjectName(QStringLiteral("lab_recordCount"));
    comb_pageSize = new QComboBox(m_pager);
    comb_pageSize->setObjectName(QStringLiteral("comb_pageSize"));
    comb_pageSize->addItems(PageSizes);
    comb_pageSize->setCurrentIndex(0);
    txt_PageIndex = new QLineEdit(QStringLiteral("1"), m_pager);
    txt_PageIndex->setObjectName(QStringLiteral("txt_PageIndex"));
    txt_PageIndex->setFixedWidth(40);
    txt_MaxPageIndex = new QLineEdit(QStringLiteral("1"), m_pager);
    txt_MaxPageIndex->setObjectName(QStringLiteral("txt_MaxPageIndex"));
    txt_MaxPageIndex->setEnabled(false);
    txt_MaxPageIndex->setFixedWidth(40);
    btn_FirstPage = makeButton(m_pager, "btn_FirstPage", u"首页"_qs);
    btn_PrevPage = makeButton(m_pager, "btn_PrevPage", u"上一页"_qs);
    btn_NextPage = makeButton(m_pager, "btn_NextPage", u"下一页"_qs);
    btn_LastPage = makeButton(m_pager, "btn_LastPage", u"尾页"_qs);
    auto* pagerLayout = new QHBoxLayout(m_pager);
    pagerLayout->setContentsMargins(4, 2, 4, 2);
    pagerLayout->addWidget(CheckAll);
    pagerLayout->addStretch();
    auto* inner = new QWidget(m_pager);
    inner->setObjectName(QStringLiteral("Pic_PagerInnerBox"));
    auto* innerLayout = new QHBoxLayout(inner);
    innerLayout->setContentsMargins(0, 0, 0, 0);
    innerLayout->addWidget(lab_recordCount);
    innerLayout->addWidget(new QLabel(u"显示:"_qs, inner));
    for (QWidget* w : {static_cast<QWidget*>(comb_pageSize), static_cast<QWidget*>(txt_PageIndex)})
        innerLayout->addWidget(w);
    innerLayout->addWidget(new QLabel(QStringLiteral("/"), inner));
    for (QWidget* w : {static_cast<QWidget*>(txt_MaxPageIndex), static_cast<QWidget*>(btn_FirstPage),
                       static_cast<QWidget*>(btn_PrevPage), static_cast<QWidget*>(btn_NextPage),
                       static_cast<QWidget*>(btn_LastPage)})
        innerLayout->addWidget(w);
    pagerLayout->addWidget(inner);

    menu_pop = new QMenu(this);
    menu_pop->setObjectName(QStringLiteral("menu_pop"));
    QAction* mu_delete = menu_pop->addAction(u"删除当前行"_qs);
    mu_delete->setObjectName(QStringLiteral("mu_delete"));
    QAction* mu_deleteSelect = menu_pop->addAction(u"删除选中行"_qs);
    mu_deleteSelect->setObjectName(QStringLiteral("mu_deleteSelect"));

    auto* filter = new QHBoxLayout;
    filter->addWidget(new QLabel(u"日期:"_qs, this));
    filter->addWidget(dt_time);
    filter->addWidget(chk_date);
    filter->addWidget(new QLabel(u"关键字:"_qs, this));
    filter->addWidget(txt_KeyWord);
    filter->addWidget(btn_search);
    filter->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(filter);
    layout->addWidget(listview_List, 1);
    layout->addWidget(m_pager);
    resize(px(this, 10000), px(this, 6000));

    auto on = [this](auto* sender, auto signal, std::function<void()> f) {
        connect(sender, signal, this, [this, f] { Guarded(this, f); });
    };
    on(btn_search, &QPushButton::clicked, [this] { btn_search_Click(); });
    on(txt_KeyWord, &QLineEdit::returnPressed, [this] { btn_search_Click(); });
    on(chk_date, &QCheckBox::clicked, [this] { dt_time->setEnabled(chk_date->isChecked()); });
    on(btn_FirstPage, &QPushButton::clicked, [this] { goPage(1); });
    on(btn_PrevPage, &QPushButton::clicked, [this] { goPage(int(ReadNumber(txt_PageIndex->text())) - 1); });
    on(btn_NextPage, &QPushButton::clicked, [this] { goPage(int(ReadNumber(txt_PageIndex->text())) + 1); });
    on(btn_LastPage, &QPushButton::clicked, [this] { goPage(int(ReadNumber(txt_MaxPageIndex->text()))); });
    on(txt_PageIndex, &QLineEdit::returnPressed, [this] { goPage(int(ReadNumber(txt_PageIndex->text()))); });
    connect(comb_pageSize, &QComboBox::activated, this, [this] {
        Guarded(this, [this] {
            if (!IsLoad)
                return;
            txt_PageIndex->setText(QStringLiteral("1"));
            load_listView();
        });
    });
    connect(listview_List->header(), &QHeaderView::sectionClicked, this, [this](int section) {
        Guarded(this, [&] {
            static const char* const keys[] = {"id", "flgType", "eventContent", "createTime"};
            m_isDesc = !m_isDesc;
            m_orderField = QString::fromLatin1(keys[qBound(0, section, 3)]);
            load_listView();
        });
    });
    on(CheckAll, &QCheckBox::clicked, [this] { Check_All(CheckAll->checkState() != Qt::Unchecked); });
    on(mu_delete, &QAction::triggered, [this] { deleteCurrent(); });
    on(mu_deleteSelect, &QAction::triggered, [this] { deleteChecked(); });
    connect(listview_List, &QTreeWidget::itemDoubleClicked, this,
            [this] { Guarded(this, [this] { openCurrent(); }); });
    connect(listview_List, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { menu_pop->popup(listview_List->viewport()->mapToGlobal(pos)); });
}

frm_qjcx::~frm_qjcx()
{
    // The calendar shows what the list left: deletions and changes included.
    if (FrmCalendar::current())
        FrmCalendar::current()->load_Events();
}

void frm_qjcx::btn_search_Click()
{
    load_listView();
    IsLoad = true;
}

void frm_qjcx::load_listView()
{
    const EventListQuery query = GetStrSql(chk_date->isChecked(), dt_time->date(), txt_KeyWord->text());
    listview_List->clear();
    if (ReadNumber(txt_PageIndex->text()) < 1)
        txt_PageIndex->setText(QStringLiteral("1"));
    if (ReadNumber(txt_MaxPageIndex->text()) < ReadNumber(txt_PageIndex->text()))
        txt_PageIndex->setText(txt_MaxPageIndex->text());
    int pageIndex = int(RoundHalfAway(ReadNumber(txt_PageIndex->text()), 0));
    const int pageSize = int(ReadNumber(comb_pageSize->currentText()));
    const QString paged = GetPageSql(query.sql, pageIndex, pageSize, m_orderField, m_isDesc, query.params);
    const m_recordSet page = GetRecordSetInfo(paged, query.sql, query.params);
    static const QIcon start = dotIcon(QColor(0, 150, 0));
    static const QIcon cancel = dotIcon(QColor(160, 160, 160), true);
    static const QIcon yb = dotIcon(QColor(0, 128, 0));
    static const QIcon zy = dotIcon(QColor(0, 0, 192));
    static const QIcon fczy = dotIcon(QColor(192, 0, 0));
    if (page.recordSet) {
        const RecordSet& rs = *page.recordSet;
        for (int r = 0; r < rs.RecordCount(); ++r) {
            auto* item = new QTreeWidgetItem(listview_List);
            const int id = int(ReadNumber(rs.value(r, QStringLiteral("id"))));
            item->setData(0, Qt::UserRole, QStringLiteral("key_%1").arg(id));
            item->setText(0, QString::number(id));
            item->setCheckState(0, Qt::Unchecked);
            item->setIcon(0, ReadNumber(rs.value(r, QStringLiteral("isStart"))) != 0 ? start : cancel);
            const QString flg = rs.text(r, QStringLiteral("flgType"));
            item->setText(1, flg);
            item->setIcon(1, flg == u"一般"_qs ? yb : flg == u"重要"_qs ? zy : fczy);
            item->setText(2, rs.text(r, QStringLiteral("eventContent")));
            const QDateTime t = ParseEventTime(rs.text(r, QStringLiteral("createTime")));
            item->setText(3, t.isValid() ? t.toString(QStringLiteral("yyyy-MM-dd HH:mm"))
                                         : rs.text(r, QStringLiteral("createTime")));
        }
    }
    updatePager(int(ReadNumber(txt_PageIndex->text())), page.recordCount);
    if (listview_List->topLevelItemCount() > 0)
        listview_List->setCurrentItem(listview_List->topLevelItem(0));
}

void frm_qjcx::updatePager(int pageIndex, int count)
{
    ShowPage({lab_recordCount, txt_PageIndex, txt_MaxPageIndex, btn_FirstPage, btn_PrevPage, btn_NextPage,
              btn_LastPage},
             pageIndex, count, int(ReadNumber(comb_pageSize->currentText())));
}

void frm_qjcx::goPage(int page)
{
    txt_PageIndex->setText(QString::number(page));
    load_listView();
}

QString frm_qjcx::GetCheckItemID() const
{
    QStringList ids;
    for (int i = 0; i < listview_List->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = listview_List->topLevelItem(i);
        if (item->checkState(0) == Qt::Checked)
            ids << item->data(0, Qt::UserRole).toString().mid(4);
    }
    return ids.join(QLatin1Char(','));
}

void frm_qjcx::Check_All(bool isCheck)
{
    for (int i = 0; i < listview_List->topLevelItemCount(); ++i)
        listview_List->topLevelItem(i)->setCheckState(0, isCheck ? Qt::Checked : Qt::Unchecked);
}

void frm_qjcx::deleteCurrent()
{
    QTreeWidgetItem* item = listview_List->currentItem();
    if (!item) {
        MsgBox::Warn(u"当前行未选中!"_qs, windowTitle(), this);
        return;
    }
    if (!MsgBox::Ask(u"删除后将不能恢复,确定删除当前行?"_qs, windowTitle(), this))
        return;
    const int id = int(ReadNumber(item->data(0, Qt::UserRole).toString().mid(4)));
    const m_DBresult result = dal_events().Delete(id);
    ShowIfFailed(this, result);
    load_listView();
}

void frm_qjcx::deleteChecked()
{
    const QString ids = GetCheckItemID();
    if (ids.isEmpty()) {
        MsgBox::Warn(u"没有选中项!"_qs, windowTitle(), this);
        return;
    }
    if (!MsgBox::Ask(u"删除后将不能恢复,确定删除选中项?"_qs, windowTitle(), this))
        return;
    const m_DBresult result = dal_events().DeleteMore(ids);
    ShowIfFailed(this, result);
    load_listView();
    CheckAll->setChecked(false);
}

void frm_qjcx::openCurrent()
{
    QTreeWidgetItem* item = listview_List->currentItem();
    if (!item)
        return;
    const int id = int(ReadNumber(item->data(0, Qt::UserRole).toString().mid(4)));
    if (OpenEventEditor(this, Clock::Now(), id))
        load_listView();
}

bool frm_qjcx::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == listview_List && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Delete) {
            Guarded(this, [this] { deleteCurrent(); });
            return true;
        }
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            Guarded(this, [this] { openCurrent(); });
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void frm_qjcx::resizeEvent(QResizeEvent* e)
{
    QDialog::resizeEvent(e);
}

// ---------------------------------------------------------------- FrmShowMin

FrmShowMin::FrmShowMin(QWidget* parent)
    : QWidget(parent, Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::Tool)
{
    setObjectName(QStringLiteral("FrmShowMin"));
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
    auto* picMain = new QLabel(this);
    picMain->setObjectName(QStringLiteral("picMain"));
    picMain->setGeometry(0, 0, 48, 48);
    QPixmap face(48, 48);
    face.fill(Qt::transparent);
    {
        QPainter p(&face);
        p.setRenderHint(QPainter::Antialiasing);
        p.setBrush(QColor(30, 90, 170));
        p.setPen(Qt::NoPen);
        p.drawRoundedRect(2, 6, 44, 40, 6, 6);
        p.setBrush(Qt::white);
        p.drawRect(8, 16, 32, 24);
        p.setPen(QColor(192, 0, 0));
        QFont f = p.font();
        f.setBold(true);
        f.setPixelSize(16);
        p.setFont(f);
        p.drawText(QRect(8, 16, 32, 24), Qt::AlignCenter, QString::number(Clock::Today().day()));
    }
    picMain->setPixmap(face);
    picMain->setAttribute(Qt::WA_TransparentForMouseEvents);
    setFixedSize(48 + 2, 48);
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->geometry().width() / 2, TwipsToPixels(100, this));

    menu_pop = new QMenu(this);
    menu_pop->setObjectName(QStringLiteral("menu_pop"));
    QAction* exit = menu_pop->addAction(u"退出"_qs);
    exit->setObjectName(QStringLiteral("menu_exit"));
    QAction* main = menu_pop->addAction(u"主窗口"_qs);
    main->setObjectName(QStringLiteral("menu_frmain"));
    connect(exit, &QAction::triggered, this, [] { EndScheduleProgram(); });
    connect(main, &QAction::triggered, this, [this] { Guarded(this, [this] { showMainWindow(); }); });
}

void FrmShowMin::showMainWindow()
{
    frmMain* w = frmMain::instance();
    if (!w)
        return;
    w->show();
    w->raise();
    w->activateWindow();
    FrmLockSystem lock(w);
    DialogRunner::Exec(&lock);
}

void FrmShowMin::mousePressEvent(QMouseEvent* e)
{
    m_dragFrom = e->globalPosition().toPoint() - frameGeometry().topLeft();
    m_dragged = false;
}

void FrmShowMin::mouseMoveEvent(QMouseEvent* e)
{
    if (e->buttons() & Qt::LeftButton) {
        m_dragged = true;
        move(e->globalPosition().toPoint() - m_dragFrom);
    }
}

void FrmShowMin::mouseReleaseEvent(QMouseEvent* e)
{
    if (e->button() == Qt::LeftButton && !m_dragged)
        menu_pop->popup(mapToGlobal(QPoint(TwipsToPixels(80, this), height())));
}

// ---------------------------------------------------------------- FrmLockSystem

FrmLockSystem::FrmLockSystem(QWidget* parent) : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint)
{
    setObjectName(QStringLiteral("FrmLockSystem"));
    setWindowTitle(QString());
    setFixedSize(px(this, 4560), px(this, 1800));
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(40, 80, 140));
    pal.setColor(QPalette::WindowText, Qt::white);
    setPalette(pal);
    auto* caption = new QLabel(u"系统已锁定,请输入当前用户的密码"_qs, this);
    caption->setGeometry(20, 16, width() - 40, 24);
    utxtPassword = new QLineEdit(this);
    utxtPassword->setObjectName(QStringLiteral("utxtPassword"));
    utxtPassword->setEchoMode(QLineEdit::Password);
    utxtPassword->setGeometry(20, 56, width() - 40, 28);
    utxtPassword->installEventFilter(this);
    utxtuser = new QComboBox(this);
    utxtuser->setObjectName(QStringLiteral("utxtuser"));
    utxtuser->setEditable(true);
    utxtuser->hide();
    utxtuser->setEditText(CurrentUser.user);
    utxtuser->installEventFilter(this);
    B_OK = makeButton(this, "B_OK", QStringLiteral("Enter"));
    B_OK->setGeometry(width() + 10, 0, 60, 24); // outside the face, as the Exit button
    auto* exitButton = makeButton(this, "B_Exit", QStringLiteral("Exit"));
    exitButton->setGeometry(width() + 80, 0, 60, 24);
    connect(B_OK, &QPushButton::clicked, this, [this] { Guarded(this, [this] { unlock(); }); });
    utxtPassword->setFocus();
}

void FrmLockSystem::unlock()
{
    if (utxtPassword->text().trimmed().isEmpty()) {
        MsgBox::Warn(u"密码不能为空!"_qs, u"系统锁定"_qs, this);
        utxtPassword->setFocus();
        return;
    }
    const m_user u = dal_user().GetModelForPw(utxtuser->currentText(), utxtPassword->text());
    if (u.id > 0)
        accept();
}

bool FrmLockSystem::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusIn && watched == utxtPassword)
        QMetaObject::invokeMethod(utxtPassword, &QLineEdit::selectAll, Qt::QueuedConnection);
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Escape) {
            EndScheduleProgram();
            return true;
        }
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            if (watched == utxtPassword)
                Guarded(this, [this] { unlock(); });
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void FrmLockSystem::keyPressEvent(QKeyEvent* e)
{
    if (e->key() == Qt::Key_Escape) {
        EndScheduleProgram();
        return;
    }
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter)
        return;
    QDialog::keyPressEvent(e);
}

void FrmLockSystem::reject()
{
    // No way past the lock but the password; closing it ends the program.
    EndScheduleProgram();
}

// ---------------------------------------------------------------- frmMain

namespace
{
QPointer<frmMain> g_main;
}

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
    const int barHeight = bar->sizeHint().height();
    bar->setGeometry(0, 0, panelWidth + px(this, 30), barHeight);
    panel->setGeometry(px(this, 10), barHeight + px(this, 100), panelWidth, panelHeight);
    setFixedSize(panelWidth + px(this, 30), barHeight + panelHeight + px(this, 130));
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

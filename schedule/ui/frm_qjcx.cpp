#include "frm_qjcx.h"

#include "CalendarMonth.h"
#include "Clock.h"
#include "DialogRunner.h"
#include "FormHelpers.h"
#include "FrmCalendar.h"
#include "Guarded.h"
#include "MsgBox.h"
#include "Numbers.h"
#include "PageRow.h"
#include "ScheduleHelpers.h"
#include "dal_events.h"
#include "frmEvents.h"
#include "sqlHelper.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

using namespace ScheduleUi;

namespace
{

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
            m_isDesc = !m_isDesc;
            m_orderColumn = section;
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
    listview_List->clear();
    if (ReadNumber(txt_PageIndex->text()) < 1)
        txt_PageIndex->setText(QStringLiteral("1"));
    if (ReadNumber(txt_MaxPageIndex->text()) < ReadNumber(txt_PageIndex->text()))
        txt_PageIndex->setText(txt_MaxPageIndex->text());
    int pageIndex = int(RoundHalfAway(ReadNumber(txt_PageIndex->text()), 0));
    const int pageSize = int(ReadNumber(comb_pageSize->currentText()));
    const m_recordSet page =
        dal_events().ListPage(chk_date->isChecked(), dt_time->date(), txt_KeyWord->text(), pageIndex,
                              pageSize, m_orderColumn, m_isDesc);
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
    if (!MsgBox::Ask(u"删除后将不能恢复,确定删除当前行["_qs + item->text(2) + u"]?"_qs, windowTitle(), this))
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

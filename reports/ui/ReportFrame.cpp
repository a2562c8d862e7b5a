#include "ReportFrame.h"

#include "BillSetup.h"

#include "dal_dictionary.h"

#include "Clock.h"
#include "DbError.h"
#include "DialogRunner.h"
#include "ExcelExport.h"
#include "FlexGrid.h"
#include "FormHelpers.h"
#include "GetvalueFunction.h"
#include "Guarded.h"
#include "MsgBox.h"
#include "Numbers.h"
#include "PageRow.h"
#include "WindowChrome.h"
#include "WindowRegistry.h"
#include "frm_select.h"
#include "m_customer.h"
#include "mod_public.h"
#include "sqlHelper.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRegularExpression>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <cmath>

namespace
{

// A label that acts on a click, as the captions beside the audit boxes do.
class ClickLabel : public QLabel
{
  public:
    ClickLabel(const QString& text, std::function<void()> onClick, QWidget* parent)
        : QLabel(text, parent), m_onClick(std::move(onClick))
    {
        setCursor(Qt::PointingHandCursor);
    }

  protected:
    void mouseReleaseEvent(QMouseEvent* event) override
    {
        if (event->button() == Qt::LeftButton)
            m_onClick();
        QLabel::mouseReleaseEvent(event);
    }

  private:
    std::function<void()> m_onClick;
};

QPushButton* NamedButton(const QString& name, const QString& text, QWidget* parent)
{
    auto* b = new QPushButton(text, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}

// The text a cell shows of a value: Null as the empty text, a stored number
// whole, with every digit of its shortest form (a weight of 0.08325 is not
// cut to 0.0833, nor 1234567890123.456 to 1234567890123.46) and never "-0".
// Values the report formats (prices, amounts) come as texts already and pass
// unchanged.
QString ValueText(const QVariant& value)
{
    if (value.isNull())
        return {};
    if (value.typeId() == QMetaType::Double)
        return WholeNumber(value.toDouble());
    return value.toString();
}

} // namespace

ReportFrame::ReportFrame(ReportLayout layout, std::unique_ptr<dal_rpt_Report> data, QWidget* parent)
    : QWidget(parent), m_layout(std::move(layout)), m_data(std::move(data))
{
    setObjectName(m_layout.objectName);
    setWindowTitle(m_layout.title);
    setAttribute(Qt::WA_DeleteOnClose);
    buildFrame();
}

ReportFrame::~ReportFrame() = default;

// ---------------------------------------------------------------- building

void ReportFrame::buildFrame()
{
    buildToolbar();
    buildTitle();
    buildGrid();
    buildPager();
    buildPopUpMenu();

    auto* body = new QVBoxLayout(this);
    body->setContentsMargins(0, 0, 0, 0);
    body->setSpacing(0);
    body->addWidget(utoolbar->bar());
    body->addWidget(pic_title);
    body->addWidget(pic_content, 1);
    body->addWidget(Pic_PagerBottom);

    buildAccountPanel();
    resize(1000, 620);
}

// The toolbar of the report's buttons, "-" or a key "sp..." a separator.
void ReportFrame::buildToolbar()
{
    utoolbar = new KeyedToolbar(this, QStringLiteral("utoolbar"),
                                [this](const QString& key) { Guarded(this, [&] { toolbarClicked(key); }); });
    for (const ReportToolButton& b : m_layout.toolbar) {
        if (b.key.startsWith(QLatin1String("sp")) || b.caption == QLatin1String("-"))
            utoolbar->bar()->addSeparator();
        else
            utoolbar->add(b.caption, b.key, b.image);
    }
}

// The report's title over the grid of its search conditions.
void ReportFrame::buildTitle()
{
    pic_title = new QWidget(this);
    pic_title->setObjectName(QStringLiteral("pic_title"));
    auto* titleBox = new QVBoxLayout(pic_title);
    titleBox->setContentsMargins(6, 4, 6, 4);
    lab_title = new QLabel(m_layout.title, pic_title);
    lab_title->setObjectName(QStringLiteral("lab_title"));
    QFont f = lab_title->font();
    f.setPointSize(14);
    f.setBold(true);
    lab_title->setFont(f);
    titleBox->addWidget(lab_title, 0, Qt::AlignHCenter);
    m_conditionGrid = new QGridLayout;
    m_conditionGrid->setHorizontalSpacing(6);
    titleBox->addLayout(m_conditionGrid);
}

// The grid of the report's rows.
void ReportFrame::buildGrid()
{
    pic_content = new QWidget(this);
    pic_content->setObjectName(QStringLiteral("pic_content"));
    auto* contentBox = new QHBoxLayout(pic_content);
    contentBox->setContentsMargins(0, 0, m_layout.gridFullWidth ? 0 : 3, 0);
    dg_List = new FlexGrid(pic_content);
    dg_List->setObjectName(QStringLiteral("dg_List"));
    dg_List->setSelectionMode(FlexGrid::flexSelectionByRow);
    dg_List->setEditable(FlexGrid::flexEDNone);
    dg_List->setExplorerBar(FlexGrid::flexExSort);
    contentBox->addWidget(dg_List);
    connect(dg_List, &FlexGrid::BeforeSort, this, [this](int col, Qt::SortOrder, bool& cancel) {
        cancel = true; // the order comes from the work table, not from the grid
        Guarded(this, [&] { headerSort(col); });
    });
    // Only the tick box takes a click; every other cell is read only.
    connect(dg_List, &FlexGrid::BeforeEdit, this,
            [this](int, int col, bool& cancel) { cancel = col != m_layout.tickCol(); });
    connect(dg_List, &FlexGrid::DblClick, this, [this] { Guarded(this, [&] { openCurrent(); }); });
    connect(dg_List, &FlexGrid::MouseDown, this,
            [this](Qt::MouseButton button, Qt::KeyboardModifiers, int, int) {
                if (button == Qt::RightButton)
                    Guarded(this, [&] { popUpMenu(); });
            });
}

// The page size and record count under the grid, and the page buttons.
void ReportFrame::buildPager()
{
    Pic_PagerBottom = new QWidget(this);
    Pic_PagerBottom->setObjectName(QStringLiteral("Pic_PagerBottom"));
    auto* pager = new QHBoxLayout(Pic_PagerBottom);
    pager->setContentsMargins(6, 2, 6, 2);
    auto* label1 = new QLabel(QStringLiteral("显示:"), Pic_PagerBottom);
    label1->setObjectName(QStringLiteral("Label1"));
    comb_pageSize = new QComboBox(Pic_PagerBottom);
    comb_pageSize->setObjectName(QStringLiteral("comb_pageSize"));
    comb_pageSize->addItems({QStringLiteral("20"), QStringLiteral("50"), QStringLiteral("100"),
                             QStringLiteral("150"), QStringLiteral("200")});
    connect(comb_pageSize, &QComboBox::activated, this,
            [this] { Guarded(this, [&] { comb_pageSize_Click(); }); });
    lab_recordCount = new QLabel(QStringLiteral("记录数: 0 条"), Pic_PagerBottom);
    lab_recordCount->setObjectName(QStringLiteral("lab_recordCount"));
    buildPageButtons();
    pager->addWidget(label1);
    pager->addWidget(comb_pageSize);
    pager->addSpacing(12);
    pager->addWidget(lab_recordCount);
    pager->addStretch(1);
    pager->addWidget(Pic_PagerInnerBox);
}

// First, previous, the page number of the pages, next and last.
void ReportFrame::buildPageButtons()
{
    Pic_PagerInnerBox = new QWidget(Pic_PagerBottom);
    Pic_PagerInnerBox->setObjectName(QStringLiteral("Pic_PagerInnerBox"));
    auto* inner = new QHBoxLayout(Pic_PagerInnerBox);
    inner->setContentsMargins(0, 0, 0, 0);
    btn_FirstPage = NamedButton(QStringLiteral("btn_FirstPage"), QStringLiteral("首页"), Pic_PagerInnerBox);
    btn_PrevPage = NamedButton(QStringLiteral("btn_PrevPage"), QStringLiteral("上一页"), Pic_PagerInnerBox);
    txt_PageIndex = new QLineEdit(QStringLiteral("0"), Pic_PagerInnerBox);
    txt_PageIndex->setObjectName(QStringLiteral("txt_PageIndex"));
    txt_PageIndex->setFixedWidth(48);
    txt_PageIndex->setAlignment(Qt::AlignCenter);
    auto* label2 = new QLabel(QStringLiteral("of"), Pic_PagerInnerBox);
    label2->setObjectName(QStringLiteral("Label2"));
    txt_MaxPageIndex = new QLineEdit(QStringLiteral("0"), Pic_PagerInnerBox);
    txt_MaxPageIndex->setObjectName(QStringLiteral("txt_MaxPageIndex"));
    txt_MaxPageIndex->setReadOnly(true);
    txt_MaxPageIndex->setFixedWidth(48);
    txt_MaxPageIndex->setAlignment(Qt::AlignCenter);
    btn_NextPage = NamedButton(QStringLiteral("btn_NextPage"), QStringLiteral("下一页"), Pic_PagerInnerBox);
    btn_LastPage = NamedButton(QStringLiteral("btn_LastPage"), QStringLiteral("尾页"), Pic_PagerInnerBox);
    for (QWidget* w : {static_cast<QWidget*>(btn_FirstPage), static_cast<QWidget*>(btn_PrevPage),
                       static_cast<QWidget*>(txt_PageIndex), static_cast<QWidget*>(label2),
                       static_cast<QWidget*>(txt_MaxPageIndex), static_cast<QWidget*>(btn_NextPage),
                       static_cast<QWidget*>(btn_LastPage)})
        inner->addWidget(w);
    connect(btn_FirstPage, &QPushButton::clicked, this, [this] { Guarded(this, [&] { goToPage(1); }); });
    connect(btn_PrevPage, &QPushButton::clicked, this,
            [this] { Guarded(this, [&] { goToPage(m_page.int_currentPageIndex - 1); }); });
    connect(btn_NextPage, &QPushButton::clicked, this,
            [this] { Guarded(this, [&] { goToPage(m_page.int_currentPageIndex + 1); }); });
    connect(btn_LastPage, &QPushButton::clicked, this,
            [this] { Guarded(this, [&] { goToPage(int(ReadNumber(txt_MaxPageIndex->text()))); }); });
    connect(txt_PageIndex, &QLineEdit::returnPressed, this,
            [this] { Guarded(this, [&] { goToPage(int(ReadNumber(txt_PageIndex->text()))); }); });
}

void ReportFrame::buildPopUpMenu()
{
    vs_pop_menu = new QMenu(this);
    vs_pop_menu->setObjectName(QStringLiteral("vs_pop_menu"));
    for (const ReportMenuItem& item : m_layout.menu) {
        if (item.name.isEmpty()) {
            vs_pop_menu->addSeparator();
            continue;
        }
        QAction* a = vs_pop_menu->addAction(item.caption);
        a->setObjectName(item.name);
        connect(a, &QAction::triggered, this,
                [this, name = item.name] { Guarded(this, [&] { menuClicked(name); }); });
    }
}

void ReportFrame::buildAccountPanel()
{
    pic_Box = new QFrame(this);
    pic_Box->setObjectName(QStringLiteral("pic_Box"));
    pic_Box->setFrameShape(QFrame::Box);
    pic_Box->setAutoFillBackground(true);
    auto* box = new QVBoxLayout(pic_Box);
    auto* head = new QHBoxLayout;
    auto* listTitle = new QLabel(QStringLiteral("请选中账目标识:"), pic_Box);
    listTitle->setObjectName(QStringLiteral("lb_ListTitle"));
    auto* close = NamedButton(QStringLiteral("lb_close"), QStringLiteral("X"), pic_Box);
    close->setFlat(true);
    close->setFixedWidth(24);
    head->addWidget(listTitle, 1);
    head->addWidget(close);
    tv_accountType = new QTreeWidget(pic_Box);
    tv_accountType->setObjectName(QStringLiteral("tv_accountType"));
    tv_accountType->setHeaderHidden(true);
    tv_accountType->setRootIsDecorated(false);
    auto* buttons = new QHBoxLayout;
    auto* all = NamedButton(QStringLiteral("btn_AllSelectAccountType"), QStringLiteral("全选"), pic_Box);
    auto* none =
        NamedButton(QStringLiteral("btn_NoneSelectAccountType"), QStringLiteral("取消全选"), pic_Box);
    auto* ok = NamedButton(QStringLiteral("btn_SelectBath"), QStringLiteral("确定"), pic_Box);
    auto* cancel = NamedButton(QStringLiteral("btn_cancel"), QStringLiteral("取消"), pic_Box);
    for (QPushButton* b : {all, none, ok, cancel})
        buttons->addWidget(b);
    box->addLayout(head);
    box->addWidget(tv_accountType, 1);
    box->addLayout(buttons);
    pic_Box->resize(360, 260);
    pic_Box->hide();
    connect(all, &QPushButton::clicked, this, [this] { Guarded(this, [&] { selectAccountType(true); }); });
    connect(none, &QPushButton::clicked, this, [this] { Guarded(this, [&] { selectAccountType(false); }); });
    connect(ok, &QPushButton::clicked, this, [this] { Guarded(this, [&] { btn_SelectBath_Click(); }); });
    connect(cancel, &QPushButton::clicked, pic_Box, &QWidget::hide);
    connect(close, &QPushButton::clicked, pic_Box, &QWidget::hide);
}

QLabel* ReportFrame::addCondition(const QString& label, QWidget* control)
{
    QLabel* caption = nullptr;
    if (!label.isEmpty()) {
        caption = new QLabel(label, pic_title);
        m_conditionGrid->addWidget(caption, m_condRow, m_condCol, Qt::AlignRight | Qt::AlignVCenter);
    }
    m_conditionGrid->addWidget(control, m_condRow, m_condCol + 1);
    m_condCol += 2;
    return caption;
}

void ReportFrame::newConditionRow()
{
    ++m_condRow;
    m_condCol = 0;
}

QWidget* ReportFrame::boxWithButton(QLineEdit* box, QPushButton* button)
{
    auto* holder = new QWidget(pic_title);
    auto* row = new QHBoxLayout(holder);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(1);
    box->setParent(holder);
    button->setParent(holder);
    button->setFixedWidth(28);
    row->addWidget(box, 1);
    row->addWidget(button);
    return holder;
}

void ReportFrame::addAccountCondition()
{
    txt_accountType = new QLineEdit(pic_title);
    txt_accountType->setObjectName(QStringLiteral("txt_accountType"));
    txt_accountType->setReadOnly(true);
    txt_accountType->setMinimumWidth(150);
    btn_selectAccountType =
        NamedButton(QStringLiteral("btn_selectAccountType"), QStringLiteral("..."), pic_title);
    connect(btn_selectAccountType, &QPushButton::clicked, this,
            [this] { Guarded(this, [&] { openPanel(pic_Box, txt_accountType); }); });
    addCondition(QStringLiteral("账目标识:"), boxWithButton(txt_accountType, btn_selectAccountType));
}

void ReportFrame::addDateCondition()
{
    auto* holder = new QWidget(pic_title);
    auto* row = new QHBoxLayout(holder);
    row->setContentsMargins(0, 0, 0, 0);
    for (QDateEdit** dt : {&dt_createDateFrom, &dt_createDateTo}) {
        *dt = new QDateEdit(holder);
        (*dt)->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
        (*dt)->setCalendarPopup(true);
    }
    dt_createDateFrom->setObjectName(QStringLiteral("dt_createDateFrom"));
    dt_createDateTo->setObjectName(QStringLiteral("dt_createDateTo"));
    row->addWidget(dt_createDateFrom);
    row->addWidget(new QLabel(QStringLiteral("至"), holder));
    row->addWidget(dt_createDateTo);
    addCondition(QStringLiteral("建单日期:"), holder);
}

void ReportFrame::addPartnerCondition(BillDirection dir)
{
    const BillSetup& setup = BillSetup::Of(dir);
    m_partnerMode = setup.partnerKind;
    txt_partnerName = new QLineEdit(pic_title);
    txt_partnerName->setObjectName(QStringLiteral("txt_%1Name").arg(setup.partnerKind));
    auto* button = NamedButton(QStringLiteral("btn_search") + setup.partnerKind.left(1).toUpper() +
                                   setup.partnerKind.mid(1),
                               QStringLiteral("..."), pic_title);
    connect(button, &QPushButton::clicked, this, [this] { Guarded(this, [&] { searchPartner(); }); });
    QLabel* label = addCondition(setup.window.partnerCaption, boxWithButton(txt_partnerName, button));
    label->setObjectName(QStringLiteral("Label10"));
}

void ReportFrame::addAuditCondition()
{
    auto* holder = new QWidget(pic_title);
    auto* row = new QHBoxLayout(holder);
    row->setContentsMargins(0, 0, 0, 0);
    check_pass = new QCheckBox(holder);
    check_pass->setObjectName(QStringLiteral("check_pass"));
    check_nopass = new QCheckBox(holder);
    check_nopass->setObjectName(QStringLiteral("check_nopass"));
    check_pass->setChecked(true);
    check_nopass->setChecked(true);
    auto* labPass = new ClickLabel(
        QStringLiteral("已审核"), [this] { check_pass->toggle(); }, holder);
    labPass->setObjectName(QStringLiteral("lab_pass"));
    auto* labNopass = new ClickLabel(
        QStringLiteral("未审核"), [this] { check_nopass->toggle(); }, holder);
    labNopass->setObjectName(QStringLiteral("lab_nopass"));
    row->addWidget(check_pass);
    row->addWidget(labPass);
    row->addWidget(check_nopass);
    row->addWidget(labNopass);
    row->addStretch(1);
    addCondition(QStringLiteral("审核状态:"), holder);
}

void ReportFrame::addKeywordCondition()
{
    txt_KeyWord = new QLineEdit(pic_title);
    txt_KeyWord->setObjectName(QStringLiteral("txt_KeyWord"));
    connect(txt_KeyWord, &QLineEdit::returnPressed, this, [this] { Guarded(this, [&] { search(); }); });
    addCondition(QStringLiteral("关键字:"), txt_KeyWord);
}

void ReportFrame::addSearchButton()
{
    btn_search = NamedButton(QStringLiteral("btn_search"), QStringLiteral("查询"), pic_title);
    connect(btn_search, &QPushButton::clicked, this, [this] { Guarded(this, [&] { search(); }); });
    addCondition(QString(), btn_search);
}

void ReportFrame::addGoodsTypeCondition()
{
    cobo_goodsTypeName = new QComboBox(this);
    cobo_goodsTypeName->setObjectName(QStringLiteral("cobo_goodsTypeName"));
    cobo_goodsTypeName->setEditable(true);
    cobo_goodsTypeName->setMinimumWidth(110);
    addCondition(QStringLiteral("货品类别:"), cobo_goodsTypeName);
}

void ReportFrame::addGoodsSearch(const QString& zeroCaption)
{
    addGoodsTypeCondition();
    addKeywordCondition();
    Chk_ContainerZero = new QCheckBox(zeroCaption, this);
    Chk_ContainerZero->setObjectName(QStringLiteral("Chk_ContainerZero"));
    Chk_ContainerZero->setChecked(true);
    addCondition(QString(), Chk_ContainerZero);
    addSearchButton();
}

m_conditions ReportFrame::goodsConditions() const
{
    m_conditions list;
    if (!IsBlank(cobo_goodsTypeName->currentText()))
        list.append(
            m_condition(SearchKey::GoodsTypeName, QStringLiteral("="), cobo_goodsTypeName->currentText()));
    if (!IsBlank(txt_KeyWord->text()))
        list.append(m_condition(SearchKey::Keyword, QStringLiteral("like"), txt_KeyWord->text()));
    if (!Chk_ContainerZero->isChecked())
        list.append(m_condition(SearchKey::Balance, QStringLiteral("<>"), 0));
    return list;
}

void ReportFrame::formLoad()
{
    Guarded(this, [&] {
        dg_List_init();
        fillLoadControls();
        load_accountTypeTree();
        if (dt_createDateFrom) {
            const QDate today = Clock::Today();
            dt_createDateFrom->setDate(QDate(today.year(), today.month(), 1));
            dt_createDateTo->setDate(today);
        }
        m_page.sortKey = m_data->DefaultSort();
        m_page.isDesc = true;
        m_page.int_currentPageIndex = 1;
    });
}

void ReportFrame::FillDictionaryCombo(QComboBox* combo, const QString& utype)
{
    FillComboBox(combo, dal_dictionary::EnabledOfType(utype), QStringLiteral("uname"));
    combo->setCurrentIndex(-1);
    combo->clearEditText();
}

// ---------------------------------------------------------------- account tags

void ReportFrame::load_accountTypeTree()
{
    if (!tv_accountType)
        return;
    tv_accountType->hide();
    tv_accountType->clear();
    const RecordSetPtr rs = dal_dictionary::PermittedAccountTags(SysVar.Sys_accountJoinId);
    for (int r = 0; rs && r < rs->RecordCount(); ++r) {
        auto* node = new QTreeWidgetItem(tv_accountType, {rs->text(r, QStringLiteral("uname"))});
        node->setData(0, Qt::UserRole, QStringLiteral("key_") + rs->text(r, QStringLiteral("id")).trimmed());
        node->setCheckState(0, Qt::Unchecked);
        node->setIcon(0, style()->standardIcon(QStyle::SP_DirOpenIcon));
    }
    tv_accountType->show();
}

void ReportFrame::selectAccountType(bool isCheck)
{
    for (int i = 0; i < tv_accountType->topLevelItemCount(); ++i)
        tv_accountType->topLevelItem(i)->setCheckState(0, isCheck ? Qt::Checked : Qt::Unchecked);
}

void ReportFrame::btn_SelectBath_Click()
{
    QString text, tag;
    for (int i = 0; i < tv_accountType->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* node = tv_accountType->topLevelItem(i);
        if (node->checkState(0) != Qt::Checked)
            continue;
        text += node->text(0) + QLatin1Char(',');
        tag += node->data(0, Qt::UserRole).toString().mid(4) + QLatin1Char(',');
    }
    txt_accountType->setText(text);
    txt_accountType->setProperty("Tag", tag);
    pic_Box->hide();
}

void ReportFrame::openPanel(QWidget* panel, QWidget* under)
{
    const QPoint at = under->mapTo(this, QPoint(0, under->height()));
    panel->move(at);
    panel->raise();
    panel->show();
}

// ---------------------------------------------------------------- conditions

void ReportFrame::searchPartner()
{
    frm_select picker(this);
    picker.utbName = m_partnerMode;
    picker.isHideCheckCol = true;
    picker.RunSearch();
    DialogRunner::Exec(&picker);
    if (!picker.resultVal.isHasObject || picker.resultVal.resultValue.isEmpty())
        return;
    const m_customer partner = picker.resultVal.resultValue.at(0).value<m_customer>();
    if (!partner.customerCode.trimmed().isEmpty())
        txt_partnerName->setText(partner.uname);
}

ReportFill ReportFrame::fillConditions()
{
    ReportFill fill;
    if (dt_createDateFrom) {
        // The bill date is the first ten characters of createTime; comparing
        // the whole text against the day after "to" keeps the index usable.
        fill.conditions.append(m_condition(SearchKey::CreateTime, QStringLiteral(">="),
                                           dt_createDateFrom->date().toString(QStringLiteral("yyyy-MM-dd"))));
        fill.conditions.append(
            m_condition(SearchKey::CreateTime, QStringLiteral("<"),
                        dt_createDateTo->date().addDays(1).toString(QStringLiteral("yyyy-MM-dd"))));
    }
    const QString tag = txt_accountType ? txt_accountType->property("Tag").toString() : QString();
    fill.accountList = tag + QLatin1Char('0');
    if (!IsBlank(tag))
        fill.conditions.append(
            m_condition(SearchKey::Account, QStringLiteral("in"), NList(fill.accountList)));
    if (check_pass) {
        QString list;
        if (check_pass->isChecked())
            list += QStringLiteral("1,");
        if (check_nopass->isChecked())
            list += QStringLiteral("0,");
        list += QStringLiteral("3"); // no bill has 3: with both boxes clear nothing is found
        fill.conditions.append(m_condition(SearchKey::Audit, QStringLiteral("in"), NList(list)));
    }
    return fill;
}

// ---------------------------------------------------------------- search

void ReportFrame::emptyKept()
{
    m_keptCount = 0;
}

void ReportFrame::LoadData()
{
    Guarded(this, [&] {
        selectAccountType(true);
        btn_SelectBath_Click();
        emptyKept();
        comb_pageSize->setCurrentIndex(0);
        search();
    });
}

void ReportFrame::search()
{
    dg_List_init();
    emptyKept();
    if (!txt_accountType || IsBlank(txt_accountType->property("Tag").toString())) {
        MsgBox::Show(QStringLiteral("请选中账目标识!"), MsgIcon::Exclamation, windowTitle(), MsgButtons::Ok,
                     this);
        if (txt_accountType)
            openPanel(pic_Box, txt_accountType);
        return;
    }
    const ReportFill fill = fillConditions();
    const m_conditions list = listConditions();
    m_page.int_PageSize = pageSizeChosen();
    const m_recordSet result = m_data->GetListForCondition(fill, list, m_page, ReportRows::Grid);
    if (result.recordCount > 0) {
        m_keptCount = result.recordCount;
        m_page.recordCount = m_keptCount;
        showRows(*result.recordSet);
    }
    if (!result.str_MsgBox.isEmpty())
        MsgBox::ShowWithDetails(result.str_MsgBox, result.str_Details, MsgIcon::Critical, windowTitle(),
                                this);
}

int ReportFrame::pageSizeChosen() const
{
    return qMax(1, int(ReadNumber(comb_pageSize->currentText())));
}

// ---------------------------------------------------------------- grid

void ReportFrame::setUpHeader()
{
    dg_List->setCellAlignment(0, 0, m_layout.headerRows - 1, dg_List->Cols() - 1,
                              FlexGrid::flexAlignCenterCenter);
}

void ReportFrame::dg_List_init()
{
    pic_content->hide();
    Pic_PagerBottom->hide();
    dg_List->setRedraw(false);
    dg_List->Clear();
    QString format;
    for (const ReportColumn& c : m_layout.columns)
        format += c.piece;
    dg_List->setFixedRows(m_layout.headerRows);
    dg_List->setRows(m_layout.headerRows + 1);
    dg_List->setFixedCols(1);
    dg_List->setFormatString(format);
    dg_List->setTextMatrix(m_layout.headerRows, m_layout.column(ReportColumn::RowNumber),
                           QStringLiteral("1"));
    if (m_layout.tickCol() >= 0)
        dg_List->setColDataType(m_layout.tickCol(), FlexGrid::flexDTBoolean);
    for (int c = 0; c < m_layout.columns.size(); ++c)
        dg_List->setColHidden(c, m_layout.columns.at(c).hidden);
    setUpHeader();
    // The status column shows its picture beside the text: room for both.
    if (m_layout.statusCol() >= 0)
        dg_List->setColWidth(m_layout.statusCol(), qMax(dg_List->ColWidth(m_layout.statusCol()), 1140));
    dg_List->setRowHeightMin(330);
    dg_List->setRedraw(true);
    dg_List->setRow(m_layout.headerRows);
    dg_List->setCol(m_layout.cursorCol());
    dg_List_Resize();
    setPager(1, 0);
    pic_content->show();
    Pic_PagerBottom->show();
}

void ReportFrame::dg_List_Resize()
{
    if (m_layout.widthThreshold <= 0) {
        fitColumnsToContent();
        return;
    }
    const long extra = std::lround(double(dg_List->PixelsToTwips(width())) - m_layout.widthThreshold);
    for (int c = 0; c < m_layout.columns.size(); ++c) {
        const ReportColumn& col = m_layout.columns.at(c);
        if (col.baseWidth <= 0)
            continue;
        // Halves go to the even whole number.
        const int grow = extra >= 1 ? int(std::nearbyint(double(extra) * col.share)) : 0;
        dg_List->setColWidth(c, col.baseWidth + grow);
    }
    fitColumnsToContent();
}

// Bill numbers, codes and numbers are read whole: their columns are never
// narrower than their longest text on the page, whatever width the caption or
// the width rule gives them (a number cut on its left would read as another).
void ReportFrame::fitColumnsToContent()
{
    static const QStringList codeFields = {QStringLiteral("billNo"),       QStringLiteral("ubillNo"),
                                           QStringLiteral("goodsCode"),    QStringLiteral("goodsDetailCode"),
                                           QStringLiteral("locationCode"), QStringLiteral("lotNo")};
    static const QRegularExpression number(QStringLiteral(R"(^-?[0-9]+(\.[0-9]+)?$)"));
    const QFontMetrics fm(dg_List->font());
    for (int c = 0; c < m_layout.columns.size(); ++c) {
        const QString& field = m_layout.columns.at(c).field;
        if (field.isEmpty() || dg_List->ColHidden(c))
            continue;
        const bool code = codeFields.contains(field);
        int widest = 0;
        bool numbers = true;
        for (int r = m_layout.headerRows; r < dg_List->Rows(); ++r) {
            const QString text = dg_List->TextMatrix(r, c);
            if (!text.isEmpty() && !number.match(text).hasMatch())
                numbers = false;
            widest = qMax(widest, fm.horizontalAdvance(text));
        }
        if (!code && !numbers)
            continue;
        // The room the cells leave around their text, as the grid sizes its columns.
        const int needed = dg_List->PixelsToTwips(widest + 10);
        if (widest > 0 && dg_List->ColWidth(c) < needed)
            dg_List->setColWidth(c, needed);
    }
}

void ReportFrame::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    dg_List_Resize();
}

// ---------------------------------------------------------------- paging

void ReportFrame::loadPage()
{
    if (m_keptCount < 1)
        return;
    m_page.recordCount = m_keptCount;
    const RecordSetPtr rows = m_data->GetPage(m_page, ReportRows::Grid);
    showRows(*rows);
}

void ReportFrame::showRows(const RecordSet& rows)
{
    const int first = m_layout.headerRows;
    dg_List->setRedraw(false);
    dg_List->setRows(first + rows.RecordCount());
    const int base = (m_page.int_currentPageIndex - 1) * m_page.int_PageSize;
    for (int k = 0; k < rows.RecordCount(); ++k) {
        const int r = first + k;
        for (int c = 0; c < m_layout.columns.size(); ++c) {
            const QString& field = m_layout.columns.at(c).field;
            if (field.isEmpty() || field == ReportColumn::Tick)
                continue;
            if (field == ReportColumn::RowNumber)
                dg_List->setTextMatrix(r, c, QString::number(base + k + 1));
            else if (c == m_layout.statusCol())
                setStatusCell(r, ValueText(rows.value(k, field)));
            else
                dg_List->setTextMatrix(r, c, ValueText(rows.value(k, field)));
        }
    }
    fitColumnsToContent();
    dg_List->setRedraw(true);
    setPager(m_page.int_currentPageIndex, m_keptCount);
}

void ReportFrame::setStatusCell(int row, const QString& text)
{
    dg_List->setTextMatrix(row, m_layout.statusCol(), text);
    const QString icon = m_layout.statusIcons.value(text);
    dg_List->setCellPicture(row, m_layout.statusCol(), icon.isEmpty() ? QPixmap() : StatusPicture(icon));
}

QPixmap ReportFrame::StatusPicture(const QString& file)
{
    static QHash<QString, QPixmap> cache;
    const QString path = GetAppPath() + QStringLiteral("Ico/") + file;
    if (cache.contains(path))
        return cache.value(path);
    QPixmap pix(path);
    if (pix.isNull()) {
        // Without the icon files the marks are drawn here: a green tick for
        // an audited bill, flags in the colour of the state otherwise.
        pix = QPixmap(16, 16);
        pix.fill(Qt::transparent);
        QPainter p(&pix);
        p.setRenderHint(QPainter::Antialiasing);
        if (file.startsWith(QLatin1String("ok"))) {
            p.setPen(QPen(QColor(0, 150, 0), 2.5));
            p.drawPolyline(QPolygonF({QPointF(3, 8), QPointF(7, 12), QPointF(13, 4)}));
        } else {
            const QColor colour = file.startsWith(QLatin1String("flg3"))   ? QColor(200, 0, 0)
                                  : file.startsWith(QLatin1String("flg2")) ? QColor(230, 140, 0)
                                                                           : QColor(0, 150, 0);
            p.setPen(QPen(Qt::darkGray, 1.5));
            p.drawLine(QPointF(4, 2), QPointF(4, 15));
            p.setPen(Qt::NoPen);
            p.setBrush(colour);
            p.drawPolygon(QPolygonF({QPointF(5, 2), QPointF(14, 5), QPointF(5, 9)}));
        }
    }
    cache.insert(path, pix);
    return pix;
}

void ReportFrame::setPager(int pageIndex, int recordCount)
{
    ShowPage({lab_recordCount, txt_PageIndex, txt_MaxPageIndex, btn_FirstPage, btn_PrevPage, btn_NextPage,
              btn_LastPage},
             pageIndex, recordCount, pageSizeChosen());
}

void ReportFrame::goToPage(int page)
{
    if (m_keptCount < 1)
        return;
    m_page.int_currentPageIndex = page;
    loadPage();
}

void ReportFrame::comb_pageSize_Click()
{
    if (m_keptCount < 1)
        return;
    m_page.int_PageSize = pageSizeChosen();
    m_page.int_currentPageIndex = 1;
    loadPage();
}

void ReportFrame::headerSort(int col)
{
    if (m_keptCount < 1 || col < 0 || col >= m_layout.columns.size())
        return;
    const QString field = m_layout.columns.at(col).sortField;
    if (field.isEmpty())
        return;
    // The rows of the last search in the new order; the page stays (clamped).
    m_page.sortKey = m_data->SortBy(field);
    m_page.isDesc = !m_page.isDesc;
    m_keptCount = m_data->Reorder(m_page);
    if (m_keptCount < 1) {
        dg_List_init();
        return;
    }
    loadPage();
}

// ---------------------------------------------------------------- actions

void ReportFrame::toolbarClicked(const QString& key)
{
    if (key == QLatin1String("export"))
        exportExcel();
    else if (key == QLatin1String("print"))
        printReport();
    else if (key == QLatin1String("close"))
        close();
}

void ReportFrame::menuClicked(const QString&) {}

void ReportFrame::exportExcel()
{
    if (!check_FunRight(m_layout.exportRight, true))
        return;
    // The rows of the last search in the order shown go to the workbook as
    // they are read, whatever their number.
    const std::unique_ptr<RowReader> reader = m_data->ReadKeptRows(true);
    ExportToExcel(*reader, m_layout.exportTitle, m_layout.exportHeaders);
}

void ReportFrame::popUpMenu()
{
    if (vs_pop_menu->actions().isEmpty())
        return;
    vs_pop_menu->popup(QCursor::pos());
}

int ReportFrame::currentDataRow() const
{
    const int r = dg_List->Row();
    return r >= m_layout.headerRows && r < dg_List->Rows() ? r : -1;
}

QString ReportFrame::cellText(const QString& field) const
{
    const int r = currentDataRow();
    const int c = m_layout.column(field);
    return r < 0 || c < 0 ? QString() : dg_List->TextMatrix(r, c);
}

// ---------------------------------------------------------------- bill windows

QHash<QString, QString> GoodsStatusIcons()
{
    return {{QStringLiteral("启用"), QStringLiteral("flg.ico")},
            {QStringLiteral("替代"), QStringLiteral("flg2.ico")},
            {QStringLiteral("禁用"), QStringLiteral("flg3.ico")}};
}

void OpenBillWindow(BillDirection dir, int id)
{
    const BillSetup& setup = BillSetup::Of(dir);
    QWidget* w = WindowRegistry::Show(setup.billWindow);
    if (!w)
        throw DbError(QStringLiteral("单据窗口不可用"));
    bool ok = false;
    if (id > 0) {
        if (auto* box = w->findChild<QLineEdit*>(QStringLiteral("txt_id")))
            box->setText(QString::number(id));
        ok = QMetaObject::invokeMethod(w, setup.openBill, Qt::DirectConnection, Q_ARG(int, id));
    } else {
        ok = QMetaObject::invokeMethod(w, setup.newBill, Qt::DirectConnection, Q_ARG(int, 0),
                                       Q_ARG(QString, QString()));
    }
    if (!ok)
        throw DbError(QStringLiteral("单据窗口不能打开单据"));
    WindowRegistry::BringToFront(w);
}

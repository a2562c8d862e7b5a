#pragma once

#include "ReportFill.h"
#include "dal_rpt_Report.h"
#include "m_PageInfor.h"

#include <QHash>
#include <QList>
#include <QStyle>
#include <QWidget>
#include <memory>

class FlexGrid;
class KeyedToolbar;
class QCheckBox;
class QComboBox;
class QDateEdit;
class QFrame;
class QGridLayout;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QTreeWidget;

// One grid column of a report window.
struct ReportColumn {
    // The fields of the frame's own columns, which show no work-table value:
    // the row number and the tick box a clerk marks rows with.
    static inline const QString RowNumber = QStringLiteral("#");
    static inline const QString Tick = QStringLiteral("[tick]");

    QString piece;     // its piece of the format string ("|<单据号码      ")
    QString field;     // the work-table field shown ("" none, RowNumber, Tick)
    QString sortField; // the column of the rows a header click orders by ("" no sort)
    bool hidden = false;
    int baseWidth = 0; // the width rule: base width in twips (0: the caption's width)
    double share = 0;  // and share of the width above the threshold
};

struct ReportToolButton {
    QString caption;
    QString key;
    QStyle::StandardPixmap image;
};

// An entry of the grid's right-button menu; an empty name is a separator.
struct ReportMenuItem {
    QString caption;
    QString name;
};

// The window parameters of a report: what each report window states of the frame.
struct ReportLayout {
    QString objectName;
    QString title;               // caption and lab_title
    QList<ReportColumn> columns; // the grid
    int headerRows = 1;
    QString cursorField;                 // the field of the column the cursor stands on after set-up
    QString statusField;                 // the field of the status column, with its mark ("": none)
    QHash<QString, QString> statusIcons; // status text -> icon file under "Ico/"
    int widthThreshold = 0;              // twips; 0: no width rule
    bool gridFullWidth = false;
    QList<ReportToolButton> toolbar;
    QString exportRight;
    QString exportTitle;
    QString exportHeaders;
    QList<ReportMenuItem> menu;

    // The grid column showing field ("#": the row number), or -1.
    int column(const QString& field) const
    {
        for (int c = 0; c < columns.size(); ++c)
            if (!field.isEmpty() && columns.at(c).field == field)
                return c;
        return -1;
    }
    int cursorCol() const { return column(cursorField); }
    int statusCol() const { return column(statusField); }
    int tickCol() const { return column(ReportColumn::Tick); }
};

// The report window frame all report windows share: the condition strip with
// its account-tag panel, the search run, the grid with its pager, paging,
// header-click sort, the toolbar, the Excel export and the layout rule.
//
// A report window derives from it, hands it its ReportLayout and data class,
// builds its condition strip in its constructor with the add... helpers
// (addAccountCondition(), addDateCondition(), addPartnerCondition(), ...),
// and ends its constructor with formLoad(). It overrides what is its own:
// listConditions() (and fillConditions() where it fills differently),
// fillLoadControls(), toolbarClicked(), menuClicked(), openCurrent(),
// printReport() and setUpHeader() for header rows of its own.
//
// A search fixes its rows and their order (dal_rpt_Report); a page move reads
// one page of them, a header click sorts the same rows anew, and the export
// and the print read all of them in the order shown.
class ReportFrame : public QWidget
{
    Q_OBJECT

  public:
    ReportFrame(ReportLayout layout, std::unique_ptr<dal_rpt_Report> data, QWidget* parent = nullptr);
    ~ReportFrame() override;

    // Checks every account tag, empties the last result, chooses 20 rows a
    // page and searches; the other conditions, the order and the page stay.
    void LoadData();
    // 查询.
    void search();

    const ReportLayout& layout() const { return m_layout; }
    dal_rpt_Report* data() const { return m_data.get(); }
    const m_PageInfor& pageInfo() const { return m_page; }
    // The number of rows the last search selected (0 after one without rows).
    int keptCount() const { return m_keptCount; }
    FlexGrid* grid() const { return dg_List; }

  protected:
    // ---- the condition strip, built by the window in its constructor ----
    QLabel* addCondition(const QString& label, QWidget* control);
    void newConditionRow();
    // A text box with a "..." button beside it, as one control.
    QWidget* boxWithButton(QLineEdit* box, QPushButton* button);
    void addAccountCondition();
    void addDateCondition();
    // The partner box and its picker (mode "supplier" or "customer").
    void addPartnerCondition(BillDirection dir);
    void addAuditCondition();
    void addKeywordCondition();
    void addSearchButton();
    // 货品类别: an editable combo of the goods types (filled by the window).
    void addGoodsTypeCondition();
    // The goods search that ends the strip of the goods reports: 货品类别, the
    // keyword, the tick box (checked) that keeps the goods whose sum is zero,
    // and 查询.
    void addGoodsSearch(const QString& zeroCaption);
    // Runs Form_Load: grid columns, the window's own fills, the account-tag
    // tree, this month's dates, the default order.
    void formLoad();

    // ---- what a window makes its own ----
    // The fill conditions; by default the bill dates, the account tags and
    // the audit states (those the window has).
    virtual ReportFill fillConditions();
    virtual m_conditions listConditions() { return {}; }
    // Fills the window's combos and trees at load (before the account tags).
    virtual void fillLoadControls() {}
    // A toolbar key the frame has no action for ("export", "print", "close" are the frame's).
    virtual void toolbarClicked(const QString& key);
    virtual void menuClicked(const QString& name);
    virtual void openCurrent() {}
    virtual void printReport() {}
    // Lays out the header rows after the format string was set.
    virtual void setUpHeader();

    // ---- for the windows ----
    void exportExcel();
    void popUpMenu();
    QString cellText(const QString& field) const; // the current row's cell of the column showing field
    int currentDataRow() const;
    void setStatusCell(int row, const QString& text);
    static QPixmap StatusPicture(const QString& file);
    void openPanel(QWidget* panel, QWidget* under);
    // Fills a combo with the enabled dictionary items of a type ("importType",
    // "goodsType" ...) in id order; no item is chosen, so its condition starts empty.
    static void FillDictionaryCombo(QComboBox* combo, const QString& utype);
    // The conditions of addGoodsSearch(): the goods type, the keyword, and a
    // balance other than 0 when the tick box is off.
    m_conditions goodsConditions() const;
    // The typed text of a box, trimmed only to test for blank.
    static bool IsBlank(const QString& text) { return text.trimmed().isEmpty(); }

    // Controls of the frame; each carries its member's name as object name, so tests find it.
    KeyedToolbar* utoolbar = nullptr;
    QWidget* pic_title = nullptr;
    QLabel* lab_title = nullptr;
    QLineEdit* txt_accountType = nullptr;
    QPushButton* btn_selectAccountType = nullptr;
    QDateEdit* dt_createDateFrom = nullptr;
    QDateEdit* dt_createDateTo = nullptr;
    QLineEdit* txt_partnerName = nullptr; // txt_supplierName / txt_customerName
    QCheckBox* check_pass = nullptr;
    QCheckBox* check_nopass = nullptr;
    QLineEdit* txt_KeyWord = nullptr;
    QComboBox* cobo_goodsTypeName = nullptr;
    QCheckBox* Chk_ContainerZero = nullptr;
    QPushButton* btn_search = nullptr;
    QFrame* pic_Box = nullptr;
    QTreeWidget* tv_accountType = nullptr;
    QWidget* pic_content = nullptr;
    FlexGrid* dg_List = nullptr;
    QWidget* Pic_PagerBottom = nullptr;
    QComboBox* comb_pageSize = nullptr;
    QLabel* lab_recordCount = nullptr;
    QWidget* Pic_PagerInnerBox = nullptr;
    QPushButton* btn_FirstPage = nullptr;
    QPushButton* btn_PrevPage = nullptr;
    QLineEdit* txt_PageIndex = nullptr;
    QLineEdit* txt_MaxPageIndex = nullptr;
    QPushButton* btn_NextPage = nullptr;
    QPushButton* btn_LastPage = nullptr;
    QMenu* vs_pop_menu = nullptr;

    QString m_partnerMode; // picker mode of the partner box

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    void buildFrame();
    void buildToolbar();
    void buildTitle();
    void buildGrid();
    void buildPager();
    void buildPageButtons();
    void buildPopUpMenu();
    void buildAccountPanel();
    void load_accountTypeTree();
    void selectAccountType(bool isCheck);
    void btn_SelectBath_Click();
    void searchPartner();
    void dg_List_init();
    void dg_List_Resize();
    void fitColumnsToContent();
    void loadPage();
    void showRows(const RecordSet& rows);
    void setPager(int pageIndex, int recordCount);
    void goToPage(int page);
    void comb_pageSize_Click();
    void headerSort(int col);
    int pageSizeChosen() const;
    void emptyKept();

    ReportLayout m_layout;
    std::unique_ptr<dal_rpt_Report> m_data;
    m_PageInfor m_page;
    int m_keptCount = 0;
    QGridLayout* m_conditionGrid = nullptr;
    int m_condRow = 0;
    int m_condCol = 0;
};

// The marks of a goods item's status in the goods reports: 启用, 替代, 禁用.
QHash<QString, QString> GoodsStatusIcons();

// Opens the bill with the id in the bill window of its direction ("frmImport"
// / "frmExport"), or a new bill when id is 0.
void OpenBillWindow(BillDirection dir, int id);

#pragma once

#include "BillSetup.h"
#include "BillStore.h"
#include "Decimal.h"

#include <QHash>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>

class FlexGrid;
class QAction;
class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QToolBar;
class m_goods_detail;
class m_location;
class uvg;

// The ids a bill line carries besides what the grid shows, kept as the row
// data of its grid row (FlexGrid::RowData): the stored line (0 for a new
// one), its goods item and goods type, and its location (0: none). A row
// without goods has goodsId 0 and is no line.
//
// A loaded line also keeps its stored figures (by grid column): a cell that
// still shows a stored figure's text is that figure, written back as it was
// read; a cell the clerk changed is read from its text.
struct BillLineIds {
    int id = 0;
    int goodsId = 0;
    int goodsTypeId = 0;
    int locationId = 0;
    QHash<int, double> stored;
};
Q_DECLARE_METATYPE(BillLineIds)

// The bill window: one class for the inbound window (frmImport, 入库业务) and
// the outbound one (frmExport, 出库业务). The direction fixes the names, texts,
// rights, partner, price column and print template; the outbound window adds
// the sale price column and asks before a line takes a goods item's stock
// below zero.
//
// The window holds a new bill or a stored one (m_billId, shown in the hidden
// txt_id), the bill's partner (m_partnerId, shown in the hidden partner id
// box), the audit state it last read or wrote (m_audited, shown by the
// toolbar button "pass" as 审核 / 反审 and by the stamp images), and each
// line's ids in its grid row (BillLineIds); saving, auditing and deleting
// read these, never a widget's text, and the store checks the stored state
// again inside its transaction.
class frmBill : public QWidget
{
    Q_OBJECT
  public:
    explicit frmBill(BillDirection direction, QWidget* parent = nullptr);
    ~frmBill() override;

    // Loads a stored bill; a missing or unreadable one shows the error and
    // leaves a new empty bill. Nothing of the window changes before the bill
    // has been read whole. Over unsaved changes the clerk is asked first, and
    // No keeps the window as it is.
    void LoadBill(int int_Id);
    // Empties the window for a new bill to this partner (asking first, as LoadBill).
    void NewBillFor(int partnerId, const QString& partnerName);

    void new_Bill();
    void vsBill_init(const RecordSetPtr& rs = {});
    void set_PassInfor(int ispass);
    void InputBox_clear();
    void set_totalAmount(int row);
    void save_Bill();
    void Form_Pass();
    void delete_Bill();
    void print_Bill();
    void searchGoods(const QString& keyWord = {});
    void addGoodsInforToVg(const m_goods_detail& goods, int row, bool isAddRow = false);
    void Batch_setLocation(const m_location& location);
    void toolbarClicked(const QString& key);
    // The ids of the line in a grid row; all 0 for a row without.
    BillLineIds lineIds(int row) const;

    // Where the outbound entry reads a goods item's live stock balance (in
    // pieces); nullopt asks nothing. Tests and the stock computation set it.
    using StockProbe = std::function<std::optional<Decimal>(int goodsId)>;
    static void SetStockProbe(StockProbe probe);

    const BillSetup& direction() const { return m_store.direction(); }
    bool isOutbound() const { return direction().direction == BillDirection::Out; }

    // Controls; each carries its member's name as object name, so tests find it.
    QToolBar* utoolbar = nullptr;
    QAction* passAction = nullptr;
    QLabel* img_pass = nullptr;
    QLabel* img_nopass = nullptr;
    QLineEdit* txt_id = nullptr;
    QLineEdit* txt_partnerName = nullptr; // txt_supplierName / txt_customerName
    QLineEdit* txt_partnerId = nullptr;   // txt_supplierId / txt_customerId
    QPushButton* btn_searchPartner = nullptr;
    QComboBox* cobo_accountType = nullptr;
    QComboBox* cobo_billType = nullptr; // cobo_importType / cobo_exportType
    QLineEdit* txt_billNo = nullptr;
    QLineEdit* txt_ubillNo = nullptr;
    QPlainTextEdit* txt_remark = nullptr;
    QDateEdit* dt_createDate = nullptr;
    QLineEdit* txt_creator = nullptr;
    FlexGrid* vs_bill = nullptr; // vs_import / vs_export
    QPushButton* btn_addRow = nullptr;
    QPushButton* btn_DeleteRow = nullptr;
    QLineEdit* txt_GoodsCode = nullptr;
    QLineEdit* txt_goodsId = nullptr;
    QPushButton* btn_searchGoods = nullptr;
    QLineEdit* txt_Qty = nullptr;
    QLineEdit* txt_price = nullptr; // txt_inPrice / txt_salePrice
    QComboBox* cobo_location = nullptr;
    QLineEdit* txt_BillAmount = nullptr;
    QLabel* lb_NoGoods = nullptr;
    QMenu* vs_pop_menu = nullptr;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    // The grid's columns, found by their keys (setGridFormat); price is the
    // column of the direction's price, salePrice -1 inbound.
    struct Cols {
        int rowNo = -1, selected = -1, id = -1, goodsId = -1, goodsTypeId = -1, goodsCode = -1,
            goodsDetailCode = -1, goodsName = -1, goodsDesc = -1, goodsTypeName = -1, unit = -1, packQty = -1,
            weight = -1, inPrice = -1, salePrice = -1, price = -1, qty = -1, amount = -1, locationId = -1,
            locationCode = -1, lotNo = -1, remark = -1, count = 0;
        static Cols Of(const FlexGrid& grid, const BillSetup& direction);
    };
    void buildWindow();
    QWidget* buildTitleBand();
    void buildToolbar();
    QWidget* buildHead();
    void buildGrid();
    QWidget* buildGridTools();
    QWidget* buildEntryStrip();
    void setGridFormat();
    void loadLists();
    bool keyDown(int key, Qt::KeyboardModifiers mods);
    // The control of this window that the keys reach: the window's own focus
    // control, whether or not the system calls the window active.
    QWidget* focusControl() const;
    // Puts the focus into control and activates the window, as after a dialog.
    void focusBack(QWidget* control);
    void goodsEnter();
    void searchPartner();
    void batchLocation();
    void paintRequired();
    void vsBill_Resize();
    bool askNegativeStock(const m_goods_detail& goods, double qty);
    // Leaves the code in the code box selected, so the next scan replaces it.
    void keepCode();
    // The bill as the clerk entered it (head and lines, numbers by value).
    QString billContent() const;
    void markSaved();
    // Whether the window holds what the clerk typed since the bill was begun,
    // loaded or saved.
    bool hasUnsavedChanges() const;
    // True when nothing unsaved would be lost, or the clerk agrees to lose it.
    bool mayDiscard();
    // Ctrl+A and 新增: an empty new bill, after mayDiscard.
    void newBillAsked();
    // The goods item's price a new line takes: the sale price where the bill has one.
    double& linePrice(m_goods_detail& goods) const;
    bool rowHasGoods(int row) const;
    void setLineIds(int row, const BillLineIds& ids);
    // The text a cell of column col shows of a stored figure.
    QString figureText(int col, double value) const;
    // The stored figure a cell still shows, if it shows one (BillLineIds).
    std::optional<double> storedFigure(int row, int col) const;
    // The figure of a number cell: the stored one it shows, else its text's number.
    double cellFigure(int row, int col) const;
    // Whether a quantity or price cell can be saved; shows the refusal if not.
    bool checkFigure(int row, int col, const QString& word, const QString& title);
    void setBillId(std::optional<int> id);
    void setPartnerId(std::optional<int> id);
    // The steps of a save: the head's and the lines' checks (each shows its
    // refusal and answers false), the records from what the window shows,
    // and the window brought up to the stored bill.
    bool checkHeadForSave(const QString& title);
    bool checkLinesForSave(const QString& title);
    BillHead headForSave() const;
    QList<BillLine> linesForSave(QList<int>& rows) const;
    void showSaved(const BillHead& head, const QList<BillLine>& lines, const QList<int>& rows);

    BillStore m_store;
    // The change stamp the stored bill was loaded with; its save is refused
    // when the bill was changed elsewhere since.
    int m_rowVersion = 0;
    // The stored bill the window holds; none for a new bill.
    std::optional<int> m_billId;
    // The bill's partner; none for a new bill until one is picked.
    std::optional<int> m_partnerId;
    // The packing unit the goods picker chose for the code in the code box;
    // 0 when the code was typed.
    int m_pickedUnitId = 0;
    // The audit state of the bill as last read or written.
    bool m_audited = false;
    Cols c;
    std::unique_ptr<uvg> m_uvg;
    bool m_inTotal = false;
    bool m_codeKept = false;
    QString m_savedContent;
    static StockProbe s_stockProbe;
};

// 入库业务
class frmImport : public frmBill
{
    Q_OBJECT
  public:
    explicit frmImport(QWidget* parent = nullptr) : frmBill(BillDirection::In, parent) {}
    // A new bill for the supplier picked in the partner window (0 and an empty
    // name: no supplier).
    Q_INVOKABLE void Import_Add(int int_supplierId, const QString& str_supplierName = {})
    {
        NewBillFor(int_supplierId, str_supplierName);
    }
    // Opens the stored bill (the bill reports).
    Q_INVOKABLE void GetRK_Infor(int int_Id) { LoadBill(int_Id); }
};

// 出库业务
class frmExport : public frmBill
{
    Q_OBJECT
  public:
    explicit frmExport(QWidget* parent = nullptr) : frmBill(BillDirection::Out, parent) {}
    Q_INVOKABLE void Export_Add(int int_customerId, const QString& str_customerName = {})
    {
        NewBillFor(int_customerId, str_customerName);
    }
    Q_INVOKABLE void GetCK_Infor(int int_Id) { LoadBill(int_Id); }
};

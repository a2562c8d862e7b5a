#pragma once

#include "BillDirection.h"
#include "KeyedTree.h"
#include "RecordSet.h"
#include "dal_customer.h"
#include "dal_dictionary.h"
#include "m_condition.h"
#include "m_customer.h"

#include <QWidget>

class FlexGrid;
class QAction;
class QComboBox;
class QGridLayout;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QRadioButton;
class QToolBar;
class QTreeWidget;
class QTreeWidgetItem;

// Suppliers and customers (往来单位): the category tree on the left (the fixed
// partner kinds or the user's own categories), the partner list, and below it
// the edit panel of one partner. The list's pop-up menu starts a new inbound
// or outbound bill for a partner.
class frm_customer : public QWidget
{
    Q_OBJECT

  public:
    explicit frm_customer(QWidget* parent = nullptr);

    // The column positions of the list, 0 to 14.
    void setDgColForList();
    // Refills the list from a search result (rs is released).
    void vsCustomerList_init(RecordSetPtr uRecordset);
    void ClearForm();
    // "禁用" 0, "启用" 1, anything else 0.
    static int GetStatusId(const QString& str_typeName);
    // "供应商" 0, "客户" 1, "两者都是" 2, anything else 0.
    static int GetTypeId(const QString& str_typeName);
    void vsCustomerList_Resize();

    void btn_search_Click();
    void btn_CustomerAdd_Click();
    void btn_CustomerCopy_Click();
    void btn_CustomerSave_Click();
    void btn_CustomerDelete_Click();
    void export_CustomerList();
    // Runs the toolbar button with this key.
    void utoolbar_ButtonClick(const QString& key);
    // Chooses the fixed (0) or the custom (1) tree, then searches.
    void Opt_treeType_Click(int index);

    // A node's key ("key_12") and the key of its image ("book", "open", "close").
    static QString nodeKey(const QTreeWidgetItem* node);
    static QString nodeImage(const QTreeWidgetItem* node);
    QTreeWidgetItem* findNode(const QString& strKey) const;

    FlexGrid* list() const { return vsCustomerList; }
    QTreeWidget* tree() const { return tv_type; }
    QMenu* listMenu() const { return vs_pop_menu; }
    QMenu* treeMenu() const { return tv_pop; }
    // Sets the list's menu entries as a right click on the current row would;
    // false when that row holds no partner (no menu then).
    bool prepareListMenu();

    // Column positions (setDgColForList).
    int dgCol_no = 0, dgCol_check = 0, dgCol_id = 0, dgCol_status = 0, dgCol_type = 0, dgCol_customType = 0,
        dgCol_code = 0, dgCol_name = 0, dgCol_contact = 0, dgCol_tel = 0, dgCol_fax = 0, dgCol_address = 0,
        dgCol_company = 0, dgCol_creator = 0, dgCol_createTime = 0;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void buildWindow();
    void buildToolbar();
    QWidget* buildSearchStrip();
    void buildTree();
    void buildList();
    void buildEditPanel();
    QGridLayout* buildFields();
    QHBoxLayout* buildPanelButtons();
    void load_CustomerList();
    void vsCustomerList_Click();
    void vsCustomerList_AfterSort();
    void vsCustomerList_MouseDown(Qt::MouseButton button, int x, int y);
    void set_CheckRows(int mode);
    void startBill(BillDirection direction);
    void load_CustomTypeCombo();
    void load_FixedTypeTree();
    void load_CustomTypeTree();
    void load_CustomTypeChildNodes(QTreeWidgetItem* node);
    void addCategoryNodes(QTreeWidgetItem* node, int parentId);
    void tv_type_NodeClick(QTreeWidgetItem* node);
    void menu_customTypeMg_Click();
    void cobo_status_Click();
    void selectComboText(QComboBox* combo, const QString& text, bool keepStored);
    void reselect(int id);
    int currentRowId() const;

    QToolBar* utoolbar = nullptr;
    QRadioButton* Opt_treeType[2] = {nullptr, nullptr};
    QLineEdit* txt_TreeType = nullptr;
    QLineEdit* txt_KeyWord = nullptr;
    QPushButton* btn_search = nullptr;
    QLabel* lb_rowCount = nullptr;
    QPushButton* btn_checkall = nullptr;
    QPushButton* btn_check = nullptr;
    QTreeWidget* tv_type = nullptr;
    QMenu* tv_pop = nullptr;
    FlexGrid* vsCustomerList = nullptr;
    QMenu* vs_pop_menu = nullptr;
    QAction* menu_customer_delete = nullptr;
    QAction* menu_import_Add = nullptr;
    QAction* menu_export_Add = nullptr;
    QWidget* pic_goods_detail = nullptr;
    QLineEdit* txt_id = nullptr;
    QLineEdit* txt_Name = nullptr;
    QLineEdit* txt_customerCode = nullptr;
    QLineEdit* txt_companyName = nullptr;
    QLineEdit* txt_contact = nullptr;
    QLineEdit* txt_tel = nullptr;
    QLineEdit* txt_creator = nullptr;
    QLineEdit* txt_fax = nullptr;
    QLineEdit* txt_createTime = nullptr;
    QLineEdit* txt_email = nullptr;
    QLineEdit* txt_address = nullptr;
    QLineEdit* txt_taxNumber = nullptr;
    QLabel* lab_status = nullptr;
    QComboBox* cobo_status = nullptr;
    QLineEdit* txt_bankName = nullptr;
    QComboBox* cobo_TypeName = nullptr;
    QLineEdit* txt_bankAccount = nullptr;
    QComboBox* cobo_CustomTypeName = nullptr;
    QPushButton* btn_CustomerSave = nullptr;
    QPushButton* btn_CustomerAdd = nullptr;
    QPushButton* btn_CustomerCopy = nullptr;
    QPushButton* btn_CustomerDelete = nullptr;

    KeyedTree m_tree;
    dal_customer m_dal;
    dal_dictionary m_dalDictionary;
    m_customer m_current;
    m_conditions m_searchConditions;
    bool m_filling = false;
};

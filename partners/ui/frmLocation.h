#pragma once

#include "KeyedTree.h"
#include "dal_location.h"
#include "m_location.h"

#include <QWidget>

class QAction;
class QCheckBox;
class QLabel;
class QLineEdit;
class QListView;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QStackedWidget;
class QStandardItemModel;
class QToolBar;
class QTreeView;
class QTreeWidget;
class QTreeWidgetItem;

// The storage locations (库位信息): the location tree on the left, the edit
// panel of one location in the middle, and on the right the children of the
// chosen node, searched by keyword. Tree nodes are keyed "key_" + the
// location's id and show its code; "key_0" is the root.
class frmLocation : public QWidget
{
    Q_OBJECT

  public:
    explicit frmLocation(QWidget* parent = nullptr);

    // Loads one location into the edit panel (an empty panel for 0 or a missing one).
    void show_LocationInfor(int int_Id);
    void clear_LocationInfor();
    void save_LocationInfor();
    void delete_LocationInfor();
    // Marks the chosen entry of the 视图 menu with "●".
    void select_view(const QString& key_str);

    // Keeping the tree in step with the database after a save or delete.
    void tv_AddNode(int int_nodeId, int int_parentId, QTreeWidget* tv, const QString& str_Text,
                    const QString& str_Ico);
    void tv_UpdateNode(int int_nodeId, int int_parentId, QTreeWidget* tv, const QString& str_Text);
    void tv_DeleteNode(int int_nodeId, QTreeWidget* tv);
    bool tv_FindKey(QTreeWidget* tv, const QString& strKey) const;

    // Runs the toolbar button, or the 视图 entry, with this key.
    void utoolbar_ButtonClick(const QString& key);
    void utoolbar_ButtonMenuClick(const QString& key);

    // A node's key ("key_12") and the key of its image ("location", "open", "close").
    static QString nodeKey(const QTreeWidgetItem* node);
    static QString nodeImage(const QTreeWidgetItem* node);
    static QTreeWidgetItem* findNode(QTreeWidget* tv, const QString& strKey);

    QTreeWidget* tree() const { return tv_Location; }
    QMenu* nodeMenu() const { return node_edit; }
    QMenu* viewMenu() const { return view_menu; }
    // The list's rows as shown (item text first, then the six other columns).
    QStandardItemModel* listModel() const { return m_list; }
    // The view showing the list now: the report view or the icon/list view.
    QWidget* currentListView() const;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void buildWindow();
    void buildToolbar();
    void buildTree();
    void buildEditPanel();
    void layOutEditPanel();
    void buildSearchStrip();
    void buildList();
    void load_LocationTree();
    void load_LocationChildNodes(QTreeWidgetItem* node);
    void addChildNodes(QTreeWidgetItem* node, int parentId);
    void btn_search_Click();
    void fill_LocationList(const RecordSetPtr& rs);
    void tv_Location_NodeClick(QTreeWidgetItem* node);
    void lstView_LocationDetail_Click();
    void lstView_LocationDetail_ColumnClick(int column);
    void menu_refresh_Click();
    void menu_add_Click();
    void btn_setParent_Click();
    void btn_clearParent_Click();

    QToolBar* utoolbar = nullptr;
    QMenu* view_menu = nullptr;
    QTreeWidget* tv_Location = nullptr;
    QMenu* node_edit = nullptr;
    QWidget* user_infor = nullptr;
    QLineEdit* txt_Name = nullptr;
    QLineEdit* txt_locationCode = nullptr;
    QLineEdit* txt_capacity = nullptr;
    QLineEdit* txt_parentLocationCode = nullptr;
    QPushButton* btn_clearParent = nullptr;
    QPushButton* btn_setParent = nullptr;
    QPlainTextEdit* txt_remark = nullptr;
    QCheckBox* chk_start = nullptr;
    QCheckBox* chk_virtual = nullptr;
    QCheckBox* chk_lock = nullptr;
    QLineEdit* txt_id = nullptr;
    QLineEdit* txt_parentId = nullptr;
    QWidget* picBox_search = nullptr;
    QLineEdit* txt_KeyWord = nullptr;
    QPushButton* btn_search = nullptr;
    QLabel* lb_rowCount = nullptr;
    QStackedWidget* lstView_LocationDetail = nullptr;
    QTreeView* lstView_report = nullptr;
    QListView* lstView_icons = nullptr;
    QStandardItemModel* m_list = nullptr;

    bool m_sorted = false;
    int m_sortColumn = 0;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;

    KeyedTree m_tree;
    dal_location objDal_location;
    m_location objModel_current;
};

#pragma once

#include "KeyedTree.h"
#include "dal_dictionary.h"
#include "m_dictionary.h"

#include <QList>
#include <QWidget>

class QCheckBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QToolBar;
class QTreeWidget;
class QTreeWidgetItem;

// The category dictionary: six trees of items (goods types, departments,
// inbound and outbound types, account tags, partner categories), one chosen
// by the type buttons on the left, and an edit panel for one item.
// Tree nodes are keyed "key_" + the item's id; "key_0" is the type's root.
class frm_dictionary : public QWidget
{
    Q_OBJECT

  public:
    explicit frm_dictionary(QWidget* parent = nullptr);

    // What a click on type button uId (0 to 5) does.
    void init(int uId);
    // Marks type button uId: 11 point bold, the others 9 point.
    void setTypeCtl(int uId);
    // Loads one item into the edit panel (an empty panel for 0 or a missing item).
    void show_DictionaryInfor(int int_Id);

    void save_DictionaryInfor();
    void delete_DictionaryInfor();
    void clear_DictionaryInfor();
    // Runs the toolbar button with this key: add, save, delete, close.
    void utoolbar_ButtonClick(const QString& key);

    // Keeping a tree in step with the database after a save or delete.
    void tv_AddNode(int int_nodeId, int int_parentId, QTreeWidget* tv, const QString& str_Text,
                    const QString& str_Ico);
    void tv_UpdateNode(int int_nodeId, int int_parentId, QTreeWidget* tv, const QString& str_Text);
    void tv_DeleteNode(int int_nodeId, QTreeWidget* tv);
    bool tv_FindKey(QTreeWidget* tv, const QString& strKey) const;

    // A node's key ("key_12") and the key of its image ("All", "open", "close").
    static QString nodeKey(const QTreeWidgetItem* node);
    static QString nodeImage(const QTreeWidgetItem* node);
    static QTreeWidgetItem* findNode(QTreeWidget* tv, const QString& strKey);

    QTreeWidget* tree() const { return tv_dictionary; }
    QMenu* nodeMenu() const { return node_edit; }
    QPushButton* typeButton(int index) const { return btn_utype.value(index); }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void btn_utype_Click(int index);
    void load_DictionaryTree(int index);
    void load_DictionaryChildNodes(QTreeWidgetItem* node);
    void addNodes(QTreeWidgetItem* parent, const QString& type, int parentId);
    void tv_dictionary_NodeClick(QTreeWidgetItem* node);
    void menu_add_Click();
    void btn_setParent_Click();
    void btn_clearParent_Click();

    QList<QPushButton*> btn_utype;
    QToolBar* utoolbar = nullptr;
    QTreeWidget* tv_dictionary = nullptr;
    QMenu* node_edit = nullptr;
    QWidget* dictionary_Infor = nullptr;
    QLineEdit* txt_id = nullptr;
    QLineEdit* txt_Name = nullptr;
    QLineEdit* txt_parentName = nullptr;
    QPlainTextEdit* txt_remark = nullptr;
    QCheckBox* chk_start = nullptr;
    QLineEdit* txt_parentId = nullptr;
    QLineEdit* txt_selectType = nullptr;
    QPushButton* btn_clearParent = nullptr;
    QPushButton* btn_setParent = nullptr;

    KeyedTree m_tree;
    dal_dictionary m_dal;
    m_dictionary m_current;
};

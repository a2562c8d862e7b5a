#pragma once

#include "KeyedTree.h"
#include "dal_dictionary.h"

#include <QList>
#include <QString>
#include <QWidget>

class QMenu;
class QPushButton;
class QToolBar;
class QTreeWidget;
class QTreeWidgetItem;

// The rights of the departments: the department tree on the left, the three
// kinds of right (functions, storage locations, account tags) in the middle,
// and on the right the possible rights of the chosen kind, checked where the
// chosen department holds them. Saved rights reach a logged-in user at the
// next login or rights refresh.
class frm_department_fun : public QWidget
{
    Q_OBJECT

  public:
    explicit frm_department_fun(QWidget* parent = nullptr);

    // Marks right-kind button uId: 11 point bold, the others 9 point.
    void setTypeCtl(int uId);
    // What a click on right-kind button uId (0 to 2) does.
    void init(int uId);
    // Runs the toolbar button with this key: save, funRefresh, close.
    void utoolbar_ButtonClick(const QString& key);

    QTreeWidget* departmentTree() const { return tv_department; }
    QTreeWidget* rightsTree() const { return tv_funTree; }
    QMenu* nodeMenu() const { return node_edit; }
    QPushButton* typeButton(int index) const { return btn_utype.value(index); }
    static QString nodeKey(const QTreeWidgetItem* node);
    static QString nodeImage(const QTreeWidgetItem* node);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void load_DepartmentTree();
    void load_DepartmentChildNodes(QTreeWidgetItem* node);
    void load_FunTree(int index);
    void set_SubtreeChecked(QTreeWidgetItem* node, bool flag);
    void save_DepartmentFun();
    void funRefresh();
    void btn_utype_Click(int index);
    void tv_department_NodeClick(QTreeWidgetItem* node);
    void tv_funTree_NodeCheck(QTreeWidgetItem* node);
    void selectAll(bool flag);
    void addDepartments(QTreeWidgetItem* parent, int parentId);
    int selectedDepartment(bool* found) const;
    void setImage(QTreeWidgetItem* node, const QString& image) const;

    QToolBar* utoolbar = nullptr;
    QTreeWidget* tv_department = nullptr;
    QList<QPushButton*> btn_utype;
    QTreeWidget* tv_funTree = nullptr;
    QMenu* node_edit = nullptr;
    int m_typeIndex = 0;
    QString m_typeTag;
    KeyedTree m_tree;
    dal_dictionary m_dal;
};

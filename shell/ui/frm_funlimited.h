#pragma once

#include "uTreeView.h"

#include <QWidget>

class QComboBox;
class QLabel;
class QLineEdit;
class QToolBar;
class QTreeWidget;
class QTreeWidgetItem;

// "权限设置": the user groups (tb_Usergrp) and the menu nodes each group is
// granted (tb_sysuserfun over the menu tree tb_sysmenu). Every action of the
// toolbar is itself checked against the grants of CurrentUsergrpId.
class frm_funlimited : public QWidget
{
    Q_OBJECT
  public:
    explicit frm_funlimited(QWidget* parent = nullptr);

    // Runs the toolbar button with this key ("add_usergrp", "save_usergrp",
    // "del_usergrp", "save_limited", "Expanded", "NotExpanded", "close").
    void Toolbar_ButtonClick(const QString& key);
    // Chooses the group of that name in the chooser and loads its grants.
    void chooseGroup(const QString& name);
    // The id stored with the chooser: -1 while no group is chosen, 0 for a
    // name that matches no group.
    int chosenGroupId() const { return m_groupId; }
    // Copies a listed group into the group fields, as a double-click does.
    void listview_DblClick(QTreeWidgetItem* item);
    void listview_ColumnClick(int column);

    void load_UsergrpList();
    void load_UsergrpCombo();
    void clear_UsergrpInfor();
    void save_Usergrp();
    void delete_Usergrp();
    void save_Limited();

  private:
    void cobo_usergrp_Click();
    void tv_limited_NodeCheck(QTreeWidgetItem* item);
    void setNodeImage(QTreeWidgetItem* item, const QString& image);
    void showError(const QString& text);

    QToolBar* tbToolBar = nullptr;
    QTreeWidget* listview_usergrp = nullptr;
    QLineEdit* txt_id = nullptr;
    QLineEdit* txt_name = nullptr;
    QLineEdit* txt_remark = nullptr;
    QComboBox* cobo_usergrp = nullptr;
    QTreeWidget* tv_limited = nullptr;
    QLabel* lbl_notice = nullptr;
    uTreeView m_tree;
    int m_groupId = -1;
    bool m_listDescending = false;
};

#pragma once

#include "dal_user.h"
#include "m_user.h"

#include <QWidget>

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListView;
class QMenu;
class QSortFilterProxyModel;
class QStackedWidget;
class QStandardItemModel;
class QToolBar;
class QTreeView;

// The users of the program: the list of every user on the right, one user in
// the edit panel on the left. New users start with the initial password.
class frm_user : public QWidget
{
    Q_OBJECT

  public:
    explicit frm_user(QWidget* parent = nullptr);

    // Marks the chosen entry of the 视图 drop-down with "●" (key detail_view,
    // ico_view, list_view or smallico_view); the list's style stays.
    void select_view(const QString& key_str);
    // Runs the toolbar button with this key (add_user, save_user, delete_user,
    // refresh, close) or the view entry with this key.
    void utoolbar_ButtonClick(const QString& key);

    QTreeView* reportView() const { return m_report; }
    QListView* iconView() const { return m_icons; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void buildWindow();
    void buildToolbar();
    void buildPanel();
    void buildList();
    void load_UserList();
    void load_DepartmentCombo();
    void clear_UserInfor();
    void save_User();
    void delete_User();
    void show_SelectedUser();
    void setViewStyle(const QString& key);
    void sortByColumn(int column);

    QLabel* Label1 = nullptr;
    QToolBar* utoolbar = nullptr;
    QMenu* m_viewMenu = nullptr;
    QWidget* user_infor = nullptr;
    QLineEdit* txt_Name = nullptr;
    QComboBox* cobo_sex = nullptr;
    QComboBox* cobo_usergrp = nullptr;
    QCheckBox* chk_start = nullptr;
    QLineEdit* txt_id = nullptr;
    QLabel* Label2 = nullptr;
    QStackedWidget* listview_user = nullptr;
    QTreeView* m_report = nullptr;
    QListView* m_icons = nullptr;
    QStandardItemModel* m_model = nullptr;
    QSortFilterProxyModel* m_sorted = nullptr;
    bool m_sortDescending = false;

    dal_user m_dal;
    m_user m_current;
};

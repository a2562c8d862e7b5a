#pragma once

#include <QDialog>
#include <QList>

class QPushButton;
class QStackedWidget;
class QTabBar;
class QTreeWidget;
class QTreeWidgetItem;

// The maintenance dialog "选项": backup, compaction, emptying chosen data
// groups and initialising the database. Every emptying and the initialisation
// first make a silent backup and go ahead only when it succeeded; each data
// group, and the whole initialisation, is emptied in one transaction.
class frmOptions : public QDialog
{
    Q_OBJECT
  public:
    explicit frmOptions(QWidget* parent = nullptr);

    // False when the department lacks the right "optionset": the window then
    // closes during its load (after the rights check's message).
    bool isLoaded() const { return m_loaded; }
    int exec() override;

    // Every node of the data-group tree checked (true) or unchecked (false).
    void set_AllChecked(bool checked);
    // The data-group tree's node with this key ("key_0", "tb_goods" ...).
    QTreeWidgetItem* node(const QString& key) const;
    // The panel in view: 0 系统初始化, 1 数据管理.
    int currentTab() const;
    void selectTab(int index);

    void cmd_clear_Click();
    void cmd_clearAll_Click();
    void cmd_copyData_Click();
    void cmd_ysData_Click();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    void load_DbTableTree();
    void tbsOptions_Click(int index);
    void tv_db_table_NodeCheck(QTreeWidgetItem* item);
    // Empties one data group; false stops the clearing (a refusal or an error, already shown).
    bool clearGroup(const QString& key, bool& cleared);

    QTabBar* tbsOptions = nullptr;
    QStackedWidget* m_pages = nullptr;
    QList<QWidget*> picOptions;
    QTreeWidget* tv_db_table = nullptr;
    QList<QTreeWidgetItem*> m_nodes; // in node order
    bool m_loaded = false;
    bool m_centred = false;
};

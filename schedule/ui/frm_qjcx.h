#pragma once

#include <QDialog>

class QCheckBox;
class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QTreeWidget;
class QDate;

// Opens the schedule list for one day, or for all days (day null).
void OpenScheduleList(QWidget* owner, const QDate* day);

// The schedule list, paged in the database.
class frm_qjcx : public QDialog
{
    Q_OBJECT
  public:
    explicit frm_qjcx(QWidget* parent = nullptr);
    ~frm_qjcx() override;

    void btn_search_Click();
    void load_listView();
    QString GetCheckItemID() const;
    void Check_All(bool isCheck);

    QDateEdit* dt_time;
    QCheckBox* chk_date;
    QLineEdit* txt_KeyWord;
    QPushButton* btn_search;
    QTreeWidget* listview_List;
    QCheckBox* CheckAll;
    QLabel* lab_recordCount;
    QComboBox* comb_pageSize;
    QLineEdit* txt_PageIndex;
    QLineEdit* txt_MaxPageIndex;
    QPushButton* btn_FirstPage;
    QPushButton* btn_PrevPage;
    QPushButton* btn_NextPage;
    QPushButton* btn_LastPage;
    QMenu* menu_pop;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* e) override;

  private:
    void updatePager(int pageIndex, int count);
    void goPage(int page);
    void deleteCurrent();
    void deleteChecked();
    void openCurrent();

    int m_orderColumn = 3; // the list's column the list is ordered by: the time
    bool m_isDesc = true;
    bool IsLoad = false;
    QWidget* m_pager = nullptr;
};

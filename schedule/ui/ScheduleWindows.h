#pragma once

#include <QDateTime>
#include <QDialog>
#include <functional>

class MonthCalendar;
class QCheckBox;
class QComboBox;
class QDateEdit;
class QDateTimeEdit;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QTreeWidget;

// Ends the program at once and in order: the shared record sets and the
// connection are closed, then every event loop is left. Tests replace the
// last step.
void EndScheduleProgram();
void SetScheduleQuitHook(std::function<void()> hook);

// Opens the entry editor for a new entry at start, or for a stored entry
// (id above 0); answers whether an entry was saved.
bool OpenEventEditor(QWidget* owner, const QDateTime& start, int id = 0);
// Opens the schedule list for one day, or for all days (day null).
void OpenScheduleList(QWidget* owner, const QDate* day);

// The schedule manager's calendar window, shown modally from the main frame.
class FrmCalendar : public QDialog
{
    Q_OBJECT
  public:
    explicit FrmCalendar(QWidget* parent = nullptr);
    ~FrmCalendar() override;

    // The open calendar window, if any (the editor and the list redraw its marks).
    static FrmCalendar* current();
    void load_Events();
    MonthCalendar* calendar() const { return m_calendar; }

  protected:
    bool event(QEvent* e) override;

  private:
    MonthCalendar* m_calendar;
};

// The entry editor.
class frmEvents : public QDialog
{
    Q_OBJECT
  public:
    explicit frmEvents(QWidget* parent = nullptr);
    void load_EventsContent();

    QDateTimeEdit* dt_time;
    QComboBox* comb_flgtype;
    QCheckBox* chk_start;
    QPlainTextEdit* txt_content;
    QLineEdit* txt_id;
    QPushButton* btn_Save;

    bool saved() const { return m_saved; }
    bool wasUpdate() const { return m_wasUpdate; }

  private:
    void save();
    bool m_saved = false;
    bool m_wasUpdate = false;
};

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

    QString m_orderField = QStringLiteral("createTime");
    bool m_isDesc = true;
    bool IsLoad = false;
    QWidget* m_pager = nullptr;
};

// The floating window that stands in for a hidden calendar window.
class FrmShowMin : public QWidget
{
    Q_OBJECT
  public:
    explicit FrmShowMin(QWidget* parent = nullptr);
    QMenu* menu_pop;
    void showMainWindow(); // "主窗口"

  protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

  private:
    QPoint m_dragFrom;
    bool m_dragged = false;
};

// The lock screen: only the logged-in user's password lets the user go on.
class FrmLockSystem : public QDialog
{
    Q_OBJECT
  public:
    explicit FrmLockSystem(QWidget* parent = nullptr);
    QLineEdit* utxtPassword;
    QComboBox* utxtuser;
    QPushButton* B_OK;
    void unlock();

  protected:
    void keyPressEvent(QKeyEvent* e) override;
    void reject() override;
    bool eventFilter(QObject* watched, QEvent* event) override;
};

// The older free-standing calendar main window.
class frmMain : public QWidget
{
    Q_OBJECT
  public:
    explicit frmMain(QWidget* parent = nullptr);
    // The single instance (made on first use).
    static frmMain* instance();
    // Whether another running copy of the program holds the program folder.
    static bool AnotherCopyRunning();
    void shrink();
    MonthCalendar* calendar() const { return m_calendar; }

  protected:
    void closeEvent(QCloseEvent* e) override;

  private:
    void toolbarKey(const QString& key);
    MonthCalendar* m_calendar;
};

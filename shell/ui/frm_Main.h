#pragma once

#include <QMainWindow>
#include <QPointer>
#include <memory>

class QLabel;
class QLockFile;
class QMdiArea;
class QMenu;
class QToolBar;
class frmLogin;

// The program's main frame: a toolbar whose buttons open windows or pop up
// five menus, the business windows inside it, and a status bar. Every entry
// that opens a business window checks its function right first.
class frm_Main : public QMainWindow
{
    Q_OBJECT

  public:
    explicit frm_Main(QWidget* parent = nullptr);
    ~frm_Main() override;

    // Refuses a second running copy ("当前系统已打开!"), then shows the frame
    // and the login dialog. False when the program is to end: a copy is
    // already running, or the user chose to end it at the login.
    bool Start();
    // True when no other copy runs from this program folder; the lock is then held.
    bool LockInstance();
    static QString LockFileName();

    // The text of the status panel cur_userinfor.
    void SetUserInfor(const QString& text);
    // The status panels by key ("cur_userinfor", "comp_infor"; "" for the version panel).
    QLabel* Panel(const QString& key) const;
    QMdiArea* Area() const { return m_area; }

    // A toolbar button's action, by its key ("menu_ckMg", "menu_funRefresh", ...).
    void ToolbarClick(const QString& key);

    // The modeless window of that name, shown inside the frame (one instance).
    QWidget* ShowForm(const QString& name);

  protected:
    void closeEvent(QCloseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    enum class How { Front, LoadData, Init, Modal, Browser };

    void buildToolbar();
    void buildMenus();
    void buildStatusBar();
    void popMenu(QMenu* menu, const QString& buttonKey);
    void openGuarded(const QString& code, const QString& window, How how);
    void openWindow(const QString& window, How how);
    void runModal(const QString& window);
    void placeInside(QWidget* form);
    void funRefresh();
    // Tells the print tool the work area below the toolbar (SetPrintToolArea).
    void publishWorkArea();

    QToolBar* u_toolbar = nullptr;
    QMdiArea* m_area = nullptr;
    QLabel* m_panelVersion = nullptr;
    QLabel* m_panelUser = nullptr;
    QLabel* m_panelCompany = nullptr;
    QMenu* menu_ckMg = nullptr;
    QMenu* menu_report = nullptr;
    QMenu* menu_basic = nullptr;
    QMenu* menu_systemset = nullptr;
    QMenu* menu_help = nullptr;

    std::unique_ptr<QLockFile> m_lock;
    QPointer<frmLogin> m_login;
    bool m_ending = false;
};

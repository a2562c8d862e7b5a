#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class frm_Main;

// The login dialog the main frame shows at start. It cannot be closed before
// a login has succeeded; 取消 (and Esc) lead to the frame's exit question.
class frmLogin : public QDialog
{
    Q_OBJECT

  public:
    explicit frmLogin(frm_Main* mainFrame = nullptr);

    bool LoginSucceeded = false;

    // The file that keeps the name of the last user who logged in.
    static QString RememberFile();
    // Closes the dialog without a login: the program is ending.
    void EndWithoutLogin();

    void reject() override;

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void cmdOK_Click();
    void cmdCancel_Click();
    void loadRememberedUser();
    static void rememberUser(const QString& name);

    frm_Main* m_main;
    bool m_ending = false;
    QLabel* lblUser;
    QLabel* lblPassword;
    QLineEdit* txtUserName;
    QLineEdit* txtPassword;
    QPushButton* cmdOK;
    QPushButton* cmdCancel;
};

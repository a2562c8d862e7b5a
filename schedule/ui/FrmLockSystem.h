#pragma once

#include <QDialog>

class QComboBox;
class QLineEdit;
class QPushButton;

// The lock screen: only the logged-in user's password lets the user go on,
// and only while that user is enabled (启用), as at the login.
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

#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

// The logged-in user replaces their own password: the old one proves who
// they are, the new one is typed twice.
class FrmModifypwd : public QDialog
{
    Q_OBJECT

  public:
    explicit FrmModifypwd(QWidget* parent = nullptr);

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void B_OK_Click();

    QLabel* Label4;
    QLabel* Label2;
    QLabel* Label1;
    QLabel* Label5;
    QLineEdit* utxtuser;
    QLineEdit* utxtoldpwd;
    QLineEdit* utxtnewpwd;
    QLineEdit* utxtrepwd;
    QPushButton* B_OK;
    QPushButton* B_Back;
};

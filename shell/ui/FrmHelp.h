#pragma once

#include <QDialog>
#include <QLabel>

class QPlainTextEdit;
class QPushButton;

// A label that acts on a left click, like the clickable labels of the about box.
class ClickLabel : public QLabel
{
    Q_OBJECT
  public:
    explicit ClickLabel(QWidget* parent = nullptr);

  signals:
    void clicked();

  protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};

// The about box "关于我们": a welcome text and the maker's contact lines; the
// web site, mail and instant-messenger entries open through the desktop.
class FrmHelp : public QDialog
{
    Q_OBJECT
  public:
    // The maker's contact values shown by a variant of the box.
    struct Contacts {
        QString productName; // named in the welcome line
        QString webLabel;    // the web site as the label shows it
        QString webUrl;      // the address opened
        QString mail;
        QString telephones;
        QString qqNumber;
        QString qqSite; // host name in the instant-messenger link
    };

    explicit FrmHelp(QWidget* parent = nullptr);

    static Contacts LangdaiContacts();
    static QString WelcomeText(const QString& productName);
    // The instant-messenger chat link for a contact number.
    static QString QqLink(const QString& number, const QString& site);

    const Contacts& contacts() const { return m_contacts; }

  protected:
    FrmHelp(const Contacts& contacts, const QString& objectName, QWidget* parent);

  private:
    void build();
    void Labelhttp_Click();
    void Labelmailto_Click();
    void LabelQQ_Click();

    Contacts m_contacts;
    QPlainTextEdit* utxtinfor = nullptr;
    ClickLabel* Labelhttp = nullptr;
    ClickLabel* Labelmailto = nullptr;
    ClickLabel* LabelQQ = nullptr;
    ClickLabel* img_qq = nullptr;
    QPushButton* btn_close = nullptr;
};

// The second text variant of the about box, with its own product name and contacts.
class FrmHelpQZ : public FrmHelp
{
    Q_OBJECT
  public:
    explicit FrmHelpQZ(QWidget* parent = nullptr);

    static Contacts ChengyuContacts();
};

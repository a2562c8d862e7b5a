#include "FrmHelp.h"

#include "Launcher.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

ClickLabel::ClickLabel(QWidget* parent) : QLabel(parent)
{
    setCursor(Qt::PointingHandCursor);
}

void ClickLabel::mouseReleaseEvent(QMouseEvent* event)
{
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
}

namespace
{

// The instant-messenger picture: our own small drawing.
QPixmap qqPicture()
{
    QPixmap pm(24, 24);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(30, 30, 30));
    p.drawEllipse(QRectF(3, 1, 18, 22));
    p.setBrush(Qt::white);
    p.drawEllipse(QRectF(7, 8, 10, 13));
    p.setBrush(QColor(250, 180, 0));
    p.drawEllipse(QRectF(9, 6, 6, 3));
    return pm;
}

QLabel* plainLabel(const QString& name, const QString& text, QWidget* parent)
{
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    return l;
}

} // namespace

FrmHelp::Contacts FrmHelp::LangdaiContacts()
{
    return {QStringLiteral("朗岱管理系统"),
            QStringLiteral("www.example.com"),
            QStringLiteral("http://www.example.com"),
            QStringLiteral("service@example.com"),
            QStringLiteral("010-55550100  010-55550101"),
            QStringLiteral("10001"),
            QStringLiteral("www.example.com")};
}

FrmHelp::Contacts FrmHelpQZ::ChengyuContacts()
{
    return {QStringLiteral("澄屿管理系统"),           QStringLiteral("http://www.example.net"),
            QStringLiteral("http://www.example.net"), QStringLiteral("support@example.net"),
            QStringLiteral("020-55550199"),           QStringLiteral("10002"),
            QStringLiteral("www.example.net")};
}

QString FrmHelp::WelcomeText(const QString& productName)
{
    return QStringLiteral(
               "\n欢迎您使用%1,如果想了解更多的信息;\n请登陆我们的网站或根据以下方式与我们联系。\n")
        .arg(productName);
}

QString FrmHelp::QqLink(const QString& number, const QString& site)
{
    return QStringLiteral("http://wpa.example.com/msgrd?V=1&Uin=%1&Exe=QQ&Site=%2&Menu=yes")
        .arg(number, site);
}

FrmHelp::FrmHelp(QWidget* parent) : FrmHelp(LangdaiContacts(), QStringLiteral("FrmHelp"), parent) {}

FrmHelp::FrmHelp(const Contacts& contacts, const QString& objectName, QWidget* parent)
    : QDialog(parent), m_contacts(contacts)
{
    setObjectName(objectName);
    build();
}

FrmHelpQZ::FrmHelpQZ(QWidget* parent) : FrmHelp(ChengyuContacts(), QStringLiteral("FrmHelpQZ"), parent) {}

void FrmHelp::build()
{
    setWindowTitle(QStringLiteral("关于我们"));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);

    utxtinfor = new QPlainTextEdit(this);
    utxtinfor->setObjectName(QStringLiteral("utxtinfor"));
    utxtinfor->setReadOnly(true);
    utxtinfor->setFrameShape(QFrame::NoFrame);
    utxtinfor->setPlainText(WelcomeText(m_contacts.productName));
    utxtinfor->setFixedHeight(80);
    utxtinfor->viewport()->setAutoFillBackground(false);

    auto* Text1 = new QFrame(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setFrameShape(QFrame::HLine);
    Text1->setFrameShadow(QFrame::Sunken);

    const QString linkStyle = QStringLiteral("color: #0000ff; text-decoration: underline;");
    Labelhttp = new ClickLabel(this);
    Labelhttp->setObjectName(QStringLiteral("Labelhttp"));
    Labelhttp->setText(m_contacts.webLabel);
    Labelhttp->setStyleSheet(linkStyle);
    Labelmailto = new ClickLabel(this);
    Labelmailto->setObjectName(QStringLiteral("Labelmailto"));
    Labelmailto->setText(m_contacts.mail);
    Labelmailto->setStyleSheet(linkStyle);
    LabelQQ = new ClickLabel(this);
    LabelQQ->setObjectName(QStringLiteral("LabelQQ"));
    LabelQQ->setText(QStringLiteral("QQ: ") + m_contacts.qqNumber);
    LabelQQ->setStyleSheet(linkStyle);
    img_qq = new ClickLabel(this);
    img_qq->setObjectName(QStringLiteral("img_qq"));
    img_qq->setPixmap(qqPicture());

    btn_close = new QPushButton(QStringLiteral("关闭"), this);
    btn_close->setObjectName(QStringLiteral("btn_close"));

    auto* contacts = new QGridLayout;
    contacts->setHorizontalSpacing(6);
    contacts->addWidget(plainLabel(QStringLiteral("Label1"), QStringLiteral("网址:"), this), 0, 0);
    contacts->addWidget(Labelhttp, 0, 1);
    contacts->addWidget(plainLabel(QStringLiteral("Label6"), QStringLiteral("邮箱:"), this), 1, 0);
    contacts->addWidget(Labelmailto, 1, 1);
    contacts->addWidget(
        plainLabel(QStringLiteral("lab_tel"), QStringLiteral("联系电话:") + m_contacts.telephones, this), 2,
        0, 1, 2);
    auto* qqRow = new QHBoxLayout;
    qqRow->addWidget(img_qq);
    qqRow->addWidget(LabelQQ);
    qqRow->addStretch(1);
    contacts->addLayout(qqRow, 3, 0, 1, 2);
    contacts->setColumnStretch(1, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(btn_close);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(utxtinfor);
    layout->addWidget(Text1);
    layout->addLayout(contacts);
    layout->addStretch(1);
    layout->addLayout(buttons);
    resize(400, 280);

    connect(Labelhttp, &ClickLabel::clicked, this, &FrmHelp::Labelhttp_Click);
    connect(Labelmailto, &ClickLabel::clicked, this, &FrmHelp::Labelmailto_Click);
    connect(LabelQQ, &ClickLabel::clicked, this, &FrmHelp::LabelQQ_Click);
    connect(img_qq, &ClickLabel::clicked, this, &FrmHelp::LabelQQ_Click);
    connect(btn_close, &QPushButton::clicked, this, &QDialog::accept);
}

// A target the desktop cannot open is left alone: no message.
void FrmHelp::Labelhttp_Click()
{
    Launcher::OpenUrl(QUrl(m_contacts.webUrl));
}

void FrmHelp::Labelmailto_Click()
{
    Launcher::OpenUrl(QUrl(QStringLiteral("mailto:") + m_contacts.mail));
}

void FrmHelp::LabelQQ_Click()
{
    Launcher::OpenUrl(QUrl(QqLink(m_contacts.qqNumber, m_contacts.qqSite)));
}

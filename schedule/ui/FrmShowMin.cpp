#include "FrmShowMin.h"

#include "Clock.h"
#include "DialogRunner.h"
#include "FormHelpers.h"
#include "FrmLockSystem.h"
#include "Guarded.h"
#include "ScheduleHelpers.h"
#include "frmMain.h"

#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

using namespace ScheduleUi;

FrmShowMin::FrmShowMin(QWidget* parent)
    : QWidget(parent, Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::Tool)
{
    setObjectName(QStringLiteral("FrmShowMin"));
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
    auto* picMain = new QLabel(this);
    picMain->setObjectName(QStringLiteral("picMain"));
    picMain->setGeometry(0, 0, 48, 48);
    QPixmap face(48, 48);
    face.fill(Qt::transparent);
    {
        QPainter p(&face);
        p.setRenderHint(QPainter::Antialiasing);
        p.setBrush(QColor(30, 90, 170));
        p.setPen(Qt::NoPen);
        p.drawRoundedRect(2, 6, 44, 40, 6, 6);
        p.setBrush(Qt::white);
        p.drawRect(8, 16, 32, 24);
        p.setPen(QColor(192, 0, 0));
        QFont f = p.font();
        f.setBold(true);
        f.setPixelSize(16);
        p.setFont(f);
        p.drawText(QRect(8, 16, 32, 24), Qt::AlignCenter, QString::number(Clock::Today().day()));
    }
    picMain->setPixmap(face);
    picMain->setAttribute(Qt::WA_TransparentForMouseEvents);
    setFixedSize(48 + 2, 48);
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->geometry().width() / 2, TwipsToPixels(100, this));

    menu_pop = new QMenu(this);
    menu_pop->setObjectName(QStringLiteral("menu_pop"));
    QAction* exit = menu_pop->addAction(u"退出"_qs);
    exit->setObjectName(QStringLiteral("menu_exit"));
    QAction* main = menu_pop->addAction(u"主窗口"_qs);
    main->setObjectName(QStringLiteral("menu_frmain"));
    connect(exit, &QAction::triggered, this, [] { EndScheduleProgram(); });
    connect(main, &QAction::triggered, this, [this] { Guarded(this, [this] { showMainWindow(); }); });
}

void FrmShowMin::showMainWindow()
{
    frmMain* w = frmMain::instance();
    if (!w)
        return;
    w->show();
    w->raise();
    w->activateWindow();
    FrmLockSystem lock(w);
    DialogRunner::Exec(&lock);
}

void FrmShowMin::mousePressEvent(QMouseEvent* e)
{
    m_dragFrom = e->globalPosition().toPoint() - frameGeometry().topLeft();
    m_dragged = false;
}

void FrmShowMin::mouseMoveEvent(QMouseEvent* e)
{
    if (e->buttons() & Qt::LeftButton) {
        m_dragged = true;
        move(e->globalPosition().toPoint() - m_dragFrom);
    }
}

void FrmShowMin::mouseReleaseEvent(QMouseEvent* e)
{
    if (e->button() == Qt::LeftButton && !m_dragged)
        menu_pop->popup(mapToGlobal(QPoint(TwipsToPixels(80, this), height())));
}

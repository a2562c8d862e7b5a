#include "FrmCalendar.h"

#include "Clock.h"
#include "DialogRunner.h"
#include "FlexGrid.h"
#include "FrmLockSystem.h"
#include "FrmShowMin.h"
#include "Guarded.h"
#include "MonthCalendar.h"
#include "ScheduleHelpers.h"
#include "UpDown.h"
#include "WindowRegistry.h"
#include "frmEvents.h"
#include "frm_qjcx.h"

#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>

using namespace ScheduleUi;

namespace
{

QPointer<FrmCalendar> g_calendar;

} // namespace

FrmCalendar::FrmCalendar(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FrmCalendar"));
    setWindowTitle(u"日程管理"_qs);
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    g_calendar = this;

    m_calendar = new MonthCalendar(this, 1380);
    MonthCalendar* c = m_calendar;
    place(c->utxtYear, 20, 50, 1080);
    place(c->uUpDownYear, 1100, 50, 255);
    place(c->uCombMonth, 1400, 50, 1215);
    place(c->comb_ViewType, 2640, 50, 1215);
    place(c->btn_reset, 3900, 50, 975);
    place(c->btn_today, 4890, 50, 610);

    // Commands kept hidden: nothing in the window shows them.
    auto* btn_lock = makeButton(this, "btn_lock", u"锁定"_qs);
    auto* btn_ShowMin = makeButton(this, "btn_ShowMin", u"最小化"_qs);
    auto* btn_about = makeButton(this, "btn_about", u"关于我们"_qs);
    auto* btn_modifyPw = makeButton(this, "btn_modifyPw", u"修改密码"_qs);
    place(btn_lock, 5520, 50, 610);
    place(btn_ShowMin, 5760, 50, 855);
    place(btn_about, 6240, 50, 975);
    place(btn_modifyPw, 7800, 50, 975);
    btn_lock->setToolTip(u"最小化"_qs);
    btn_ShowMin->setToolTip(u"最小化"_qs);
    auto* picMain = new QLabel(this);
    picMain->setObjectName(QStringLiteral("picMain"));
    picMain->setToolTip(u"双击打开主窗口"_qs);
    picMain->setGeometry(px(this, 360), px(this, 3840), px(this, 750), px(this, 750));
    for (QWidget* w : {static_cast<QWidget*>(btn_lock), static_cast<QWidget*>(btn_ShowMin),
                       static_cast<QWidget*>(btn_about), static_cast<QWidget*>(btn_modifyPw),
                       static_cast<QWidget*>(picMain)})
        w->hide();
    connect(btn_about, &QPushButton::clicked, this, [this] {
        Guarded(this, [] {
            if (QWidget* w = WindowRegistry::create(QStringLiteral("FrmHelp"))) {
                if (auto* d = qobject_cast<QDialog*>(w))
                    DialogRunner::Exec(d);
                delete w;
            }
        });
    });
    connect(btn_modifyPw, &QPushButton::clicked, this, [this] {
        Guarded(this, [] {
            if (QWidget* w = WindowRegistry::create(QStringLiteral("FrmModifypwd"))) {
                if (auto* d = qobject_cast<QDialog*>(w))
                    DialogRunner::Exec(d);
                delete w;
            }
        });
    });
    connect(btn_lock, &QPushButton::clicked, this, [this] {
        Guarded(this, [] {
            FrmLockSystem lock;
            DialogRunner::Exec(&lock);
        });
    });
    connect(btn_ShowMin, &QPushButton::clicked, this, [this] {
        Guarded(this, [this] {
            hide();
            auto* floating = new FrmShowMin;
            floating->setAttribute(Qt::WA_DeleteOnClose);
            floating->show();
        });
    });

    c->openEditor = [this](const QDateTime& start) { OpenEventEditor(this, start); };
    c->openList = [this](const QDate* day) {
        OpenScheduleList(this, day);
        load_Events();
    };

    Guarded(this, [&] {
        const QString view = readStoredViewType();
        c->uUpDownYear->setValue(Clock::Today().year());
        c->utxtYear->setText(QString::number(Clock::Today().year()));
        c->initCalendar(view);
    });

    const int width = px(this, c->gridWidthTwips());
    const int height =
        c->VgCalendar->geometry().top() + px(this, c->gridHeightTwips()) + px(this, 390) - px(this, 390) + 8;
    setFixedSize(width, height);
    c->btn_addNew->setGeometry(width - px(this, 610) - px(this, 150), px(this, 50), px(this, 610),
                               px(this, 300));
    c->btn_list->setGeometry(width - px(this, 610) - px(this, 610) - px(this, 150), px(this, 50),
                             px(this, 610), px(this, 300));
    if (QWidget* frame = parent ? parent->window() : nullptr)
        move((frame->width() - width) / 2, qMax(0, (frame->height() - height - px(this, 1500)) / 2));
    Guarded(this, [&] { c->selectDay(Clock::Today().day()); });
}

FrmCalendar::~FrmCalendar() = default;

FrmCalendar* FrmCalendar::current()
{
    return g_calendar.data();
}

void FrmCalendar::load_Events()
{
    Guarded(this, [this] { m_calendar->load_Events(); });
}

bool FrmCalendar::event(QEvent* e)
{
    if (e->type() == QEvent::WindowActivate)
        m_calendar->VgCalendar->setFocus();
    return QDialog::event(e);
}

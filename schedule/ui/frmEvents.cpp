#include "frmEvents.h"

#include "CalendarMonth.h"
#include "DialogRunner.h"
#include "FormHelpers.h"
#include "FrmCalendar.h"
#include "Guarded.h"
#include "MsgBox.h"
#include "Numbers.h"
#include "ScheduleHelpers.h"
#include "dal_events.h"
#include "mod_public.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

using namespace ScheduleUi;

bool OpenEventEditor(QWidget* owner, const QDateTime& start, int id)
{
    frmEvents editor(owner);
    editor.dt_time->setDateTime(start);
    if (id > 0) {
        editor.txt_id->setText(QString::number(id));
        editor.load_EventsContent();
    }
    DialogRunner::Exec(&editor);
    if (!editor.saved())
        return false;
    // A new entry shows on the calendar at once, whichever window opened the editor.
    if (!editor.wasUpdate() && FrmCalendar::current())
        FrmCalendar::current()->load_Events();
    return true;
}

frmEvents::frmEvents(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmEvents"));
    setWindowTitle(u"日程"_qs);
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    dt_time = new QDateTimeEdit(this);
    dt_time->setObjectName(QStringLiteral("dt_time"));
    dt_time->setDisplayFormat(QStringLiteral("yyyy-MM-dd HH:mm"));
    dt_time->setCalendarPopup(true);
    comb_flgtype = new QComboBox(this);
    comb_flgtype->setObjectName(QStringLiteral("comb_flgtype"));
    comb_flgtype->addItems({u"一般"_qs, u"重要"_qs, u"非常重要"_qs});
    comb_flgtype->setCurrentIndex(0);
    chk_start = new QCheckBox(u"启用"_qs, this);
    chk_start->setObjectName(QStringLiteral("chk_start"));
    chk_start->setChecked(true);
    txt_content = new QPlainTextEdit(this);
    txt_content->setObjectName(QStringLiteral("txt_content"));
    txt_content->setTabChangesFocus(true);
    txt_id = new QLineEdit(this);
    txt_id->setObjectName(QStringLiteral("txt_id"));
    txt_id->hide();
    btn_Save = makeButton(this, "btn_Save", u"保存"_qs);

    // The subject holds at most 500 characters, however it is typed or pasted.
    connect(txt_content, &QPlainTextEdit::textChanged, this, [this] {
        const QString t = txt_content->toPlainText();
        if (t.size() > 500) {
            const QSignalBlocker block(txt_content);
            txt_content->setPlainText(t.left(500));
            txt_content->moveCursor(QTextCursor::End);
        }
    });

    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(u"日期:"_qs, this));
    top->addWidget(dt_time);
    top->addWidget(new QLabel(u"标注:"_qs, this));
    top->addWidget(comb_flgtype);
    top->addWidget(chk_start);
    top->addStretch();
    auto* bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(btn_Save);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(new QLabel(u"主题内容:"_qs, this));
    layout->addWidget(txt_content, 1);
    layout->addLayout(bottom);
    resize(520, 300);

    connect(btn_Save, &QPushButton::clicked, this, [this] { Guarded(this, [this] { save(); }); });
    auto* ctrlS = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_S), this);
    connect(ctrlS, &QShortcut::activated, this, [this] { Guarded(this, [this] { save(); }); });
}

void frmEvents::load_EventsContent()
{
    const int id = int(ReadNumber(txt_id->text()));
    if (id <= 0)
        return;
    Guarded(this, [&] {
        const m_events m = dal_events().GetModel(id);
        if (m.id <= 0) {
            MsgBox::Warn(u"当前记录不存在!"_qs, windowTitle(), this);
            return;
        }
        txt_content->setPlainText(m.eventContent);
        chk_start->setChecked(m.isstart);
        const QDateTime t = ParseEventTime(m.createTime);
        if (t.isValid())
            dt_time->setDateTime(t);
        const int i = comb_flgtype->findText(m.flgType);
        if (i >= 0)
            comb_flgtype->setCurrentIndex(i);
    });
}

void frmEvents::save()
{
    if (txt_content->toPlainText().trimmed().isEmpty()) {
        MsgBox::Warn(u"主题内容不能为空"_qs, windowTitle(), this);
        txt_content->setFocus();
        return;
    }
    const int id = int(RoundHalfAway(ReadNumber(txt_id->text()), 0));
    m_events m;
    m.id = id;
    QDateTime start = dt_time->dateTime();
    start.setTime(QTime(start.time().hour(), start.time().minute()));
    m.createTime = EventTimeText(start);
    m.createUserId = CurrentUser.id;
    m.eventContent = txt_content->toPlainText();
    m.flgType = comb_flgtype->currentText();
    m.isstart = chk_start->isChecked();
    if (!MsgBox::Ask(u"确认保存日程!"_qs, windowTitle(), this))
        return;
    const bool update = id > 0;
    const m_DBresult result = update ? dal_events().Update(m) : dal_events().Add(m);
    if (!ShowIfFailed(this, result))
        return;
    m_saved = true;
    m_wasUpdate = update;
    accept();
}

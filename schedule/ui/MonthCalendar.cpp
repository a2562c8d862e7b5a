#include "MonthCalendar.h"

#include "CalendarMonth.h"
#include "Clock.h"
#include "FlexGrid.h"
#include "Guarded.h"
#include "Numbers.h"
#include "dal_setting.h"
#include "sqlHelper.h"

#include "UpDown.h"
#include <QComboBox>
#include <QDateTime>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <functional>

namespace
{

const QStringList MonthNames = {u"一月"_qs, u"二月"_qs, u"三月"_qs, u"四月"_qs, u"五月"_qs,   u"六月"_qs,
                                u"七月"_qs, u"八月"_qs, u"九月"_qs, u"十月"_qs, u"十一月"_qs, u"十二月"_qs};
constexpr int WeekendShade = 0xF8F8F8;   // RGB(248,248,248)
constexpr int MarkedDayShade = 0xC8F0FF; // RGB(255,240,200): a day with entries

QPushButton* button(QWidget* window, const char* name, const QString& caption)
{
    auto* b = new QPushButton(caption, window);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    return b;
}

} // namespace

MonthCalendar::MonthCalendar(QWidget* window, int colWidth)
    : QObject(window), colWidth(colWidth), m_window(window)
{
    utxtYear = new QLineEdit(window);
    utxtYear->setObjectName(QStringLiteral("utxtYear"));
    uUpDownYear = new UpDown(window);
    uUpDownYear->setObjectName(QStringLiteral("uUpDownYear"));
    uUpDownYear->setRange(CalendarMinYear, CalendarMaxYear);
    uCombMonth = new QComboBox(window);
    uCombMonth->setObjectName(QStringLiteral("uCombMonth"));
    comb_ViewType = new QComboBox(window);
    comb_ViewType->setObjectName(QStringLiteral("comb_ViewType"));
    btn_reset = button(window, "btn_reset", u"更新显示"_qs);
    btn_today = button(window, "btn_today", u"今天"_qs);
    btn_list = button(window, "btn_list", u"列表"_qs);
    btn_addNew = button(window, "btn_addNew", u"新建"_qs);
    VgCalendar = new FlexGrid(window);
    VgCalendar->setObjectName(QStringLiteral("VgCalendar"));

    auto guarded = [this](std::function<void()> f) { return [this, f] { Guarded(m_window, f); }; };
    connect(uUpDownYear, &UpDown::valueChanged, this, [this](int value) {
        Guarded(m_window, [&] {
            utxtYear->setText(QString::number(value));
            fillMonth();
        });
    });
    connect(uCombMonth, &QComboBox::activated, this, guarded([this] { fillMonth(); }));
    connect(utxtYear, &QLineEdit::editingFinished, this, guarded([this] { checkYearBox(); }));
    utxtYear->installEventFilter(this);
    connect(btn_today, &QPushButton::clicked, this, guarded([this] { today(); }));
    connect(btn_addNew, &QPushButton::clicked, this, guarded([this] { addNew(); }));
    connect(btn_list, &QPushButton::clicked, this, guarded([this] {
                if (openList)
                    openList(nullptr);
            }));
    connect(btn_reset, &QPushButton::clicked, this, guarded([this] { storeViewType(); }));
    connect(VgCalendar, &FlexGrid::BeforeRowColChange, this,
            [this](int, int, int newRow, int newCol, bool& cancel) {
                const QString text = VgCalendar->TextMatrix(newRow, newCol).trimmed();
                if (newRow < 1 || text.isEmpty()) {
                    cancel = true;
                    return;
                }
                selectedDay = text.toInt();
            });
    connect(VgCalendar, &FlexGrid::DblClick, this, guarded([this] { doubleClick(); }));
}

int MonthCalendar::shownYear() const
{
    return utxtYear->text().toInt();
}

int MonthCalendar::shownMonth() const
{
    return uCombMonth->currentIndex() + 1;
}

void MonthCalendar::initCalendar(const QString& storedViewType)
{
    FlexGrid* g = VgCalendar;
    g->setRedraw(false);
    QFont f = g->font();
    f.setPointSize(15);
    g->setFont(f);
    g->setEditable(FlexGrid::flexEDNone);
    g->setRows(7);
    g->setCols(7);
    g->setFixedRows(1);
    g->setFixedCols(0);
    g->setFormatString(u"^日|^一|^二|^三|^四|^五|^六"_qs);
    g->setRows(7);
    const int shadow = FlexGrid::ToOleColor(g->palette().color(QPalette::Dark));
    const int windowColor = FlexGrid::ToOleColor(g->palette().color(QPalette::Base));
    g->setBackColorFixed(shadow);
    g->setForeColorFixed(windowColor);
    g->setCellFontBold(0, 0, 0, 6, true);
    g->setCellAlignment(1, 0, 6, 6, FlexGrid::flexAlignLeftCenter);
    setCalendarSize();
    g->setRedraw(true);

    comb_ViewType->clear();
    comb_ViewType->addItems({u"列表显示"_qs, u"图标显示"_qs});
    comb_ViewType->setCurrentIndex(0);
    const int stored = comb_ViewType->findText(storedViewType);
    if (stored >= 0)
        comb_ViewType->setCurrentIndex(stored);

    uCombMonth->clear();
    uCombMonth->addItems(MonthNames);
    uCombMonth->setCurrentIndex(Clock::Today().month() - 1);
    fillMonth();
}

void MonthCalendar::setCalendarSize()
{
    FlexGrid* g = VgCalendar;
    for (int r = 0; r < 7; ++r)
        g->setRowHeight(r, rowHeight);
    for (int c = 0; c < 7; ++c)
        g->setColWidth(c, colWidth);
    g->setRowHeight(0, 350);
    const int top = uCombMonth->geometry().bottom() + 1 + g->TwipsToPixels(30);
    g->setGeometry(0, top, g->TwipsToPixels(gridWidthTwips()), g->TwipsToPixels(gridHeightTwips()));
}

void MonthCalendar::fillMonth()
{
    const int month = shownMonth();
    if (month < 1)
        return;
    const int year = shownYear();
    FlexGrid* g = VgCalendar;
    const MonthCells cells = MonthLayout(year, month);
    for (int r = 1; r <= 6; ++r) {
        g->setCellAlignment(r, 0, r, 6, FlexGrid::flexAlignRightCenter);
        for (int c = 0; c < 7; ++c) {
            g->setTextMatrix(r, c, cells[r - 1][c]);
            g->setCellPicture(r, c, QPixmap());
        }
        g->setCellBackColor(r, 0, r, 0, WeekendShade);
        g->setCellBackColor(r, 6, r, 6, WeekendShade);
    }
    if (selectedDay > 0)
        selectDay(selectedDay);
    load_Events();
}

void MonthCalendar::selectDay(int day)
{
    for (; day > 0; --day) {
        for (int r = 1; r <= 6; ++r) {
            for (int c = 0; c < 7; ++c) {
                if (VgCalendar->TextMatrix(r, c).toInt() == day) {
                    VgCalendar->Select(r, c);
                    selectedDay = VgCalendar->TextMatrix(VgCalendar->Row(), VgCalendar->Col()).toInt();
                    return;
                }
            }
        }
    }
}

void MonthCalendar::load_Events()
{
    const int month = shownMonth();
    if (month < 1)
        return;
    const QString monthKey =
        QStringLiteral("%1-%2").arg(shownYear(), 4, 10, QLatin1Char('0')).arg(month, 2, 10, QLatin1Char('0'));
    const QStringList records = MonthDayRecords(monthKey);
    const bool listView = comb_ViewType->currentText() == u"列表显示"_qs;
    QPixmap flag;
    if (!listView)
        flag.load(GetAppPath() + QStringLiteral("Ico/flg.ico"));
    for (int r = 1; r <= 6; ++r) {
        for (int c = 0; c < 7; ++c) {
            VgCalendar->setCellPicture(r, c, QPixmap());
            // A day with entries is highlighted on its whole cell, its number in bold.
            VgCalendar->setCellBackColor(r, c, r, c, c == 0 || c == 6 ? WeekendShade : 0xFFFFFF);
            VgCalendar->setCellFontBold(r, c, r, c, false);
            const int cellDay = VgCalendar->TextMatrix(r, c).toInt();
            if (cellDay == 0)
                continue;
            for (const QString& record : records) {
                const QStringList fields = record.split(QLatin1Char(','));
                if (fields.value(0).toInt() != cellDay)
                    continue;
                if (listView) {
                    setPicBox(fields.value(2), QDate(shownYear(), month, cellDay).toString(u"yyyy-MM-dd"_qs));
                    VgCalendar->setCellPicture(r, c, m_picBox);
                } else {
                    VgCalendar->setCellPicture(r, c, flag);
                }
                VgCalendar->setCell(FlexGrid::flexcpPictureAlignment, r, c, r, c,
                                    FlexGrid::flexAlignLeftCenter);
                VgCalendar->setCellBackColor(r, c, r, c, MarkedDayShade);
                VgCalendar->setCellFontBold(r, c, r, c, true);
            }
        }
    }
}

void MonthCalendar::setPicBox(const QString& str_JoinFlgType, const QString& str_date)
{
    const int w = VgCalendar->TwipsToPixels(1060);
    const int h = VgCalendar->TwipsToPixels(780);
    m_picBox = QPixmap(w, h);
    Q_UNUSED(str_date);
    // Clear: the boxes stand on the marked day's highlight.
    m_picBox.fill(Qt::transparent);
    QPainter p(&m_picBox);
    for (const MarkBox& box : MarkLayout(str_JoinFlgType)) {
        const QRect r(VgCalendar->TwipsToPixels(box.rect.left()), VgCalendar->TwipsToPixels(box.rect.top()),
                      qMax(1, VgCalendar->TwipsToPixels(box.rect.width())),
                      qMax(1, VgCalendar->TwipsToPixels(box.rect.height())));
        p.fillRect(r, FlexGrid::OleColor(box.oleColor));
    }
}

void MonthCalendar::checkYearBox()
{
    utxtYear->setText(CheckedYearText(utxtYear->text()));
    // The arrows follow the year shown; a change refills the month.
    uUpDownYear->setValue(utxtYear->text().toInt());
}

void MonthCalendar::yearKey(int delta)
{
    utxtYear->setText(QString::number(int(ReadNumber(utxtYear->text())) + delta));
    checkYearBox();
}

void MonthCalendar::today()
{
    const QDate now = Clock::Today();
    {
        const QSignalBlocker block(uUpDownYear);
        uUpDownYear->setValue(now.year());
    }
    utxtYear->setText(QString::number(now.year()));
    uCombMonth->setCurrentIndex(now.month() - 1);
    fillMonth();
    selectDay(now.day());
    VgCalendar->setFocus();
}

void MonthCalendar::addNew()
{
    const QDate day(shownYear(), shownMonth(),
                    VgCalendar->TextMatrix(VgCalendar->Row(), VgCalendar->Col()).toInt());
    if (!day.isValid() || !openEditor)
        return;
    const QTime now = Clock::Now().time();
    openEditor(QDateTime(day, QTime(now.hour(), now.minute())));
}

void MonthCalendar::doubleClick()
{
    const QDate day(shownYear(), shownMonth(),
                    VgCalendar->TextMatrix(VgCalendar->Row(), VgCalendar->Col()).toInt());
    if (!day.isValid())
        return;
    if (!VgCalendar->CellPicture(VgCalendar->Row(), VgCalendar->Col()).isNull()) {
        if (openList)
            openList(&day);
        return;
    }
    addNew();
}

void MonthCalendar::storeViewType()
{
    m_setting s;
    s.setKey = QStringLiteral("viewType");
    s.setValue = comb_ViewType->currentText();
    if (!ShowIfFailed(m_window, dal_setting().Update(s)))
        return;
    fillMonth();
}

bool MonthCalendar::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == utxtYear && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            Guarded(m_window, [this] { checkYearBox(); });
            return true;
        }
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            Guarded(m_window, [&] { yearKey(key == Qt::Key_Up ? 1 : -1); });
            utxtYear->end(false);
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

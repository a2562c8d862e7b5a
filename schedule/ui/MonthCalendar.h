#pragma once

#include <QPixmap>
#include <QWidget>

class FlexGrid;
class QComboBox;
class QLineEdit;
class QPushButton;
class UpDown;

// The month calendar both calendar windows carry: the strip of year box,
// year arrows, month list, view list and the 更新显示 / 今天 / 列表 / 新建
// commands, and below it the grid of six weeks from Sunday with the day marks.
// The window places the strip's controls and the grid; the calendar does the rest.
class MonthCalendar : public QObject
{
    Q_OBJECT
  public:
    // colWidth: the width of a day column in twips.
    MonthCalendar(QWidget* window, int colWidth);

    QLineEdit* utxtYear;
    UpDown* uUpDownYear;
    QComboBox* uCombMonth;
    QComboBox* comb_ViewType;
    QPushButton* btn_reset;
    QPushButton* btn_today;
    QPushButton* btn_list;
    QPushButton* btn_addNew;
    FlexGrid* VgCalendar;

    int rowHeight = 780;
    int colWidth;
    int selectedDay = 0;

    // Grid set-up, view list (showing storedViewType) and month list with the
    // current month, which fills the grid.
    void initCalendar(const QString& storedViewType);
    void setCalendarSize();
    void fillMonth();
    void selectDay(int day);
    // Redraws the marks of the shown month.
    void load_Events();
    // The list-view mark of one day.
    void setPicBox(const QString& str_JoinFlgType, const QString& str_date);
    const QPixmap& PicBox() const { return m_picBox; }

    int shownYear() const;
    int shownMonth() const; // 1..12, 0 when none is chosen
    // Grid size in twips (for the window's own size).
    int gridWidthTwips() const { return 7 * colWidth + 100; }
    int gridHeightTwips() const { return 7 * rowHeight - (rowHeight - 350) + 100; }

    // The day double-clicked or chosen for 新建 is handed to the window.
    // Set by the window: how a new entry and the list are opened.
    std::function<void(const QDateTime& start)> openEditor;
    std::function<void(const QDate* day)> openList; // nullptr: all days

  private:
    void checkYearBox();
    void yearKey(int delta);
    void today();
    void addNew();
    void doubleClick();
    void storeViewType();
    bool eventFilter(QObject* watched, QEvent* event) override;

    QWidget* m_window;
    QPixmap m_picBox;
};

#pragma once

#include <QDialog>

class MonthCalendar;

// The schedule manager's calendar window, shown modally from the main frame.
class FrmCalendar : public QDialog
{
    Q_OBJECT
  public:
    explicit FrmCalendar(QWidget* parent = nullptr);
    ~FrmCalendar() override;

    // The open calendar window, if any (the editor and the list redraw its marks).
    static FrmCalendar* current();
    void load_Events();
    MonthCalendar* calendar() const { return m_calendar; }

  protected:
    bool event(QEvent* e) override;

  private:
    MonthCalendar* m_calendar;
};

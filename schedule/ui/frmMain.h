#pragma once

#include <QWidget>

class MonthCalendar;

// The free-standing calendar main window: a toolbar of the program's
// commands above a month calendar, one per program (instance()).
class frmMain : public QWidget
{
    Q_OBJECT
  public:
    explicit frmMain(QWidget* parent = nullptr);
    // The single instance (made on first use).
    static frmMain* instance();
    // Whether another running copy of the program holds the program folder.
    static bool AnotherCopyRunning();
    void shrink();
    MonthCalendar* calendar() const { return m_calendar; }

  protected:
    void closeEvent(QCloseEvent* e) override;
    void showEvent(QShowEvent* e) override;

  private:
    void toolbarKey(const QString& key);
    MonthCalendar* m_calendar;
    bool m_centred = false;
};

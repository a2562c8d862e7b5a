#pragma once

#include <QWidget>

class QToolButton;

// An up-down control: a pair of arrow buttons that step a whole number
// within its range, the way the year box of the calendar is stepped.
class UpDown : public QWidget
{
    Q_OBJECT
  public:
    explicit UpDown(QWidget* parent = nullptr);

    int value() const { return m_value; }
    void setValue(int value);
    void setRange(int minimum, int maximum);
    int minimum() const { return m_min; }
    int maximum() const { return m_max; }

  signals:
    void valueChanged(int value);

  private:
    QToolButton* m_up;
    QToolButton* m_down;
    int m_value = 0;
    int m_min = 0;
    int m_max = 99;
};

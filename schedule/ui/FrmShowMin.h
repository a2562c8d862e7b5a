#pragma once

#include <QWidget>

class QMenu;

// The floating window that stands in for a hidden calendar window.
class FrmShowMin : public QWidget
{
    Q_OBJECT
  public:
    explicit FrmShowMin(QWidget* parent = nullptr);
    QMenu* menu_pop;
    void showMainWindow(); // "主窗口"

  protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

  private:
    QPoint m_dragFrom;
    bool m_dragged = false;
};

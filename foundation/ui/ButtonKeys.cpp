#include "ButtonKeys.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPushButton>

namespace
{

class EnterPressesButton : public QObject
{
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        auto* e = static_cast<QKeyEvent*>(event);
        if ((e->key() != Qt::Key_Return && e->key() != Qt::Key_Enter) ||
            (e->modifiers() & ~Qt::KeypadModifier))
            return false;
        auto* button = qobject_cast<QPushButton*>(watched);
        if (!button || !button->hasFocus() || !button->isEnabled())
            return false;
        if (!e->isAutoRepeat())
            button->click();
        return true;
    }
};

} // namespace

void InstallButtonKeys()
{
    static EnterPressesButton* filter = nullptr;
    if (filter)
        return;
    filter = new EnterPressesButton(qApp);
    qApp->installEventFilter(filter);
}

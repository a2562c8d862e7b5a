#include "EditPanel.h"

#include "FormHelpers.h"
#include "Guarded.h"

#include <QAction>
#include <QKeyEvent>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>

QAction* AddMenuEntry(QMenu* menu, const QString& caption, const QString& name, QWidget* window,
                      const std::function<void()>& onChoose)
{
    QAction* entry = menu->addAction(caption);
    entry->setObjectName(name);
    QObject::connect(entry, &QAction::triggered, window, [window, onChoose] { Guarded(window, onChoose); });
    return entry;
}

ParentButtons MakeParentButtons(QWidget* window, QWidget* panel, const std::function<void()>& onClear,
                                const std::function<void()>& onChoose)
{
    ParentButtons b;
    b.clear = new QPushButton(QStringLiteral("清空"), panel);
    b.clear->setObjectName(QStringLiteral("btn_clearParent"));
    b.choose = new QPushButton(QStringLiteral("选择"), panel);
    b.choose->setObjectName(QStringLiteral("btn_setParent"));
    for (QPushButton* button : {b.clear, b.choose})
        button->setAutoDefault(false);
    QObject::connect(b.clear, &QPushButton::clicked, window, [window, onClear] { Guarded(window, onClear); });
    QObject::connect(b.choose, &QPushButton::clicked, window,
                     [window, onChoose] { Guarded(window, onChoose); });
    return b;
}

namespace
{

class RemarkKeys : public QObject
{
  public:
    explicit RemarkKeys(QPlainTextEdit* remark) : QObject(remark), m_remark(remark) {}

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress) {
            auto* e = static_cast<QKeyEvent*>(event);
            const int key = e->key();
            if (!(e->modifiers() & ~Qt::KeypadModifier) &&
                (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Up || key == Qt::Key_Down)) {
                EnterToTab(key, false, false, m_remark);
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    QPlainTextEdit* m_remark;
};

} // namespace

QPlainTextEdit* MakeRemarkBox(QWidget* panel)
{
    auto* remark = new QPlainTextEdit(panel);
    remark->setObjectName(QStringLiteral("txt_remark"));
    remark->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    remark->setTabChangesFocus(true);
    remark->installEventFilter(new RemarkKeys(remark));
    return remark;
}

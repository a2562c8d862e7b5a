#include "WindowRegistry.h"

#include <QHash>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>

namespace
{

struct Registry {
    QHash<QString, WindowRegistry::Entry> entries;
    QHash<QString, QPointer<QWidget>> open;
    WindowRegistry::Host host;
};

Registry& reg()
{
    static Registry r;
    return r;
}

QMdiSubWindow* holder(QWidget* w)
{
    return w ? qobject_cast<QMdiSubWindow*>(w->parentWidget()) : nullptr;
}

} // namespace

void WindowRegistry::addEntry(const QString& name, Entry entry)
{
    reg().entries.insert(name, std::move(entry));
}

void WindowRegistry::remove(const QString& name)
{
    reg().entries.remove(name);
    reg().open.remove(name);
}

bool WindowRegistry::has(const QString& name)
{
    return reg().entries.contains(name) && reg().entries.value(name).create;
}

QWidget* WindowRegistry::create(const QString& name)
{
    if (!has(name))
        return nullptr;
    QWidget* w = reg().entries.value(name).create();
    if (w && w->objectName().isEmpty())
        w->setObjectName(name);
    return w;
}

QWidget* WindowRegistry::instance(const QString& name)
{
    return reg().open.value(name).data();
}

QWidget* WindowRegistry::Show(const QString& name)
{
    if (QWidget* w = instance(name)) {
        if (QMdiSubWindow* sub = holder(w)) {
            if (sub->isMinimized())
                sub->showNormal();
            sub->show();
        }
        if (w->isMinimized())
            w->showNormal();
        w->show();
        return w;
    }
    QWidget* w = create(name);
    if (!w)
        return nullptr;
    w->setAttribute(Qt::WA_DeleteOnClose);
    reg().open.insert(name, w);
    if (reg().host)
        reg().host(w);
    else
        w->show();
    return w;
}

bool WindowRegistry::LoadData(const QString& name)
{
    QWidget* w = instance(name);
    const Entry e = reg().entries.value(name);
    if (!w || !e.loadData)
        return false;
    e.loadData(w);
    return true;
}

bool WindowRegistry::Init(const QString& name, int kind)
{
    QWidget* w = instance(name);
    const Entry e = reg().entries.value(name);
    if (!w || !e.init)
        return false;
    e.init(w, kind);
    return true;
}

void WindowRegistry::BringToFront(QWidget* window)
{
    if (!window)
        return;
    if (QMdiSubWindow* sub = holder(window)) {
        if (QMdiArea* area = sub->mdiArea())
            area->setActiveSubWindow(sub);
        sub->raise();
        window->setFocus();
        return;
    }
    window->raise();
    window->activateWindow();
}

void WindowRegistry::SetHost(Host host)
{
    reg().host = std::move(host);
}

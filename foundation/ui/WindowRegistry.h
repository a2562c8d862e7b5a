#pragma once

#include <QString>
#include <QWidget>
#include <functional>
#include <type_traits>

// The windows the main frame (and any other window) opens by name. A window
// joins with one line where its subsystem's windows are registered:
//     WindowRegistry::add("frmGoods", [] { return new frmGoods; });
// A window class with a LoadData() member gets it called each time the frame
// opens it from a report entry, one with init(int) gets init(0) from the
// dictionary entry. Until a name is registered, opening it does nothing.
//
// Modeless windows are single instances: Show() brings up the open one, with
// its state kept, or makes a new one, which is destroyed when it is closed.
class WindowRegistry
{
  public:
    using Factory = std::function<QWidget*()>;
    struct Entry {
        Factory create;
        std::function<void(QWidget*)> loadData;  // empty when the window has no LoadData()
        std::function<void(QWidget*, int)> init; // empty when the window has no init(int)
    };
    // Where new modeless windows are placed (the main frame puts them inside
    // itself); without a host they open as windows of their own.
    using Host = std::function<void(QWidget*)>;

    template <class F> static void add(const QString& name, F factory)
    {
        using T = std::remove_pointer_t<std::invoke_result_t<F>>;
        static_assert(std::is_base_of_v<QWidget, T>, "a registered window is a QWidget");
        Entry e;
        e.create = [factory]() -> QWidget* { return factory(); };
        if constexpr (requires(T & t) { t.LoadData(); })
            e.loadData = [](QWidget* w) {
                if (auto* t = dynamic_cast<T*>(w))
                    t->LoadData();
            };
        if constexpr (requires(T & t) { t.init(0); })
            e.init = [](QWidget* w, int kind) {
                if (auto* t = dynamic_cast<T*>(w))
                    t->init(kind);
            };
        addEntry(name, std::move(e));
    }
    static void addEntry(const QString& name, Entry entry);
    static void remove(const QString& name);
    static bool has(const QString& name);

    // A new instance, for a modal window (nullptr when the name is unknown).
    static QWidget* create(const QString& name);
    // The open instance of a modeless window, or nullptr.
    static QWidget* instance(const QString& name);
    template <class T> static T* instance(const QString& name) { return dynamic_cast<T*>(instance(name)); }
    // Shows the single instance of a modeless window, making it when needed;
    // nullptr when the name is unknown. It is not brought to the front.
    static QWidget* Show(const QString& name);
    // Runs the window's LoadData() or init(kind); false when it has none.
    static bool LoadData(const QString& name);
    static bool Init(const QString& name, int kind);
    // Raises the window (and the sub-window that holds it) above the others.
    static void BringToFront(QWidget* window);

    static void SetHost(Host host);
};

#include "Guarded.h"

#include "DbError.h"
#include "m_DBresult.h"

#include <exception>

bool Guarded(QWidget* window, const std::function<void()>& work)
{
    return Guarded(window, GuardStyle{}, work);
}

bool Guarded(QWidget* window, const GuardStyle& style, const std::function<void()>& work)
{
    QString failure;
    try {
        work();
        return true;
    } catch (const DbError& e) {
        failure = e.message();
    } catch (const std::exception& e) {
        failure = QString::fromUtf8(e.what());
    } catch (...) {
        failure = QStringLiteral("未知错误");
    }
    MsgBox::Show(style.prefix + failure, style.icon, style.title, MsgButtons::Ok, window);
    return false;
}

bool ShowIfFailed(QWidget* window, const m_DBresult& result)
{
    if (result.isResult)
        return true;
    MsgBox::SystemError(result.str_MsgBox, window);
    return false;
}

#include "Guarded.h"

#include "DbError.h"
#include "MsgBox.h"
#include "m_DBresult.h"

#include <exception>

bool Guarded(QWidget* window, const std::function<void()>& work)
{
    try {
        work();
        return true;
    } catch (const DbError& e) {
        MsgBox::SystemError(e.message(), window);
    } catch (const std::exception& e) {
        MsgBox::SystemError(QString::fromUtf8(e.what()), window);
    } catch (...) {
        MsgBox::SystemError(QStringLiteral("未知错误"), window);
    }
    return false;
}

bool ShowIfFailed(QWidget* window, const m_DBresult& result)
{
    if (result.isResult)
        return true;
    MsgBox::SystemError(result.str_MsgBox, window);
    return false;
}

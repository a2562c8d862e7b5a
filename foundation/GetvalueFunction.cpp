#include "GetvalueFunction.h"

#include "MsgBox.h"
#include "mod_public.h"

bool check_FunRight(const QString& code, bool isShowMsg)
{
    const QString list = QLatin1Char(',') + SysVar.Sys_funJoinCode;
    if (list.contains(QLatin1Char(',') + code + QLatin1Char(','), Qt::CaseSensitive))
        return true;
    if (isShowMsg)
        MsgBox::Show(QStringLiteral("功能受限,请与系统管理联系!"), MsgIcon::Information, QStringLiteral("System"));
    return false;
}

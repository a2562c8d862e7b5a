// What a data source may do: tell the clerk through the message facade.
#include "MsgBox.h"

void WarnTheClerk()
{
    MsgBox::Warn(QStringLiteral("当前记录不存在!"), QStringLiteral("System"));
}

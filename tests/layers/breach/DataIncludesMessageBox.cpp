// A data source that shows a message box itself instead of going through MsgBox.
#include <QtWidgets/QMessageBox>

void WarnTheClerk()
{
    QMessageBox::warning(nullptr, QStringLiteral("System"), QStringLiteral("当前记录不存在!"));
}

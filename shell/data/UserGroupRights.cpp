#include "UserGroupRights.h"

#include "MsgBox.h"
#include "sqlHelper.h"

QString GetMessageBox(const QString& code)
{
    try {
        CloseRs();
        const RecordSetPtr rs = ExecuteSql(
            QStringLiteral(
                "Select Code, CDESC From tb_Messagebox where trim(Code)=trim(@code) COLLATE NOCASE"),
            ParamMap{{QStringLiteral("@code"), code}});
        const QString wanted = code.trimmed();
        for (int r = 0; r < rs->RecordCount(); ++r) {
            if (rs->text(r, QStringLiteral("Code")).trimmed() == wanted)
                return rs->text(r, QStringLiteral("CDESC")).trimmed();
        }
    } catch (const DbError& e) {
        MsgBox::SystemError(e.message(), nullptr, e.details());
    }
    return {};
}

bool check_LimitedUser(const QString& nodeCode, int usergrpId, bool isShowMsg)
{
    const RecordSetPtr rs = ExecuteSql(
        QStringLiteral("select nodecode,usergrpid From tb_sysuserfun "
                       "where nodecode=@nodecode And usergrpid=@usergrpid"),
        ParamMap{{QStringLiteral("@nodecode"), nodeCode}, {QStringLiteral("@usergrpid"), usergrpId}});
    if (rs && rs->RecordCount() > 0)
        return false;
    if (isShowMsg)
        MsgBox::Show(GetMessageBox(QStringLiteral("LimitedUser")), MsgIcon::Information,
                     QStringLiteral("System"));
    return true;
}

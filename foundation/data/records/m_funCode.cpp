#include "m_funCode.h"

QStringList m_funCode::AllCodes()
{
#define WMS_FUN_CODE_NAME(name) QStringLiteral(#name),
#define X_EXPORT QStringLiteral("export"),
    static const QStringList codes = {WMS_FUN_CODES(WMS_FUN_CODE_NAME)};
#undef X_EXPORT
#undef WMS_FUN_CODE_NAME
    return codes;
}

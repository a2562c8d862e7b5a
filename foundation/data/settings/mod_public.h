#pragma once

#include "m_SysVar.h"
#include "m_funCode.h"
#include "m_user.h"

#include <QString>

// Process-wide state read by every subsystem (FunCodeTable lives in m_funCode.h).
inline m_user CurrentUser;
inline m_SysVar SysVar;

// Fills SysVar: the fixed settings, then the right lists of CurrentUser's department.
void init_SysVar();
// The right list of one kind ("f" functions, "a" account tags, "l" locations)
// of a department: every value followed by ",", then "0".
QString GetJoinId(int departmentId, const QString& kind);
// The present date and time in the given Qt pattern.
QString GetNowStr(const QString& format = QStringLiteral("yyyy-MM-dd HH:mm:ss"));
// Whether the product title carries brand word kind (0: "朗岱", 1: "澄屿").
bool check_Brand(int kind);
// The product title.
QString ProductTitle();

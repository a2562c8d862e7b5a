#pragma once

#include <QString>

// True when the current department may run the function code; otherwise, when
// isShowMsg is set, says "功能受限,请与系统管理联系!".
bool check_FunRight(const QString& code, bool isShowMsg = true);

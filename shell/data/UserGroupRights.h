#pragma once

#include <QString>

// The older user-group rights: groups (tb_Usergrp) granted nodes of a menu
// tree (tb_sysmenu) through rows of tb_sysuserfun. Only the user-group rights
// editor checks them; every other window obeys the department rights.

// The group whose grants the user-group rights editor checks. Nothing sets it.
inline int CurrentUsergrpId = 0;

// The text of a message code from tb_Messagebox (trimmed); the empty text when
// no row's code, trimmed, equals the trimmed code exactly (letter case
// included). A database error is shown (title "System") and gives "".
QString GetMessageBox(const QString& code);

// True (limited) when group usergrpId is not granted nodeCode; then, with
// isShowMsg, shows the "LimitedUser" text.
bool check_LimitedUser(const QString& nodeCode, int usergrpId, bool isShowMsg);

#pragma once

#include <QString>

// True when the current department may run the function code; otherwise, when
// isShowMsg is set, says "功能受限,请与系统管理联系!".
bool check_FunRight(const QString& code, bool isShowMsg = true);

#ifndef WMS_WINDOW_LAYER
// The ids below id in a tree table (each row's parent in column parentId), in
// depth-first order, each followed by ",", then id itself: for 2 and 3 under
// 1 and 4 under 2, GetChildIds(1, ...) is "2,4,3,1". field is the column
// listed (callers pass "id"). A cycle in the parent links ends the walk there.
// Throws DbError for an unknown table or column.
QString GetChildIds(int id, const QString& table, const QString& field = QStringLiteral("id"));
#endif

// GetChildIds over the dictionary (tb_dictionary): a dictionary item and every
// item below it, as a comma list ending in id itself.
QString DictionarySubtreeIds(int id);

#pragma once

#include <QString>

// The next number of a bill or partner: kind ("rk" inbound bill, "ck" outbound
// bill, "ct" partner; any letter case) in lower case, "-", YYMM of dateText,
// "-" and the serial, at least five digits. The serial is one more than the
// largest numeric serial stored for that kind and month, so numbers never
// repeat, also past 99999. Another kind gives "".
//
// The number is not reserved: call it inside the write transaction (RunTrans)
// that stores it. An unreadable date throws DbError.
QString GetNewBillNo(const QString& kind, const QString& dateText);

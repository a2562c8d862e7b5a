#pragma once

#include "m_DBresult.h"

#include <QString>

// Backup and repair of the database in use (wherever "linkDB.ini" puts it).
// Both run on the program's own connection and report their outcome
// themselves: a failure is always shown (exclamation icon, title "System").

// Writes a compacted, consistent copy of the database into the program folder
// as "CompactBackUp_" + yyyyMMddHHmmss + ".db"; a second backup within the
// same second gets a name of its own. isShowMsg also shows the success message.
m_DBresult BackUpDB(bool isShowMsg);

// Checks the database's integrity and compacts it in place.
m_DBresult RepairDB();

// The name BackUpDB would write to now: the first free one of the stamp.
QString NextBackUpFileName();

#pragma once

#include "m_DBresult.h"

#include <QString>

// Emptying the program's data: one group of tables at a time, or everything
// but the system's own rows (initialisation). Each runs in one write
// transaction: all of it is emptied, or nothing.

// What clearing one group did.
struct ClearOutcome {
    // False when the database failed; error holds its text, nothing is emptied.
    bool ok = true;
    QString error;
    // The text that holds the group back (bills still use its data); nothing is emptied.
    QString refusal;
    // True when the group's tables were emptied.
    bool cleared = false;
};

// Empties the group named key ("tb_import", "tb_export", "tb_customer",
// "tb_goods", "tb_location"). Master data is refused while bills use it; the
// check is made inside the clearing's transaction, so no bill can slip in
// between. A key that names no group changes nothing.
ClearOutcome ClearDataGroup(const QString& key);

// Empties the bills, events, partners, goods, locations, their rights and the
// dictionary items the user made (departments and system items stay).
m_DBresult InitialiseData();

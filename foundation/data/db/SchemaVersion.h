#pragma once

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QStringList>

// The version of the database layout this program reads and writes. The
// database keeps its own in the file header (PRAGMA user_version): a fresh
// database is stamped when it is made, an older one is brought up step by
// step when the program opens it, a newer one is refused and left untouched.
// Databases made before the version was kept read 0.
inline constexpr int kSchemaVersion = 5;

struct SchemaUpgrade {
    // Foreign: the file holds no tables of this program (another program's
    // database, an empty file); Unreadable: the file could not be read at
    // all (damaged, locked). Neither gets anything written.
    enum class Outcome { UpToDate, Newer, Foreign, Unreadable, Failed };
    Outcome outcome = Outcome::UpToDate;
    int found = 0;   // the version the database held when opened
    QString message; // why the database cannot be used (Newer, Failed)
};

// Reads the version of the open database db and runs the steps from there
// to kSchemaVersion in one write transaction, the stamp included: all of
// them or none. Then, and for a file of this version too, the indexes,
// views and triggers a fresh file holds are made where the file lacks them
// or holds another text (LayoutRepairs), in the same transaction; a file
// that holds them is only read. A newer database, and a file that does not
// hold this program's tables, get nothing written.
SchemaUpgrade UpgradeSchema(QSqlDatabase db);

// The statements of the step that brings a database of version - 1 to
// version (empty outside 1..kSchemaVersion).
const QStringList& SchemaStepStatements(int version);

// Writes the stamp of version (by default this program's) through q (inside
// the caller's transaction); q.lastError() tells why when it fails.
bool StampSchemaVersion(QSqlQuery& q, int version = kSchemaVersion);

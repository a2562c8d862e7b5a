#pragma once

#include <QString>

// Makes a fresh database file from the program's schema and initial rows,
// stamped with the program's schema version (SchemaVersion.h). Refuses to
// overwrite an existing file. Answers an empty text on success, otherwise
// the reason.
QString CreateFreshDatabase(const QString& fileName);
// The schema text, as shipped inside the program.
QString SchemaText();
// The schema split into single statements.
QStringList SplitSqlStatements(const QString& script);

#pragma once

#include <QString>
#include <QStringList>

// Makes a database file of layout version (0 to kSchemaVersion,
// SchemaVersion.h) in one go: the base layout and its initial rows
// (db/schema.sql, shipped inside the program), then the steps 2 to version
// (SchemaStepStatements), the statements an older file takes to come up,
// stamped with version. Version 0 is the base layout as made before the
// version was kept. The file is whole or not there: it is written under
// another name and renamed when done. Refuses to overwrite an existing file.
// Answers an empty text on success, otherwise the reason.
QString CreateDatabase(const QString& fileName, int version);

// A fresh database of this program's layout: CreateDatabase(fileName,
// kSchemaVersion). Every database the program's tools and tests start from is
// made here.
QString CreateFreshDatabase(const QString& fileName);

// The statements of the base layout and its initial rows, one a string.
const QStringList& BaseSchemaStatements();

#pragma once

#include <QString>
#include <QStringList>
#include <map>

// Makes fileName a database of an older layout as that version of the program
// made it: the schema and initial rows without what the steps after version
// bring (the objects they create, the statements they run word for word),
// stamped with version. Version 0 is the layout of version 1 made before the
// version was kept. Answers an empty text on success, otherwise the reason;
// an existing file is refused.
QString CreateOlderDatabase(const QString& fileName, int version);

// Runs statements on a database file through a connection of its own (no
// setting of the program's); answers the error text of the first that fails,
// or an empty text.
QString RunOnFile(const QString& fileName, const QStringList& statements);

// Every object of the file by name: its type, table and SQL text.
std::map<QString, QString> SchemaObjects(const QString& fileName);

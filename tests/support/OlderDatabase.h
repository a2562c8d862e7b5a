#pragma once

#include <QString>
#include <QStringList>
#include <map>

// Runs statements on a database file through a connection of its own (no
// setting of the program's); answers the error text of the first that fails,
// or an empty text.
QString RunOnFile(const QString& fileName, const QStringList& statements);

// Every object of the file by name: its type, table and SQL text.
std::map<QString, QString> SchemaObjects(const QString& fileName);

// Every row of every table of the file, by table, in the order of their row
// ids: each row its values joined by '|' (Null as "<null>").
std::map<QString, QStringList> TableRows(const QString& fileName);

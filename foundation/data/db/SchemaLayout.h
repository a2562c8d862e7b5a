#pragma once

#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <map>

// The indexes, views and triggers of a database by name: each one's type and
// the text the database keeps of it (sqlite_master).
struct LayoutObject {
    QString type;
    QString sql;
    bool operator==(const LayoutObject&) const = default;
};
using Layout = std::map<QString, LayoutObject>;

// The layout of a fresh database: the base layout and every step, made once
// in memory. Empty when it could not be made.
const Layout& FreshLayout();

// Reads the layout of the database of q; false when it cannot be read.
bool ReadLayout(QSqlQuery& q, Layout& out);

// The statements that bring the layout found to the fresh one: each index,
// view and trigger of a fresh database that found lacks, or holds with
// another text (made by a build whose step said something else), is dropped
// and made anew from the fresh text. Objects a fresh database does not hold
// are left as they are. Empty when found is the fresh layout.
QStringList LayoutRepairs(const Layout& found);

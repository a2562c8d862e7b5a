#pragma once

#include <QString>
#include <QVariant>
#include <sqlite3.h>
#include <vector>

// A statement run bare through SQLite's C API on the program's own connection
// (same file, same page cache), prepared once: the yardstick for the
// program's own database layer.
class BareStatement
{
  public:
    explicit BareStatement(const QString& sql);
    ~BareStatement();
    BareStatement(const BareStatement&) = delete;
    BareStatement& operator=(const BareStatement&) = delete;

    // Binds the values in order, reads every row's every column as a value
    // (text, integer, real) and answers the number of rows.
    int Run(const std::vector<QVariant>& values = {});
    // Binds the values in order and answers the first row's first column as
    // an integer, read natively (0 without a row or for a Null).
    qint64 Integer(const std::vector<QVariant>& values = {});
    // Runs a write (or a statement without rows) and answers the rows changed.
    int Exec(const std::vector<QVariant>& values = {});

    static sqlite3* Handle(); // the program's connection
    static void ExecPlain(const char* sql);

  private:
    void bind(const std::vector<QVariant>& values);
    sqlite3_stmt* m_stmt = nullptr;
};

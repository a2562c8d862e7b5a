#pragma once

#include <QString>
#include <QVariant>
#include <sqlite3.h>
#include <string>
#include <variant>
#include <vector>

// A cell as SQLite gives it, without a Qt type: Null, integer, real, text.
using BareValue = std::variant<std::monostate, sqlite3_int64, double, std::string>;
using BareRow = std::vector<BareValue>;

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

    // Binds the values in order, reads every row's every column natively
    // (text, integer, real, no Qt type) and answers the number of rows.
    int Run(const std::vector<QVariant>& values = {});
    // Binds the values in order and answers the first row's first column as
    // an integer, read natively (0 without a row or for a Null).
    qint64 Integer(const std::vector<QVariant>& values = {});
    // Runs a write (or a statement without rows) and answers the rows changed.
    int Exec(const std::vector<QVariant>& values = {});

    static sqlite3* Handle(); // the program's connection
    static void ExecPlain(const char* sql);

    // Reads every row as Run does and answers each row's first column as an
    // integer (the keys of a result, in order).
    std::vector<qint64> Keys(const std::vector<QVariant>& values = {});
    // Every row with its cells, for comparing results (not timed).
    std::vector<BareRow> Rows(const std::vector<QVariant>& values = {});

  private:
    void bind(const std::vector<QVariant>& values);
    // Reads every column of the current row as its native value.
    void readRow();
    sqlite3_stmt* m_stmt = nullptr;
};

// Steps a bound statement to its end and answers every row with its cells as
// SQLite gives them, then resets it (a failed step throws).
std::vector<BareRow> BareRows(sqlite3_stmt* stmt);

// An SQL expression, of SQLite's own functions only, writing the number expr
// as the program's number formats do: maxDecimals places at most, trailing
// zeros dropped down to minDecimals, which is 0 or 1 ("#0.0##" is 1 to 3,
// "#0.0#" 1 to 2, "0.###" 0 to 3); zeroText, when given, for a value that
// rounds to zero; Null for Null. expr is written more than once.
QString BareNumberText(const QString& expr, int minDecimals, int maxDecimals, const QString& zeroText = {});

// BEGIN and COMMIT, prepared once.
class BareTransaction
{
  public:
    BareTransaction() : m_begin(QStringLiteral("BEGIN")), m_commit(QStringLiteral("COMMIT")) {}
    template <class Work> void Run(Work&& work)
    {
        m_begin.Exec();
        work();
        m_commit.Exec();
    }

  private:
    BareStatement m_begin;
    BareStatement m_commit;
};

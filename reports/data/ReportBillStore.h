#pragma once

#include "ReportSpec.h"

#include <QString>

// The bill actions of the list and detail reports: audit, un-audit and
// delete. Each write checks the stored audit state in the same statement or
// transaction, so a bill changed since the last search is never audited a
// second time, and an audited bill is never deleted.
class ReportBillStore
{
  public:
    enum class Outcome {
        Done,
        Audited,   // the bill is audited (so it cannot be audited again or deleted)
        Unaudited, // the bill is not audited (so it cannot be un-audited)
        Missing,   // no such bill
    };

    explicit ReportBillStore(BillDirection dir) : m_dir(dir) {}

    // Sets ispass to 1 (pass) or 0, stamping the user and the time. Database
    // errors are thrown as DbError.
    Outcome Update_pass(int id, bool pass, const QString& user, const QString& time);
    // Deletes the lines and the head of an unaudited bill in one transaction.
    Outcome Delete(int id);

  private:
    Outcome stateOf(int id) const;

    BillDirection m_dir;
};

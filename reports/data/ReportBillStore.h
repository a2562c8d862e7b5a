#pragma once

#include "BillSetup.h"
#include "BillStore.h"

#include <QString>

// The bill actions of the list and detail reports: audit, un-audit and
// delete. Each write checks the stored audit state in the same statement or
// transaction, so a bill changed since the last search is never audited a
// second time, and an audited bill is never deleted.
class ReportBillStore
{
  public:
    using Outcome = BillStore::PassOutcome;

    explicit ReportBillStore(BillDirection dir) : m_store(BillSetup::Of(dir)) {}

    // Sets ispass to 1 (pass) or 0, stamping the user and the time, only when
    // the bill is stored in the other state, unchanged since the clerk's page
    // read it (seen.rowVersion), and the user's department holds the bill's
    // account tag and the right (BillStore::SetPass). Database errors are
    // thrown as DbError.
    Outcome Update_pass(int id, bool pass, const QString& user, const QString& time,
                        const BillSeen& seen = {})
    {
        return m_store.SetPass(id, pass, user, time, seen);
    }
    // The bill store's delete: lines and head of an unaudited bill in one
    // transaction; an audited, missing or changed bill, or one the user may
    // not act on, is refused with its text.
    m_DBresult Delete(int id, const BillSeen& seen = {}) { return m_store.Delete(id, seen); }

  private:
    BillStore m_store;
};

#pragma once

#include "BillDirection.h"
#include "m_condition.h"

#include <QString>

// What a search puts into the work table: conditions on the bill head (its
// alias is "a" in every report) and, for the sums, the account-tag id list.
struct ReportFill {
    m_conditions conditions;
    QString accountList; // "12,15,0"; only the goods sums read it
};

// The work table and the statements of one report, and those of the three
// report kinds per direction. ReportSetup.h is the data classes' own: a
// window source cannot include it (it names ConditionSql), so a window makes
// a report of a kind (dal_rpt_Report) and never of a setup of its own.
struct ReportSetup;
ReportSetup BillListSetup(BillDirection dir);
ReportSetup BillDetailSetup(BillDirection dir);
ReportSetup GoodsSumSetup(BillDirection dir);

// A program-made id list ("12,15,0"): digits and commas only; throws DbError otherwise.
QString CheckIdList(const QString& list);

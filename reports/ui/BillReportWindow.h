#pragma once

#include "ReportBillStore.h"
#include "ReportFrame.h"

// The part the bill list and the line detail windows share: the bill of the
// current row is opened, deleted (and, in the list, audited) through the
// bill window and the bill store of the window's direction.
class BillReportWindow : public ReportFrame
{
    Q_OBJECT

  public:
    BillReportWindow(BillDirection dir, ReportLayout layout, std::unique_ptr<dal_rpt_Report> data,
                     QWidget* parent = nullptr);

    BillDirection direction() const { return m_dir; }

  protected:
    // The bill id of the current row (0 on an empty row).
    int currentBillId() const;
    // The current row's bill as the page read it, for an act under right.
    BillSeen currentBillSeen(const QString& right) const;
    // Open, delete and the audit actions; each answers nothing and shows its own messages.
    void openBill(const QString& right, bool rightFirst);
    void deleteBill(const QString& right);
    void passBill(const QString& right, bool pass);
    // The right codes of the direction's report actions.
    const BillSetup::ReportRights& rights() const { return BillSetup::Of(m_dir).reportRights; }

    // The field of the column holding the bill id: the list's id, the detail's hidden headId.
    QString m_billIdField = QStringLiteral("id");

  private:
    void refuse(ReportBillStore::Outcome outcome);

    BillDirection m_dir;
    ReportBillStore m_store;
};

#include "BillReportWindow.h"

#include "FlexGrid.h"
#include "GetvalueFunction.h"
#include "MsgBox.h"
#include "Numbers.h"
#include "mod_public.h"

BillReportWindow::BillReportWindow(BillDirection dir, ReportLayout layout,
                                   std::unique_ptr<dal_rpt_Report> data, QWidget* parent)
    : ReportFrame(std::move(layout), std::move(data), parent), m_dir(dir), m_store(dir)
{
}

int BillReportWindow::currentBillId() const
{
    return int(ReadNumber(cellText(m_billIdField)));
}

BillSeen BillReportWindow::currentBillSeen(const QString& right) const
{
    // The hidden stamp column; a row without one is not compared.
    const QString stamp = cellText(QStringLiteral("rowVersion")).trimmed();
    return {stamp.isEmpty() ? -1 : int(ReadNumber(stamp)), right};
}

void BillReportWindow::openBill(const QString& right, bool rightFirst)
{
    if (rightFirst && !check_FunRight(right, true))
        return;
    const int id = currentBillId();
    if (id <= 0)
        return;
    if (!rightFirst && !check_FunRight(right, true))
        return;
    OpenBillWindow(m_dir, id);
}

void BillReportWindow::deleteBill(const QString& right)
{
    const int id = currentBillId();
    if (id <= 0 || !check_FunRight(right, true))
        return;
    const QString title = windowTitle();
    if (cellText(layout().statusField).trimmed() == QStringLiteral("已审核")) {
        MsgBox::Show(QStringLiteral("当前单据已审核,不能删除!"), MsgIcon::Exclamation, title, MsgButtons::Ok,
                     this);
        return;
    }
    // The question names the bill it deletes: the one of the row the menu was opened on.
    const QString billNo = cellText(QStringLiteral("billNo")).trimmed();
    const QString question = billNo.isEmpty()
                                 ? QStringLiteral("是否删除当前单据?")
                                 : QStringLiteral("是否删除当前单据[") + billNo + QStringLiteral("]?");
    if (MsgBox::Show(question, MsgIcon::Question, title, MsgButtons::YesNo, this) == MsgAnswer::No)
        return;
    const m_DBresult result = m_store.Delete(id, currentBillSeen(right));
    if (!result.isResult)
        MsgBox::ShowWithDetails(result.str_MsgBox, result.str_Details, MsgIcon::Exclamation, title, this);
    search();
}

void BillReportWindow::passBill(const QString& right, bool pass)
{
    const int id = currentBillId();
    if (id <= 0 || !check_FunRight(right, true))
        return;
    const QString title = windowTitle();
    const QString shown = cellText(layout().statusField).trimmed();
    if (pass && shown == QStringLiteral("已审核")) {
        refuse(ReportBillStore::Outcome::Audited);
        return;
    }
    if (!pass && shown == QStringLiteral("未审核")) {
        refuse(ReportBillStore::Outcome::Unaudited);
        return;
    }
    // The question names the bill, as the delete question does.
    const QString billNo = cellText(QStringLiteral("billNo")).trimmed();
    const QString act =
        pass ? QStringLiteral("是否 [审核] 当前单据") : QStringLiteral("是否 [反审] 当前单据");
    const QString question = billNo.isEmpty() ? act + QStringLiteral("?")
                                              : act + QStringLiteral("[") + billNo + QStringLiteral("]?");
    if (MsgBox::Show(question, MsgIcon::Question, title, MsgButtons::YesNo, this) == MsgAnswer::No)
        return;
    const int row = currentDataRow();
    const ReportBillStore::Outcome outcome = m_store.Update_pass(
        id, pass, CurrentUser.user, GetNowStr(QStringLiteral("yyyy-MM-dd HH:mm:ss")), currentBillSeen(right));
    if (outcome != ReportBillStore::Outcome::Done) {
        // Changed or deleted since the last search: say so and show the stored state.
        refuse(outcome);
        search();
        return;
    }
    setStatusCell(row, pass ? QStringLiteral("已审核") : QStringLiteral("未审核"));
    MsgBox::Show(pass ? QStringLiteral("审核成功!") : QStringLiteral("反审成功!"), MsgIcon::Information,
                 title, MsgButtons::Ok, this);
}

void BillReportWindow::refuse(ReportBillStore::Outcome outcome)
{
    MsgBox::Show(BillStore::PassRefusal(outcome), MsgIcon::Exclamation, windowTitle(), MsgButtons::Ok, this);
}

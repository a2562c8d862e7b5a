#pragma once

#include "BillRecords.h"
#include "BillSetup.h"
#include "RecordSet.h"
#include "m_DBresult.h"
#include "m_condition.h"
#include "m_recordSet.h"

#include <QDomElement>
#include <QList>
#include <QString>

// What a clerk acts on when auditing or deleting a bill: the change stamp of
// the bill as the clerk's window read it (below 0: not compared) and the
// right the window checked for the act (empty: none).
struct BillSeen {
    int rowVersion = -1;
    QString right;
};

// The one store of bills, heads and lines, for both directions.
//
// A bill is written only as a whole: head and lines in one transaction. The
// head id, the bill number and the line ids are taken inside that
// transaction from the tables' sequences, so no two rows ever share an id,
// not even a row and one deleted before it. A stored bill that is audited,
// gone, or changed elsewhere since it was read by the time a save or delete
// reaches it is refused with the window's own text and nothing is written.
// So is a bill whose partner, account tag or bill type, or a line whose goods
// item or location, is no longer stored: those are checked inside the same
// transaction. Reads let database errors pass (DbError); writes answer an
// m_DBresult.
class BillStore
{
  public:
    explicit BillStore(const BillSetup& direction) : m_dir(direction) {}
    const BillSetup& direction() const { return m_dir; }

    // ---- heads ----

    // "a": the select of every view column; "f": the column list alone, with a
    // blank at each end; anything else the empty text.
    QString GetSqlSearch(const QString& utype = {}) const;
    // Stores a new bill. head.id, head.billNo (from the bill date createTime)
    // and every line's id and headId are taken inside the transaction and
    // written back on success; ispass and the change stamp are stored as 0.
    // Refused with the window's texts when the partner ("供应商不能为空!" /
    // "客户不能为空!"; one deleted since: "当前供应商信息不存在!" /
    // "当前客户信息不存在!"), the account tag (kAccountMissingText), the bill
    // type (the window's bill type refusal), a line's goods item
    // ("当前货品信息不存在!") or its location (the window's location refusal;
    // one deleted since: "当前库位信息不存在!") is not stored.
    m_DBresult Add(BillHead& head, QList<BillLine>& lines);
    // Rewrites a stored, unaudited bill: the head's changeable columns, and its
    // lines made those of lines. A line whose id is one of the bill's stored
    // lines keeps its id and is rewritten in place; the others are stored
    // under new ids (written back on success); stored lines not among them are
    // deleted. The number, audit flag, creator, bill date and creating user
    // stay as stored. The partner, account tag and bill type, the bill's
    // state (gone, audited, or changed since it was read with
    // head.rowVersion: kRecordChangedText) and the lines' references are
    // checked, in that order. On success head.rowVersion is the new stamp.
    m_DBresult Update_All(BillHead& head, QList<BillLine>& lines);
    // SetPass with the head's flag (ispass), user and time (updateLastUser,
    // updateLastTime); a refused outcome fails with its PassRefusal text.
    m_DBresult Update_pass(const BillHead& head);
    using Seen = BillSeen;
    // Audits (pass) or un-audits a bill only when it is stored in the other
    // state, stamping the user and the time, so a bill changed elsewhere is
    // never audited twice. Inside the same transaction the bill must be the
    // one the clerk saw (seen.rowVersion: Changed) and, with a user logged in
    // (CurrentUser), the user's department must still hold the bill's account
    // tag and the right seen.right (Forbidden). Database errors are thrown.
    enum class PassOutcome { Done, Audited, Unaudited, Missing, Changed, Forbidden };
    PassOutcome SetPass(int id, bool pass, const QString& user, const QString& time, const Seen& seen = {});
    // The refusal a window shows for an outcome other than Done.
    static QString PassRefusal(PassOutcome outcome);
    // Deletes an unaudited bill, lines and head, checked as SetPass checks
    // (refusals with PassRefusal's texts).
    m_DBresult Delete(int id, const Seen& seen = {});
    // The bill as the view shows it, with its change stamp; an empty record
    // (id 0) when there is none.
    BillHead GetModel(int id);
    // The bills (every view column) that meet the conditions.
    m_recordSet GetListForCondition(const m_conditions& ilstPara);

    // ---- lines ----

    QString GetLineSqlSearch(const QString& utype = {}) const;
    BillLine GetLineModel(int id);
    // The lines (every view column) that meet the conditions.
    m_recordSet GetLineListForCondition(const m_conditions& ilstPara);
    // The lines of a bill by row number, each field named as the bill grid's
    // column keys name them ("selected" always 0).
    m_recordSet GetBillLines(int headId);
    // The price of the newest line (highest bill id, then highest line id) that
    // the partner had under exactly this entry code, audited or not; false when
    // there is none.
    bool GetLastPrice(int partnerId, const QString& goodsCode, double& price);

    // ---- printing ----

    // Refill the print work tables with the rows that meet the conditions.
    m_DBresult insert_Temp_head(const m_conditions& ilstPara);
    m_DBresult insert_Temp_detail(const m_conditions& ilstPara);
    // The print nodes of the template's head and line sections; a null element
    // when no row meets the conditions. A failed refill throws its text.
    QDomElement GetGroupHeadRowNode(const m_conditions& ilstPara, const QString& str_templeteName);
    QDomElement GetDetailRowNode(const m_conditions& ilstPara, const QString& str_templeteName);

    // The text of a refused save of an audited bill.
    static const QString kAuditedSaveText;
    static const QString kAuditedDeleteText;
    static const QString kMissingText;
    // The refusal of a bill without a stored account tag: the window's own.
    static const QString kAccountMissingText;

  private:
    QString headColumns() const;
    QString lineColumns() const;
    QString lineInsertSql() const;
    QString lineUpdateSql() const;
    void insertLines(int headId, QList<BillLine>& lines);
    void writeLines(int headId, QList<BillLine>& lines);
    void requireEditable(int id, const QString& auditedText);
    PassOutcome mayActOn(int id, const Seen& seen) const;
    void requirePartner(const BillHead& head) const;
    void requireAccountAndType(const BillHead& head) const;
    void requireLineReferences(const QList<BillLine>& lines) const;
    // Refuses a line whose figure is no number a REAL gives back (±Inf, NaN).
    void requireFigures(const QList<BillLine>& lines) const;
    BillHead readHead(const RecordSet& rs) const;
    BillLine readLine(const RecordSet& rs) const;
    m_DBresult refill(const QString& temp, const QString& view, const QString& columns,
                      const m_conditions& ilstPara);

    const BillSetup& m_dir;
};

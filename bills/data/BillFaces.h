#pragma once

#include "BillStore.h"

#include <QList>

// The per-direction names of the bill store (dal_rk_head, dal_ck_detail, ...)
// over the one BillStore. The records of the two directions are the store's
// own records under their own names, so a record passes to the store as it is
// and comes back through its converting constructor.
namespace BillFields
{
template <class To, class From> QList<To> convertAll(const QList<From>& from)
{
    QList<To> to;
    to.reserve(from.size());
    for (const From& f : from)
        to.append(To(f));
    return to;
}
} // namespace BillFields

// dal_rk_head / dal_ck_head
template <class Head, class Line> class BillHeadFace
{
  public:
    explicit BillHeadFace(const BillSetup& direction) : m_store(direction) {}

    QString GetSqlSearch(const QString& utype = {}) const { return m_store.GetSqlSearch(utype); }
    // The new bill's id and number, and the lines' ids, are written back.
    m_DBresult Add(Head& head, QList<Line>& lines)
    {
        BillHead h = head;
        QList<BillLine> ls = BillFields::convertAll<BillLine>(lines);
        const m_DBresult r = m_store.Add(h, ls);
        if (r.isResult) {
            head = Head(h);
            lines = BillFields::convertAll<Line>(ls);
        }
        return r;
    }
    Head GetModel(int int_Id) { return Head(m_store.GetModel(int_Id)); }
    m_recordSet GetListForCondition(const m_conditions& ilstPara)
    {
        return m_store.GetListForCondition(ilstPara);
    }
    m_DBresult Delete(int int_Id) { return m_store.Delete(int_Id); }
    m_DBresult Update_pass(const Head& obj_Model) { return m_store.Update_pass(obj_Model); }
    m_DBresult Update_All(Head& head, QList<Line>& lines)
    {
        BillHead h = head;
        QList<BillLine> ls = BillFields::convertAll<BillLine>(lines);
        const m_DBresult r = m_store.Update_All(h, ls);
        if (r.isResult) {
            head = Head(h);
            lines = BillFields::convertAll<Line>(ls);
        }
        return r;
    }
    QDomElement GetGroupHeadRowNode(const m_conditions& ilstPara, const QString& str_templeteName)
    {
        return m_store.GetGroupHeadRowNode(ilstPara, str_templeteName);
    }
    BillStore& store() { return m_store; }

  protected:
    BillStore m_store;
};

// dal_rk_detail / dal_ck_detail. Lines are written only with their bill,
// through the head's Add and Update_All, which check the bill as a whole.
template <class Line> class BillLineFace
{
  public:
    explicit BillLineFace(const BillSetup& direction) : m_store(direction) {}

    QString GetSqlSearch(const QString& utype = {}) const { return m_store.GetLineSqlSearch(utype); }
    Line GetModel(int int_Id) { return Line(m_store.GetLineModel(int_Id)); }
    m_recordSet GetListForCondition(const m_conditions& ilstPara)
    {
        return m_store.GetLineListForCondition(ilstPara);
    }
    // The last price of the partner under this entry code (purchase price
    // inbound, sale price outbound).
    bool GetLastPrice(int partnerId, const QString& goodsCode, double& price)
    {
        return m_store.GetLastPrice(partnerId, goodsCode, price);
    }
    m_recordSet GetBillLines(int headId) { return m_store.GetBillLines(headId); }
    QDomElement GetDetailRowNode(const m_conditions& ilstPara, const QString& str_templeteName)
    {
        return m_store.GetDetailRowNode(ilstPara, str_templeteName);
    }
    BillStore& store() { return m_store; }

  protected:
    BillStore m_store;
};

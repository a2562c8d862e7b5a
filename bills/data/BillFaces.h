#pragma once

#include "BillStore.h"

#include <QList>

// The per-direction names of the bill store (dal_rk_head, dal_ck_detail, ...)
// over the one BillStore. The records of the two directions differ only in
// the partner's field names and the outbound sale price; the copies below
// are written once for both.
namespace BillFields
{
template <class Rec> auto& partnerId(Rec& r)
{
    if constexpr (requires { r.partnerId; })
        return r.partnerId;
    else if constexpr (requires { r.supplierId; })
        return r.supplierId;
    else
        return r.customerId;
}
template <class Rec> auto& partnerName(Rec& r)
{
    if constexpr (requires { r.partnerName; })
        return r.partnerName;
    else if constexpr (requires { r.supplierName; })
        return r.supplierName;
    else
        return r.customerName;
}

// Copies every field the two records share, whichever is the generic one.
template <class A, class B> void copyHead(const A& a, B& b)
{
    b.id = a.id;
    b.accountId = a.accountId;
    b.billNo = a.billNo;
    b.ubillNo = a.ubillNo;
    b.utypeId = a.utypeId;
    partnerId(b) = partnerId(a);
    partnerName(b) = partnerName(a);
    b.remark = a.remark;
    b.creator = a.creator;
    b.createTime = a.createTime;
    b.updateLastUser = a.updateLastUser;
    b.updateLastTime = a.updateLastTime;
    b.userId = a.userId;
    b.ispass = a.ispass;
    b.accountName = a.accountName;
    b.totalItemRow = a.totalItemRow;
    b.utype = a.utype;
    b.totalQty = a.totalQty;
    b.totalAmount = a.totalAmount;
    b.rowsCount = a.rowsCount;
    b.passName = a.passName;
}

template <class A, class B> void copyLine(const A& a, B& b)
{
    b.id = a.id;
    b.headId = a.headId;
    b.rowNo = a.rowNo;
    b.goodsTypeId = a.goodsTypeId;
    b.goodsTypeName = a.goodsTypeName;
    b.goodsId = a.goodsId;
    b.goodsCode = a.goodsCode;
    b.goodsDetailCode = a.goodsDetailCode;
    b.goodsName = a.goodsName;
    b.goodsDesc = a.goodsDesc;
    b.unit = a.unit;
    b.inPrice = a.inPrice;
    if constexpr (requires {
                      a.salePrice;
                      b.salePrice;
                  })
        b.salePrice = a.salePrice;
    b.packQty = a.packQty;
    b.weight = a.weight;
    b.qty = a.qty;
    b.locationId = a.locationId;
    b.lotNo = a.lotNo;
    b.remark = a.remark;
    b.accountId = a.accountId;
    b.accountName = a.accountName;
    b.billNo = a.billNo;
    b.ubillNo = a.ubillNo;
    b.utype = a.utype;
    b.utypeId = a.utypeId;
    partnerId(b) = partnerId(a);
    partnerName(b) = partnerName(a);
    b.userId = a.userId;
    b.totalQty = a.totalQty;
    b.totalDefaultQty = a.totalDefaultQty;
    b.totalWeight = a.totalWeight;
    b.totalAmount = a.totalAmount;
    b.locationCode = a.locationCode;
    b.ispass = a.ispass;
    b.passName = a.passName;
}

template <class B, class A> B headAs(const A& a)
{
    B b;
    copyHead(a, b);
    return b;
}
template <class B, class A> B lineAs(const A& a)
{
    B b;
    copyLine(a, b);
    return b;
}
template <class B, class A> QList<B> linesAs(const QList<A>& as)
{
    QList<B> bs;
    bs.reserve(as.size());
    for (const A& a : as)
        bs.append(lineAs<B>(a));
    return bs;
}
} // namespace BillFields

// dal_rk_head / dal_ck_head
template <class Head, class Line> class BillHeadFace
{
  public:
    explicit BillHeadFace(const BillDirectionSpec& direction) : m_store(direction) {}

    QString GetSqlSearch(const QString& utype = {}) const { return m_store.GetSqlSearch(utype); }
    // The new bill's id and number, and the lines' ids, are written back.
    m_DBresult Add(Head& head, QList<Line>& lines)
    {
        BillHead h = BillFields::headAs<BillHead>(head);
        QList<BillLine> ls = BillFields::linesAs<BillLine>(lines);
        const m_DBresult r = m_store.Add(h, ls);
        if (r.isResult) {
            head = BillFields::headAs<Head>(h);
            lines = BillFields::linesAs<Line>(ls);
        }
        return r;
    }
    Head GetModel(int int_Id) { return BillFields::headAs<Head>(m_store.GetModel(int_Id)); }
    RecordSetPtr GetDataTable(const QString& str_condition, const ParamMap& params = {})
    {
        return m_store.GetDataTable(str_condition, params);
    }
    m_recordSet GetListForCondition(const m_conditions& ilstPara, const QString& str_sql = {},
                                    const QString& str_Criteria = {})
    {
        return m_store.GetListForCondition(ilstPara, str_sql, str_Criteria);
    }
    m_DBresult Delete(int int_Id) { return m_store.Delete(int_Id); }
    m_DBresult Update_pass(const Head& obj_Model)
    {
        return m_store.Update_pass(BillFields::headAs<BillHead>(obj_Model));
    }
    m_DBresult Update_All(Head& head, QList<Line>& lines)
    {
        BillHead h = BillFields::headAs<BillHead>(head);
        QList<BillLine> ls = BillFields::linesAs<BillLine>(lines);
        const m_DBresult r = m_store.Update_All(h, ls);
        if (r.isResult)
            lines = BillFields::linesAs<Line>(ls);
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

// dal_rk_detail / dal_ck_detail
template <class Line> class BillLineFace
{
  public:
    explicit BillLineFace(const BillDirectionSpec& direction) : m_store(direction) {}

    QString GetSqlSearch(const QString& utype = {}) const { return m_store.GetLineSqlSearch(utype); }
    m_DBresult Add(Line& obj_Model)
    {
        BillLine l = BillFields::lineAs<BillLine>(obj_Model);
        const m_DBresult r = m_store.AddLine(l);
        if (r.isResult)
            obj_Model.id = l.id;
        return r;
    }
    Line GetModel(int int_Id) { return BillFields::lineAs<Line>(m_store.GetLineModel(int_Id)); }
    RecordSetPtr GetDataTable(const QString& str_condition, const ParamMap& params = {})
    {
        return m_store.GetLineDataTable(str_condition, params);
    }
    m_recordSet GetListForCondition(const m_conditions& ilstPara, const QString& str_sql = {},
                                    const QString& str_orderByField = {})
    {
        return m_store.GetLineListForCondition(ilstPara, str_sql, str_orderByField);
    }
    m_DBresult Delete(int int_Id) { return m_store.DeleteLine(int_Id); }
    m_DBresult Update(const Line& obj_Model)
    {
        return m_store.UpdateLine(BillFields::lineAs<BillLine>(obj_Model));
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

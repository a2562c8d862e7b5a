#include "PickerQuery.h"

#include "BillDirection.h"
#include "ProcessFuntionValues.h"
#include "sqlHelper.h"

#include <QList>

namespace
{

// What one list reads: the view, the select text (field k lands in grid
// column k), the columns a keyword is looked for in and the ties' order.
struct Source {
    QString name;
    QString view;
    QString select;
    QStringList keywordFields;
    QString tieOrder = QStringLiteral("id");
};

Source partnerSource(const BillDirectionFacts& d)
{
    return {d.partnerKind,
            QStringLiteral("v_customer"),
            QStringLiteral("select id,0 as marked,uname,customerCode,contact,companyName,utypeName "),
            {QStringLiteral("pinyin"), QStringLiteral("uname"), QStringLiteral("customerCode")}};
}

// Goods for an inbound bill show the purchase price, for an outbound bill the
// sale price. The key table's own order reads a page without sorting every match.
Source goodsSource(const BillDirectionFacts& d)
{
    return {d.goodsList,
            QStringLiteral("v_goods_detail_input"),
            QStringLiteral(
                "select id,0 as "
                "marked,inputGoodsCode,goodsName,goodsDesc,goodsTypeName,unit,packQty,weight,%1,status ")
                .arg(d.priceCol),
            {QStringLiteral("keyText")}, // entry code, name, pinyin and barcode joined
            QStringLiteral("keyId")};
}

Source billSource(const BillDirectionFacts& d)
{
    return {d.billList,
            d.headView,
            QStringLiteral(
                "select id,0 as marked,billNo,ubillNo,utype,%1,accountName,totalItemRow,creator,passName ")
                .arg(d.partnerNameCol),
            {QStringLiteral("billNo"), QStringLiteral("ubillNo"), d.partnerNameCol}};
}

const QList<Source>& sources()
{
    static const QList<Source> list = [] {
        QList<Source> l;
        for (BillDirection d : kBillDirections)
            l << partnerSource(BillDirectionFacts::Of(d));
        l << Source{
            QStringLiteral("location"),
            QStringLiteral("v_location"),
            QStringLiteral("select id,0 as "
                           "marked,locationCode,uname,capacity,parentName,lockName,VirtualName,stateName "),
            {QStringLiteral("locationCode"), QStringLiteral("uname")}};
        for (BillDirection d : kBillDirections)
            l << goodsSource(BillDirectionFacts::Of(d));
        l << Source{QStringLiteral("dictionary"),
                    QStringLiteral("v_dictionary"),
                    QStringLiteral("select id,0 as marked,uname,startName,parentName,remark "),
                    {QStringLiteral("uname"), QStringLiteral("parentName")}};
        for (BillDirection d : kBillDirections)
            l << billSource(BillDirectionFacts::Of(d));
        return l;
    }();
    return list;
}

const Source* findSource(const QString& name)
{
    for (const Source& s : sources()) {
        if (name == s.name)
            return &s;
    }
    return nullptr;
}

// The select list's field names ("0 as marked" is "marked").
QStringList selectFields(const QString& select)
{
    QString list = select.trimmed();
    list.remove(0, int(qstrlen("select")));
    QStringList fields = list.split(QLatin1Char(','));
    for (QString& f : fields) {
        f = f.trimmed();
        const qsizetype as = f.lastIndexOf(QLatin1String(" as "));
        if (as >= 0)
            f = f.mid(as + 4).trimmed();
    }
    return fields;
}

} // namespace

bool PickerQuery::HasList(const QString& name)
{
    return findSource(name) != nullptr;
}

PickerQuery::PickerQuery(const QString& name, m_conditions conditions, const QString& keyword, int sortField,
                         bool descending)
{
    const Source* source = findSource(name);
    if (!source)
        return;
    // The columns of the lists' views a picker's conditions name.
    const SearchFields fields{{SearchKey::Id, QStringLiteral("id")},
                              {SearchKey::Type, QStringLiteral("utype")},
                              {SearchKey::Status, QStringLiteral("status")},
                              {SearchKey::State, QStringLiteral("state")},
                              {SearchKey::Started, QStringLiteral("isstart")},
                              {SearchKey::Account, QStringLiteral("accountId")},
                              {SearchKey::Keyword, JoinedText(source->keywordFields)}};
    if (!IsNullOrEmpty(keyword))
        conditions.append(m_condition(SearchKey::Keyword, QStringLiteral("like"), keyword));
    const ConditionSql where = GetConditionSql(conditions, fields);
    m_from = QStringLiteral(" from ") + source->view + QStringLiteral("  where 1=1 ") + where.sql;
    m_params = where.params;
    m_select = source->select;
    m_fields = selectFields(source->select);
    m_order = QStringLiteral(" order by ") + source->tieOrder;
    if (sortField >= 2 && sortField < m_fields.size())
        m_order = QStringLiteral(" order by ") + m_fields.at(sortField) +
                  (descending ? QStringLiteral(" desc,") : QStringLiteral(",")) + source->tieOrder;
}

RecordSetPtr PickerQuery::Page(int offset, int rows) const
{
    if (m_select.isEmpty())
        return {};
    return ExecuteSql(
        m_select + m_from + m_order + QStringLiteral(" limit %1 offset %2").arg(rows).arg(offset), m_params);
}

int PickerQuery::Count() const
{
    if (m_select.isEmpty())
        return 0;
    const RecordSetPtr counted = ExecuteSql(QStringLiteral("select count(*)") + m_from, m_params);
    return counted && !counted->isEmpty() ? counted->value(0, 0).toInt() : 0;
}

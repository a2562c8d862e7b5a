#include "PickerQuery.h"

#include "ProcessFuntionValues.h"
#include "sqlHelper.h"

#include <QList>

namespace
{

// What one list reads: the view, the select text (field k lands in grid
// column k), the columns a keyword is looked for in and the ties' order.
struct Source {
    const char* name;
    const char* view;
    const char* select;
    QStringList keywordFields;
    const char* tieOrder = "id";
};

Source partnerSource(const char* name)
{
    return {name,
            "v_customer",
            "select id,0,uname,customerCode,contact,companyName,utypeName ",
            {QStringLiteral("pinyin"), QStringLiteral("uname"), QStringLiteral("customerCode")}};
}

// Goods for an inbound bill show the purchase price, for an outbound bill the
// sale price. The key table's own order reads a page without sorting every match.
Source goodsSource(const char* name, const char* select)
{
    return {name,
            "v_goods_detail_input",
            select,
            {QStringLiteral("keyText")}, // entry code, name, pinyin and barcode joined
            "keyId"};
}

const QList<Source>& sources()
{
    static const QList<Source> list = {
        partnerSource("supplier"),
        partnerSource("customer"),
        {"location",
         "v_location",
         "select id,0,locationCode,uname,capacity,parentName,lockName,VirtualName,stateName ",
         {QStringLiteral("locationCode"), QStringLiteral("uname")}},
        goodsSource(
            "inputGoods",
            "select id,0,inputGoodsCode,goodsName,goodsDesc,goodsTypeName,unit,packQty,weight,inPrice,status "
            " "),
        goodsSource(
            "inputGoodsForExport",
            "select id,0,inputGoodsCode,goodsName,goodsDesc,goodsTypeName,unit,packQty,weight,salePrice,"
            "status  "),
        {"dictionary",
         "v_dictionary",
         "select id,0,uname,startName,parentName,remark ",
         {QStringLiteral("uname"), QStringLiteral("parentName")}},
        {"rk_bill",
         "v_rk_head",
         "select id,0,billNo,ubillNo,utype,supplierName,accountName,totalItemRow,creator,passName ",
         {QStringLiteral("billNo"), QStringLiteral("ubillNo"), QStringLiteral("supplierName")}},
        {"ck_bill",
         "v_ck_head",
         "select id,0,billNo,ubillNo,utype,customerName,accountName,totalItemRow,creator,passName ",
         {QStringLiteral("billNo"), QStringLiteral("ubillNo"), QStringLiteral("customerName")}},
    };
    return list;
}

const Source* findSource(const QString& name)
{
    for (const Source& s : sources()) {
        if (name == QLatin1String(s.name))
            return &s;
    }
    return nullptr;
}

// The select list's fields.
QStringList selectFields(const char* select)
{
    QString list = QString::fromLatin1(select).trimmed();
    list.remove(0, int(qstrlen("select")));
    QStringList fields = list.split(QLatin1Char(','));
    for (QString& f : fields)
        f = f.trimmed();
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
    if (!IsNullOrEmpty(keyword))
        conditions.append(m_condition(JoinedText(source->keywordFields), QStringLiteral("like"), keyword));
    m_where = GetConditionSql(conditions);
    m_from =
        QStringLiteral(" from ") + QLatin1String(source->view) + QStringLiteral("  where 1=1 ") + m_where.sql;
    m_select = QLatin1String(source->select);
    m_fields = selectFields(source->select);
    m_order = QStringLiteral(" order by ") + QLatin1String(source->tieOrder);
    if (sortField >= 2 && sortField < m_fields.size())
        m_order = QStringLiteral(" order by ") + m_fields.at(sortField) +
                  (descending ? QStringLiteral(" desc,") : QStringLiteral(",")) +
                  QLatin1String(source->tieOrder);
}

RecordSetPtr PickerQuery::Page(int offset, int rows) const
{
    if (m_select.isEmpty())
        return {};
    return ExecuteSql(m_select + m_from + m_order +
                          QStringLiteral(" limit %1 offset %2").arg(rows).arg(offset),
                      m_where.params);
}

int PickerQuery::Count() const
{
    if (m_select.isEmpty())
        return 0;
    const RecordSetPtr counted = ExecuteSql(QStringLiteral("select count(*)") + m_from, m_where.params);
    return counted && !counted->isEmpty() ? counted->value(0, 0).toInt() : 0;
}

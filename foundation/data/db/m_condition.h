#pragma once

#include "KeyValue.h"

#include <QList>
#include <QString>
#include <QVariant>

// One search condition: uField uLinkType uValue. The field and the operator
// are program-made and are checked before they reach the SQL text; the value
// is bound, so whatever a user typed is compared as typed ("N:5", "50%",
// "O'Brien" included). A program-made id list or column goes in with
// NList("12,15,0") or NExpr("a.goodsTypeId"); it is checked and written into
// the text:
//     conds.append(m_condition("goodsCode", "like", txt_key->text()));
//     conds.append(m_condition("accountId", "in", NList(SysVar.Sys_accountJoinId)));
class m_condition
{
  public:
    m_condition() = default;
    m_condition(const QString& iField, const QString& iLinkType, const QVariant& iValue)
    {
        init(iField, iLinkType, iValue);
    }
    void init(const QString& iField, const QString& iLinkType, const QVariant& iValue)
    {
        uField = iField;
        uLinkType = iLinkType;
        uValue = iValue;
    }

    QString uField;    // column name or expression, e.g. "goodsCode" or "COALESCE(a,'')||COALESCE(b,'')"
    QString uLinkType; // "=", "<>", "<", ">", "<=", ">=", "like", "not like", "in", "not in"
    QVariant uValue;   // bound; NList/NExpr written into the text
};

// Conditions in the order the window adds them.
using m_conditions = QList<m_condition>;

// The select list ("select a, b " without its from clause) a data class reads
// a list with, in place of its own. Only the data layer writes one
// (SelectListOf); a window cannot make one, so it reads a data class's lists
// with the columns the class chose.
class SelectList
{
  public:
    const QString& text() const { return m_text; }

  private:
    explicit SelectList(QString text) : m_text(std::move(text)) {}
    friend SelectList SelectListOf(QString select);

    QString m_text;
};

#ifdef WMS_WINDOW_LAYER
// Poisoned here rather than in cmake/WindowLayer.h: the class above names it.
#pragma GCC poison SelectListOf
#else
inline SelectList SelectListOf(QString select)
{
    return SelectList(std::move(select));
}
#endif

// A piece of SQL text with the values of its placeholders: what the condition
// builders answer. Append it behind " where 1=1" and run it with its params
// (merged with the statement's own: ParamMap::Merge). Data classes make and
// keep them; none takes one from its caller. A window neither names nor
// builds one: the name is poisoned for window sources below, and the records
// a window holds carry a condition's text at most (m_recordSet::str_condition).
struct ConditionSql {
    QString sql;
    ParamMap params;

    bool isEmpty() const { return sql.isEmpty(); }
    ConditionSql& operator+=(const ConditionSql& other);
};

#ifdef WMS_WINDOW_LAYER
// Poisoned here rather than in cmake/WindowLayer.h: the struct above names it.
#pragma GCC poison ConditionSql
#endif

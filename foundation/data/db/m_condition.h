#pragma once

#include "KeyValue.h"

#include <QList>
#include <QMap>
#include <QString>
#include <QVariant>

// What a search looks at, named by the window; each data class maps the keys
// it answers to its own columns (SearchFields), so no SQL text crosses from a
// window into a data class. A key a class does not map is refused.
enum class SearchKey {
    Id,            // the row's id
    ParentId,      // the row above in a tree
    HeadId,        // the head a line belongs to (a bill, a goods item)
    Name,          // the row's name
    Code,          // the goods code
    Type,          // the row's type or kind (its name or number)
    TypeId,        // the id of a bill's type
    Category,      // the category of a partner
    GoodsType,     // the id of a goods item's type
    GoodsTypeName, // the name of a goods item's type
    Status,        // enabled or not
    State,         // a location's state
    Started,       // a dictionary entry in use
    Account,       // the account tag
    CreateTime,    // when the row was made
    Audit,         // a bill's audit state
    Partner,       // the partner's name
    Keyword,       // the fields a keyword is looked for in, joined
    ShortKeyword,  // the same without the barcode (a bill's near matches)
    Balance,       // the quantity a zero filter reads
};

// One search condition: uField uLinkType uValue. The field is a key the data
// class maps to its own column; the operator is one of a fixed list; the value
// is bound, so whatever a user typed is compared as typed ("N:5", "50%",
// "O'Brien" included). A program-made id list goes in with
// NList("12,15,0"); it is checked and written into the text:
//     conds.append(m_condition(SearchKey::Code, "like", txt_key->text()));
//     conds.append(m_condition(SearchKey::Account, "in", NList(SysVar.Sys_accountJoinId)));
class m_condition
{
  public:
    m_condition() = default;
    m_condition(SearchKey iField, const QString& iLinkType, const QVariant& iValue)
        : uField(iField), uLinkType(iLinkType), uValue(iValue)
    {
    }

    SearchKey uField = SearchKey::Id;
    QString uLinkType; // "=", "<>", "<", ">", "<=", ">=", "like", "not like", "in", "not in"
    QVariant uValue;   // bound; NList written into the text
};

// The columns (or column expressions) a data class reads each key it answers
// from: its own SQL, never a caller's.
using SearchFields = QMap<SearchKey, QString>;

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

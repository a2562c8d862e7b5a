#pragma once

#include <QList>
#include <QMetaType>
#include <QString>
#include <QVariant>
#include <utility>

// A value put into SQL text as it stands: a program-made number list such as
// a right list "12,15,0", or a column expression such as "goodsCode desc".
// Only these reach the statement text, and only after the runner has checked
// that they hold nothing else. Every other value is bound.
struct SqlRaw {
    enum Kind { NumberList, ColumnExpr };
    Kind kind = NumberList;
    QString text;
    bool isValid() const;
};
Q_DECLARE_METATYPE(SqlRaw)

// A comma list of whole numbers ("12,15,0") for an in-list.
QVariant NList(const QString& list);
// A column name or column expression ("a.goodsCode", "orderBy desc").
QVariant NExpr(const QString& expression);

// Parameters of one statement: placeholder names ("@id", "@user") with their
// values, in insertion order. Names compare case-sensitively.
class ParamMap
{
  public:
    ParamMap() = default;
    ParamMap(std::initializer_list<std::pair<QString, QVariant>> items);

    // Adds or replaces a parameter.
    ParamMap& Add(const QString& name, const QVariant& value);
    // Adds every parameter of other (a condition's values to a statement's
    // own). A name already present with another value is refused with a
    // DbError: one placeholder cannot stand for two values.
    ParamMap& Merge(const ParamMap& other);
    bool contains(const QString& name) const;
    QVariant value(const QString& name) const;
    const QList<std::pair<QString, QVariant>>& items() const { return m_items; }
    bool isEmpty() const { return m_items.isEmpty(); }

    // Inside a batch: the statement must change at least one row, otherwise
    // the batch fails with the given text (the record was deleted elsewhere,
    // or a bill was audited meanwhile).
    ParamMap& RequireRow(const QString& failureText = QStringLiteral("当前记录不存在!"));
    bool requiresRow() const { return m_requireRow; }
    const QString& requireRowText() const { return m_requireRowText; }

  private:
    QList<std::pair<QString, QVariant>> m_items;
    bool m_requireRow = false;
    QString m_requireRowText;
};
Q_DECLARE_METATYPE(ParamMap)

// An ordered map from a text key to a value. Statement batches are keyed by
// the SQL text, or by a unique prefix, "|" and the SQL text; their values are
// ParamMaps (or nothing). Print data uses it for XML node replacements.
class KeyValue
{
  public:
    // Refuses (throws DbError) a key that is already present; the map is unchanged.
    void AddItem(const QString& strKey, const QVariant& objValue = {});
    void Clear() { m_items.clear(); }
    const QList<std::pair<QString, QVariant>>& Items() const { return m_items; }
    int Count() const { return int(m_items.size()); }
    bool Exists(const QString& key) const;

  private:
    QList<std::pair<QString, QVariant>> m_items;
};

#include "KeyValue.h"

#include "DbError.h"

#include <QRegularExpression>

bool SqlRaw::isValid() const
{
    static const QRegularExpression numberList(QStringLiteral(R"(^\s*-?\d+(\s*,\s*-?\d+)*\s*$)"));
    static const QRegularExpression columnExpr(QStringLiteral(
        R"(^\s*[A-Za-z_][A-Za-z0-9_]*(\.[A-Za-z_][A-Za-z0-9_]*)?(\s+(asc|desc|ASC|DESC))?\s*$)"));
    switch (kind) {
    case NumberList:
        return numberList.match(text).hasMatch();
    case ColumnExpr:
        return columnExpr.match(text).hasMatch();
    }
    return false;
}

QVariant NList(const QString& list)
{
    return QVariant::fromValue(SqlRaw{SqlRaw::NumberList, list});
}

QVariant NExpr(const QString& expression)
{
    return QVariant::fromValue(SqlRaw{SqlRaw::ColumnExpr, expression});
}

ParamMap::ParamMap(std::initializer_list<std::pair<QString, QVariant>> items)
{
    for (const auto& item : items)
        Add(item.first, item.second);
}

ParamMap& ParamMap::Add(const QString& name, const QVariant& value)
{
    for (auto& item : m_items) {
        if (item.first == name) {
            item.second = value;
            return *this;
        }
    }
    m_items.append({name, value});
    return *this;
}

namespace
{
bool sameValue(const QVariant& a, const QVariant& b)
{
    const int raw = qMetaTypeId<SqlRaw>();
    if (a.typeId() == raw || b.typeId() == raw) {
        if (a.typeId() != b.typeId())
            return false;
        const SqlRaw x = a.value<SqlRaw>();
        const SqlRaw y = b.value<SqlRaw>();
        return x.kind == y.kind && x.text == y.text;
    }
    return a.typeId() == b.typeId() && a == b;
}
} // namespace

ParamMap& ParamMap::Merge(const ParamMap& other)
{
    for (const auto& [name, value] : other.m_items) {
        if (contains(name) && !sameValue(this->value(name), value))
            throw DbError(QStringLiteral("参数 %1 有两个不同的值").arg(name));
        Add(name, value);
    }
    return *this;
}

bool ParamMap::contains(const QString& name) const
{
    for (const auto& item : m_items) {
        if (item.first == name)
            return true;
    }
    return false;
}

QVariant ParamMap::value(const QString& name) const
{
    for (const auto& item : m_items) {
        if (item.first == name)
            return item.second;
    }
    return {};
}

ParamMap& ParamMap::RequireRow(const QString& failureText)
{
    m_requireRow = true;
    m_requireRowText = failureText;
    return *this;
}

void KeyValue::AddItem(const QString& strKey, const QVariant& objValue)
{
    if (Exists(strKey))
        throw DbError(QStringLiteral("关键字重复: ") + strKey);
    m_items.append({strKey, objValue});
}

bool KeyValue::Exists(const QString& key) const
{
    for (const auto& item : m_items) {
        if (item.first == key)
            return true;
    }
    return false;
}

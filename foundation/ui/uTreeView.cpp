#include "uTreeView.h"

#include "DataAccess.h"
#include "DbError.h"
#include "RecordSet.h"
#include "sqlHelper.h"

#include <functional>

namespace
{

bool readFlag(const QVariant& value)
{
    if (value.isNull())
        return false;
    if (value.typeId() == QMetaType::QString) {
        const QString t = value.toString().trimmed();
        if (t.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
            return true;
        bool ok = false;
        const double d = t.toDouble(&ok);
        return ok && d != 0;
    }
    return value.toDouble() != 0;
}

// An id as the key shows it: whole numbers without a decimal part.
QString idText(const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
        return QString::number(value.toLongLong());
    default:
        return value.toString().trimmed();
    }
}

QVariant field(const RecordSet& rs, int row, const QString& name)
{
    const int col = rs.fieldIndex(name);
    if (col < 0)
        throw DbError(QStringLiteral("找不到字段: ") + name);
    return rs.value(row, col);
}

} // namespace

void uTreeView::CreateTreeView(QTreeWidget* aTreeView)
{
    m_tree = aTreeView;
    m_keys.clear();
}

void uTreeView::indexTree()
{
    // The caller may have cleared or changed the tree since the last fill.
    m_keys.clear();
    if (!m_tree)
        return;
    std::function<void(QTreeWidgetItem*)> walk = [&](QTreeWidgetItem* item) {
        const QString key = NodeKey(item);
        if (!key.isEmpty())
            m_keys.insert(key, item);
        for (int i = 0; i < item->childCount(); ++i)
            walk(item->child(i));
    };
    for (int i = 0; i < m_tree->topLevelItemCount(); ++i)
        walk(m_tree->topLevelItem(i));
}

QTreeWidgetItem* uTreeView::addNode(const QString& parentKey, const QString& key, const QString& text,
                                    const QString& image)
{
    if (!m_tree)
        throw DbError(QStringLiteral("对象变量或 With 块变量未设置"));
    if (m_keys.contains(key))
        throw DbError(QStringLiteral("关键字不唯一: ") + key);
    QTreeWidgetItem* item = nullptr;
    if (parentKey.isEmpty()) {
        item = new QTreeWidgetItem(m_tree);
    } else {
        QTreeWidgetItem* parent = m_keys.value(parentKey);
        if (!parent)
            throw DbError(QStringLiteral("元素未找到: ") + parentKey);
        item = new QTreeWidgetItem(parent);
    }
    item->setText(0, text);
    item->setData(0, KeyRole, key);
    item->setData(0, ImageRole, image);
    if (m_images.contains(image))
        item->setIcon(0, m_images.value(image));
    m_keys.insert(key, item);
    // Visible means every ancestor open.
    for (QTreeWidgetItem* p = item->parent(); p; p = p->parent())
        p->setExpanded(true);
    return item;
}

void uTreeView::AddTreeII(int aParentID, const TreeLevelReader& readLevel, const QString&, bool isloadcheck,
                          bool)
{
    indexTree();
    loadLevel(aParentID, readLevel, isloadcheck);
}

void uTreeView::loadLevel(int parentId, const TreeLevelReader& readLevel, bool loadCheck)
{
    const RecordSetPtr rs = readLevel ? readLevel(parentId) : RecordSetPtr();
    if (!rs)
        return;
    const QString parentKey = parentId != 0 ? QStringLiteral("key") + QString::number(parentId) : QString();
    for (int i = 0; i < rs->RecordCount(); ++i) {
        const QVariant idValue = field(*rs, i, QStringLiteral("id"));
        const QString id = QString::number(idValue.toLongLong());
        QTreeWidgetItem* node = addNode(parentKey, QStringLiteral("key") + id,
                                        field(*rs, i, QStringLiteral("displaytext")).toString(),
                                        field(*rs, i, QStringLiteral("icon")).toString());
        node->setData(0, TagRole, field(*rs, i, QStringLiteral("funCode")));
        if (loadCheck) {
            node->setFlags(node->flags() | Qt::ItemIsUserCheckable);
            node->setCheckState(0, readFlag(field(*rs, i, QStringLiteral("ucheck"))) ? Qt::Checked
                                                                                     : Qt::Unchecked);
        }
        loadLevel(int(idValue.toLongLong()), readLevel, loadCheck);
    }
}

void uTreeView::AddTree(RecordSet& rs, const QString& aID, const QString& aContext, const QString& aParentID)
{
    indexTree();
    while (!rs.eof()) {
        const int row = rs.AbsolutePosition();
        const QString id = idText(field(rs, row, aID));
        const QString text = field(rs, row, aContext).toString();
        const QString parent = idText(field(rs, row, aParentID));
        if (parent.toLongLong() == 0)
            addNode(QString(), QStringLiteral("key") + id, text, QStringLiteral("2"));
        else
            addNode(QStringLiteral("key") + parent, QStringLiteral("key") + id, text, QStringLiteral("1"));
        rs.MoveNext();
    }
}

QTreeWidgetItem* uTreeView::Node(const QString& key) const
{
    if (!m_tree)
        return nullptr;
    QTreeWidgetItemIterator it(m_tree);
    for (; *it; ++it) {
        if (NodeKey(*it) == key)
            return *it;
    }
    return nullptr;
}

QString uTreeView::NodeKey(const QTreeWidgetItem* node)
{
    return node ? node->data(0, KeyRole).toString() : QString();
}

QVariant uTreeView::NodeTag(const QTreeWidgetItem* node)
{
    return node ? node->data(0, TagRole) : QVariant();
}

QString uTreeView::NodeId(const QTreeWidgetItem* node)
{
    return NodeKey(node).mid(3);
}

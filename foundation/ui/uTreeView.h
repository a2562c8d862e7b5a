#pragma once

#include "DataAccess.h"

#include <QHash>
#include <QIcon>
#include <QPointer>
#include <QString>
#include <QTreeWidget>

// Fills a tree from rows that name their parent by id, and turns a subtree back
// into an SQL condition. Every node has the key "key" + id (key15 for id 15);
// its tag (the row's funCode) and its picture's key are kept with the node.
//
// Errors are thrown as DbError: a failing query, a missing column, a parent key
// that is not in the tree, and a key that is already in the tree. The last is
// what ends a parent-id cycle instead of recursing for ever. Nodes added before
// the error stay in the tree.
class uTreeView
{
  public:
    static constexpr int KeyRole = Qt::UserRole + 1;
    static constexpr int TagRole = Qt::UserRole + 2;
    static constexpr int ImageRole = Qt::UserRole + 3;

    // Keeps the tree; changes nothing on it (callers clear it themselves).
    void CreateTreeView(QTreeWidget* aTreeView);
    QTreeWidget* treeView() const { return m_tree; }
    // The pictures the rows name by key (the "icon" column, or "1"/"2" of AddTree).
    void SetImageList(const QHash<QString, QIcon>& images) { m_images = images; }

    // Loads the children of aParentID as readLevel gives them (the data class
    // of the tree's records reads the rows of one parent with the columns id,
    // displaytext, icon, funCode and, for check marks, ucheck, siblings in
    // their order), depth first, one read per node. The check mark always comes from the column ucheck;
    // uchkfiled is only handed on. Every node ends up visible, so the tree opens
    // fully expanded whatever IsAllExpanded says.
    void AddTreeII(int aParentID, const TreeLevelReader& readLevel, const QString& uchkfiled,
                   bool isloadcheck, bool IsAllExpanded);
    // Loads the rows of rs from its cursor to its end, in its order (parents
    // before their children): top nodes with picture "2", children with "1",
    // no tag and no check mark. rs is left at its end.
    void AddTree(RecordSet& rs, const QString& aID, const QString& aContext, const QString& aParentID);

    // The node with a key, or nullptr.
    QTreeWidgetItem* Node(const QString& key) const;
    static QString NodeKey(const QTreeWidgetItem* node);
    static QVariant NodeTag(const QTreeWidgetItem* node);
    // The id read back from the key (from its fourth character on).
    static QString NodeId(const QTreeWidgetItem* node);

  private:
    void indexTree();
    void loadLevel(int parentId, const TreeLevelReader& readLevel, bool loadCheck);
    QTreeWidgetItem* addNode(const QString& parentKey, const QString& key, const QString& text,
                             const QString& image);

    QPointer<QTreeWidget> m_tree;
    QHash<QString, QTreeWidgetItem*> m_keys;
    QHash<QString, QIcon> m_images;
};

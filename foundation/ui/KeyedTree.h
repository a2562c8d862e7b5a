#pragma once

#include "RecordSet.h"

#include <QString>
#include <QStyle>

#include <functional>

class QEvent;
class QLabel;
class QLineEdit;
class QObject;
class QPlainTextEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;
class QWidget;

// A tree of records that name their parent: every node is keyed "key_" + the
// record's id ("key_0" the top of a tree of one kind) and carries the key of
// its picture, "open" or "close" for a branch and one picture of the window's
// own for the top node. Children are read when their parent is first visited,
// so the tree also keeps itself in step with saves and deletes.
class KeyedTree
{
  public:
    static constexpr int KeyRole = Qt::UserRole + 1;
    // Where uTreeView keeps its pictures too, so one setImage serves both kinds.
    static constexpr int ImageRole = Qt::UserRole + 3;

    KeyedTree() = default;
    KeyedTree(QTreeWidget* tv, QString topImage, QStyle::StandardPixmap topPixmap);

    QTreeWidget* tree() const { return m_tree; }

    static QString KeyOf(int id);
    // The id read back from a key ("key_12" is 12).
    static int IdOfKey(const QString& key);
    static QString NodeKey(const QTreeWidgetItem* node);
    static QString NodeImage(const QTreeWidgetItem* node);
    static int NodeId(const QTreeWidgetItem* node) { return IdOfKey(NodeKey(node)); }
    static QTreeWidgetItem* Find(QTreeWidget* tv, const QString& key);

    void SetImage(QTreeWidgetItem* node, const QString& image) const;
    QTreeWidgetItem* NewNode(const QString& key, const QString& text, const QString& image) const;
    // One child per row of rs (its "id", textColumn and "iCount"): a row with
    // children of its own starts closed, the others open.
    void AddRows(QTreeWidgetItem* parent, const RecordSetPtr& rs, const QString& textColumn) const;

    // Starts the tree again with one top node (the top picture) and fill's
    // children below it; the tree is hidden while it fills and shown again even
    // when fill throws. The top node ends expanded and current.
    QTreeWidgetItem* Reload(const QString& key, const QString& text,
                            const std::function<void(QTreeWidgetItem*)>& fill) const;
    // A node counts as read once it has children; a childless one is asked
    // again (fill with its id) each visit. An open branch shows "open".
    void LoadChildren(QTreeWidgetItem* node, const std::function<void(QTreeWidgetItem*, int)>& fill) const;

    // Keeping tv in step after a save or delete. A parent that is not in the
    // tree shows the record once its branch is read; a parent whose children
    // were never read reads them (readChildren), the new record among them.
    // After a save the saved record's node is the current one (none when its
    // branch is not read).
    void AddNode(QTreeWidget* tv, int id, int parentId, const QString& text, const QString& image,
                 const std::function<void(QTreeWidgetItem*)>& readChildren) const;
    void UpdateNode(QTreeWidget* tv, int id, int parentId, const QString& text,
                    const std::function<void(QTreeWidgetItem*)>& readChildren) const;
    static void DeleteNode(QTreeWidget* tv, int id);

  private:
    QTreeWidget* m_tree = nullptr;
    QString m_topImage;
    QStyle::StandardPixmap m_topPixmap = QStyle::SP_DirHomeIcon;
};

// The tree of a maintenance window: one column without header, named name and
// width pixels wide; a click on a node calls onClick (guarded), watcher sees
// its keys and its viewport's mouse, and branches follow their pictures.
KeyedTree MakeNodeTree(QWidget* window, const QString& name, int width, QObject* watcher,
                       const std::function<void(QTreeWidgetItem*)>& onClick, const QString& topImage,
                       QStyle::StandardPixmap topPixmap);

// The keyword strip above a list: "关键字:" (Label9), the box txt_KeyWord (50
// characters), 查询 (btn_search) and the blue count lb_rowCount. A click or
// Enter in the box calls onSearch (guarded).
struct SearchStrip {
    QLabel* label = nullptr;
    QLineEdit* keyword = nullptr;
    QPushButton* search = nullptr;
    QLabel* rowCount = nullptr;
};
SearchStrip MakeSearchStrip(QWidget* window, QWidget* parent, const std::function<void()>& onSearch);
// "找到[n]条信息"
void ShowRowCount(QLabel* rowCount, int rows);

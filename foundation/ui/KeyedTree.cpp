#include "KeyedTree.h"

#include "FormHelpers.h"
#include "Guarded.h"
#include "Numbers.h"
#include "WindowChrome.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSet>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <cmath>
#include <utility>

KeyedTree::KeyedTree(QTreeWidget* tv, QString topImage, QStyle::StandardPixmap topPixmap)
    : m_tree(tv), m_topImage(std::move(topImage)), m_topPixmap(topPixmap)
{
}

QString KeyedTree::KeyOf(int id)
{
    return QStringLiteral("key_%1").arg(id);
}

int KeyedTree::IdOfKey(const QString& key)
{
    QString rest = key;
    rest.remove(QStringLiteral("key_"));
    return int(std::trunc(ReadNumber(rest)));
}

QString KeyedTree::NodeKey(const QTreeWidgetItem* node)
{
    return node ? node->data(0, KeyRole).toString() : QString();
}

QString KeyedTree::NodeImage(const QTreeWidgetItem* node)
{
    return node ? node->data(0, ImageRole).toString() : QString();
}

QTreeWidgetItem* KeyedTree::Find(QTreeWidget* tv, const QString& key)
{
    for (QTreeWidgetItemIterator it(tv); *it; ++it) {
        if (NodeKey(*it) == key)
            return *it;
    }
    return nullptr;
}

void KeyedTree::SetImage(QTreeWidgetItem* node, const QString& image) const
{
    node->setData(0, ImageRole, image);
    QStyle::StandardPixmap pixmap = QStyle::SP_DirOpenIcon;
    if (image == m_topImage)
        pixmap = m_topPixmap;
    else if (image == QLatin1String("close"))
        pixmap = QStyle::SP_DirClosedIcon;
    node->setIcon(0, m_tree->style()->standardIcon(pixmap));
}

QTreeWidgetItem* KeyedTree::NewNode(const QString& key, const QString& text, const QString& image) const
{
    auto* node = new QTreeWidgetItem(QStringList{text});
    node->setData(0, KeyRole, key);
    SetImage(node, image);
    return node;
}

void KeyedTree::AddRows(QTreeWidgetItem* parent, const RecordSetPtr& rs, const QString& textColumn) const
{
    for (int r = 0; rs && r < rs->RecordCount(); ++r) {
        const QString image = rs->value(r, QStringLiteral("iCount")).toInt() > 0 ? QStringLiteral("close")
                                                                                 : QStringLiteral("open");
        parent->addChild(NewNode(QStringLiteral("key_") + rs->text(r, QStringLiteral("id")).trimmed(),
                                 rs->text(r, textColumn), image));
    }
}

QTreeWidgetItem* KeyedTree::Reload(const QString& key, const QString& text,
                                   const std::function<void(QTreeWidgetItem*)>& fill) const
{
    m_tree->setVisible(false);
    m_tree->clear();
    QTreeWidgetItem* root = NewNode(key, text, m_topImage);
    m_tree->addTopLevelItem(root);
    try {
        fill(root);
    } catch (...) {
        m_tree->setVisible(true);
        throw;
    }
    root->setExpanded(true);
    m_tree->setCurrentItem(root);
    m_tree->setVisible(true);
    return root;
}

void KeyedTree::LoadChildren(QTreeWidgetItem* node,
                             const std::function<void(QTreeWidgetItem*, int)>& fill) const
{
    if (node->childCount() == 0) {
        fill(node, NodeId(node));
        node->setExpanded(true);
    }
    if (node != m_tree->topLevelItem(0) && node->isExpanded())
        SetImage(node, QStringLiteral("open"));
}

namespace
{

// The tree shows the record just saved as the chosen node, as the panel shows
// it; a record whose branch was never read is not in the tree, and no other
// node stands for it.
void markSaved(QTreeWidget* tv, int id)
{
    QTreeWidgetItem* node = KeyedTree::Find(tv, KeyedTree::KeyOf(id));
    tv->setCurrentItem(node);
    if (node)
        tv->scrollToItem(node);
    else
        tv->clearSelection();
}

} // namespace

void KeyedTree::AddNode(QTreeWidget* tv, int id, int parentId, const QString& text, const QString& image,
                        const std::function<void(QTreeWidgetItem*)>& readChildren) const
{
    QTreeWidgetItem* parent = Find(tv, KeyOf(parentId));
    if (parent && parent->childCount() > 0)
        parent->addChild(NewNode(KeyOf(id), text, image));
    else if (parent)
        readChildren(parent);
    markSaved(tv, id);
}

void KeyedTree::UpdateNode(QTreeWidget* tv, int id, int parentId, const QString& text,
                           const std::function<void(QTreeWidgetItem*)>& readChildren) const
{
    QTreeWidgetItem* node = Find(tv, KeyOf(id));
    if (!node) {
        markSaved(tv, id);
        return;
    }
    const int currentParent = node->parent() ? NodeId(node->parent()) : 0;
    if (currentParent == parentId) {
        node->setText(0, text);
        markSaved(tv, id);
        return;
    }
    const QString image = node->childCount() > 0 ? QStringLiteral("close") : QStringLiteral("open");
    delete node;
    AddNode(tv, id, parentId, text, image, readChildren);
}

void KeyedTree::DeleteNode(QTreeWidget* tv, int id)
{
    delete Find(tv, KeyOf(id));
}

KeyedTree MakeNodeTree(QWidget* window, const QString& name, int width, QObject* watcher,
                       const std::function<void(QTreeWidgetItem*)>& onClick, const QString& topImage,
                       QStyle::StandardPixmap topPixmap)
{
    auto* tv = new QTreeWidget(window);
    tv->setObjectName(name);
    tv->setHeaderHidden(true);
    tv->setColumnCount(1);
    tv->setFixedWidth(width);
    tv->viewport()->installEventFilter(watcher);
    tv->installEventFilter(watcher);
    QObject::connect(tv, &QTreeWidget::itemClicked, window,
                     [window, onClick](QTreeWidgetItem* node) { Guarded(window, [&] { onClick(node); }); });
    // A right press takes its node as a click does, before the window's menu opens.
    SelectOnRightPress(tv, window, onClick);
    const KeyedTree tree(tv, topImage, topPixmap);
    FollowFolderImages(tv, window,
                       [tree](QTreeWidgetItem* node, const QString& image) { tree.SetImage(node, image); });
    return tree;
}

namespace
{

// Enter in the keyword box searches, as the button does.
class EnterSearches : public QObject
{
  public:
    EnterSearches(QWidget* window, std::function<void()> onSearch)
        : QObject(window), m_window(window), m_onSearch(std::move(onSearch))
    {
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress) {
            auto* e = static_cast<QKeyEvent*>(event);
            if (!(e->modifiers() & ~Qt::KeypadModifier) &&
                (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter)) {
                Guarded(m_window, m_onSearch);
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    QWidget* m_window;
    std::function<void()> m_onSearch;
};

} // namespace

SearchStrip MakeSearchStrip(QWidget* window, QWidget* parent, const std::function<void()>& onSearch)
{
    SearchStrip s;
    s.label = new QLabel(QStringLiteral("关键字:"), parent);
    s.label->setObjectName(QStringLiteral("Label9"));
    s.keyword = new QLineEdit(parent);
    s.keyword->setObjectName(QStringLiteral("txt_KeyWord"));
    s.keyword->setMaxLength(50);
    s.keyword->installEventFilter(new EnterSearches(window, onSearch));
    s.search = new QPushButton(QStringLiteral("查询"), parent);
    s.search->setObjectName(QStringLiteral("btn_search"));
    s.search->setAutoDefault(false);
    QObject::connect(s.search, &QPushButton::clicked, window,
                     [window, onSearch] { Guarded(window, onSearch); });
    s.rowCount = new QLabel(parent);
    s.rowCount->setObjectName(QStringLiteral("lb_rowCount"));
    s.rowCount->setStyleSheet(QStringLiteral("color: blue;"));
    ShowRowCount(s.rowCount, 0);
    return s;
}

void ShowRowCount(QLabel* rowCount, int rows)
{
    rowCount->setText(QStringLiteral("找到[%1]条信息").arg(rows));
}

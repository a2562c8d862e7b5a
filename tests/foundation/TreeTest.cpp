#include "TestEnv.h"

#include "DbError.h"
#include "RecordSet.h"
#include "sqlHelper.h"
#include "uTreeView.h"

#include <QTreeWidget>

namespace
{

// A parent-id table like the rights trees read: id, parentid, orderBy,
// displaytext, icon, funCode, ucheck.
class TreeTest : public DbTest
{
  protected:
    void SetUp() override
    {
        DbTest::SetUp();
        exec(QStringLiteral("CREATE TEMP TABLE t_tree (id INTEGER, parentid INTEGER, orderBy INTEGER, "
                            "displaytext TEXT, icon TEXT, funCode TEXT, ucheck INTEGER)"));
        helper.CreateTreeView(&tree);
    }

    void row(int id, int parent, int order, const QString& text, int check = 0)
    {
        exec(QStringLiteral("INSERT INTO t_tree VALUES (%1, %2, %3, '%4', 'open', 'fun%1', %5)")
                 .arg(id)
                 .arg(parent)
                 .arg(order)
                 .arg(text)
                 .arg(check));
    }

    QStringList texts(QTreeWidgetItem* parent) const
    {
        QStringList out;
        const int n = parent ? parent->childCount() : tree.topLevelItemCount();
        for (int i = 0; i < n; ++i)
            out << (parent ? parent->child(i) : tree.topLevelItem(i))->text(0);
        return out;
    }

    // The levels of a tree source read as a data class reads them.
    static TreeLevelReader levels(const QString& source)
    {
        return [source](int parentId) { return ReadTreeLevel(source, parentId); };
    }

    QTreeWidget tree;
    uTreeView helper;
};

TEST_F(TreeTest, FillsLevelByLevelExpandedWithKeysTagsAndCheckMarks)
{
    row(1, 0, 2, QStringLiteral("入库"), 1);
    row(2, 0, 1, QStringLiteral("出库"));
    row(3, 1, 1, QStringLiteral("入库单"), -1);
    row(4, 3, 1, QStringLiteral("保存"), 1);
    row(5, 1, 0, QStringLiteral("入库报表"));
    row(6, 77, 0, QStringLiteral("孤儿")); // its parent is never loaded
    helper.AddTreeII(0, levels(QStringLiteral("(select * from t_tree where id <> 99) z")),
                     QStringLiteral("ucheck"), true, false);

    EXPECT_EQ(texts(nullptr), (QStringList{"出库", "入库"})); // siblings by orderBy
    QTreeWidgetItem* in = helper.Node(QStringLiteral("key1"));
    ASSERT_NE(in, nullptr);
    EXPECT_EQ(texts(in), (QStringList{"入库报表", "入库单"}));
    QTreeWidgetItem* save = helper.Node(QStringLiteral("key4"));
    ASSERT_NE(save, nullptr);
    EXPECT_EQ(save->parent(), helper.Node(QStringLiteral("key3")));
    EXPECT_EQ(helper.Node(QStringLiteral("key6")), nullptr);
    // Every node visible: each ancestor open, however deep.
    for (QTreeWidgetItem* p = save->parent(); p; p = p->parent())
        EXPECT_TRUE(p->isExpanded()) << p->text(0).toStdString();
    // Check marks from ucheck (any non-zero is a mark), tags from funCode.
    EXPECT_EQ(in->checkState(0), Qt::Checked);
    EXPECT_EQ(helper.Node(QStringLiteral("key2"))->checkState(0), Qt::Unchecked);
    EXPECT_EQ(helper.Node(QStringLiteral("key3"))->checkState(0), Qt::Checked);
    EXPECT_EQ(uTreeView::NodeTag(save).toString(), QStringLiteral("fun4"));
    EXPECT_EQ(uTreeView::NodeKey(save), QStringLiteral("key4"));
    EXPECT_EQ(uTreeView::NodeId(save), QStringLiteral("4"));
}

TEST_F(TreeTest, WithoutCheckMarksAndFromAnEmptySource)
{
    row(1, 0, 0, QStringLiteral("a"), 1);
    helper.AddTreeII(0, levels(QStringLiteral("t_tree")), QStringLiteral("ucheck"), false, true);
    ASSERT_EQ(tree.topLevelItemCount(), 1);
    EXPECT_FALSE(tree.topLevelItem(0)->data(0, Qt::CheckStateRole).isValid());

    // A source without rows adds nothing and leaves the tree as it was.
    helper.AddTreeII(0, levels(QStringLiteral("(select * from t_tree where 1=0) z")),
                     QStringLiteral("ucheck"), true, true);
    EXPECT_EQ(tree.topLevelItemCount(), 1);
}

TEST_F(TreeTest, ADuplicateKeyIsAnErrorThatEndsACycle)
{
    // 1 -> 2 -> 1 again: the second key1 is refused instead of recursing for ever.
    row(1, 0, 0, QStringLiteral("a"));
    row(2, 1, 0, QStringLiteral("b"));
    row(1, 2, 0, QStringLiteral("a again"));
    try {
        helper.AddTreeII(0, levels(QStringLiteral("t_tree")), QStringLiteral("ucheck"), true, true);
        ADD_FAILURE() << "no error";
    } catch (const DbError& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("key1"))) << e.message().toStdString();
    }
    // What was added before the error stays.
    EXPECT_NE(helper.Node(QStringLiteral("key2")), nullptr);

    // A later fill of a tree that already holds the key is refused as well.
    tree.clear();
    helper.AddTreeII(0, levels(QStringLiteral("(select * from t_tree where displaytext <> 'a again') z")),
                     QStringLiteral("ucheck"), true, true);
    EXPECT_THROW(helper.AddTreeII(0, levels(QStringLiteral("t_tree")), QStringLiteral("ucheck"), true, true),
                 DbError);
}

TEST_F(TreeTest, AddTreeTakesARecordSetInItsOwnOrder)
{
    RecordSet rs({QStringLiteral("tid"), QStringLiteral("name"), QStringLiteral("pid")},
                 {{10, QStringLiteral("root"), 0},
                  {11, QStringLiteral("child"), 10},
                  {12, QStringLiteral("leaf"), 11}});
    helper.AddTree(rs, QStringLiteral("tid"), QStringLiteral("name"), QStringLiteral("pid"));
    EXPECT_TRUE(rs.eof());
    QTreeWidgetItem* leaf = helper.Node(QStringLiteral("key12"));
    ASSERT_NE(leaf, nullptr);
    EXPECT_EQ(leaf->parent()->text(0), QStringLiteral("child"));
    EXPECT_EQ(leaf->data(0, uTreeView::ImageRole).toString(), QStringLiteral("1"));
    EXPECT_EQ(helper.Node(QStringLiteral("key10"))->data(0, uTreeView::ImageRole).toString(),
              QStringLiteral("2"));
    EXPECT_TRUE(leaf->parent()->isExpanded());

    // A child listed before its parent stops the fill at that child.
    tree.clear();
    RecordSet wrong(
        {QStringLiteral("tid"), QStringLiteral("name"), QStringLiteral("pid")},
        {{10, QStringLiteral("root"), 0}, {12, QStringLiteral("leaf"), 11}, {11, QStringLiteral("c"), 10}});
    EXPECT_THROW(helper.AddTree(wrong, QStringLiteral("tid"), QStringLiteral("name"), QStringLiteral("pid")),
                 DbError);
    EXPECT_EQ(tree.topLevelItemCount(), 1);
    EXPECT_EQ(helper.Node(QStringLiteral("key11")), nullptr);
}

} // namespace

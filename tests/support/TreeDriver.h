#pragma once

// Trees worked as a user works them: a node is clicked where it shows.

#include <QStringList>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace ui
{

// Clicks node in tree (scrolled into view first); a missing node fails the test.
inline void clickNode(QTreeWidget* tree, QTreeWidgetItem* node)
{
    ASSERT_NE(node, nullptr);
    tree->scrollToItem(node);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(node).center());
}

// Presses the right button on node where it shows (scrolled into view first),
// as a user opening the tree's menu does; a missing node fails the test.
inline void rightClickNode(QTreeWidget* tree, QTreeWidgetItem* node)
{
    ASSERT_NE(node, nullptr);
    tree->scrollToItem(node);
    QTest::mousePress(tree->viewport(), Qt::RightButton, {}, tree->visualItemRect(node).center());
}

// The texts of node's children, in their order (none for no node).
inline QStringList childTexts(const QTreeWidgetItem* node)
{
    QStringList out;
    for (int i = 0; node && i < node->childCount(); ++i)
        out << node->child(i)->text(0);
    return out;
}

} // namespace ui

#pragma once

#include <QIcon>
#include <QList>
#include <QString>
#include <QStyle>

#include <functional>
#include <utility>

class QAction;
class QDialog;
class QEvent;
class QLabel;
class QLayout;
class QMenu;
class QPushButton;
class QToolBar;
class QTreeWidget;
class QTreeWidgetItem;
class QWidget;

// The parts every maintenance window is built from, so that each window shows
// them alike and tests find them by the same names.

// The blue title band across the top: a strip "pic_title" holding the caption
// "Label1" in bold 11 point white.
struct TitleBand {
    QWidget* band = nullptr;
    QLabel* label = nullptr;
};
TitleBand MakeTitleBand(QWidget* window, const QString& caption);

// A toolbar whose buttons are known by key: each button is an action named by
// its key (text under the icon), and a click calls onClick with that key.
class KeyedToolbar
{
  public:
    using Handler = std::function<void(const QString& key)>;

    // The bar belongs to parent (the window when null); the clicks are
    // delivered while the window lives.
    KeyedToolbar(QWidget* window, const QString& objectName, Handler onClick, QWidget* parent = nullptr);

    QToolBar* bar() const { return m_bar; }
    QAction* add(const QString& caption, const QString& key, const QIcon& icon);
    // With one of the window style's standard pictures.
    QAction* add(const QString& caption, const QString& key, QStyle::StandardPixmap image);
    // Makes another action (a drop-down entry) call back with key too.
    void connectKey(QAction* action, const QString& key) const;

  private:
    QWidget* m_window;
    QToolBar* m_bar;
    Handler m_onClick;
};

// The usual window body below the chrome: title band, toolbar, then body
// filling the rest, edge to edge.
void StackWindowChrome(QWidget* window, QWidget* band, QToolBar* bar, QLayout* body);

// A column of type buttons "btn_utype_0".. inside a strip "picbox_type" of the
// given width: each button carries its tag in the property "tag", and a click
// calls onClick with its index. The buttons are appended to buttons.
QWidget* MakeTypeButtons(QWidget* window, const QList<std::pair<QString, QString>>& captionsAndTags,
                         int width, const std::function<void(int)>& onClick, QList<QPushButton*>& buttons);
// The chosen type button stands out in bold 11 point, the others in 9 point;
// an index outside the list marks none.
void MarkChosenButton(const QList<QPushButton*>& buttons, int chosen);

// Folder nodes of the tree take the picture "open" when expanded and "close"
// when collapsed, through setImage; the top node keeps its own picture.
void FollowFolderImages(QTreeWidget* tv, QObject* context,
                        const std::function<void(QTreeWidgetItem*, const QString&)>& setImage);
// For an event filter on a tree's viewport: a right-button press pops the menu
// up at the pointer and is taken (true).
bool PopUpOnRightPress(QEvent* event, QMenu* menu);
// A right-button press on a node of tree first makes it the current node and
// calls onSelect with it, as a click on it does (nothing when it is current
// already), so a menu popped up by the press acts on the node under the
// pointer. Installed after the window's own filter on the viewport, it runs first.
void SelectOnRightPress(QTreeWidget* tree, QWidget* window,
                        const std::function<void(QTreeWidgetItem*)>& onSelect);

// A small fixed-size dialog: labelled fields in a grid (the field column at
// least fieldWidth wide), and the buttons on a row at the right below them.
void LayOutFieldDialog(QDialog* dialog, const QList<std::pair<QLabel*, QWidget*>>& rows, int fieldWidth,
                       const QList<QPushButton*>& buttons);

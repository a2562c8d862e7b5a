#include "WindowChrome.h"

#include "FormHelpers.h"
#include "Guarded.h"

#include <QAction>
#include <QDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>

TitleBand MakeTitleBand(QWidget* window, const QString& caption)
{
    TitleBand t;
    t.band = new QWidget(window);
    t.band->setObjectName(QStringLiteral("pic_title"));
    t.band->setAutoFillBackground(true);
    QPalette palette = t.band->palette();
    palette.setColor(QPalette::Window, QColor(0, 84, 147));
    palette.setColor(QPalette::WindowText, Qt::white);
    t.band->setPalette(palette);
    t.label = new QLabel(caption, t.band);
    t.label->setObjectName(QStringLiteral("Label1"));
    QFont font = t.label->font();
    font.setBold(true);
    font.setPointSize(11);
    t.label->setFont(font);
    auto* layout = new QHBoxLayout(t.band);
    layout->setContentsMargins(8, 4, 8, 4);
    layout->addWidget(t.label);
    return t;
}

KeyedToolbar::KeyedToolbar(QWidget* window, const QString& objectName, Handler onClick, QWidget* parent)
    : m_window(window), m_bar(new QToolBar(parent ? parent : window)), m_onClick(std::move(onClick))
{
    m_bar->setObjectName(objectName);
    m_bar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
}

QAction* KeyedToolbar::add(const QString& caption, const QString& key, const QIcon& icon)
{
    QAction* action = m_bar->addAction(icon, caption);
    action->setObjectName(key);
    connectKey(action, key);
    return action;
}

QAction* KeyedToolbar::add(const QString& caption, const QString& key, QStyle::StandardPixmap image)
{
    return add(caption, key, m_window->style()->standardIcon(image));
}

void KeyedToolbar::connectKey(QAction* action, const QString& key) const
{
    QObject::connect(action, &QAction::triggered, m_window, [onClick = m_onClick, key] { onClick(key); });
}

void StackWindowChrome(QWidget* window, QWidget* band, QToolBar* bar, QLayout* body)
{
    auto* layout = new QVBoxLayout(window);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(band);
    layout->addWidget(bar);
    layout->addLayout(body, 1);
}

QWidget* MakeTypeButtons(QWidget* window, const QList<std::pair<QString, QString>>& captionsAndTags,
                         int width, const std::function<void(int)>& onClick, QList<QPushButton*>& buttons)
{
    auto* strip = new QWidget(window);
    strip->setObjectName(QStringLiteral("picbox_type"));
    auto* layout = new QVBoxLayout(strip);
    layout->setContentsMargins(0, 0, 0, 0);
    for (int i = 0; i < captionsAndTags.size(); ++i) {
        auto* b = new QPushButton(captionsAndTags[i].first, strip);
        b->setObjectName(QStringLiteral("btn_utype_%1").arg(i));
        b->setProperty("tag", captionsAndTags[i].second);
        b->setMinimumHeight(TwipsToPixels(480, window));
        b->setAutoDefault(false);
        QObject::connect(b, &QPushButton::clicked, window, [onClick, i] { onClick(i); });
        layout->addWidget(b);
        buttons.append(b);
    }
    layout->addStretch();
    strip->setFixedWidth(width);
    return strip;
}

void MarkChosenButton(const QList<QPushButton*>& buttons, int chosen)
{
    for (int i = 0; i < buttons.size(); ++i) {
        QFont f = buttons[i]->font();
        f.setPointSize(i == chosen ? 11 : 9);
        f.setBold(i == chosen);
        buttons[i]->setFont(f);
    }
}

void FollowFolderImages(QTreeWidget* tv, QObject* context,
                        const std::function<void(QTreeWidgetItem*, const QString&)>& setImage)
{
    QObject::connect(tv, &QTreeWidget::itemExpanded, context, [tv, setImage](QTreeWidgetItem* node) {
        if (node != tv->topLevelItem(0))
            setImage(node, QStringLiteral("open"));
    });
    QObject::connect(tv, &QTreeWidget::itemCollapsed, context, [tv, setImage](QTreeWidgetItem* node) {
        if (node != tv->topLevelItem(0))
            setImage(node, QStringLiteral("close"));
    });
}

bool PopUpOnRightPress(QEvent* event, QMenu* menu)
{
    if (event->type() != QEvent::MouseButtonPress)
        return false;
    auto* e = static_cast<QMouseEvent*>(event);
    if (e->button() != Qt::RightButton)
        return false;
    menu->popup(e->globalPosition().toPoint());
    return true;
}

namespace
{

class RightPressSelects : public QObject
{
  public:
    // Owned by the window: the tree and its viewport, watched by the window
    // while they are being built, see no child of their own arrive.
    RightPressSelects(QTreeWidget* tree, QWidget* window, std::function<void(QTreeWidgetItem*)> onSelect)
        : QObject(window), m_tree(tree), m_window(window), m_onSelect(std::move(onSelect))
    {
    }

  protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() != QEvent::MouseButtonPress)
            return false;
        auto* e = static_cast<QMouseEvent*>(event);
        if (e->button() != Qt::RightButton)
            return false;
        if (!m_tree)
            return false;
        QTreeWidgetItem* node = m_tree->itemAt(e->position().toPoint());
        if (node && node != m_tree->currentItem()) {
            m_tree->setCurrentItem(node);
            Guarded(m_window, [&] { m_onSelect(node); });
        }
        return false;
    }

  private:
    QPointer<QTreeWidget> m_tree;
    QWidget* m_window;
    std::function<void(QTreeWidgetItem*)> m_onSelect;
};

} // namespace

void SelectOnRightPress(QTreeWidget* tree, QWidget* window,
                        const std::function<void(QTreeWidgetItem*)>& onSelect)
{
    tree->viewport()->installEventFilter(new RightPressSelects(tree, window, onSelect));
}

void LayOutFieldDialog(QDialog* dialog, const QList<std::pair<QLabel*, QWidget*>>& rows, int fieldWidth,
                       const QList<QPushButton*>& buttons)
{
    auto* fields = new QGridLayout;
    for (int r = 0; r < rows.size(); ++r) {
        fields->addWidget(rows[r].first, r, 0);
        fields->addWidget(rows[r].second, r, 1);
    }
    fields->setColumnMinimumWidth(1, fieldWidth);

    auto* buttonRow = new QHBoxLayout;
    buttonRow->addStretch();
    for (QPushButton* b : buttons)
        buttonRow->addWidget(b);

    auto* layout = new QVBoxLayout(dialog);
    layout->addLayout(fields);
    layout->addSpacing(8);
    layout->addLayout(buttonRow);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

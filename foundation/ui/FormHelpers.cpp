#include "FormHelpers.h"
#include <QAbstractButton>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QStyleOption>

#include "sqlHelper.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPointer>
#include <QRadioButton>
#include <QStyleOptionFrame>
#include <QTextEdit>

namespace
{

// Moving the focus the way Tab does goes through the protected
// focusNextPrevChild of the window (or sub-window) that holds the control.
struct FocusAccess : QWidget {
    using QWidget::focusNextPrevChild;
};

QWidget* focusHost(QWidget* w)
{
    while (w->parentWidget() && !w->isWindow() && w->windowType() != Qt::SubWindow)
        w = w->parentWidget();
    return w;
}

bool isInComboBox(const QWidget* w)
{
    return qobject_cast<const QComboBox*>(w) ||
           (w->parentWidget() && qobject_cast<const QComboBox*>(w->parentWidget()));
}

void selectWholeText(QWidget* w)
{
    if (!w)
        return;
    if (auto* edit = qobject_cast<QLineEdit*>(w))
        edit->selectAll();
    else if (auto* spin = qobject_cast<QAbstractSpinBox*>(w))
        spin->selectAll();
    else if (auto* combo = qobject_cast<QComboBox*>(w); combo && combo->lineEdit())
        combo->lineEdit()->selectAll();
    else if (auto* text = qobject_cast<QTextEdit*>(w))
        text->selectAll();
    else if (auto* plain = qobject_cast<QPlainTextEdit*>(w))
        plain->selectAll();
}

bool moveFocus(QWidget* from, bool forward)
{
    QWidget* host = focusHost(from);
    if (host->focusWidget() != from)
        from->setFocus(Qt::OtherFocusReason);
    bool (QWidget::*next)(bool) = &FocusAccess::focusNextPrevChild;
    if (!(host->*next)(forward))
        return false;
    QWidget* now = host->focusWidget();
    if (now == from)
        return false;
    selectWholeText(now);
    return true;
}

enum class KeyRule { EnterToTab, OnlyNumber, FilterQuote };

// The character filters keep the text typed; text that arrives from an
// input method is filtered by the same rule, character by character.
class KeyRuleFilter : public QObject
{
  public:
    KeyRuleFilter(KeyRule rule, QObject* parent) : QObject(parent), m_rule(rule) {}

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress)
            return keyPress(watched, static_cast<QKeyEvent*>(event));
        if (event->type() == QEvent::InputMethod && m_rule != KeyRule::EnterToTab) {
            auto* im = static_cast<QInputMethodEvent*>(event);
            const QString commit = im->commitString();
            QString kept;
            for (QChar ch : commit) {
                if (keep(ch.unicode()))
                    kept += ch;
            }
            if (kept != commit)
                im->setCommitString(kept, im->replacementStart(), im->replacementLength());
        }
        return false;
    }

  private:
    bool keep(int code) const
    {
        if (m_rule == KeyRule::OnlyNumber)
            return OnlyNumberKey(code) != 0;
        return FilterQuoteKey(code) != 0;
    }

    bool keyPress(QObject* watched, QKeyEvent* e)
    {
        if (m_rule == KeyRule::EnterToTab) {
            if (e->modifiers() & ~Qt::KeypadModifier)
                return false;
            auto* w = qobject_cast<QWidget*>(watched);
            return w && EnterToTab(e->key(), false, false, w);
        }
        // Shortcuts (copy, paste, select all) are no typing.
        if (e->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
            return false;
        // Only a typed character is judged: Tab, Delete ("\x7f"), Enter,
        // Escape and the arrows carry a control character or none and pass.
        // Backspace is a character the number rule names, and passes too.
        const QString text = e->text();
        if (text.size() != 1 || (!text.at(0).isPrint() && text.at(0) != QLatin1Char('\b')))
            return false;
        if (!keep(text.at(0).unicode()))
            return true;
        return m_rule == KeyRule::OnlyNumber && text.at(0) == QLatin1Char('.') &&
               holdsPointOutsideSelection(qobject_cast<QLineEdit*>(watched));
    }

    // A box holds one number: a second point would start another.
    static bool holdsPointOutsideSelection(const QLineEdit* box)
    {
        if (!box)
            return false;
        QString rest = box->text();
        if (box->hasSelectedText())
            rest.remove(box->selectionStart(), box->selectedText().size());
        return rest.contains(QLatin1Char('.'));
    }

    KeyRule m_rule;
};

void install(QWidget* w, KeyRule rule)
{
    if (w)
        w->installEventFilter(new KeyRuleFilter(rule, w));
}

bool blank(const QVariant& v)
{
    if (!v.isValid() || v.isNull())
        return true;
    const QString s = v.toString();
    qsizetype start = 0;
    qsizetype end = s.size();
    while (start < end && s.at(start) == QLatin1Char(' '))
        ++start;
    while (end > start && s.at(end - 1) == QLatin1Char(' '))
        --end;
    return start == end;
}

} // namespace

bool EnterToTab(int keyCode, bool stopForward, bool stopBackward, QWidget* active)
{
    QWidget* w = active ? active : QApplication::focusWidget();
    if (!w)
        return false;
    switch (keyCode) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return !stopForward && moveFocus(w, true);
    case Qt::Key_Down:
        return !isInComboBox(w) && !stopForward && moveFocus(w, true);
    case Qt::Key_Up:
        return !isInComboBox(w) && !stopBackward && moveFocus(w, false);
    default:
        return false;
    }
}

void InstallEnterToTab(QWidget* root)
{
    if (!root)
        return;
    QList<QWidget*> controls = root->findChildren<QWidget*>();
    controls.prepend(root);
    for (QWidget* w : controls) {
        // An editable combo box's own line edit sends its keys on to the combo box.
        if (qobject_cast<QLineEdit*>(w) && qobject_cast<QComboBox*>(w->parentWidget()))
            continue;
        if (qobject_cast<QLineEdit*>(w) || qobject_cast<QComboBox*>(w) ||
            qobject_cast<QAbstractSpinBox*>(w) || qobject_cast<QCheckBox*>(w) ||
            qobject_cast<QRadioButton*>(w))
            install(w, KeyRule::EnterToTab);
    }
}

void ClearEnterKey(int& keyCode)
{
    if (keyCode == 13)
        keyCode = 0;
}

int OnlyNumberKey(int& keyCode)
{
    static const QString allowed = QStringLiteral("1234567890\b.");
    if (keyCode <= 0 || keyCode > 0xFFFF || !allowed.contains(QChar(char16_t(keyCode))))
        keyCode = 0;
    return keyCode;
}

int FilterQuoteKey(int keyCode)
{
    switch (keyCode) {
    case '\'':
    case '~':
    case 0x2018: // ‘
    case 0x2019: // ’
        QApplication::beep();
        return 0;
    default:
        return keyCode;
    }
}

void InstallOnlyNumberKey(QWidget* box)
{
    install(box, KeyRule::OnlyNumber);
}

void InstallFilterQuoteKey(QWidget* box)
{
    install(box, KeyRule::FilterQuote);
}

void ShowTextWhole(QLineEdit* box)
{
    const int own = box->minimumWidth();
    const auto fit = [box, own] {
        // Measured as the box sizes itself: its text, the two pixels it keeps
        // on each side, its text margins, and the frame the style draws.
        QStyleOptionFrame option;
        option.initFrom(box);
        option.lineWidth =
            box->hasFrame() ? box->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, box) : 0;
        option.features = QStyleOptionFrame::None;
        const QMargins margins = box->textMargins();
        const int text =
            box->fontMetrics().horizontalAdvance(box->text()) + 2 * 2 + margins.left() + margins.right() + 1;
        const QSize size = box->style()->sizeFromContents(QStyle::CT_LineEdit, &option,
                                                          QSize(text, box->fontMetrics().height()), box);
        box->setMinimumWidth(std::max(own, size.width()));
        box->setCursorPosition(0);
    };
    QObject::connect(box, &QLineEdit::textChanged, box, fit);
    fit();
}

int TwipsToPixels(int twips, const QWidget* widget)
{
    const int dpi = widget ? widget->logicalDpiX() : 96;
    return qRound(double(twips) * dpi / 1440.0);
}

void ShowPopMenu(QWidget* owner, QMenu* menu, QWidget* anchor, int dx, int dy, int fixedY)
{
    if (!anchor || !menu)
        return;
    QWidget* frame = owner ? owner : anchor->window();
    const QPoint anchorTopLeft = frame->mapFromGlobal(anchor->mapToGlobal(QPoint(0, 0)));
    const int y = fixedY > 0 ? fixedY : anchorTopLeft.y() + anchor->height() + dy;
    const int x = anchorTopLeft.x() + TwipsToPixels(80, frame) + dx;
    menu->popup(frame->mapToGlobal(QPoint(x, y)));
}

void UnloadAllForms()
{
    QList<QPointer<QWidget>> windows;
    for (QWidget* w : QApplication::topLevelWidgets())
        windows.append(w);
    for (const QPointer<QWidget>& w : windows) {
        if (!w)
            continue;
        switch (w->windowType()) {
        case Qt::Popup:
        case Qt::ToolTip:
        case Qt::Desktop:
        case Qt::SplashScreen:
            continue;
        default:
            break;
        }
        if (w->objectName() == QLatin1String("frm_Main")) {
            QList<QPointer<QMdiSubWindow>> inside;
            for (QMdiSubWindow* sub : w->findChildren<QMdiSubWindow*>())
                inside.append(sub);
            for (const QPointer<QMdiSubWindow>& sub : inside) {
                if (sub)
                    sub->close();
            }
            continue;
        }
        w->close();
    }
}

void FillComboBox(QComboBox* combo, const RecordSetPtr& rs, const QString& field)
{
    combo->clear();
    if (!rs || rs->isEmpty())
        return;
    const int column = rs->fieldIndex(field);
    if (column < 0)
        throw DbError(QStringLiteral("字段 %1 不存在").arg(field));
    for (int row = 0; row < rs->RecordCount(); ++row) {
        const QVariant v = rs->value(row, column);
        combo->addItem(blank(v) ? QString() : v.toString());
    }
}

namespace
{
// The password character is a style hint; this style answers "*" and leaves
// everything else to the application's style.
class AsteriskPasswordStyle : public QProxyStyle
{
  public:
    explicit AsteriskPasswordStyle(QObject* owner)
        : QProxyStyle(QStyleFactory::create(QApplication::style()->name()))
    {
        setParent(owner);
    }
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override
    {
        if (hint == SH_LineEdit_PasswordCharacter)
            return '*';
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

// The application's style, which marks a button with the focus only after
// the focus was moved by the keyboard; this one marks it always.
class FocusMarkStyle : public QProxyStyle
{
  public:
    explicit FocusMarkStyle(QObject* owner)
        : QProxyStyle(QStyleFactory::create(QApplication::style()->name()))
    {
        setParent(owner);
    }
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override
    {
        const auto* button = qstyleoption_cast<const QStyleOptionButton*>(option);
        if (element == CE_PushButton && button && (button->state & State_HasFocus)) {
            QStyleOptionButton marked = *button;
            marked.state |= State_KeyboardFocusChange;
            QProxyStyle::drawControl(element, &marked, painter, widget);
            return;
        }
        QProxyStyle::drawControl(element, option, painter, widget);
    }
};
} // namespace

void ShowFocusMark(QAbstractButton* button)
{
    if (button)
        button->setStyle(new FocusMarkStyle(button));
}

void MakePasswordBox(QLineEdit* box)
{
    if (!box)
        return;
    box->setStyle(new AsteriskPasswordStyle(box));
    box->setEchoMode(QLineEdit::Password);
}

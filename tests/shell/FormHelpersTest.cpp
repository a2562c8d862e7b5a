#include "TestEnv.h"
#include "sqlHelper.h"

#include "DbError.h"
#include "FormHelpers.h"

#include "UiDriver.h"
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>

namespace
{

// A window with name, combo box, number and remark boxes, in this tab order.
class EntryForm : public QWidget
{
  public:
    EntryForm()
    {
        auto* layout = new QVBoxLayout(this);
        name = new QLineEdit(QStringLiteral("张三"), this);
        kind = new QComboBox(this);
        kind->addItems({QStringLiteral("甲"), QStringLiteral("乙")});
        qty = new QLineEdit(QStringLiteral("12.5"), this);
        done = new QCheckBox(QStringLiteral("完成"), this);
        remark = new QLineEdit(QStringLiteral("备注"), this);
        for (QWidget* w :
             {static_cast<QWidget*>(name), static_cast<QWidget*>(kind), static_cast<QWidget*>(qty),
              static_cast<QWidget*>(done), static_cast<QWidget*>(remark)})
            layout->addWidget(w);
        show();
        name->setFocus();
    }
    QLineEdit* name;
    QComboBox* kind;
    QLineEdit* qty;
    QCheckBox* done;
    QLineEdit* remark;
};

TEST(FormHelpersTest, EnterAndArrowsMoveInTabOrder)
{
    EntryForm form;
    EXPECT_TRUE(EnterToTab(Qt::Key_Return, false, false, form.name));
    EXPECT_EQ(form.focusWidget(), form.kind);
    // The combo box keeps the arrows for itself; Enter moves on.
    EXPECT_FALSE(EnterToTab(Qt::Key_Down, false, false, form.kind));
    EXPECT_FALSE(EnterToTab(Qt::Key_Up, false, false, form.kind));
    EXPECT_EQ(form.focusWidget(), form.kind);
    EXPECT_TRUE(EnterToTab(Qt::Key_Enter, false, false, form.kind));
    EXPECT_EQ(form.focusWidget(), form.qty);
    EXPECT_EQ(form.qty->selectedText(), QStringLiteral("12.5"));
    EXPECT_TRUE(EnterToTab(Qt::Key_Down, false, false, form.qty));
    EXPECT_EQ(form.focusWidget(), form.done);
    EXPECT_TRUE(EnterToTab(Qt::Key_Up, false, false, form.done));
    EXPECT_EQ(form.focusWidget(), form.qty);
    EXPECT_TRUE(EnterToTab(Qt::Key_Up, false, false, form.qty));
    EXPECT_EQ(form.focusWidget(), form.kind);

    // Stops and other keys leave the focus where it is.
    EXPECT_FALSE(EnterToTab(Qt::Key_Return, true, false, form.kind));
    EXPECT_FALSE(EnterToTab(Qt::Key_Up, false, true, form.qty));
    EXPECT_FALSE(EnterToTab(Qt::Key_A, false, false, form.qty));
    EXPECT_FALSE(EnterToTab(Qt::Key_Tab, false, false, form.qty));
}

TEST(FormHelpersTest, InstalledKeysMoveTheFocus)
{
    EntryForm form;
    InstallEnterToTab(&form);
    ui::focusOn(form.name);
    ui::press(Qt::Key_Return);
    EXPECT_EQ(form.focusWidget(), form.kind);
    ui::press(Qt::Key_Down); // picks the next entry instead
    EXPECT_EQ(form.focusWidget(), form.kind);
    EXPECT_EQ(form.kind->currentIndex(), 1);
    ui::press(Qt::Key_Return);
    EXPECT_EQ(form.focusWidget(), form.qty);
    ui::press(Qt::Key_Down);
    ui::press(Qt::Key_Down);
    EXPECT_EQ(form.focusWidget(), form.remark);
    EXPECT_EQ(form.remark->selectedText(), QStringLiteral("备注"));
    ui::press(Qt::Key_Up);
    EXPECT_EQ(form.focusWidget(), form.done);
}

TEST(FormHelpersTest, KeyCodeFilters)
{
    const struct {
        int in;
        int number;
        int quote;
    } cases[] = {
        {'7', '7', '7'}, {'0', '0', '0'}, {8, 8, 8},     {'.', '.', '.'},     {'-', 0, '-'},
        {'a', 0, 'a'},   {',', 0, ','},   {13, 0, 13},   {'\'', 0, 0},        {'~', 0, 0},
        {0x2018, 0, 0},  {0x2019, 0, 0},  {'"', 0, '"'}, {0x4E2D, 0, 0x4E2D}, {0x201C, 0, 0x201C},
    };
    for (const auto& c : cases) {
        int code = c.in;
        EXPECT_EQ(OnlyNumberKey(code), c.number) << c.in;
        EXPECT_EQ(code, c.number) << c.in;
        EXPECT_EQ(FilterQuoteKey(c.in), c.quote) << c.in;
    }
    int enter = 13;
    ClearEnterKey(enter);
    EXPECT_EQ(enter, 0);
    int letter = 'x';
    ClearEnterKey(letter);
    EXPECT_EQ(letter, 'x');
}

// Types each character as one key press, Chinese ones included.
void typeText(QWidget* w, const QString& text)
{
    for (QChar ch : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(ch));
        QCoreApplication::sendEvent(w, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(ch));
        QCoreApplication::sendEvent(w, &release);
    }
}

TEST(FormHelpersTest, InstalledFiltersKeepTheTyping)
{
    QLineEdit number;
    InstallOnlyNumberKey(&number);
    ui::focusOn(&number);
    ui::type(QStringLiteral("1a2.-3,"));
    EXPECT_EQ(number.text(), QStringLiteral("12.3"));
    ui::press(Qt::Key_Backspace);
    EXPECT_EQ(number.text(), QStringLiteral("12."));
    ui::press(Qt::Key_A, Qt::ControlModifier); // select all is no typing
    ui::type(QStringLiteral("5"));
    EXPECT_EQ(number.text(), QStringLiteral("5"));
    // One number to a box: a second point is refused, one that replaces the
    // selected point is typed.
    ui::type(QStringLiteral(".125.3.5"));
    EXPECT_EQ(number.text(), QStringLiteral("5.12535"));
    number.setSelection(1, 1);
    ui::type(QStringLiteral("."));
    EXPECT_EQ(number.text(), QStringLiteral("5.12535"));
    number.setSelection(1, 2);
    ui::type(QStringLiteral("."));
    EXPECT_EQ(number.text(), QStringLiteral("5.2535"));

    QLineEdit keyword;
    InstallFilterQuoteKey(&keyword);
    typeText(&keyword, QString::fromUtf16(u"O'Bri~en \u2018中\u2019\""));
    EXPECT_EQ(keyword.text(), QString::fromUtf16(u"OBrien 中\""));
}

// Editing keys are no typing: Tab moves on, Delete, Backspace, the arrows,
// Home and End edit, whatever the filter lets through as characters.
TEST(FormHelpersTest, FilteredBoxesKeepTheEditingKeys)
{
    for (const bool numbers : {true, false}) {
        SCOPED_TRACE(numbers ? "number box" : "quote filter");
        QWidget window;
        auto* layout = new QVBoxLayout(&window);
        auto* first = new QLineEdit(&window);
        auto* second = new QLineEdit(&window);
        layout->addWidget(first);
        layout->addWidget(second);
        if (numbers)
            InstallOnlyNumberKey(first);
        else
            InstallFilterQuoteKey(first);
        window.show();
        ui::focusOn(first);
        ui::type(QStringLiteral("500"));
        ui::press(Qt::Key_Home);
        ui::press(Qt::Key_Delete);
        ui::press(Qt::Key_End);
        ui::press(Qt::Key_Left);
        ui::type(QStringLiteral("7"));
        ui::press(Qt::Key_Right);
        ui::press(Qt::Key_Backspace);
        EXPECT_EQ(first->text(), QStringLiteral("07"));
        ui::press(Qt::Key_Tab);
        EXPECT_EQ(ui::focused(), second);
        ui::type(QStringLiteral("10"));
        EXPECT_EQ(first->text(), QStringLiteral("07"));
        EXPECT_EQ(second->text(), QStringLiteral("10"));
    }
}

// Enter and Return press the focused push button in any window, once; in a
// box, Enter keeps its own meaning (here: move to the next box).
TEST(FormHelpersTest, EnterPressesTheFocusedButton)
{
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* box = new QLineEdit(&window);
    auto* button = new QPushButton(QStringLiteral("保存"), &window);
    auto* other = new QPushButton(QStringLiteral("取消"), &window);
    layout->addWidget(box);
    layout->addWidget(button);
    layout->addWidget(other);
    int pressed = 0;
    int otherPressed = 0;
    QObject::connect(button, &QPushButton::clicked, [&] { ++pressed; });
    QObject::connect(other, &QPushButton::clicked, [&] { ++otherPressed; });
    InstallEnterToTab(box);
    window.show();

    ui::focusOn(button);
    ui::press(Qt::Key_Return);
    EXPECT_EQ(pressed, 1);
    ui::press(Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(pressed, 2);
    button->setEnabled(false);
    ui::focusOn(other);
    ui::press(Qt::Key_Return);
    EXPECT_EQ(otherPressed, 1);
    EXPECT_EQ(pressed, 2);

    ui::focusOn(box);
    ui::press(Qt::Key_Return);
    EXPECT_EQ(ui::focused(), other);
    EXPECT_EQ(otherPressed, 1);
}

TEST(FormHelpersTest, PopMenuPlacement)
{
    QWidget owner;
    owner.resize(400, 300);
    auto* anchor = new QWidget(&owner);
    anchor->setGeometry(10, 20, 100, 30);
    owner.show();
    QMenu menu;
    menu.addAction(QStringLiteral("项目"));

    ShowPopMenu(&owner, &menu, anchor, 40, 6, 0);
    EXPECT_EQ(menu.pos(), owner.mapToGlobal(QPoint(10 + TwipsToPixels(80, &owner) + 40, 20 + 30 + 6)));
    menu.hide();
    ShowPopMenu(&owner, &menu, anchor, 0, 6, 70);
    EXPECT_EQ(menu.pos(), owner.mapToGlobal(QPoint(10 + TwipsToPixels(80, &owner), 70)));
    menu.hide();
    ShowPopMenu(&owner, &menu, nullptr, 0, 0, 0);
    EXPECT_FALSE(menu.isVisible());
}

class Stubborn : public QWidget
{
  protected:
    void closeEvent(QCloseEvent* e) override { e->ignore(); }
};

TEST(FormHelpersTest, UnloadAllFormsSparesTheMainFrame)
{
    QWidget frame;
    frame.setObjectName(QStringLiteral("frm_Main"));
    frame.show();
    QPointer<QWidget> one = new QWidget;
    one->setAttribute(Qt::WA_DeleteOnClose);
    one->show();
    Stubborn stubborn;
    stubborn.show();
    QPointer<QWidget> hidden = new QWidget;
    hidden->setAttribute(Qt::WA_DeleteOnClose);
    QWidget other;
    other.setObjectName(QStringLiteral("frm_main")); // the name is compared exactly
    other.show();

    UnloadAllForms();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(frame.isVisible());
    EXPECT_TRUE(one.isNull());
    EXPECT_TRUE(hidden.isNull());
    EXPECT_TRUE(stubborn.isVisible());
    EXPECT_FALSE(other.isVisible());
}

class FillComboBoxTest : public DbTest
{
};

TEST_F(FillComboBoxTest, OneEntryPerRowInQueryOrder)
{
    exec(QStringLiteral("CREATE TABLE t (id INTEGER, name TEXT)"));
    exec(QStringLiteral("INSERT INTO t VALUES (1, '甲'), (2, NULL), (3, '   '), (4, 'O''Brien'), (5, '\t')"));
    QComboBox combo;
    combo.addItem(QStringLiteral("old"));
    FillComboBox(&combo, ExecuteSql(QStringLiteral("select name from t order by id")),
                 QStringLiteral("NAME"));
    QStringList items;
    for (int i = 0; i < combo.count(); ++i)
        items.append(combo.itemText(i));
    EXPECT_EQ(items, (QStringList{QStringLiteral("甲"), QString(), QString(), QStringLiteral("O'Brien"),
                                  QStringLiteral("\t")}));
    EXPECT_EQ(combo.currentIndex(), 0);

    FillComboBox(&combo,
                 ExecuteSql(QStringLiteral("select name from t where id > @id"),
                            ParamMap{{QStringLiteral("@id"), 99}}),
                 QStringLiteral("name"));
    EXPECT_EQ(combo.count(), 0);

    EXPECT_THROW(
        FillComboBox(&combo, ExecuteSql(QStringLiteral("select nothing from missing")), QStringLiteral("x")),
        DbError);
    EXPECT_THROW(
        FillComboBox(&combo, ExecuteSql(QStringLiteral("select name from t")), QStringLiteral("uname")),
        DbError);
}

} // namespace

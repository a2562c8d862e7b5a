#include "MsgBox.h"
#include "UiDriver.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include <gtest/gtest.h>

namespace
{
// Shows a real message box (the facade is not in test mode here) and presses
// Enter in it as soon as it is up; answers what the box answered.
MsgAnswer AnswerWithEnter(MsgButtons buttons, MsgDefault defaultButton)
{
    QTimer::singleShot(0, [] {
        if (QApplication::activeModalWidget())
            ui::press(Qt::Key_Return);
    });
    return MsgBox::Show(QStringLiteral("是否退出?"), MsgIcon::Question, QStringLiteral("提示"), buttons,
                        nullptr, defaultButton);
}
} // namespace

TEST(MessageBoxTest, EnterPressesTheDefaultButtonTheQuestionNames)
{
    ASSERT_FALSE(MsgBox::InTest());
    const struct {
        MsgButtons buttons;
        MsgDefault defaultButton;
        MsgAnswer answer;
    } cases[] = {
        {MsgButtons::YesNo, MsgDefault::First, MsgAnswer::Yes},
        {MsgButtons::YesNo, MsgDefault::Second, MsgAnswer::No},
        {MsgButtons::YesNoCancel, MsgDefault::Second, MsgAnswer::No},
        {MsgButtons::YesNoCancel, MsgDefault::Third, MsgAnswer::Cancel},
        {MsgButtons::OkCancel, MsgDefault::First, MsgAnswer::Ok},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.defaultButton));
        EXPECT_EQ(AnswerWithEnter(c.buttons, c.defaultButton), c.answer);
    }
}

// A failure's own technical words stay out of the box's text: they are its
// details, shown on request.
TEST(MessageBoxTest, DetailsAreAPartOfTheirOwn)
{
    ASSERT_FALSE(MsgBox::InTest());
    QString text;
    QString details;
    QTimer::singleShot(0, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            text = box->text();
            details = box->detailedText();
        }
        if (QApplication::activeModalWidget())
            ui::press(Qt::Key_Return);
    });
    MsgBox::SystemError(QStringLiteral("数据库正被其他用户使用,请稍后再试!"), nullptr,
                        QStringLiteral("database is locked"));
    EXPECT_EQ(text, QStringLiteral("数据库正被其他用户使用,请稍后再试!"));
    EXPECT_EQ(details, QStringLiteral("database is locked"));
}

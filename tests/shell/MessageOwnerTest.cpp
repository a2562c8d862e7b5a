#include "TestEnv.h"
#include "UiDriver.h"

#include "DbMaintenance.h"
#include "GetvalueFunction.h"
#include "MsgBox.h"
#include "mod_public.h"

#include <QWidget>

namespace
{

class MessageOwnerTest : public DbTest
{
};

// Messages raised below the windows (rights check, backup) appear over the
// window the user is working in; none is left parentless in the screen's middle.
TEST_F(MessageOwnerTest, MessagesWithoutAParentBelongToTheActiveWindow)
{
    QWidget window;
    window.resize(300, 200);
    ui::activate(&window);
    SysVar.Sys_funJoinCode = QStringLiteral("a01,");
    EXPECT_FALSE(check_FunRight(QStringLiteral("zz9"), true));
    ASSERT_TRUE(BackUpDB(true).isResult);
    ASSERT_EQ(shown(), (QStringList{QStringLiteral("功能受限,请与系统管理联系!"),
                                    QStringLiteral("数据压缩备份完毕!")}));
    for (const ShownMessage& m : MsgBox::Shown())
        EXPECT_EQ(m.parent, &window) << m.text.toStdString();

    // A parent given stays the parent.
    QWidget other;
    MsgBox::Info(QStringLiteral("x"), {}, &other);
    EXPECT_EQ(MsgBox::Shown().last().parent, &other);
}

} // namespace

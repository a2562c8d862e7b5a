#include "ScheduleHelpers.h"

#include "FormHelpers.h"
#include "dal_setting.h"
#include "sqlHelper.h"

#include <QApplication>
#include <QPushButton>

namespace
{

std::function<void()>& quitHook()
{
    static std::function<void()> hook;
    return hook;
}

} // namespace

namespace ScheduleUi
{

int px(const QWidget* w, int twips)
{
    return TwipsToPixels(twips, w);
}

QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    return b;
}

void place(QWidget* w, int left, int top, int width)
{
    w->setGeometry(px(w, left), px(w, top), px(w, width), px(w, 300));
}

QString readStoredViewType()
{
    const QString v = dal_setting().GetModel(QStringLiteral("viewType")).setValue.trimmed();
    return v.isEmpty() ? u"列表显示"_qs : v;
}

} // namespace ScheduleUi

void SetScheduleQuitHook(std::function<void()> hook)
{
    quitHook() = std::move(hook);
}

void EndScheduleProgram()
{
    CloseRs();
    CloseRs2();
    CloseConn();
    if (quitHook()) {
        quitHook()();
        return;
    }
    // Leaves every event loop, the modal ones included, so main() returns.
    QCoreApplication::exit(0);
}

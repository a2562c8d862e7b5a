#include "ButtonKeys.h"
#include "DbError.h"
#include "Guarded.h"
#include "MessageBoxes.h"
#include "MsgBox.h"
#include "QtTranslations.h"
#include "RegisterWindows.h"
#include "ToolbarIcons.h"
#include "frm_Main.h"
#include "mod_public.h"
#include "sqlHelper.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    InstallQtTranslations();
    InstallMessageBoxes();
    InstallButtonKeys();
    InstallBusySigns();
    app.setWindowIcon(ToolbarIcon(QStringLiteral("house")));

    // A missing database ends the program here, before any window shows.
    SetEndProgramOnMissingDb(true);
    try {
        init_SysVar();
    } catch (const DbError& e) {
        MsgBox::SystemError(e.message(), nullptr, e.details());
        return 1;
    } catch (const std::exception& e) {
        MsgBox::SystemError(QString::fromLocal8Bit(e.what()));
        return 1;
    }
    SetEndProgramOnMissingDb(false);

    RegisterWindows();
    frm_Main frame;
    if (!frame.Start())
        return 0;
    return app.exec();
}

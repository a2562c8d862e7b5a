#include "MsgBox.h"
#include "mod_public.h"
#include "sqlHelper.h"

#include <QApplication>
#include <QLabel>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    SetEndProgramOnMissingDb(true);
    try {
        init_SysVar();
    } catch (const DbError& e) {
        MsgBox::SystemError(e.message());
        return 1;
    }
    QLabel frame(ProductTitle());
    frame.setWindowTitle(ProductTitle());
    frame.resize(800, 600);
    frame.show();
    return app.exec();
}

// A data source that reaches for the whole Widgets module.
#include <QtWidgets>

int OpenWindows()
{
    return int(QApplication::topLevelWidgets().size());
}

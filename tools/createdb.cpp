// wms-createdb <folder>: makes a fresh "wms.db" in the folder; never overwrites one.
#include "DbCreator.h"

#include <QCoreApplication>
#include <QDir>
#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: wms-createdb <folder>\n");
        return 2;
    }
    const QString file = QDir(args.at(1)).filePath(QStringLiteral("wms.db"));
    if (QFileInfo::exists(file)) {
        std::fprintf(stderr, "%s already exists; nothing changed\n", qPrintable(file));
        return 1;
    }
    QDir().mkpath(args.at(1));
    const QString error = CreateFreshDatabase(file);
    if (!error.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    std::printf("created %s\n", qPrintable(file));
    return 0;
}

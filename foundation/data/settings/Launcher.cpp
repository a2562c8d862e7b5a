#include "Launcher.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QMimeDatabase>
#include <QProcess>
#include <QSet>
#include <QStandardPaths>

namespace
{

struct TestState {
    bool active = false;
    bool result = true;
    QList<Launcher::Launch> launches;
};

TestState& state()
{
    static TestState s;
    return s;
}

// The association files of the desktop, most important first.
QStringList AssociationFiles()
{
    QStringList files;
    for (const QString& dir : QStandardPaths::standardLocations(QStandardPaths::GenericConfigLocation))
        files << dir + QStringLiteral("/mimeapps.list");
    for (const QString& dir : QStandardPaths::standardLocations(QStandardPaths::ApplicationsLocation)) {
        for (const char* name : {"mimeapps.list", "defaults.list", "mimeinfo.cache"})
            files << dir + QLatin1Char('/') + QLatin1String(name);
    }
    return files;
}

// The programs a file lists for any of the types; removed holds the ones a
// [Removed Associations] section takes away.
void ReadAssociations(const QString& file, const QSet<QString>& types, QSet<QString>& listed,
                      QSet<QString>& removed)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        return;
    bool removing = false;
    while (!f.atEnd()) {
        const QString line = QString::fromUtf8(f.readLine()).trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            removing = line == QLatin1String("[Removed Associations]");
            continue;
        }
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq <= 0 || !types.contains(line.left(eq).trimmed()))
            continue;
        for (const QString& app : line.mid(eq + 1).split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            const QString name = app.trimmed();
            if (name.isEmpty())
                continue;
            if (removing)
                removed.insert(name);
            else if (!removed.contains(name))
                listed.insert(name);
        }
    }
}

} // namespace

bool Launcher::HasOpener(const QString& path)
{
    const QMimeType mime = QMimeDatabase().mimeTypeForFile(path);
    if (!mime.isValid() || mime.isDefault())
        return false;
    QSet<QString> types{mime.name()};
    for (const QString& alias : mime.aliases())
        types.insert(alias);
    QSet<QString> listed;
    QSet<QString> removed;
    for (const QString& file : AssociationFiles())
        ReadAssociations(file, types, listed, removed);
    return !listed.isEmpty();
}

bool Launcher::StartDetached(const QString& program, const QStringList& arguments)
{
    TestState& s = state();
    if (s.active) {
        s.launches.append({program, arguments, {}});
        return s.result;
    }
    return QProcess::startDetached(program, arguments);
}

bool Launcher::OpenUrl(const QUrl& url)
{
    TestState& s = state();
    if (s.active) {
        s.launches.append({{}, {}, url});
        return s.result;
    }
    if (!url.isLocalFile())
        return QDesktopServices::openUrl(url);
    // The desktop's own opener may take seconds to give up on a file nothing
    // opens; the answer is known beforehand.
    const QString path = url.toLocalFile();
    const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (opener.isEmpty() || !HasOpener(path))
        return false;
    return QProcess::startDetached(opener, {path});
}

void Launcher::BeginTest()
{
    state() = TestState{};
    state().active = true;
}

void Launcher::EndTest()
{
    state().active = false;
}

void Launcher::SetResult(bool ok)
{
    state().result = ok;
}

const QList<Launcher::Launch>& Launcher::Launches()
{
    return state().launches;
}

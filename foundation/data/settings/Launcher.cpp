#include "Launcher.h"

#include <QDesktopServices>
#include <QProcess>

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

} // namespace

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
    return QDesktopServices::openUrl(url);
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

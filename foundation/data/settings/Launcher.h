#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

// Starts other programs and opens documents and links with the desktop. In
// test mode nothing starts: every launch is recorded and answered with the
// result the test chose.
class Launcher
{
  public:
    struct Launch {
        QString program; // empty for an opened URL
        QStringList arguments;
        QUrl url;
    };

    static bool StartDetached(const QString& program, const QStringList& arguments);
    // A local file is opened at once or refused at once: when the desktop names
    // no program for its type (HasOpener) the answer is false without waiting,
    // otherwise the desktop's opener starts detached and nothing waits for it.
    static bool OpenUrl(const QUrl& url);
    // Whether the desktop names a program for files of this file's type: the
    // type (or one of its aliases) is listed in a mimeapps.list, defaults.list
    // or mimeinfo.cache of the XDG folders, and not only removed again. Reads
    // a few small files; starts nothing.
    static bool HasOpener(const QString& path);

    // ---- test mode ----
    static void BeginTest();
    static void EndTest();
    static void SetResult(bool ok);
    static const QList<Launch>& Launches();
};

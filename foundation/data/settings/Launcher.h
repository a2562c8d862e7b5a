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
    static bool OpenUrl(const QUrl& url);

    // ---- test mode ----
    static void BeginTest();
    static void EndTest();
    static void SetResult(bool ok);
    static const QList<Launch>& Launches();
};

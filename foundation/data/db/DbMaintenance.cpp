#include "DbMaintenance.h"

#include "Clock.h"
#include "DbError.h"
#include "MsgBox.h"
#include "sqlHelper.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <unistd.h>

namespace
{

// SQLite's code of a file it cannot open.
constexpr int kCantOpenCode = 14;

m_DBresult failed(const QString& text, const QString& details = {})
{
    MsgBox::SystemError(text, nullptr, details);
    m_DBresult result;
    result.isResult = false;
    result.int_Count = 0;
    result.str_MsgBox = text;
    result.str_Details = details;
    return result;
}

m_DBresult succeeded()
{
    m_DBresult result;
    result.isResult = true;
    result.int_Count = 1;
    return result;
}

} // namespace

QString NextBackUpFileName()
{
    const QString base = GetAppPath() + QStringLiteral("CompactBackUp_") +
                         Clock::Now().toString(QStringLiteral("yyyyMMddHHmmss"));
    QString name = base + QStringLiteral(".db");
    // A backup of the same second (or any file left under that name) is never
    // overwritten and never taken for this run's copy.
    for (int n = 2; QFileInfo::exists(name); ++n)
        name = base + QStringLiteral("_%1.db").arg(n);
    return name;
}

namespace
{
// The copy is written under a name no one takes for a backup, next to where
// the backup goes (so the rename stays within one file system).
QString InProgressName(const QString& target)
{
    const QFileInfo info(target);
    QString name =
        info.absolutePath() + QStringLiteral("/~") + info.completeBaseName() + QStringLiteral(".part");
    for (int n = 2; QFileInfo::exists(name); ++n)
        name = info.absolutePath() + QStringLiteral("/~") + info.completeBaseName() +
               QStringLiteral("_%1.part").arg(n);
    return name;
}

// A copy and the files SQLite keeps beside it while writing it.
void RemoveCopy(const QString& path)
{
    for (const QString& suffix :
         {QString(), QStringLiteral("-journal"), QStringLiteral("-wal"), QStringLiteral("-shm")})
        QFile::remove(path + suffix);
}

// A copy not written to for this long was left by a backup that ended
// without cleaning up (the program was killed, the machine went down); one
// being written changes every moment.
constexpr qint64 kStaleCopySeconds = 120;

// Removes the unfinished copies that earlier backups left in folder.
void RemoveStaleCopies(const QString& folder)
{
    const QDir dir(folder);
    const QFileInfoList leftovers = dir.entryInfoList(
        {QStringLiteral("~CompactBackUp_*.part"), QStringLiteral("~CompactBackUp_*.part-*")},
        QDir::Files | QDir::Hidden | QDir::System);
    const QDateTime now = QDateTime::currentDateTimeUtc();
    for (const QFileInfo& file : leftovers) {
        if (file.lastModified().toUTC().secsTo(now) >= kStaleCopySeconds)
            QFile::remove(file.absoluteFilePath());
    }
}

// Flushes a written file to the disk, so a rename never publishes a copy that
// is still only in the system's buffers.
bool FlushToDisk(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite))
        return false;
    return ::fsync(file.handle()) == 0;
}
} // namespace

m_DBresult BackUpDB(bool isShowMsg)
{
    QString partial;
    try {
        // The copy is made by the connection that works on the database in
        // use, so it is a consistent snapshot of exactly that file, including
        // what is not yet checkpointed.
        OpenConn();
        if (InTransaction())
            throw DbError(QStringLiteral("数据库正在写入,不能备份!"));
        const QString target = NextBackUpFileName();
        RemoveStaleCopies(QFileInfo(target).absolutePath());
        // Only a complete copy ever carries a backup's name: it is written
        // aside and renamed when whole, so a copy cut short (a full disk, a
        // killed program) never passes for a backup.
        partial = InProgressName(target);
        try {
            ExecuteSql(QStringLiteral("VACUUM INTO @file"), ParamMap{{QStringLiteral("@file"), partial}});
        } catch (const DbError& e) {
            // The copy could not be made in the backup folder (read only,
            // gone): the database itself is fine, and the folder is named.
            if (e.message() != SqlErrorSentence(kCantOpenCode))
                throw;
            throw DbError(QStringLiteral("备份文件夹%1不能写入,数据库没有备份!")
                              .arg(QDir::toNativeSeparators(QFileInfo(target).absolutePath())),
                          e.details());
        }
        const QFileInfo written(partial);
        if (!written.exists() || written.size() == 0 || !FlushToDisk(partial) ||
            !QFile::rename(partial, target))
            throw DbError(QStringLiteral("备份文件没有写成: ") + QDir::toNativeSeparators(target));
        RemoveCopy(partial); // what SQLite may have left beside the copy
    } catch (const DbError& e) {
        if (!partial.isEmpty())
            RemoveCopy(partial);
        return failed(e.message(), e.details());
    }
    if (isShowMsg)
        MsgBox::Show(QStringLiteral("数据压缩备份完毕!"), MsgIcon::Information, QStringLiteral("System"));
    return succeeded();
}

m_DBresult RepairDB()
{
    try {
        OpenConn();
        if (InTransaction())
            throw DbError(QStringLiteral("数据库正在写入,不能压缩!"));
        const RecordSetPtr check = ExecuteSql(QStringLiteral("SELECT * FROM pragma_integrity_check"));
        QStringList problems;
        for (int r = 0; check && r < check->RecordCount(); ++r) {
            const QString line = check->value(r, 0).toString();
            if (line.compare(QLatin1String("ok"), Qt::CaseInsensitive) != 0)
                problems.append(line);
        }
        // A damaged file is reported, not compacted: compaction could drop
        // the damaged pages together with the rows still readable on them.
        if (problems.size() > 0 || !check || check->RecordCount() == 0)
            throw DbError(QStringLiteral("数据库文件已损坏:\n") + problems.join(QLatin1Char('\n')));
        ExecuteSql(QStringLiteral("VACUUM"));
    } catch (const DbError& e) {
        return failed(e.message(), e.details());
    }
    MsgBox::Show(QStringLiteral("数据压缩修复完毕!"), MsgIcon::Information, QStringLiteral("System"));
    return succeeded();
}

#include "DbMaintenance.h"

#include "Clock.h"
#include "DbError.h"
#include "MsgBox.h"
#include "sqlHelper.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace
{

m_DBresult failed(const QString& text)
{
    MsgBox::SystemError(text);
    m_DBresult result;
    result.isResult = false;
    result.int_Count = 0;
    result.str_MsgBox = text;
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

m_DBresult BackUpDB(bool isShowMsg)
{
    QString target;
    try {
        // The copy is made by the connection that works on the database in
        // use, so it is a consistent snapshot of exactly that file, including
        // what is not yet checkpointed.
        OpenConn();
        if (InTransaction())
            throw DbError(QStringLiteral("数据库正在写入,不能备份!"));
        target = NextBackUpFileName();
        ExecuteSql(QStringLiteral("VACUUM INTO @file"), ParamMap{{QStringLiteral("@file"), target}});
        const QFileInfo written(target);
        if (!written.exists() || written.size() == 0)
            throw DbError(QStringLiteral("备份文件没有写成: ") + QDir::toNativeSeparators(target));
    } catch (const DbError& e) {
        // Nothing half-written stays behind under a backup's name.
        if (!target.isEmpty() && QFileInfo::exists(target))
            QFile::remove(target);
        return failed(e.message());
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
        return failed(e.message());
    }
    MsgBox::Show(QStringLiteral("数据压缩修复完毕!"), MsgIcon::Information, QStringLiteral("System"));
    return succeeded();
}

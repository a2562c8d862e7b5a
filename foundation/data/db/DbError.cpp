#include "DbError.h"

QString SqlErrorSentence(int sqliteCode)
{
    switch (sqliteCode & 0xff) {
    case 3: // SQLITE_PERM
        return QStringLiteral("没有访问数据库文件的权限!");
    case 5: // SQLITE_BUSY
    case 6: // SQLITE_LOCKED
        return QStringLiteral("数据库正被其他用户使用,请稍后再试!");
    case 8: // SQLITE_READONLY
        return QStringLiteral("数据库文件是只读的,不能写入!");
    case 10: // SQLITE_IOERR
        return QStringLiteral("读写数据库文件时出错!");
    case 11: // SQLITE_CORRUPT
    case 26: // SQLITE_NOTADB
        return QStringLiteral("数据库文件已损坏,无法读取!");
    case 13: // SQLITE_FULL
        return QStringLiteral("磁盘空间不足,数据没有写入!");
    case 14: // SQLITE_CANTOPEN
        return QStringLiteral("无法打开数据库文件!");
    default:
        return QString();
    }
}

QString SqlErrorText(const QSqlError& error)
{
    const QString db = error.databaseText().trimmed();
    const QString text = db.isEmpty() ? error.text().trimmed() : db;
    bool ok = false;
    const int code = error.nativeErrorCode().toInt(&ok);
    const QString sentence = ok ? SqlErrorSentence(code) : QString();
    if (sentence.isEmpty())
        return text;
    return text.isEmpty() ? sentence : sentence + QLatin1Char('\n') + text;
}

#include "DbError.h"

#include <QLoggingCategory>

namespace
{

Q_LOGGING_CATEGORY(lcDatabase, "wms.db")

// SQLite's result codes (sqlite3.h): the primary code is the low byte of an
// extended one.
enum : int {
    kError = 1,
    kInternal = 2,
    kPerm = 3,
    kAbort = 4,
    kBusy = 5,
    kLocked = 6,
    kNoMem = 7,
    kReadOnly = 8,
    kInterrupt = 9,
    kIoErr = 10,
    kCorrupt = 11,
    kFull = 13,
    kCantOpen = 14,
    kProtocol = 15,
    kSchema = 17,
    kTooBig = 18,
    kConstraint = 19,
    kMismatch = 20,
    kMisuse = 21,
    kNoLfs = 22,
    kAuth = 23,
    kRange = 25,
    kNotADb = 26,
    kReadOnlyDbMoved = kReadOnly | (4 << 8),
    kReadOnlyDirectory = kReadOnly | (6 << 8),
    kConstraintCheck = kConstraint | (1 << 8),
    kConstraintForeignKey = kConstraint | (3 << 8),
    kConstraintNotNull = kConstraint | (5 << 8),
    kConstraintPrimaryKey = kConstraint | (6 << 8),
    kConstraintTrigger = kConstraint | (7 << 8),
    kConstraintUnique = kConstraint | (8 << 8),
};

// A refusal the schema's triggers give in their own words (RAISE): SQLite
// reports it as a constraint, with the trigger's text alone.
bool isTriggerRefusal(int code, const QString& text)
{
    if (code == kConstraintTrigger)
        return !text.isEmpty();
    return code == kConstraint && !text.isEmpty() && !text.contains(QLatin1String("constraint failed"));
}

} // namespace

QString SqlErrorSentence(int sqliteCode)
{
    switch (sqliteCode) {
    case kReadOnlyDbMoved:
        return QStringLiteral("找不到数据库文件,它或它所在的文件夹已被移走或删除!");
    case kReadOnlyDirectory:
        return QStringLiteral("数据库文件所在的文件夹是只读的,不能写入!");
    case kConstraintUnique:
    case kConstraintPrimaryKey:
        return QStringLiteral("数据与已有的记录重复,没有写入!");
    case kConstraintNotNull:
        return QStringLiteral("数据不完整,没有写入!");
    case kConstraintForeignKey:
        return QStringLiteral("数据所引用的记录不存在或仍被引用,没有写入!");
    case kConstraintCheck:
        return QStringLiteral("数据不符合数据库的规则,没有写入!");
    default:
        break;
    }
    switch (sqliteCode & 0xff) {
    case kError:
        return QStringLiteral("数据库语句执行出错,操作没有完成!");
    case kInternal:
    case kMisuse:
        return QStringLiteral("数据库内部出错,操作没有完成!");
    case kPerm:
    case kAuth:
        return QStringLiteral("没有访问数据库文件的权限!");
    case kAbort:
    case kInterrupt:
        return QStringLiteral("数据库操作被中止,没有完成!");
    case kBusy:
    case kLocked:
    case kProtocol:
        return QStringLiteral("数据库正被其他用户使用,请稍后再试!");
    case kNoMem:
        return QStringLiteral("内存不足,数据库操作没有完成!");
    case kReadOnly:
        return QStringLiteral("数据库文件是只读的,不能写入!");
    case kIoErr:
        return QStringLiteral("读写数据库文件时出错!");
    case kCorrupt:
    case kNotADb:
        return QStringLiteral("数据库文件已损坏,无法读取!");
    case kFull:
        return QStringLiteral("磁盘空间不足,数据没有写入!");
    case kCantOpen:
        return QStringLiteral("无法打开数据库文件!");
    case kSchema:
        return QStringLiteral("数据库结构刚被改变,请再试一次!");
    case kTooBig:
    case kNoLfs:
        return QStringLiteral("数据太大,数据库不能保存!");
    case kConstraint:
        return QStringLiteral("数据不符合数据库的约束,没有写入!");
    case kMismatch:
    case kRange:
        return QStringLiteral("数据与数据库的字段不符,没有写入!");
    default:
        return QStringLiteral("数据库操作失败!");
    }
}

DbError SqlFailure(int sqliteCode, const QString& databaseText)
{
    const QString text = databaseText.trimmed();
    if (!text.isEmpty())
        qCWarning(lcDatabase).noquote() << "SQLite" << sqliteCode << text;
    if (isTriggerRefusal(sqliteCode, text))
        return DbError(text);
    return DbError(SqlErrorSentence(sqliteCode), text);
}

DbError SqlFailure(const QSqlError& error)
{
    const QString db = error.databaseText().trimmed();
    bool ok = false;
    const int code = error.nativeErrorCode().toInt(&ok);
    return SqlFailure(ok ? code : 0, db.isEmpty() ? error.text().trimmed() : db);
}

QString SqlErrorText(const QSqlError& error)
{
    return SqlFailure(error).message();
}

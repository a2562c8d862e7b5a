#include "sqlHelper.h"

#include "Cp936.h"
#include "MsgBox.h"
#include "NumberSql.h"
#include "Numbers.h"
#include "ProcessFuntionValues.h"
#include "RowReader.h"
#include "SchemaVersion.h"
#include "mod_public.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QSqlResult>
#include <QStringDecoder>
#include <QUrl>
#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <sqlite3.h>
#include <unordered_map>
#include <unordered_set>

RecordSetPtr SharedRs;
RecordSetPtr CalendarRs;

namespace
{

const QString kConnName = QStringLiteral("wms_shared");

// A statement that outlives the call that ran it (a row reader's): it is let
// go before the connection closes.
class OpenStatement
{
  public:
    virtual void end() = 0;

  protected:
    ~OpenStatement() = default;
};

struct ConnState {
    // Write statements prepared once per connection: a bill of many lines
    // runs the same INSERT again and again inside one transaction.
    QHash<QString, QSqlQuery> writeCache;
    // Queries prepared once per connection as well, with the field names of
    // their results: a lookup by code or barcode runs the same SELECT for
    // every scanned item.
    struct CachedRead {
        QSqlQuery query;
        QSqlRecord record;      // the result's columns as last read
        RecordFieldsPtr fields; // their names, shared with every result
    };
    std::unordered_map<QString, CachedRead> readCache;
    QString appPathOverride;
    QString connString;
    bool endOnMissingDb = false;
    std::function<void()> endHook;
    int transDepth = 0;
    // Counts the openings and closings of the connection: a statement kept
    // from an earlier opening is not put back.
    quint64 connection = 0;
    int busyTimeout = 30000;
    std::function<void(bool)> lockWaitHook;
    std::function<void()> lockWaitPoll;
    QElapsedTimer lockWait; // runs while a statement waits for a lock
    bool lockWaitShown = false;
    qint64 lockWaitPolled = 0; // when the poll was last called, in the wait
    // The row readers open on the connection (OpenRowReader).
    std::unordered_set<OpenStatement*> readers;
};

ConnState& cs()
{
    static ConnState s;
    return s;
}

// A failure the database reported (DbError's message and details). A write
// refused because the database file is gone (its folder removed or moved, say)
// says that rather than that the file is read only.
DbError failure(int code, const QString& text)
{
    const DbError error = SqlFailure(code, text);
    const int primary = code & 0xff;
    const bool refused = primary == SQLITE_READONLY || primary == SQLITE_CANTOPEN || primary == SQLITE_IOERR;
    if (refused && !cs().connString.isEmpty() && !QFileInfo::exists(cs().connString))
        return DbError(SqlErrorSentence(SQLITE_READONLY_DBMOVED), error.details());
    return error;
}

DbError failure(const QSqlError& e)
{
    bool ok = false;
    const int code = e.nativeErrorCode().toInt(&ok);
    const QString text = e.databaseText().trimmed();
    return failure(ok ? code : 0, text.isEmpty() ? e.text().trimmed() : text);
}

// The same for a failure of SQLite's own interface on the connection db.
DbError failure(sqlite3* db, int code)
{
    return failure(code, QString::fromUtf8(sqlite3_errmsg(db)));
}

// The shared connection's SQLite handle; null when it has none.
sqlite3* connHandle()
{
    const QVariant handle = SharedConn().driver()->handle();
    return handle.isValid() ? *static_cast<sqlite3* const*>(handle.constData()) : nullptr;
}

// A wait longer than this is told to the window layer, which is then given
// a moment this often to keep its windows drawn.
constexpr qint64 kLongLockWaitMs = 300;
constexpr qint64 kLockWaitPollMs = 50;

// SQLite calls this while another connection holds the lock a statement
// needs: sleep a little longer each time, up to the busy timeout.
int onBusy(void*, int count)
{
    ConnState& s = cs();
    if (count == 0 || !s.lockWait.isValid())
        s.lockWait.start();
    const qint64 waited = s.lockWait.elapsed();
    if (waited >= s.busyTimeout)
        return 0;
    if (!s.lockWaitShown && waited >= kLongLockWaitMs) {
        s.lockWaitShown = true;
        s.lockWaitPolled = waited;
        if (s.lockWaitHook)
            s.lockWaitHook(true);
    }
    if (s.lockWaitShown && s.lockWaitPoll && waited - s.lockWaitPolled >= kLockWaitPollMs) {
        s.lockWaitPolled = waited;
        s.lockWaitPoll();
    }
    // Short sleeps: a workstation that sleeps long loses the lock again and
    // again to those that try more often.
    static constexpr int kDelays[] = {1, 1, 2, 2, 3, 3, 4};
    int delay = count < int(std::size(kDelays)) ? kDelays[count] : 5;
    delay = int(std::min<qint64>(delay, s.busyTimeout - waited));
    sqlite3_sleep(std::max(delay, 1));
    return 1;
}

// Ends the lock wait of the statement that just ran, if it had one.
void lockWaitOver()
{
    ConnState& s = cs();
    s.lockWait.invalidate();
    if (!s.lockWaitShown)
        return;
    s.lockWaitShown = false;
    if (s.lockWaitHook)
        s.lockWaitHook(false);
}

// Runs q.exec() (prepared) or q.exec(sql) and closes any lock wait it had.
bool execWaiting(QSqlQuery& q)
{
    const bool ok = q.exec();
    lockWaitOver();
    return ok;
}
bool execWaiting(QSqlQuery& q, const QString& sql)
{
    const bool ok = q.exec(sql);
    lockWaitOver();
    return ok;
}

// One statement ready for the driver: "@name" placeholders turned into "?"
// with their values in order, program-made raw values written into the text.
struct Prepared {
    QString sql;
    QVariantList values;
};

// A query by its first word; a text that is no query is not run at all.
bool looksLikeQuery(const QString& sql)
{
    const QString t = sql.trimmed();
    return t.startsWith(QLatin1String("SELECT"), Qt::CaseInsensitive) ||
           t.startsWith(QLatin1String("WITH"), Qt::CaseInsensitive);
}

bool isIdentChar(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_');
}

QVariant bindValue(const QVariant& v)
{
    // A text is never Null: an empty text box stores the empty text.
    if (v.typeId() == QMetaType::QString)
        return QVariant(v.toString().isNull() ? QStringLiteral("") : v.toString());
    if (!v.isValid() || v.isNull())
        return QVariant();
    switch (v.typeId()) {
    case QMetaType::Bool:
        return v.toBool() ? 1 : 0;
    case QMetaType::QDate:
        return v.toDate().toString(QStringLiteral("yyyy-MM-dd"));
    case QMetaType::QDateTime:
        return v.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    default:
        return v;
    }
}

// The driver text and the placeholder names, in order, of a statement text
// whose values are all bound (none written into the text): the same text is
// not read character by character again.
struct Shape {
    QString sql;
    QStringList names;
};

QHash<QString, Shape>& shapes()
{
    static QHash<QString, Shape> cache;
    return cache;
}

bool isRaw(const QVariant& v)
{
    return v.typeId() == qMetaTypeId<SqlRaw>();
}

Prepared prepareText(const QString& sql, const ParamMap* params, QStringList* names);

Prepared prepare(const QString& sql, const ParamMap* params)
{
    const auto known = shapes().constFind(sql);
    if (known != shapes().constEnd()) {
        Prepared out;
        out.sql = known->sql;
        out.values.reserve(known->names.size());
        bool bound = true;
        for (const QString& name : known->names) {
            if (!params || !params->contains(name) || isRaw(params->value(name))) {
                bound = false;
                break;
            }
            out.values.append(bindValue(params->value(name)));
        }
        if (bound)
            return out;
    }
    QStringList names;
    Prepared out = prepareText(sql, params, &names);
    if (names.size() == out.values.size()) {
        if (shapes().size() >= 256)
            shapes().clear();
        shapes().insert(sql, Shape{out.sql, names});
    }
    return out;
}

Prepared prepareText(const QString& sql, const ParamMap* params, QStringList* names)
{
    Prepared out;
    out.sql.reserve(sql.size());
    const qsizetype n = sql.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = sql.at(i);
        // Quoted literals and identifiers pass through untouched.
        if (c == QLatin1Char('\'') || c == QLatin1Char('"') || c == QLatin1Char('[')) {
            const QChar close = c == QLatin1Char('[') ? QLatin1Char(']') : c;
            qsizetype j = i + 1;
            while (j < n) {
                if (sql.at(j) == close) {
                    if (close != QLatin1Char(']') && j + 1 < n && sql.at(j + 1) == close) {
                        j += 2;
                        continue;
                    }
                    break;
                }
                ++j;
            }
            out.sql.append(sql.mid(i, j - i + 1));
            i = j + 1;
            continue;
        }
        if (c == QLatin1Char('@') && i + 1 < n && isIdentChar(sql.at(i + 1))) {
            qsizetype j = i + 1;
            while (j < n && isIdentChar(sql.at(j)))
                ++j;
            const QString name = sql.mid(i, j - i);
            if (!params || !params->contains(name))
                throw DbError(QStringLiteral("参数 %1 没有值").arg(name));
            const QVariant v = params->value(name);
            if (v.canConvert<SqlRaw>() && v.typeId() == qMetaTypeId<SqlRaw>()) {
                const SqlRaw raw = v.value<SqlRaw>();
                if (!raw.isValid())
                    throw DbError(QStringLiteral("参数 %1 的值无效: %2").arg(name, raw.text));
                out.sql.append(raw.text);
                names->append(name); // one name more than values: the text is not kept
            } else {
                out.sql.append(QLatin1Char('?'));
                out.values.append(bindValue(v));
                names->append(name);
            }
            i = j;
            continue;
        }
        out.sql.append(c);
        ++i;
    }
    return out;
}

QSqlQuery run(const Prepared& p)
{
    OpenConn();
    QSqlQuery q(SharedConn());
    q.setForwardOnly(true);
    if (!q.prepare(p.sql))
        throw failure(q.lastError());
    for (int k = 0; k < p.values.size(); ++k)
        q.bindValue(k, p.values.at(k));
    if (!execWaiting(q))
        throw failure(q.lastError());
    return q;
}

RecordSetPtr readAll(QSqlQuery& q, ConnState::CachedRead* cached = nullptr);

// Runs a query through the connection's prepared statement for its text and
// reads every row; the statement is reset afterwards, so it holds no lock.
RecordSetPtr runCachedQuery(const Prepared& p)
{
    OpenConn();
    auto& cache = cs().readCache;
    auto it = cache.find(p.sql);
    if (it == cache.end()) {
        if (cache.size() >= 64)
            cache.clear();
        QSqlQuery q(SharedConn());
        q.setForwardOnly(true);
        if (!q.prepare(p.sql))
            throw failure(q.lastError());
        it = cache.emplace(p.sql, ConnState::CachedRead{std::move(q), {}, nullptr}).first;
    }
    QSqlQuery& q = it->second.query;
    for (int k = 0; k < p.values.size(); ++k)
        q.bindValue(k, p.values.at(k));
    RecordSetPtr rows;
    try {
        if (!execWaiting(q))
            throw failure(q.lastError());
        if (q.isSelect())
            rows = readAll(q, &it->second);
    } catch (const DbError&) {
        cache.erase(it);
        throw;
    }
    q.finish();
    return rows;
}

// Reads every row of q. cached, when given, is the statement's own entry: its
// field names are shared while the columns are the same as last time (the
// record compares in place; reading names one by one copies every field).
RecordSetPtr readAll(QSqlQuery& q, ConnState::CachedRead* cached)
{
    const QSqlRecord rec = q.record();
    const int cols = rec.count();
    RecordFieldsPtr fields;
    if (cached && cached->fields && cached->record == rec) {
        fields = cached->fields;
    } else {
        QStringList names;
        names.reserve(cols);
        for (int k = 0; k < cols; ++k)
            names.append(rec.fieldName(k));
        fields = std::make_shared<const RecordFields>(std::move(names));
        if (cached) {
            cached->record = rec;
            cached->fields = fields;
        }
    }
    auto rs = std::make_shared<RecordSet>(std::move(fields), QList<QVariantList>{});
    while (q.next()) {
        QVariantList row;
        row.reserve(cols);
        for (int k = 0; k < cols; ++k)
            row.append(q.value(k));
        rs->appendRow(std::move(row));
    }
    if (q.lastError().isValid())
        throw failure(q.lastError());
    return rs;
}

void execPlain(const QString& sql)
{
    QSqlQuery q(SharedConn());
    if (!execWaiting(q, sql))
        throw failure(q.lastError());
}

void endProgram()
{
    if (cs().endHook)
        cs().endHook();
    else
        std::exit(0);
}

} // namespace

// ---- program folder and configuration ----

QString GetAppPath()
{
    QString path =
        cs().appPathOverride.isEmpty() ? QCoreApplication::applicationDirPath() : cs().appPathOverride;
    if (!path.endsWith(QLatin1Char('/')))
        path.append(QLatin1Char('/'));
    return path;
}

void SetAppPathOverride(const QString& folder)
{
    cs().appPathOverride = folder;
}

QString ReadIniValue(const QString& section, const QString& key, const QString& fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QByteArray bytes = file.readAll();
    // Files saved here are UTF-8, often with a byte-order mark; older ones are
    // in code page 936, which is seldom also valid UTF-8 once it holds Chinese.
    QString text;
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        text = QString::fromUtf8(bytes.mid(3));
    } else {
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        text = utf8.decode(bytes);
        if (utf8.hasError())
            text = Cp936::decode(bytes);
    }
    bool inSection = false;
    for (QStringView line : QStringView(text).split(QLatin1Char('\n'))) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')))
            continue;
        if (line.startsWith(QLatin1Char('['))) {
            const qsizetype close = line.indexOf(QLatin1Char(']'));
            const QStringView name = line.mid(1, close < 0 ? -1 : close - 1).trimmed();
            inSection = name.compare(section, Qt::CaseInsensitive) == 0;
            continue;
        }
        if (!inSection)
            continue;
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq < 0)
            continue;
        if (line.left(eq).trimmed().compare(key, Qt::CaseInsensitive) != 0)
            continue;
        QStringView value = line.mid(eq + 1).trimmed();
        if (value.size() >= 2 && (value.front() == QLatin1Char('"') || value.front() == QLatin1Char('\'')) &&
            value.back() == value.front())
            value = value.mid(1, value.size() - 2);
        // A setting holds at most 126 characters; anything after is ignored.
        return value.left(126).toString();
    }
    return {};
}

namespace
{
QString dbName()
{
    return SysVar.Sys_dbName.isEmpty() ? QStringLiteral("wms.db") : SysVar.Sys_dbName;
}

QString dbFolder()
{
    const QString ini = GetAppPath() + QStringLiteral("linkDB.ini");
    const QString linkType = ReadIniValue(QStringLiteral("DB_Link"), QStringLiteral("LinkType"), ini);
    const QString dbPath = ReadIniValue(QStringLiteral("DB_Link"), QStringLiteral("DBPath"), ini);
    if (ReadNumber(linkType) != 0 && !dbPath.trimmed().isEmpty()) {
        const QString folder = QString(dbPath).replace(QLatin1Char('\\'), QLatin1Char('/'));
        // A relative folder is taken from the program folder, not from wherever the program was started.
        return QDir::isRelativePath(folder) ? GetAppPath() + folder : folder;
    }
    return GetAppPath();
}
} // namespace

QString CurrentDbFile()
{
    return dbFolder() + dbName();
}

QString GetDBPath()
{
    const QString folder = dbFolder();
    const QFileInfo info(folder + dbName());
    if (!info.exists() || !info.isFile() || info.isHidden()) {
        const QString text = QStringLiteral("数据库文件路径错误,系统即将退出!");
        if (cs().endOnMissingDb) {
            MsgBox::Show(text, MsgIcon::Exclamation, QStringLiteral("System"));
            endProgram();
        }
        throw DbError(QStringLiteral("数据库文件路径错误!") + QDir::toNativeSeparators(info.filePath()));
    }
    return folder;
}

void SetEndProgramOnMissingDb(bool on)
{
    cs().endOnMissingDb = on;
}

void SetEndProgramHook(std::function<void()> hook)
{
    cs().endHook = std::move(hook);
}

void SetBusyTimeout(int milliseconds)
{
    cs().busyTimeout = std::max(0, milliseconds);
}

int BusyTimeout()
{
    return cs().busyTimeout;
}

void SetLockWaitHook(std::function<void(bool)> hook)
{
    cs().lockWaitHook = std::move(hook);
}

void SetLockWaitPoll(std::function<void()> poll)
{
    cs().lockWaitPoll = std::move(poll);
}

void SetConnString()
{
    cs().connString = GetDBPath() + dbName();
}

QString ConnString()
{
    return cs().connString;
}

QSqlDatabase SharedConn()
{
    if (!QSqlDatabase::contains(kConnName))
        return QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), kConnName);
    return QSqlDatabase::database(kConnName, false);
}

bool IsConnOpen()
{
    return QSqlDatabase::contains(kConnName) && QSqlDatabase::database(kConnName, false).isOpen();
}

namespace
{
// A sentence without its closing mark, to be completed by another ending.
QString clause(QString sentence)
{
    while (sentence.endsWith(QLatin1Char('!')) || sentence.endsWith(QChar(0xFF01)))
        sentence.chop(1);
    return sentence;
}

// Brings an older database up to the program's schema version; a newer one,
// a file of another program, one that cannot be read, or a failed step
// closes the connection with nothing written. At start the program says so
// and ends, as for a missing database; in the session the operation at hand
// fails.
void checkSchemaVersion(QSqlDatabase& db)
{
    using Outcome = SchemaUpgrade::Outcome;
    const SchemaUpgrade upgrade = UpgradeSchema(db);
    if (upgrade.outcome == Outcome::UpToDate)
        return;
    db.close();
    // What went wrong, and how the sentence ends in the session.
    QString reason;
    QString sessionEnd = QStringLiteral("!");
    switch (upgrade.outcome) {
    case Outcome::Foreign:
        reason = QStringLiteral("文件%1不是本系统的数据库")
                     .arg(QDir::toNativeSeparators(QFileInfo(cs().connString).absoluteFilePath()));
        sessionEnd = QStringLiteral(",请检查linkDB.ini中的数据库路径!");
        break;
    case Outcome::Newer:
        reason = upgrade.message;
        sessionEnd = QStringLiteral(",请使用新版本的程序!");
        break;
    case Outcome::Failed:
        reason = QStringLiteral("数据库升级失败: ") + clause(upgrade.message);
        break;
    default:
        reason = clause(upgrade.message);
        break;
    }
    if (cs().endOnMissingDb) {
        MsgBox::Show(reason + QStringLiteral(",系统即将退出!"), MsgIcon::Exclamation,
                     QStringLiteral("System"));
        endProgram();
    }
    throw DbError(reason + sessionEnd);
}
} // namespace

void OpenConn(const QString&, const QString&)
{
    if (IsConnOpen())
        return;
    SetConnString();
    ++cs().connection;
    cs().writeCache.clear();
    cs().readCache.clear();
    QSqlDatabase db = SharedConn();
    // QSQLITE creates a missing file: open an existing one only ("mode=rw"),
    // even if it vanished since GetDBPath looked.
    db.setDatabaseName(
        QUrl::fromLocalFile(QFileInfo(cs().connString).absoluteFilePath()).toString(QUrl::FullyEncoded) +
        QStringLiteral("?mode=rw"));
    db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI"));
    if (!db.open())
        throw failure(db.lastError());
    if (auto* handle = connHandle()) {
        sqlite3_busy_handler(handle, onBusy, nullptr);
        // Failures name their case exactly (a database file moved away, a
        // trigger's refusal), not only its kind.
        sqlite3_extended_result_codes(handle, 1);
        // The bill views compute their amounts with the program's own functions.
        const QString refused = RegisterNumberFunctions(handle);
        if (!refused.isEmpty()) {
            db.close();
            throw DbError(refused);
        }
    }
    try {
        checkSchemaVersion(db);
    } catch (...) {
        lockWaitOver();
        throw;
    }
    lockWaitOver();
    // The database was found: from now on a missing file is an error of the
    // operation at hand, no longer a reason to end the program.
    cs().endOnMissingDb = false;
    QSqlQuery q(db);
    q.exec(QStringLiteral("PRAGMA foreign_keys = ON"));
    q.exec(QStringLiteral("PRAGMA synchronous = FULL"));
    cs().transDepth = 0;
}

void CloseConn()
{
    ++cs().connection;
    SharedRs.reset();
    cs().writeCache.clear();
    cs().readCache.clear();
    // The connection closes only without statements of its own left.
    for (OpenStatement* statement : cs().readers)
        statement->end();
    if (!QSqlDatabase::contains(kConnName))
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(kConnName, false);
        if (db.isOpen())
            db.close();
    }
    cs().transDepth = 0;
}

void CloseRs()
{
    SharedRs.reset();
}

void CloseRs2()
{
    CalendarRs.reset();
}

// ---- statements ----

RecordSetPtr ExecuteSql(const QString& sql)
{
    return ExecuteSql(sql, ParamMap());
}

RecordSetPtr ExecuteSql(const QString& sql, const ParamMap& params)
{
    const Prepared p = prepare(sql, &params);
    if (looksLikeQuery(p.sql))
        return runCachedQuery(p);
    QSqlQuery q = run(p);
    // Whatever yields rows is a query, however the text begins.
    if (!q.isSelect())
        return nullptr;
    return readAll(q);
}

namespace
{

// The rows of one statement on the connection's own handle. The values are
// made as the Qt driver makes them; stored() hands them out as SQLite holds
// them.
class StatementRows final : public RowReader, public OpenStatement
{
  public:
    StatementRows(QStringList fields, sqlite3_stmt* stmt, bool onRow)
        : RowReader(std::move(fields)), m_stmt(stmt), m_firstRow(onRow), m_done(!onRow)
    {
        cs().readers.insert(this);
    }
    ~StatementRows() override
    {
        end();
        cs().readers.erase(this);
    }

    bool next() override
    {
        if (m_firstRow) {
            m_firstRow = false;
            m_onRow = true;
            return true;
        }
        m_onRow = false;
        if (m_done || !m_stmt)
            return false;
        const int rc = sqlite3_step(m_stmt);
        if (rc == SQLITE_ROW) {
            m_onRow = true;
            return true;
        }
        m_done = true;
        if (rc == SQLITE_DONE)
            return false;
        const DbError error = failure(sqlite3_db_handle(m_stmt), rc);
        sqlite3_reset(m_stmt);
        throw error;
    }

    QVariant value(int column) const override
    {
        if (!m_onRow || !m_stmt || column < 0 || column >= fieldCount())
            return {};
        switch (sqlite3_column_type(m_stmt, column)) {
        case SQLITE_BLOB:
            return QByteArray(static_cast<const char*>(sqlite3_column_blob(m_stmt, column)),
                              sqlite3_column_bytes(m_stmt, column));
        case SQLITE_INTEGER:
            return qlonglong(sqlite3_column_int64(m_stmt, column));
        case SQLITE_FLOAT:
            return sqlite3_column_double(m_stmt, column);
        case SQLITE_NULL:
            return QVariant(QMetaType::fromType<QString>());
        default: {
            const auto* text = static_cast<const char16_t*>(sqlite3_column_text16(m_stmt, column));
            return QString::fromUtf16(text,
                                      sqlite3_column_bytes16(m_stmt, column) / qsizetype(sizeof(char16_t)));
        }
        }
    }

    StoredValue stored(int column) const override
    {
        StoredValue v;
        if (!m_onRow || !m_stmt || column < 0 || column >= fieldCount())
            return v;
        // The column's value read in place, once through the statement (the
        // connection is used on its own thread only, so the value needs no
        // lock of its own).
        sqlite3_value* const value = sqlite3_column_value(m_stmt, column);
        switch (sqlite3_value_type(value)) {
        case SQLITE_INTEGER:
            v.type = StoredValue::Type::Integer;
            v.integer = sqlite3_value_int64(value);
            break;
        case SQLITE_FLOAT:
            v.type = StoredValue::Type::Real;
            v.real = sqlite3_value_double(value);
            break;
        case SQLITE_TEXT: {
            v.type = StoredValue::Type::Text;
            const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(value));
            v.bytes = std::string_view(text ? text : "", size_t(sqlite3_value_bytes(value)));
            break;
        }
        case SQLITE_BLOB: {
            v.type = StoredValue::Type::Blob;
            const auto* blob = static_cast<const char*>(sqlite3_value_blob(value));
            v.bytes = std::string_view(blob ? blob : "", size_t(sqlite3_value_bytes(value)));
            break;
        }
        default:
            break;
        }
        return v;
    }

    // Lets the statement go: the connection is about to close.
    void end() override
    {
        m_onRow = m_firstRow = false;
        m_done = true;
        sqlite3_finalize(m_stmt);
        m_stmt = nullptr;
    }

  private:
    sqlite3_stmt* m_stmt;
    bool m_firstRow; // the first row was read when the statement ran
    bool m_onRow = false;
    bool m_done;
};

// Binds a value as the Qt driver binds it.
int bindStatementValue(sqlite3_stmt* stmt, int at, const QVariant& value)
{
    if (!value.isValid() || value.isNull())
        return sqlite3_bind_null(stmt, at);
    switch (value.typeId()) {
    case QMetaType::QByteArray: {
        const QByteArray bytes = value.toByteArray();
        if (bytes.isNull())
            return sqlite3_bind_null(stmt, at);
        return sqlite3_bind_blob(stmt, at, bytes.constData(), int(bytes.size()), SQLITE_TRANSIENT);
    }
    case QMetaType::Int:
    case QMetaType::Bool:
        return sqlite3_bind_int(stmt, at, value.toInt());
    case QMetaType::Double:
        return sqlite3_bind_double(stmt, at, value.toDouble());
    case QMetaType::UInt:
    case QMetaType::LongLong:
        return sqlite3_bind_int64(stmt, at, value.toLongLong());
    default: {
        const QString text = value.toString();
        if (value.typeId() == QMetaType::QString && text.isNull())
            return sqlite3_bind_null(stmt, at);
        return sqlite3_bind_text16(stmt, at, text.utf16(), int(text.size() * qsizetype(sizeof(char16_t))),
                                   SQLITE_TRANSIENT);
    }
    }
}

} // namespace

std::unique_ptr<RowReader> OpenRowReader(const QString& sql, const ParamMap& params)
{
    if (!looksLikeQuery(sql))
        throw DbError(QStringLiteral("不是查询语句: ") + sql.left(60));
    const Prepared p = prepare(sql, &params);
    OpenConn();
    sqlite3* db = connHandle();
    if (!db)
        throw DbError(SqlErrorSentence(SQLITE_MISUSE));
    const QByteArray text = p.sql.toUtf8();
    sqlite3_stmt* stmt = nullptr;
    const char* tail = nullptr;
    const int prepared = sqlite3_prepare_v2(db, text.constData(), int(text.size()), &stmt, &tail);
    if (prepared != SQLITE_OK) {
        sqlite3_finalize(stmt);
        throw failure(db, prepared);
    }
    // One statement at a time, as the driver runs them.
    if (tail && !QByteArray(tail).trimmed().isEmpty()) {
        sqlite3_finalize(stmt);
        throw SqlFailure(SQLITE_MISUSE, QStringLiteral("Unable to execute multiple statements at a time"));
    }
    // A statement without columns is no query and is not run.
    if (!stmt || sqlite3_column_count(stmt) == 0) {
        sqlite3_finalize(stmt);
        throw DbError(QStringLiteral("不是查询语句: ") + sql.left(60));
    }
    if (sqlite3_bind_parameter_count(stmt) != p.values.size()) {
        sqlite3_finalize(stmt);
        throw SqlFailure(0, QStringLiteral("Parameter count mismatch"));
    }
    for (int k = 0; k < p.values.size(); ++k) {
        const int bound = bindStatementValue(stmt, k + 1, p.values.at(k));
        if (bound != SQLITE_OK) {
            const DbError error = failure(db, bound);
            sqlite3_finalize(stmt);
            throw error;
        }
    }
    QStringList fields;
    for (int k = 0; k < sqlite3_column_count(stmt); ++k)
        fields.append(QString::fromUtf8(sqlite3_column_name(stmt, k)).remove(QLatin1Char('"')));
    // The first row is read now, as a query runs: a lock it waits for is
    // over once it answers.
    const int first = sqlite3_step(stmt);
    lockWaitOver();
    if (first != SQLITE_ROW && first != SQLITE_DONE) {
        const DbError error = failure(db, first);
        sqlite3_finalize(stmt);
        throw error;
    }
    return std::make_unique<StatementRows>(std::move(fields), stmt, first == SQLITE_ROW);
}

QSqlQuery OpenForwardQuery(const QString& sql, const ParamMap& params)
{
    if (!looksLikeQuery(sql))
        throw DbError(QStringLiteral("不是查询语句: ") + sql.left(60));
    QSqlQuery q = run(prepare(sql, &params));
    if (!q.isSelect())
        throw DbError(QStringLiteral("不是查询语句: ") + sql.left(60));
    return q;
}

int ExecuteParaSql(const QString& sql, const ParamMap& params)
{
    const Prepared p = prepare(sql, &params);
    if (cs().transDepth == 0) {
        QSqlQuery q = run(p);
        return q.numRowsAffected();
    }
    auto it = cs().writeCache.find(p.sql);
    if (it == cs().writeCache.end()) {
        if (cs().writeCache.size() >= 64)
            cs().writeCache.clear();
        QSqlQuery q(SharedConn());
        q.setForwardOnly(true);
        if (!q.prepare(p.sql))
            throw failure(q.lastError());
        it = cs().writeCache.insert(p.sql, q);
    }
    QSqlQuery& q = it.value();
    for (int k = 0; k < p.values.size(); ++k)
        q.bindValue(k, p.values.at(k));
    if (!execWaiting(q)) {
        const DbError error = failure(q.lastError());
        cs().writeCache.erase(it);
        throw error;
    }
    const int changed = q.numRowsAffected();
    q.finish();
    return changed;
}

QStringList PlaceholderNames(const QString& sql)
{
    QStringList names;
    const qsizetype n = sql.size();
    for (qsizetype i = 0; i < n;) {
        const QChar c = sql.at(i);
        if (c == QLatin1Char('\'') || c == QLatin1Char('"') || c == QLatin1Char('[')) {
            const QChar close = c == QLatin1Char('[') ? QLatin1Char(']') : c;
            qsizetype j = i + 1;
            while (j < n && sql.at(j) != close)
                ++j;
            i = j + 1; // a doubled quote reads as two quoted runs
            continue;
        }
        if (c == QLatin1Char('@') && i + 1 < n && isIdentChar(sql.at(i + 1))) {
            qsizetype j = i + 1;
            while (j < n && isIdentChar(sql.at(j)))
                ++j;
            names.append(sql.mid(i, j - i));
            i = j;
            continue;
        }
        ++i;
    }
    return names;
}

RepeatedWrite::RepeatedWrite(const QString& sql) : m_names(PlaceholderNames(sql))
{
    // Each name stands for a "?" of its own, in text order.
    ParamMap probe;
    for (const QString& name : m_names)
        probe.Add(name, 0);
    const Prepared p = prepare(sql, &probe);
    if (p.values.size() != m_names.size())
        throw DbError(QStringLiteral("无效的语句: ") + sql.left(60));
    OpenConn();
    // The statement is the connection's, prepared once and kept with its
    // other writes: bill after bill runs the same text. It is taken out of
    // the kept writes while this runs it and put back after, unless the
    // connection has been closed meanwhile. Values are bound straight on
    // SQLite's statement, without the driver's list of bound values.
    m_sql = p.sql;
    m_connection = cs().connection;
    auto it = cs().writeCache.find(m_sql);
    if (it != cs().writeCache.end()) {
        m_query = std::move(it.value());
        cs().writeCache.erase(it);
    } else {
        m_query = QSqlQuery(SharedConn());
        m_query.setForwardOnly(true);
        if (!m_query.prepare(m_sql))
            throw failure(m_query.lastError());
    }
    const QVariant handle = m_query.result()->handle();
    m_stmt = handle.isValid() ? *static_cast<sqlite3_stmt* const*>(handle.constData()) : nullptr;
    if (!m_stmt || sqlite3_bind_parameter_count(m_stmt) != m_names.size())
        throw DbError(QStringLiteral("无效的语句: ") + sql.left(60));
    sqlite3_reset(m_stmt);
    sqlite3_clear_bindings(m_stmt);
}

RepeatedWrite::~RepeatedWrite()
{
    if (!m_stmt || cs().connection != m_connection)
        return;
    if (cs().writeCache.size() >= 64)
        cs().writeCache.clear();
    cs().writeCache.insert(m_sql, std::move(m_query));
}

// The first refusal of a binding is the run's failure.
void RepeatedWrite::bound(int rc)
{
    if (rc != SQLITE_OK && m_bindFailure == SQLITE_OK)
        m_bindFailure = rc;
}

void RepeatedWrite::Bind(int position, int value)
{
    bound(sqlite3_bind_int(m_stmt, position + 1, value));
}

void RepeatedWrite::Bind(int position, double value)
{
    bound(sqlite3_bind_double(m_stmt, position + 1, value));
}

void RepeatedWrite::Bind(int position, const QString& value)
{
    // Bound where it lies: the caller's text outlives the run, and every
    // run clears its bindings.
    if (value.isNull())
        bound(sqlite3_bind_text(m_stmt, position + 1, "", 0, SQLITE_STATIC));
    else
        bound(sqlite3_bind_text16(m_stmt, position + 1, value.utf16(), int(value.size() * sizeof(QChar)),
                                  SQLITE_STATIC));
}

// One value as the driver binds it (after bindValue): Null, a whole number,
// a real, a text, bytes; anything else as its text.
void RepeatedWrite::bind(int position, const QVariant& value)
{
    const int k = position + 1;
    if (!value.isValid() || value.isNull()) {
        bound(sqlite3_bind_null(m_stmt, k));
        return;
    }
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::Bool:
        bound(sqlite3_bind_int(m_stmt, k, value.toInt()));
        break;
    case QMetaType::Double:
        bound(sqlite3_bind_double(m_stmt, k, value.toDouble()));
        break;
    case QMetaType::UInt:
    case QMetaType::LongLong:
        bound(sqlite3_bind_int64(m_stmt, k, value.toLongLong()));
        break;
    case QMetaType::QByteArray: {
        const QByteArray bytes = value.toByteArray();
        if (bytes.isNull())
            bound(sqlite3_bind_null(m_stmt, k));
        else
            bound(sqlite3_bind_blob(m_stmt, k, bytes.constData(), int(bytes.size()), SQLITE_TRANSIENT));
        break;
    }
    case QMetaType::QTime: {
        const QString text = value.toTime().toString(QStringLiteral("hh:mm:ss.zzz"));
        bound(
            sqlite3_bind_text16(m_stmt, k, text.utf16(), int(text.size() * sizeof(QChar)), SQLITE_TRANSIENT));
        break;
    }
    default: {
        const QString text = value.toString();
        if (text.isNull())
            bound(sqlite3_bind_null(m_stmt, k));
        else
            bound(sqlite3_bind_text16(m_stmt, k, text.utf16(), int(text.size() * sizeof(QChar)),
                                      SQLITE_TRANSIENT));
    }
    }
}

int RepeatedWrite::Run(const QVariantList& values)
{
    if (values.size() != m_names.size())
        throw DbError(QStringLiteral("参数个数不符"));
    for (int k = 0; k < values.size(); ++k)
        bind(k, bindValue(values.at(k)));
    return Run();
}

int RepeatedWrite::Run()
{
    if (m_bindFailure != SQLITE_OK) {
        const DbError error =
            failure(m_bindFailure, QString::fromUtf8(sqlite3_errmsg(sqlite3_db_handle(m_stmt))));
        m_bindFailure = SQLITE_OK;
        sqlite3_clear_bindings(m_stmt);
        throw error;
    }
    const int rc = sqlite3_step(m_stmt);
    lockWaitOver();
    sqlite3* const db = sqlite3_db_handle(m_stmt);
    if (rc != SQLITE_DONE && rc != SQLITE_ROW) {
        const DbError error = failure(rc, QString::fromUtf8(sqlite3_errmsg(db)));
        sqlite3_reset(m_stmt);
        sqlite3_clear_bindings(m_stmt);
        throw error;
    }
    const int changed = sqlite3_changes(db);
    sqlite3_reset(m_stmt);
    sqlite3_clear_bindings(m_stmt);
    return changed;
}

namespace
{
std::function<void()>& beforeWriteTransaction()
{
    static std::function<void()> hook;
    return hook;
}
} // namespace

void SetBeforeWriteTransactionHook(std::function<void()> hook)
{
    beforeWriteTransaction() = std::move(hook);
}

bool InTransaction()
{
    return cs().transDepth > 0;
}

TransactionGuard::TransactionGuard(Kind kind) : m_depth(cs().transDepth)
{
    OpenConn();
    if (m_depth == 0 && kind == Kind::Writes && beforeWriteTransaction())
        beforeWriteTransaction()();
    const QString begin = kind == Kind::Writes ? QStringLiteral("BEGIN IMMEDIATE") : QStringLiteral("BEGIN");
    execPlain(m_depth == 0 ? begin : QStringLiteral("SAVEPOINT sp_%1").arg(m_depth));
    cs().transDepth = m_depth + 1;
}

TransactionGuard::~TransactionGuard()
{
    if (m_done)
        return;
    cs().transDepth = m_depth;
    if (!IsConnOpen())
        return;
    QSqlQuery q(SharedConn());
    if (m_depth == 0) {
        q.exec(QStringLiteral("ROLLBACK"));
    } else {
        q.exec(QStringLiteral("ROLLBACK TO sp_%1").arg(m_depth));
        q.exec(QStringLiteral("RELEASE sp_%1").arg(m_depth));
    }
}

void TransactionGuard::commit()
{
    if (m_done)
        return;
    execPlain(m_depth == 0 ? QStringLiteral("COMMIT") : QStringLiteral("RELEASE sp_%1").arg(m_depth));
    m_done = true;
    cs().transDepth = m_depth;
}

namespace
{
m_DBresult runTrans(TransactionGuard::Kind kind, const std::function<void()>& body)
{
    m_DBresult result;
    const bool nested = cs().transDepth > 0;
    try {
        TransactionGuard guard(kind);
        body();
        guard.commit();
        result.isResult = true;
        return result;
    } catch (const DbError& e) {
        result.str_MsgBox = e.message();
        result.str_Details = e.details();
    } catch (const std::exception& e) {
        result.str_MsgBox = QString::fromUtf8(e.what());
    } catch (...) {
        result.str_MsgBox = QStringLiteral("未知错误");
    }
    if (nested) // an inner failure fails the whole outer transaction
        throw DbError(result.str_MsgBox, result.str_Details);
    return result;
}
} // namespace

m_DBresult RunTrans(const std::function<void()>& body)
{
    return runTrans(TransactionGuard::Kind::Writes, body);
}

m_DBresult RunWorkTableTrans(const std::function<void()>& body)
{
    return runTrans(TransactionGuard::Kind::WorkTables, body);
}

m_DBresult ExecuteTrans(const KeyValue& batch)
{
    return RunTrans([&batch] {
        for (const auto& [key, value] : batch.Items()) {
            const QString sql = GetSqlFromKey(key);
            const ParamMap params = value.canConvert<ParamMap>() ? value.value<ParamMap>() : ParamMap();
            const int changed = ExecuteParaSql(sql, params);
            if (params.requiresRow() && changed <= 0)
                throw DbError(params.requireRowText());
        }
    });
}

QString GetSqlFromKey(const QString& key)
{
    const qsizetype bar = key.indexOf(QLatin1Char('|'));
    return bar < 0 ? key : key.mid(bar + 1);
}

QString ReplacePara(const QString& sql, const ParamMap* params)
{
    if (!params)
        return sql;
    QString text = sql;
    for (const auto& [name, value] : params->items()) {
        const qsizetype at = text.indexOf(name);
        if (at >= 0)
            text.replace(at, name.size(), FormatParaValue(value));
    }
    return text;
}

QString FormatParaValue(const QVariant& value)
{
    if (value.typeId() == qMetaTypeId<SqlRaw>())
        return value.value<SqlRaw>().text;
    const QString text = value.toString();
    if (text.startsWith(QLatin1String("N:")))
        return QString(text).remove(QStringLiteral("N:"));
    if (text.startsWith(QLatin1String("K:")))
        return QStringLiteral("'%") + ReplaceQuote(QString(text).remove(QStringLiteral("K:"))) +
               QStringLiteral("%'");
    switch (value.typeId()) {
    case QMetaType::Bool:
        return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Long:
        return text;
    case QMetaType::Double:
    case QMetaType::Float:
        return QString::number(value.toDouble(), 'g', 15);
    default:
        return QStringLiteral("'") + ReplaceQuote(text) + QStringLiteral("'");
    }
}

QString ReplaceQuote(const QString& text)
{
    return QString(text).replace(QLatin1Char('\''), QStringLiteral("''"));
}

// ---- program-made SQL pieces ----

void CheckSqlName(const QString& name)
{
    static const QRegularExpression re(
        QStringLiteral(R"(^([A-Za-z_][A-Za-z0-9_]*|\[[^\]]+\])(\.([A-Za-z_][A-Za-z0-9_]*|\[[^\]]+\]))?$)"));
    if (!re.match(name).hasMatch())
        throw DbError(QStringLiteral("无效的表名或字段名: ") + name);
}

namespace
{
void checkPlainColumn(const QString& name)
{
    static const QRegularExpression re(QStringLiteral(R"(^[A-Za-z_][A-Za-z0-9_]*$)"));
    if (!re.match(name).hasMatch())
        throw DbError(QStringLiteral("无效的字段名: ") + name);
}
} // namespace

QString JoinedText(const QStringList& columns)
{
    QStringList parts;
    for (const QString& c : columns)
        parts.append(QStringLiteral("COALESCE(%1,'')").arg(c));
    return parts.join(QStringLiteral("||"));
}

// ---- search conditions, lookups and reference checks ----

ConditionSql GetConditionSql(const m_conditions& conditions, const SearchFields& fields,
                             const QString& prefix)
{
    ConditionSql out;
    int k = 0;
    for (const m_condition& c : conditions)
        out += GetConditionItem(SearchField(fields, c.uField), c, prefix + QString::number(++k));
    return out;
}

QString SearchField(const SearchFields& fields, SearchKey key)
{
    const auto found = fields.constFind(key);
    if (found == fields.constEnd())
        throw DbError(QStringLiteral("无效的查询条件: %1").arg(int(key)));
    return *found;
}

ConditionSql GetConditionItem(const QString& field, const m_condition& condition, const QString& paramName)
{
    static const QStringList operators = {
        QStringLiteral("="),  QStringLiteral("<>"),     QStringLiteral("!="), QStringLiteral("<"),
        QStringLiteral(">"),  QStringLiteral("<="),     QStringLiteral(">="), QStringLiteral("like"),
        QStringLiteral("in"), QStringLiteral("not in"),
    };
    const QString op = condition.uLinkType.simplified().toLower();
    if (!operators.contains(op))
        throw DbError(QStringLiteral("无效的条件运算符: ") + condition.uLinkType);
    if (!paramName.startsWith(QLatin1Char('@')))
        throw DbError(QStringLiteral("无效的参数名: ") + paramName);

    const bool isRaw = condition.uValue.typeId() == qMetaTypeId<SqlRaw>();
    const SqlRaw raw = isRaw ? condition.uValue.value<SqlRaw>() : SqlRaw();
    ConditionSql out;
    QString right;
    if (op == QLatin1String("like")) {
        // The typed text is the pattern: its "%" and "_" stay wildcards.
        const QString text = isRaw ? raw.text : condition.uValue.toString();
        out.params.Add(paramName, QStringLiteral("%") + text + QStringLiteral("%"));
        right = paramName;
    } else if (isRaw) {
        if (!raw.isValid())
            throw DbError(QStringLiteral("参数 %1 的值无效: %2").arg(paramName, raw.text));
        right = raw.text;
    } else {
        out.params.Add(paramName, condition.uValue);
        right = paramName;
    }
    if (op == QLatin1String("in") || op == QLatin1String("not in"))
        right = QStringLiteral("(") + right + QStringLiteral(")");
    out.sql = QStringLiteral(" and (") + field + QLatin1Char(' ') + condition.uLinkType + QLatin1Char(' ') +
              right + QStringLiteral(")");
    return out;
}

namespace
{
QVariant firstValue(const QString& sql, const ParamMap& params)
{
    const RecordSetPtr rs = ExecuteSql(sql, params);
    if (!rs || rs->isEmpty() || IsNullOrEmpty(rs->value(0, 0)))
        return QVariant(QStringLiteral(""));
    return rs->value(0, 0);
}
} // namespace

QVariant GetFieldValue(const QString& field, const QString& table, const QString& where,
                       const ParamMap& params)
{
    CheckSqlName(table);
    return firstValue(QStringLiteral("select ") + field + QStringLiteral(" From ") + table +
                          QStringLiteral(" where 1=1 ") + where,
                      params);
}

QVariant GetFieldValue(const QString& field, const QString& table, const ConditionSql& where)
{
    return GetFieldValue(field, table, where.sql, where.params);
}

QVariant GetMaxValue(const QString& field, const QString& table, const QString& where, const ParamMap& params)
{
    CheckSqlName(table);
    return firstValue(QStringLiteral("select max(") + field + QStringLiteral(") as uQuorveluDMaxExpr From ") +
                          table + QStringLiteral(" where 1=1") + where,
                      params);
}

QVariant GetMaxValue(const QString& field, const QString& table, const ConditionSql& where)
{
    return GetMaxValue(field, table, where.sql, where.params);
}

double GetCountValue(const QString& field, const QString& table, const QString& where, const ParamMap& params)
{
    checkPlainColumn(field);
    CheckSqlName(table);
    return firstValue(QStringLiteral("select count(") + field + QStringLiteral(") as u") + field +
                          QStringLiteral(" From ") + table + QStringLiteral(" where 1=1") + where,
                      params)
        .toDouble();
}

double GetCountValue(const QString& field, const QString& table, const ConditionSql& where)
{
    return GetCountValue(field, table, where.sql, where.params);
}

RefCheckResult CheckDeleteRef(const KeyValue& batch)
{
    RefCheckResult result;
    if (batch.Count() == 0)
        return result;
    // Each check keeps its own parameters: they are turned into positional
    // values in text order, so two checks may both use "@id" with different values.
    QStringList parts;
    QVariantList values;
    int ordinal = 0;
    for (const auto& [key, value] : batch.Items()) {
        const ParamMap params = value.canConvert<ParamMap>() ? value.value<ParamMap>() : ParamMap();
        const Prepared p = prepare(GetSqlFromKey(key), &params);
        parts.append(QStringLiteral("SELECT %1 AS ord, strMsg, fkCount FROM (%2)").arg(++ordinal).arg(p.sql));
        values.append(p.values);
    }
    Prepared all;
    all.sql = QStringLiteral("SELECT strMsg, fkCount FROM (") + parts.join(QStringLiteral(" UNION ALL ")) +
              QStringLiteral(") AS tbTemp WHERE tbTemp.fkCount>0 ORDER BY ord LIMIT 1");
    all.values = values;
    QSqlQuery q = run(all);
    const RecordSetPtr rs = readAll(q);
    if (rs->isEmpty())
        return result;
    result.strMsg = rs->text(0, QStringLiteral("strMsg"));
    result.fkCount = rs->value(0, QStringLiteral("fkCount")).toInt();
    result.isOK = false;
    return result;
}

// ---- result sets and paging ----

m_recordSet GetRecordSetInfo(const QString& sql, const QString& countSql, const ParamMap& params)
{
    m_recordSet out;
    if (!looksLikeQuery(sql))
        return out;
    out.recordSet = ExecuteSql(sql, params);
    out.recordCount =
        countSql == sql && out.recordSet ? out.recordSet->RecordCount() : GetRecordCount(countSql, params);
    return out;
}

int GetRecordCount(const QString& sql, const ParamMap& params)
{
    if (!looksLikeQuery(sql))
        return 0;
    const RecordSetPtr rs =
        ExecuteSql(QStringLiteral("SELECT COUNT(*) FROM (") + sql + QStringLiteral(") a"), params);
    return rs && !rs->isEmpty() ? rs->value(0, 0).toInt() : 0;
}

namespace
{
QStringList tieBreakColumns(const QString& tieBreak)
{
    QStringList columns;
    for (const QString& part : tieBreak.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QString column = part.trimmed();
        CheckSqlName(column);
        columns.append(column);
    }
    if (columns.isEmpty()) {
        const QString fallback = SysVar.acc_OrderBy.isEmpty() ? QStringLiteral("id") : SysVar.acc_OrderBy;
        CheckSqlName(fallback);
        columns.append(fallback);
    }
    return columns;
}
} // namespace

QString GetOrderBySql(const QString& orderField, bool isDesc)
{
    return GetOrderBySql(orderField, isDesc, QString());
}

QString GetOrderBySql(const QString& orderField, bool isDesc, const QString& tieBreak)
{
    if (orderField.trimmed().isEmpty())
        return {};
    // A column, or a column of numbers kept as text read as numbers.
    static const QRegularExpression form(
        QStringLiteral(R"(^\s*([A-Za-z_]\w*(\.[A-Za-z_]\w*)?|CAST\([A-Za-z_]\w* AS (REAL|INTEGER)\))\s*$)"));
    if (!form.match(orderField).hasMatch())
        throw DbError(QStringLiteral("无效的排序字段: ") + orderField);
    const QString dir = isDesc ? QStringLiteral(" desc") : QStringLiteral(" asc");
    QString sql = QStringLiteral(" order by ") + orderField + dir;
    for (const QString& column : tieBreakColumns(tieBreak)) {
        if (orderField.trimmed().compare(column, Qt::CaseInsensitive) != 0)
            sql += QStringLiteral(", ") + column + dir;
    }
    return sql;
}

QString GetPageSql(const QString& sql, PageRequest& page, const ParamMap& params)
{
    const int pageSize = qMax(1, page.pageSize);
    if (page.recordCount < 0)
        page.recordCount = GetRecordCount(sql, params);
    const int total = page.recordCount;
    const int pages = GetPageCount(total, pageSize);
    if (page.pageIndex <= 0)
        page.pageIndex = 1;
    int rows = pageSize;
    if (page.pageIndex >= pages) {
        rows = total % pageSize == 0 ? pageSize : total % pageSize;
        page.pageIndex = pages;
    }
    // The page is the rows pageIndex*pageSize-rows+1 .. of the ordered whole.
    const qint64 offset = qMax<qint64>(0, qint64(page.pageIndex - 1) * pageSize);
    QString order;
    if (page.orderField.trimmed().isEmpty()) {
        const QString dir = page.isDesc ? QStringLiteral(" desc") : QStringLiteral(" asc");
        order = QStringLiteral(" order by ") +
                tieBreakColumns(page.tieBreak).join(dir + QStringLiteral(", ")) + dir;
    } else {
        order = GetOrderBySql(page.orderField, page.isDesc, page.tieBreak);
    }
    return QStringLiteral("SELECT * FROM (") + sql + QStringLiteral(") a") + order +
           QStringLiteral(" LIMIT %1 OFFSET %2").arg(rows).arg(offset);
}

QString GetPageSql(const QString& sql, int& pageIndex, int pageSize, const QString& orderField, bool isDesc,
                   const ParamMap& params)
{
    PageRequest page;
    page.pageIndex = pageIndex;
    page.pageSize = pageSize;
    page.orderField = orderField.trimmed().isEmpty() ? QStringLiteral("id") : orderField;
    page.isDesc = isDesc;
    const QString answer = GetPageSql(sql, page, params);
    pageIndex = page.pageIndex;
    return answer;
}

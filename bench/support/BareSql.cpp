#include "BareSql.h"

#include "sqlHelper.h"

#include <QSqlDriver>
#include <benchmark/benchmark.h>
#include <stdexcept>

sqlite3* BareStatement::Handle()
{
    OpenConn();
    return *static_cast<sqlite3* const*>(SharedConn().driver()->handle().data());
}

void BareStatement::ExecPlain(const char* sql)
{
    char* error = nullptr;
    if (sqlite3_exec(Handle(), sql, nullptr, nullptr, &error) != SQLITE_OK) {
        const std::string text = error ? error : "sqlite3_exec failed";
        sqlite3_free(error);
        throw std::runtime_error(text);
    }
}

BareStatement::BareStatement(const QString& sql)
{
    const QByteArray text = sql.toUtf8();
    if (sqlite3_prepare_v2(Handle(), text.constData(), int(text.size()), &m_stmt, nullptr) != SQLITE_OK)
        throw std::runtime_error(sqlite3_errmsg(Handle()));
}

BareStatement::~BareStatement()
{
    sqlite3_finalize(m_stmt);
}

void BareStatement::bind(const std::vector<QVariant>& values)
{
    sqlite3_reset(m_stmt);
    for (int k = 0; k < int(values.size()); ++k) {
        const QVariant& v = values[size_t(k)];
        switch (v.typeId()) {
        case QMetaType::Int:
        case QMetaType::LongLong:
            sqlite3_bind_int64(m_stmt, k + 1, v.toLongLong());
            break;
        case QMetaType::Double:
            sqlite3_bind_double(m_stmt, k + 1, v.toDouble());
            break;
        default: {
            const QByteArray t = v.toString().toUtf8();
            sqlite3_bind_text(m_stmt, k + 1, t.constData(), int(t.size()), SQLITE_TRANSIENT);
        }
        }
    }
}

void BareStatement::readRow()
{
    const int cols = sqlite3_column_count(m_stmt);
    for (int c = 0; c < cols; ++c) {
        switch (sqlite3_column_type(m_stmt, c)) {
        case SQLITE_INTEGER:
            benchmark::DoNotOptimize(sqlite3_column_int64(m_stmt, c));
            break;
        case SQLITE_FLOAT:
            benchmark::DoNotOptimize(sqlite3_column_double(m_stmt, c));
            break;
        case SQLITE_NULL:
            break;
        default:
            benchmark::DoNotOptimize(sqlite3_column_text(m_stmt, c));
            benchmark::DoNotOptimize(sqlite3_column_bytes(m_stmt, c));
        }
    }
}

int BareStatement::Run(const std::vector<QVariant>& values)
{
    bind(values);
    int rows = 0;
    int rc;
    while ((rc = sqlite3_step(m_stmt)) == SQLITE_ROW) {
        readRow();
        ++rows;
    }
    if (rc != SQLITE_DONE)
        throw std::runtime_error(sqlite3_errmsg(Handle()));
    sqlite3_reset(m_stmt);
    return rows;
}

qint64 BareStatement::Integer(const std::vector<QVariant>& values)
{
    bind(values);
    const int rc = sqlite3_step(m_stmt);
    if (rc != SQLITE_DONE && rc != SQLITE_ROW)
        throw std::runtime_error(sqlite3_errmsg(Handle()));
    const qint64 value = rc == SQLITE_ROW ? sqlite3_column_int64(m_stmt, 0) : 0;
    sqlite3_reset(m_stmt);
    return value;
}

int BareStatement::Exec(const std::vector<QVariant>& values)
{
    bind(values);
    const int rc = sqlite3_step(m_stmt);
    if (rc != SQLITE_DONE && rc != SQLITE_ROW)
        throw std::runtime_error(sqlite3_errmsg(Handle()));
    sqlite3_reset(m_stmt);
    return sqlite3_changes(Handle());
}

std::vector<qint64> BareStatement::Keys(const std::vector<QVariant>& values)
{
    bind(values);
    std::vector<qint64> keys;
    int rc;
    while ((rc = sqlite3_step(m_stmt)) == SQLITE_ROW) {
        readRow();
        keys.push_back(sqlite3_column_int64(m_stmt, 0));
    }
    if (rc != SQLITE_DONE)
        throw std::runtime_error(sqlite3_errmsg(Handle()));
    sqlite3_reset(m_stmt);
    return keys;
}

std::vector<BareRow> BareStatement::Rows(const std::vector<QVariant>& values)
{
    bind(values);
    return BareRows(m_stmt);
}

std::vector<BareRow> BareRows(sqlite3_stmt* stmt)
{
    std::vector<BareRow> rows;
    const int cols = sqlite3_column_count(stmt);
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        BareRow& row = rows.emplace_back(size_t(cols));
        for (int c = 0; c < cols; ++c) {
            switch (sqlite3_column_type(stmt, c)) {
            case SQLITE_INTEGER:
                row[size_t(c)] = sqlite3_column_int64(stmt, c);
                break;
            case SQLITE_FLOAT:
                row[size_t(c)] = sqlite3_column_double(stmt, c);
                break;
            case SQLITE_NULL:
                break;
            default:
                row[size_t(c)] = std::string(reinterpret_cast<const char*>(sqlite3_column_text(stmt, c)),
                                             size_t(sqlite3_column_bytes(stmt, c)));
            }
        }
    }
    if (rc != SQLITE_DONE)
        throw std::runtime_error(sqlite3_errmsg(BareStatement::Handle()));
    sqlite3_reset(stmt);
    return rows;
}

QString BareNumberText(const QString& expr, int minDecimals, int maxDecimals, const QString& zeroText)
{
    // Every place written, then the zeros beyond minDecimals dropped: to no
    // place (the point goes too) or to one (a point left last gets its 0).
    QString text = QStringLiteral("printf('%.%1f', %2)").arg(QString::number(maxDecimals), expr);
    if (maxDecimals > minDecimals && minDecimals == 0)
        text = QStringLiteral("rtrim(rtrim(%1, '0'), '.')").arg(text);
    else if (maxDecimals > minDecimals)
        text = QStringLiteral("replace(replace(rtrim(%1, '0') || '~', '.~', '.0~'), '~', '')").arg(text);
    if (zeroText.isNull())
        return QStringLiteral("CASE WHEN (%1) IS NULL THEN NULL ELSE %2 END").arg(expr, text);
    // Rounds to zero: below half the last place (SQLite's round() prints and
    // reads its value back, far dearer than the test).
    const QString half = QStringLiteral("0.") + QString(maxDecimals, QLatin1Char('0')) + QStringLiteral("5");
    return QStringLiteral("CASE WHEN (%1) IS NULL THEN NULL WHEN abs(%1) < %2 THEN '%3' ELSE %4 END")
        .arg(expr, half, zeroText, text);
}

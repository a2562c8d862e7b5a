#include "ReportFunctions.h"

#include "DbError.h"
#include "Numbers.h"
#include "sqlHelper.h"

#include <QByteArray>
#include <QSqlDriver>
#include <bit>
#include <cstdint>
#include <sqlite3.h>
#include <unordered_map>
#include <vector>

namespace
{

// One way of writing numbers and the texts made in it so far.
struct Form {
    QByteArray pattern; // rpt_num: the format; rpt_diff: the places as text
    QByteArray zero;
    bool hasZero = false;
    bool plain = false;
    std::unordered_map<std::uint64_t, QByteArray> texts;
};

Form& formFor(bool plain, const char* pattern, const char* zero)
{
    static std::vector<Form> forms;
    for (Form& f : forms) {
        if (f.plain == plain && f.pattern == pattern && f.hasZero == (zero != nullptr) &&
            (!zero || f.zero == zero))
            return f;
    }
    Form f;
    f.plain = plain;
    f.pattern = pattern;
    f.hasZero = zero != nullptr;
    if (zero)
        f.zero = zero;
    forms.push_back(std::move(f));
    return forms.back();
}

const char* textOf(sqlite3_value* v)
{
    const unsigned char* t = sqlite3_value_text(v);
    return t ? reinterpret_cast<const char*>(t) : "";
}

void resultText(sqlite3_context* ctx, const QByteArray& text)
{
    sqlite3_result_text(ctx, text.constData(), int(text.size()), SQLITE_TRANSIENT);
}

// A form keeps at most this many texts; past it, it starts again.
constexpr std::size_t kKeptTexts = 100000;

void rptNum(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    const double value = sqlite3_value_double(argv[0]);
    Form& form = formFor(false, textOf(argv[1]), argc > 2 ? textOf(argv[2]) : nullptr);
    const std::uint64_t key = std::bit_cast<std::uint64_t>(value);
    auto it = form.texts.find(key);
    if (it == form.texts.end()) {
        if (form.texts.size() >= kKeptTexts)
            form.texts.clear();
        QString text = FormatNumber(value, QString::fromUtf8(form.pattern));
        if (form.hasZero && ReadNumber(text) == 0)
            text = QString::fromUtf8(form.zero);
        it = form.texts.emplace(key, text.toUtf8()).first;
    }
    resultText(ctx, it->second);
}

void rptDiff(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    const double diff = sqlite3_value_double(argv[0]) - sqlite3_value_double(argv[1]);
    const int places = qBound(0, sqlite3_value_int(argv[2]), 3);
    static const char* const kPlaces[] = {"0", "1", "2", "3"};
    Form& form = formFor(true, kPlaces[places], nullptr);
    const std::uint64_t key = std::bit_cast<std::uint64_t>(diff);
    auto it = form.texts.find(key);
    if (it == form.texts.end()) {
        if (form.texts.size() >= kKeptTexts)
            form.texts.clear();
        it = form.texts.emplace(key, PlainNumber(diff, places).toUtf8()).first;
    }
    resultText(ctx, it->second);
}

} // namespace

void RegisterReportFunctions()
{
    OpenConn();
    const QVariant handle = SharedConn().driver()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        throw DbError(QStringLiteral("报表计算需要 SQLite 数据库连接"));
    sqlite3* db = *static_cast<sqlite3* const*>(handle.constData());
    if (!db)
        throw DbError(QStringLiteral("数据库连接未打开"));
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    const struct {
        const char* name;
        int args;
        void (*run)(sqlite3_context*, int, sqlite3_value**);
    } functions[] = {{"rpt_num", 2, rptNum}, {"rpt_num", 3, rptNum}, {"rpt_diff", 3, rptDiff}};
    for (const auto& f : functions) {
        if (sqlite3_create_function_v2(db, f.name, f.args, flags, nullptr, f.run, nullptr, nullptr,
                                       nullptr) != SQLITE_OK)
            throw DbError(QString::fromUtf8(sqlite3_errmsg(db)));
    }
}

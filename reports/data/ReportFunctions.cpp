#include "ReportFunctions.h"

#include "DbError.h"
#include "NumberSql.h"
#include "Numbers.h"
#include "sqlHelper.h"

#include <QByteArray>
#include <QSqlDriver>
#include <bit>
#include <cstdint>
#include <new>
#include <sqlite3.h>
#include <string>
#include <unordered_map>
#include <vector>

namespace
{

// One way of writing numbers and the texts made in it so far, for stored
// integers, doubles and texts apart.
struct Form {
    QByteArray pattern;
    NumberFormat format{QString()};
    QByteArray zero;
    bool hasZero = false;
    std::unordered_map<std::uint64_t, QByteArray> texts[2];
    std::unordered_map<std::string, QByteArray> ofTexts;
};

Form& formFor(const char* pattern, const char* zero)
{
    static std::vector<Form> forms;
    for (Form& f : forms) {
        if (f.pattern == pattern && f.hasZero == (zero != nullptr) && (!zero || f.zero == zero))
            return f;
    }
    Form f;
    f.pattern = pattern;
    f.format = NumberFormat(QString::fromUtf8(pattern));
    f.hasZero = zero != nullptr;
    if (zero)
        f.zero = zero;
    forms.push_back(std::move(f));
    return forms.back();
}

void resultText(sqlite3_context* ctx, const QByteArray& text)
{
    sqlite3_result_text(ctx, text.constData(), int(text.size()), SQLITE_TRANSIENT);
}

// A form keeps at most this many texts; past it, it starts again.
constexpr std::size_t kKeptTexts = 100000;

// The texts kept for a stored number and its key there; none for a text,
// which is read anew each time.
std::unordered_map<std::uint64_t, QByteArray>* keptTexts(Form& form, sqlite3_value* v, std::uint64_t& key)
{
    if (sqlite3_value_type(v) == SQLITE_INTEGER) {
        key = std::uint64_t(sqlite3_value_int64(v));
        return &form.texts[0];
    }
    if (sqlite3_value_type(v) == SQLITE_FLOAT) {
        key = std::bit_cast<std::uint64_t>(sqlite3_value_double(v));
        return &form.texts[1];
    }
    return nullptr;
}

const char* textOf(sqlite3_value* v)
{
    const unsigned char* t = sqlite3_value_text(v);
    return t ? reinterpret_cast<const char*>(t) : "";
}

void rptNum(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    Form& form = formFor(textOf(argv[1]), argc > 2 ? textOf(argv[2]) : nullptr);
    std::uint64_t key = 0;
    auto* kept = keptTexts(form, argv[0], key);
    if (kept) {
        const auto it = kept->find(key);
        if (it != kept->end()) {
            resultText(ctx, it->second);
            return;
        }
    }
    // A stored text (a figure another function wrote) by its characters.
    std::string textKey;
    if (!kept && sqlite3_value_type(argv[0]) == SQLITE_TEXT) {
        textKey.assign(textOf(argv[0]), size_t(sqlite3_value_bytes(argv[0])));
        const auto it = form.ofTexts.find(textKey);
        if (it != form.ofTexts.end()) {
            resultText(ctx, it->second);
            return;
        }
    }
    const Decimal value = SqlDecimal(argv[0]).value_or(Decimal());
    // A figure that is not 0 never reads 0: one too small for the form's
    // places (a stock of 0.00001) is written whole.
    const bool roundsToZero = value.rounded(form.format.decimals()).isZero();
    const std::string text = form.hasZero && value.isZero()
                                 ? std::string(form.zero.constData(), size_t(form.zero.size()))
                             : roundsToZero && !value.isZero() ? value.toStdString()
                                                               : form.format.write(value);
    if (!kept) {
        if (sqlite3_value_type(argv[0]) != SQLITE_TEXT) {
            SqlResult(ctx, text);
            return;
        }
        if (form.ofTexts.size() >= kKeptTexts)
            form.ofTexts.clear();
        resultText(ctx,
                   form.ofTexts.emplace(std::move(textKey), QByteArray(text.data(), qsizetype(text.size())))
                       .first->second);
        return;
    }
    if (kept->size() >= kKeptTexts)
        kept->clear();
    resultText(ctx, kept->emplace(key, QByteArray(text.data(), qsizetype(text.size()))).first->second);
}

void rptDiff(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    const int places = qBound(0, sqlite3_value_int(argv[2]), 3);
    // Two stored texts (the stock's sums) by their characters: the same
    // pairs come again and again.
    static std::unordered_map<std::string, std::string> kept;
    std::string key;
    const bool texts =
        sqlite3_value_type(argv[0]) == SQLITE_TEXT && sqlite3_value_type(argv[1]) == SQLITE_TEXT;
    if (texts) {
        key.assign(textOf(argv[0]), size_t(sqlite3_value_bytes(argv[0])));
        key += '\0';
        key.append(textOf(argv[1]), size_t(sqlite3_value_bytes(argv[1])));
        key += char('0' + places);
        const auto it = kept.find(key);
        if (it != kept.end()) {
            SqlResult(ctx, it->second);
            return;
        }
    }
    const Decimal a = SqlDecimal(argv[0]).value_or(Decimal());
    const Decimal b = SqlDecimal(argv[1]).value_or(Decimal());
    // A balance that is not 0 never reads 0: one too small for the places is
    // kept whole.
    const Decimal difference = a - b;
    const Decimal rounded = difference.rounded(places);
    const std::string diff = (rounded.isZero() && !difference.isZero() ? difference : rounded).toStdString();
    if (texts) {
        if (kept.size() >= kKeptTexts)
            kept.clear();
        kept.emplace(std::move(key), diff);
    }
    SqlResult(ctx, diff);
}

// The most places a rounded sum or quotient is asked for.
constexpr int kMaxPlaces = 30;

// dec_sum(x): the exact sum of x; dec_sum(x, y): of the products x * y;
// dec_sum(x, y, places): of the products each rounded half away from zero
// to places. A row where a value is Null adds nothing; no row adds: Null.
// The running sum lives on the heap: the memory SQLite gives an aggregate is
// aligned for 8 bytes only.
struct SumState {
    Decimal* sum;
};

void decSumStep(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    auto* state = static_cast<SumState*>(sqlite3_aggregate_context(ctx, sizeof(SumState)));
    if (!state) {
        sqlite3_result_error_nomem(ctx);
        return;
    }
    std::optional<Decimal> term = SqlDecimal(argv[0]);
    if (!term)
        return;
    if (argc > 1) {
        const std::optional<Decimal> factor = SqlDecimal(argv[1]);
        if (!factor)
            return;
        term = *term * *factor;
    }
    if (argc > 2)
        term = term->rounded(qBound(0, sqlite3_value_int(argv[2]), kMaxPlaces));
    try {
        if (!state->sum)
            state->sum = new Decimal;
        *state->sum += *term;
    } catch (const std::bad_alloc&) {
        sqlite3_result_error_nomem(ctx);
    }
}

void decSumFinal(sqlite3_context* ctx)
{
    auto* state = static_cast<SumState*>(sqlite3_aggregate_context(ctx, 0));
    if (!state || !state->sum) {
        sqlite3_result_null(ctx);
        return;
    }
    SqlResult(ctx, *state->sum);
    delete state->sum;
}

// dec_mul(x, y): the exact product; Null when a factor is Null.
void decMul(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    const std::optional<Decimal> x = SqlDecimal(argv[0]);
    const std::optional<Decimal> y = SqlDecimal(argv[1]);
    if (!x || !y) {
        sqlite3_result_null(ctx);
        return;
    }
    SqlResult(ctx, *x * *y);
}

// dec_div(x, y, places): x / y rounded half away from zero to places (to 30
// when that would read 0 for an x that is not 0); Null when a value is Null
// or y is 0.
void decDiv(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    const std::optional<Decimal> x = SqlDecimal(argv[0]);
    const std::optional<Decimal> y = SqlDecimal(argv[1]);
    std::optional<Decimal> q =
        x && y ? Decimal::Divide(*x, *y, qBound(0, sqlite3_value_int(argv[2]), kMaxPlaces)) : std::nullopt;
    // A quotient that is not 0 never reads 0: one too small for the places
    // is taken to the most places.
    if (q && q->isZero() && !x->isZero())
        q = Decimal::Divide(*x, *y, kMaxPlaces);
    if (!q) {
        sqlite3_result_null(ctx);
        return;
    }
    SqlResult(ctx, *q);
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
            throw SqlFailure(sqlite3_extended_errcode(db), QString::fromUtf8(sqlite3_errmsg(db)));
    }
    for (int args = 1; args <= 3; ++args) {
        if (sqlite3_create_function_v2(db, "dec_sum", args, flags, nullptr, nullptr, decSumStep, decSumFinal,
                                       nullptr) != SQLITE_OK)
            throw SqlFailure(sqlite3_extended_errcode(db), QString::fromUtf8(sqlite3_errmsg(db)));
    }
    if (sqlite3_create_function_v2(db, "dec_mul", 2, flags, nullptr, decMul, nullptr, nullptr, nullptr) !=
            SQLITE_OK ||
        sqlite3_create_function_v2(db, "dec_div", 3, flags, nullptr, decDiv, nullptr, nullptr, nullptr) !=
            SQLITE_OK)
        throw SqlFailure(sqlite3_extended_errcode(db), QString::fromUtf8(sqlite3_errmsg(db)));
}

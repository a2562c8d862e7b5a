#include "ReportFunctions.h"

#include "DbError.h"
#include "Numbers.h"
#include "sqlHelper.h"

#include <QByteArray>
#include <QSqlDriver>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <sqlite3.h>
#include <string>
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

// ---- exact decimals: m x 10^-s, read from a double's shortest decimal form

using Wide = __int128;

struct Dec {
    Wide m = 0;
    int s = 0;
};

// The most places an exact value keeps; a product with more is rounded.
constexpr int kMaxPlaces = 12;

Wide Pow10(int n)
{
    Wide p = 1;
    for (int i = 0; i < n; ++i)
        p *= 10;
    return p;
}

// m rounded half away from zero to drop places digits.
Wide DropPlaces(Wide m, int places)
{
    if (places <= 0)
        return m;
    const Wide d = Pow10(places);
    Wide q = m / d;
    const Wide r = m % d;
    if ((r < 0 ? -r : r) * 2 >= d)
        q += m < 0 ? -1 : 1;
    return q;
}

Dec Rounded(Dec v, int places)
{
    if (v.s > places) {
        v.m = DropPlaces(v.m, v.s - places);
        v.s = places;
    }
    return v;
}

Dec ToScale(Dec v, int s)
{
    if (v.s < s) {
        v.m *= Pow10(s - v.s);
        v.s = s;
    }
    return v;
}

Dec Normalised(Dec v)
{
    while (v.s > 0 && v.m % 10 == 0) {
        v.m /= 10;
        --v.s;
    }
    return v;
}

// The shortest decimal form of a double ("69.072", "1e-07") as an exact value.
Dec FromDouble(double value)
{
    Dec out;
    if (!std::isfinite(value) || value == 0)
        return out;
    char buf[64];
    const auto done = std::to_chars(buf, buf + sizeof buf, value);
    const char* p = buf;
    const bool negative = *p == '-';
    if (negative)
        ++p;
    int fraction = 0;
    bool inFraction = false;
    for (; p < done.ptr && *p != 'e'; ++p) {
        if (*p == '.') {
            inFraction = true;
            continue;
        }
        out.m = out.m * 10 + (*p - '0');
        if (inFraction)
            ++fraction;
    }
    int exponent = 0;
    if (p < done.ptr && *p == 'e')
        exponent = std::atoi(p + 1);
    out.s = fraction - exponent;
    if (out.s < 0) {
        out.m *= Pow10(-out.s);
        out.s = 0;
    }
    if (negative)
        out.m = -out.m;
    return Rounded(out, kMaxPlaces);
}

Dec FromValue(sqlite3_value* v)
{
    const int type = sqlite3_value_type(v);
    if (type == SQLITE_INTEGER) {
        Dec d;
        d.m = sqlite3_value_int64(v);
        return d;
    }
    return FromDouble(sqlite3_value_double(v));
}

Dec Add(Dec a, Dec b)
{
    const int s = qMax(a.s, b.s);
    a = ToScale(a, s);
    b = ToScale(b, s);
    a.m += b.m;
    return a;
}

Dec Multiply(Dec a, Dec b)
{
    Dec out;
    out.m = a.m * b.m;
    out.s = a.s + b.s;
    return Rounded(out, kMaxPlaces);
}

// The double nearest to the exact value: its digits read as a number.
double ToDouble(Dec v)
{
    v = Normalised(v);
    const bool negative = v.m < 0;
    Wide m = negative ? -v.m : v.m;
    char digits[64];
    int n = 0;
    do {
        digits[n++] = char('0' + int(m % 10));
        m /= 10;
    } while (m > 0);
    std::string text;
    if (negative)
        text += '-';
    for (int i = n - 1; i >= 0; --i)
        text += digits[i];
    text += "e-" + std::to_string(v.s);
    return std::strtod(text.c_str(), nullptr);
}

// The running sum, in the memory SQLite gives an aggregate: that memory is
// aligned for 8 bytes only, so the 16-byte value is copied in and out.
struct SumState {
    unsigned char units[sizeof(Wide)];
    int places;
    bool any;
};

Dec Load(const SumState& state)
{
    Dec d;
    std::memcpy(&d.m, state.units, sizeof(Wide));
    d.s = state.places;
    return d;
}

void Store(SumState& state, const Dec& d)
{
    std::memcpy(state.units, &d.m, sizeof(Wide));
    state.places = d.s;
}

// dec_sum(x): the exact sum of x; dec_sum(x, y): of the products x * y;
// dec_sum(x, y, places): of the products each rounded half away from zero
// to places. Rows where a factor is Null add nothing; no such row: Null.
void decSumStep(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    auto* state = static_cast<SumState*>(sqlite3_aggregate_context(ctx, sizeof(SumState)));
    if (!state)
        return;
    for (int i = 0; i < qMin(argc, 2); ++i)
        if (sqlite3_value_type(argv[i]) == SQLITE_NULL)
            return;
    Dec term = FromValue(argv[0]);
    if (argc > 1)
        term = Multiply(term, FromValue(argv[1]));
    if (argc > 2)
        term = Rounded(term, qBound(0, sqlite3_value_int(argv[2]), kMaxPlaces));
    Store(*state, Add(Load(*state), term));
    state->any = true;
}

void decSumFinal(sqlite3_context* ctx)
{
    auto* state = static_cast<SumState*>(sqlite3_aggregate_context(ctx, 0));
    if (!state || !state->any) {
        sqlite3_result_null(ctx);
        return;
    }
    sqlite3_result_double(ctx, ToDouble(Load(*state)));
}

// dec_mul(x, y): the exact product; Null when a factor is Null.
void decMul(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    sqlite3_result_double(ctx, ToDouble(Multiply(FromValue(argv[0]), FromValue(argv[1]))));
}

// dec_div(x, y, places): x / y rounded half away from zero to places; Null
// when a value is Null or y is 0.
void decDiv(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    const Dec a = Normalised(FromValue(argv[0]));
    const Dec b = Normalised(FromValue(argv[1]));
    if (b.m == 0) {
        sqlite3_result_null(ctx);
        return;
    }
    const int places = qBound(0, sqlite3_value_int(argv[2]), 6);
    // a / b = a.m * 10^(b.s + places) / (b.m * 10^a.s), at places.
    Wide n = a.m * Pow10(b.s + places);
    Wide d = b.m * Pow10(a.s);
    if (d < 0) {
        n = -n;
        d = -d;
    }
    Wide q = n / d;
    const Wide r = n % d;
    if ((r < 0 ? -r : r) * 2 >= d)
        q += n < 0 ? -1 : 1;
    Dec out;
    out.m = q;
    out.s = places;
    sqlite3_result_double(ctx, ToDouble(out));
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

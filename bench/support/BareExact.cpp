#include "BareExact.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <stdexcept>
#include <string>

namespace
{

long long g_errors = 0;

constexpr double kPow10d[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                              1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
constexpr long long kPow10[] = {1LL,
                                10LL,
                                100LL,
                                1000LL,
                                10000LL,
                                100000LL,
                                1000000LL,
                                10000000LL,
                                100000000LL,
                                1000000000LL,
                                10000000000LL,
                                100000000000LL,
                                1000000000000LL,
                                10000000000000LL,
                                100000000000000LL,
                                1000000000000000LL};

// A value as n × 10^-k (n of at most 15 digits); false when it has no such form.
bool Scaled(sqlite3_value* v, long long& n, int& k)
{
    switch (sqlite3_value_type(v)) {
    case SQLITE_INTEGER:
        n = sqlite3_value_int64(v);
        k = 0;
        return n > -kPow10[15] && n < kPow10[15];
    case SQLITE_FLOAT: {
        const double d = sqlite3_value_double(v);
        const double m = std::fabs(d);
        for (k = 0; k < 16; ++k) {
            const double s = m * kPow10d[k];
            if (s >= 1e15)
                return false;
            const double r = std::nearbyint(s);
            if (r / kPow10d[k] == m) {
                n = d < 0 ? -(long long)r : (long long)r;
                return true;
            }
        }
        return false;
    }
    default:
        return false;
    }
}

long long RoundTo(__int128 s, int from, int to)
{
    if (from <= to)
        return (long long)(s * kPow10[to - from]);
    const long long unit = kPow10[from - to];
    const __int128 q = s / unit;
    const __int128 r = s % unit;
    const __int128 twice = (r < 0 ? -r : r) * 2;
    return (long long)(twice >= unit ? q + (s < 0 ? -1 : 1) : q);
}

// The product of two values at 10^-places, rounded; false without a form.
bool Product(sqlite3_value* a, sqlite3_value* b, int places, long long& out)
{
    long long x = 0, y = 0;
    int kx = 0, ky = 0;
    if (!Scaled(a, x, kx) || !Scaled(b, y, ky)) {
        ++g_errors;
        return false;
    }
    out = RoundTo(__int128(x) * y, kx + ky, places);
    return true;
}

// zero: the text of 0, or nullptr for 0 in the form itself.
std::string Text(long long s, int scale, int maxDecimals, int minDecimals, const char* zero = "0")
{
    const long long t = RoundTo(s, scale, maxDecimals);
    if (t == 0 && zero)
        return zero;
    const unsigned long long a = t < 0 ? 0ULL - (unsigned long long)t : (unsigned long long)t;
    std::string out = t < 0 ? "-" : "";
    out += std::to_string(a / (unsigned long long)kPow10[maxDecimals]);
    std::string frac = std::to_string(a % (unsigned long long)kPow10[maxDecimals]);
    frac.insert(0, size_t(maxDecimals) - frac.size(), '0');
    while (int(frac.size()) > minDecimals && frac.back() == '0')
        frac.pop_back();
    if (!frac.empty())
        out += "." + frac;
    return out;
}

// The exact product at 10^-6; an error when it has more places.
bool ExactProduct(sqlite3_value* a, sqlite3_value* b, long long& out)
{
    long long x = 0, y = 0;
    int kx = 0, ky = 0;
    if (!Scaled(a, x, kx) || !Scaled(b, y, ky) || kx + ky > 6) {
        ++g_errors;
        return false;
    }
    out = (long long)(__int128(x) * y * kPow10[6 - kx - ky]);
    return true;
}

void Prod(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    long long p = 0;
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL ||
        !ExactProduct(argv[0], argv[1], p)) {
        sqlite3_result_null(ctx);
        return;
    }
    sqlite3_result_int64(ctx, p);
}

void Amount(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    long long a = 0;
    if (!Product(argv[0], argv[1], 3, a)) {
        sqlite3_result_null(ctx);
        return;
    }
    sqlite3_result_double(ctx, double(a) / 1000.0);
}

void AmountText(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    long long a = 0;
    if (!Product(argv[0], argv[1], 3, a)) {
        sqlite3_result_null(ctx);
        return;
    }
    const std::string t = Text(a, 3, 3, 1);
    sqlite3_result_text(ctx, t.data(), int(t.size()), SQLITE_TRANSIENT);
}

struct Sum {
    long long s;
    bool any;
};

void SumStep(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    auto* sum = static_cast<Sum*>(sqlite3_aggregate_context(ctx, sizeof(Sum)));
    if (!sum || sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL)
        return;
    long long p = 0;
    if (argc > 2) {
        const int places = sqlite3_value_int(argv[2]);
        if (!Product(argv[0], argv[1], places, p))
            return;
        p *= kPow10[6 - places];
    } else if (!ExactProduct(argv[0], argv[1], p)) {
        return;
    }
    if (__builtin_add_overflow(sum->s, p, &sum->s))
        ++g_errors;
    sum->any = true;
}

void SumFinal(sqlite3_context* ctx)
{
    auto* sum = static_cast<Sum*>(sqlite3_aggregate_context(ctx, 0));
    if (!sum || !sum->any)
        sqlite3_result_null(ctx);
    else
        sqlite3_result_int64(ctx, sum->s);
}

void Div(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    long long d = 0;
    int kd = 0;
    if (!Scaled(argv[1], d, kd)) {
        ++g_errors;
        sqlite3_result_null(ctx);
        return;
    }
    if (d == 0) {
        sqlite3_result_int64(ctx, 0);
        return;
    }
    // s × 10^-6 / (d × 10^-kd) = s × 10^kd / (d × 1000) counts of 10^-3,
    // rounded once by the remainder.
    const __int128 num = __int128(sqlite3_value_int64(argv[0])) * kPow10[kd];
    const __int128 den = __int128(d) * 1000; // at 10^-3: num / (den)
    __int128 q = num / den;
    const __int128 r = num % den;
    const __int128 ar = r < 0 ? -r : r, ad = den < 0 ? -den : den;
    if (ar * 2 >= ad)
        q += ((num < 0) != (den < 0)) ? -1 : 1;
    sqlite3_result_int64(ctx, (long long)q);
}

void Round(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    sqlite3_result_int64(
        ctx, RoundTo(sqlite3_value_int64(argv[0]), sqlite3_value_int(argv[1]), sqlite3_value_int(argv[2])));
}

void TextOf(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    const std::string t =
        Text(sqlite3_value_int64(argv[0]), sqlite3_value_int(argv[1]), sqlite3_value_int(argv[2]),
             sqlite3_value_int(argv[3]),
             argc > 4 ? reinterpret_cast<const char*>(sqlite3_value_text(argv[4])) : nullptr);
    sqlite3_result_text(ctx, t.data(), int(t.size()), SQLITE_TRANSIENT);
}

} // namespace

void RegisterBareExact(sqlite3* db)
{
    const int f = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    if (sqlite3_create_function_v2(db, "bare_amount", 2, f, nullptr, Amount, nullptr, nullptr, nullptr) ||
        sqlite3_create_function_v2(db, "bare_amount_text", 2, f, nullptr, AmountText, nullptr, nullptr,
                                   nullptr) ||
        sqlite3_create_function_v2(db, "bare_sum", 2, f, nullptr, nullptr, SumStep, SumFinal, nullptr) ||
        sqlite3_create_function_v2(db, "bare_sum", 3, f, nullptr, nullptr, SumStep, SumFinal, nullptr) ||
        sqlite3_create_function_v2(db, "bare_prod", 2, f, nullptr, Prod, nullptr, nullptr, nullptr) ||
        sqlite3_create_function_v2(db, "bare_text", 5, f, nullptr, TextOf, nullptr, nullptr, nullptr) ||
        sqlite3_create_function_v2(db, "bare_div", 2, f, nullptr, Div, nullptr, nullptr, nullptr) ||
        sqlite3_create_function_v2(db, "bare_round", 3, f, nullptr, Round, nullptr, nullptr, nullptr) ||
        sqlite3_create_function_v2(db, "bare_text", 4, f, nullptr, TextOf, nullptr, nullptr, nullptr))
        throw std::runtime_error(sqlite3_errmsg(db));
}

std::string BarePlainNumber(double v)
{
    if (v == 0)
        return "0";
    char buf[400];
    const std::to_chars_result r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed);
    return std::string(buf, r.ptr);
}

long long BareExactErrors()
{
    return g_errors;
}

#include "NumberSql.h"

#include "Numbers.h"
#include "ScaledNumber.h"

#include <new>
#include <sqlite3.h>
#include <string_view>

namespace
{

// The forms of line amounts and bill totals, read once.
const NumberFormat& AmountFormat()
{
    static const NumberFormat format(QStringLiteral("#0.0##"));
    return format;
}
const NumberFormat& TotalFormat()
{
    static const NumberFormat format(QStringLiteral("#0.0#"));
    return format;
}

void lineAmount(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    // Both values in the scaled form: the same digits without the digit core.
    ScaledNumber q, p;
    const SqlNumberKind qk = SqlScaled(argv[0], q);
    const SqlNumberKind pk = SqlScaled(argv[1], p);
    if (qk == SqlNumberKind::Null || pk == SqlNumberKind::Null) {
        sqlite3_result_null(ctx);
        return;
    }
    if (qk == SqlNumberKind::Scaled && pk == SqlNumberKind::Scaled) {
        if (const std::optional<ScaledNumber> product = ScaledNumber::Multiply(q, p)) {
            try {
                SqlResult(ctx, product->rounded(kLineAmountPlaces).amountText());
            } catch (const std::bad_alloc&) {
                sqlite3_result_error_nomem(ctx);
            }
            return;
        }
    }
    const std::optional<Decimal> qty = SqlDecimal(argv[0]);
    const std::optional<Decimal> price = SqlDecimal(argv[1]);
    if (!qty || !price) {
        sqlite3_result_null(ctx);
        return;
    }
    try {
        SqlResult(ctx, AmountFormat().write(LineAmount(*qty, *price)));
    } catch (const std::bad_alloc&) {
        sqlite3_result_error_nomem(ctx);
    }
}

// The running sum of the line amounts lives on the heap: the memory SQLite
// gives an aggregate is aligned for 8 bytes only.
struct AmountState {
    ExactSum* lines;
};

void billAmountStep(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    auto* state = static_cast<AmountState*>(sqlite3_aggregate_context(ctx, sizeof(AmountState)));
    if (!state) {
        sqlite3_result_error_nomem(ctx);
        return;
    }
    ScaledNumber q, p;
    const SqlNumberKind qk = SqlScaled(argv[0], q);
    const SqlNumberKind pk = SqlScaled(argv[1], p);
    if (qk == SqlNumberKind::Null || pk == SqlNumberKind::Null)
        return;
    std::optional<ScaledNumber> product;
    if (qk == SqlNumberKind::Scaled && pk == SqlNumberKind::Scaled)
        product = ScaledNumber::Multiply(q, p);
    std::optional<Decimal> qty, price;
    if (!product) {
        qty = SqlDecimal(argv[0]);
        price = SqlDecimal(argv[1]);
        if (!qty || !price)
            return;
    }
    try {
        if (!state->lines)
            state->lines = new ExactSum;
        if (product)
            state->lines->add(product->rounded(kLineAmountPlaces));
        else
            state->lines->add(LineAmount(*qty, *price));
    } catch (const std::bad_alloc&) {
        sqlite3_result_error_nomem(ctx);
    }
}

// The bill's amount as BillAmount makes it: the line amounts' exact sum
// rounded to kBillAmountPlaces.
void billAmountFinal(sqlite3_context* ctx)
{
    auto* state = static_cast<AmountState*>(sqlite3_aggregate_context(ctx, 0));
    ExactSum* lines = state ? state->lines : nullptr;
    try {
        SqlResult(ctx, TotalFormat().write(lines ? lines->total().rounded(kBillAmountPlaces) : Decimal()));
    } catch (const std::bad_alloc&) {
        sqlite3_result_error_nomem(ctx);
    }
    delete lines;
}

} // namespace

std::optional<Decimal> SqlDecimal(sqlite3_value* value)
{
    switch (sqlite3_value_type(value)) {
    case SQLITE_NULL:
        return std::nullopt;
    case SQLITE_INTEGER:
        return Decimal(sqlite3_value_int64(value));
    case SQLITE_FLOAT:
        return Decimal::FromDouble(sqlite3_value_double(value));
    default: {
        const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(value));
        if (!text)
            return Decimal();
        return Decimal::Leading(std::string_view(text, size_t(sqlite3_value_bytes(value))));
    }
    }
}

void SqlResult(sqlite3_context* ctx, const Decimal& value)
{
    SqlResult(ctx, value.toStdString());
}

void SqlResult(sqlite3_context* ctx, const std::string& text)
{
    sqlite3_result_text(ctx, text.data(), int(text.size()), SQLITE_TRANSIENT);
}

QString RegisterNumberFunctions(sqlite3* db)
{
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    if (sqlite3_create_function_v2(db, "line_amount", 2, flags, nullptr, lineAmount, nullptr, nullptr,
                                   nullptr) != SQLITE_OK ||
        sqlite3_create_function_v2(db, "bill_amount", 2, flags, nullptr, nullptr, billAmountStep,
                                   billAmountFinal, nullptr) != SQLITE_OK)
        return QString::fromUtf8(sqlite3_errmsg(db));
    return {};
}

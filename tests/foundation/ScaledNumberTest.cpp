// The scaled form of the exact figures gives the digits of the digit core,
// and leaves every value it cannot hold to it.
#include "ScaledNumber.h"

#include <gtest/gtest.h>
#include <limits>

// Doubles at the edges of the scaled form: the shortest form of each that
// fits reads as the digit core reads it; the others do not fit.
TEST(ScaledNumberTest, ReadsADoubleAsItsShortestFormOrNotAtAll)
{
    const struct {
        double value;
        bool fits;
    } cases[] = {
        {0.0, true},
        {-0.0, true},
        {1, true},
        {-1, true},
        {0.1, true},
        {-12.345, true},
        {2.675, true},
        {1.005, true},
        {1e-7, true},
        {-1.5e-7, true},
        {1e-15, true},
        {123456789012345.0, true},    // 15 digits
        {99999999999999.9, true},     // 15 digits with a decimal
        {0.123456789012345, true},    // 15 decimals
        {1e15, false},                // 16 digits as a whole number
        {1234567890123456.0, false},  // 16 digits
        {12345678901234567.0, false}, // 17 digits
        {0.1234567890123456, false},  // 16 digits
        {0.1 + 0.2, false},           // 0.30000000000000004
        {1e-16, false},
        {1e22, false},
        {1e300, false},
        {5e-324, false},
        {std::numeric_limits<double>::max(), false},
        {std::numeric_limits<double>::infinity(), false},
        {-std::numeric_limits<double>::infinity(), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        const std::optional<ScaledNumber> s = ScaledNumber::FromDouble(c.value);
        ASSERT_EQ(s.has_value(), c.fits);
        if (s) {
            EXPECT_EQ(s->toDecimal().toStdString(), Decimal::FromDouble(c.value)->toStdString());
        }
    }
    EXPECT_FALSE(ScaledNumber::FromDouble(-0.0)->negative);
}

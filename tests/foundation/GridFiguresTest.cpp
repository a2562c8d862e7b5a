#include "TestEnv.h"

#include "FlexGrid.h"
#include "PlainOracle.h"
#include "sqlHelper.h"

#include <bit>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <random>

namespace
{

using GridFiguresTest = DbTest;

// Stored REALs of every kind (random bit patterns, random decimals of up to
// 17 digits at any scale, the extremes) read from the file into a grid: each
// cell shows the figure whole, as the digit-string oracle writes it.
TEST_F(GridFiguresTest, AGridShowsEveryStoredFigureWhole)
{
    std::mt19937_64 random(57);
    std::vector<double> values = {0.0,
                                  -0.0,
                                  5e-324,
                                  -5e-324,
                                  DBL_MIN,
                                  DBL_MAX,
                                  -DBL_MAX,
                                  1e-7,
                                  0.00001,
                                  1e15,
                                  1e16,
                                  0.1 + 0.2,
                                  1234567890123.456,
                                  1e308,
                                  123456789012345678.0,
                                  0.1234567,
                                  1.0005,
                                  99999999999999900.0};
    while (values.size() < 3000) {
        double d = 0;
        if (values.size() % 2 == 0) {
            d = std::bit_cast<double>(random());
        } else {
            // A decimal of 1 to 17 digits at a scale of 10^-30 to 10^30.
            const int digits = 1 + int(random() % 17);
            std::string text = std::to_string(1 + random() % 9);
            for (int i = 1; i < digits; ++i)
                text += char('0' + random() % 10);
            text += "e" + std::to_string(int(random() % 61) - 30);
            d = std::strtod(text.c_str(), nullptr) * (random() % 2 ? 1 : -1);
        }
        if (std::isfinite(d))
            values.push_back(d);
    }
    exec(QStringLiteral("create table figures (id INTEGER PRIMARY KEY, x REAL)"));
    {
        TransactionGuard tx;
        for (size_t i = 0; i < values.size(); ++i)
            ExecuteParaSql(QStringLiteral("insert into figures (id, x) values (@id, @x)"),
                           {{QStringLiteral("@id"), int(i)}, {QStringLiteral("@x"), values[i]}});
        tx.commit();
    }
    const RecordSetPtr rs = ExecuteSql(QStringLiteral("select x from figures order by id"));
    FlexGrid grid;
    grid.setFixedRows(1);
    grid.setFixedCols(1);
    grid.LoadRecordSet(*rs);
    ASSERT_EQ(grid.Rows(), int(values.size()) + 1);
    int wrong = 0;
    for (size_t i = 0; i < values.size(); ++i) {
        const std::string shown = grid.TextMatrix(int(i) + 1, 1).toStdString();
        if (shown != PlainOracle(values[i]) && ++wrong <= 5)
            ADD_FAILURE() << "stored " << std::bit_cast<std::uint64_t>(values[i]) << " shows " << shown
                          << ", the oracle writes " << PlainOracle(values[i]);
    }
    EXPECT_EQ(wrong, 0);
}

} // namespace

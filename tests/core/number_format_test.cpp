#include <gtest/gtest.h>
#include <cmath>
#include <cstdint>
#include <limits>
#include "core/number_format.h"

// The Japanese locale, like the native build, separates thousands with ","
// and decimals with "."; the real separators are checked on Windows apart.

TEST(FormatNumber, GroupsThousands)
{
    EXPECT_EQ(FormatNumber(std::int64_t{0}), "0");
    EXPECT_EQ(FormatNumber(std::int64_t{7}), "7");
    EXPECT_EQ(FormatNumber(std::int64_t{999}), "999");
    EXPECT_EQ(FormatNumber(std::int64_t{1000}), "1,000");
    EXPECT_EQ(FormatNumber(std::int64_t{12345}), "12,345");
    EXPECT_EQ(FormatNumber(std::int64_t{123456}), "123,456");
    EXPECT_EQ(FormatNumber(std::int64_t{1234567}), "1,234,567");
    EXPECT_EQ(FormatNumber(std::int64_t{5} * 4294967296), "21,474,836,480");
}

TEST(FormatNumber, NegativesAndTheEndsOfTheRange)
{
    EXPECT_EQ(FormatNumber(std::int64_t{-1}), "-1");
    EXPECT_EQ(FormatNumber(std::int64_t{-999}), "-999");
    EXPECT_EQ(FormatNumber(std::int64_t{-1000}), "-1,000");
    EXPECT_EQ(FormatNumber(std::int64_t{-123456}), "-123,456");
    EXPECT_EQ(FormatNumber(std::numeric_limits<std::int64_t>::max()), "9,223,372,036,854,775,807");
    EXPECT_EQ(FormatNumber(std::numeric_limits<std::int64_t>::min()), "-9,223,372,036,854,775,808");
}

TEST(FormatNumber, WidthPadsOnTheLeftAndNeverCuts)
{
    EXPECT_EQ(FormatNumber(std::int64_t{1234567}, 13), "    1,234,567");
    EXPECT_EQ(FormatNumber(std::int64_t{0}, 13), "            0");
    EXPECT_EQ(FormatNumber(std::int64_t{-1000}, 7), " -1,000");
    EXPECT_EQ(FormatNumber(std::int64_t{1234567}, 7), "1,234,567");
    EXPECT_EQ(FormatNumber(std::numeric_limits<std::int64_t>::min(), 13), "-9,223,372,036,854,775,808");
    EXPECT_EQ(FormatNumber(std::int64_t{12}, -5), "12");
    EXPECT_EQ(FormatNumber(1234.4, 7), "  1,234");
}

TEST(FormatNumber, FloatingValuesRoundHalfAwayFromZero)
{
    EXPECT_EQ(FormatNumber(0.0), "0");
    EXPECT_EQ(FormatNumber(0.4), "0");
    EXPECT_EQ(FormatNumber(0.5), "1");
    EXPECT_EQ(FormatNumber(1.5), "2");
    EXPECT_EQ(FormatNumber(2.5), "3");
    EXPECT_EQ(FormatNumber(2.4999), "2");
    EXPECT_EQ(FormatNumber(0.49999999999999994), "0");
    EXPECT_EQ(FormatNumber(-2.5), "-3");
    EXPECT_EQ(FormatNumber(-0.5), "-1");
    EXPECT_EQ(FormatNumber(999.5), "1,000");
    EXPECT_EQ(FormatNumber(999999.5), "1,000,000");
    // What rounds to zero has no sign.
    EXPECT_EQ(FormatNumber(-0.4), "0");
    EXPECT_EQ(FormatNumber(-0.0), "0");
}

TEST(FormatNumber, LargeFloatingValues)
{
    // The folder tree shows byte totals divided by 1024.
    EXPECT_EQ(FormatNumber(5.0 * 4294967296.0 / 1024), "20,971,520");
    EXPECT_EQ(FormatNumber(1e15), "1,000,000,000,000,000");
    EXPECT_EQ(FormatNumber(9007199254740993.0), "9,007,199,254,740,992");
    EXPECT_EQ(FormatNumber(1e20), "100,000,000,000,000,000,000");
    EXPECT_EQ(FormatNumber(-1e20), "-100,000,000,000,000,000,000");
    const std::string largest = FormatNumber(std::numeric_limits<double>::max());
    EXPECT_EQ(largest.substr(0, 8), "179,769,");
    EXPECT_EQ(largest.size(), 309u + 102u);
    EXPECT_EQ(FormatNumber(std::numeric_limits<double>::denorm_min()), "0");
}

TEST(FormatNumber, ValuesThatAreNoNumbers)
{
    EXPECT_EQ(FormatNumber(std::numeric_limits<double>::infinity()), "INF");
    EXPECT_EQ(FormatNumber(-std::numeric_limits<double>::infinity(), 6), "  -INF");
    EXPECT_EQ(FormatNumber(std::nan("")), "NaN");
    EXPECT_EQ(FormatFixed1(std::nan("")), "NaN");
}

TEST(FormatFixed1, OneDecimalRoundedHalfAwayFromZero)
{
    EXPECT_EQ(FormatFixed1(0.0), "0.0");
    EXPECT_EQ(FormatFixed1(100.0), "100.0");
    EXPECT_EQ(FormatFixed1(12.25), "12.3");
    EXPECT_EQ(FormatFixed1(12.24), "12.2");
    // As written, not as their binary neighbours would round.
    EXPECT_EQ(FormatFixed1(0.05), "0.1");
    EXPECT_EQ(FormatFixed1(0.15), "0.2");
    EXPECT_EQ(FormatFixed1(0.35), "0.4");
    EXPECT_EQ(FormatFixed1(1.45), "1.5");
    EXPECT_EQ(FormatFixed1(100.0 / 3), "33.3");
    EXPECT_EQ(FormatFixed1(200.0 / 3), "66.7");
    EXPECT_EQ(FormatFixed1(99.95), "100.0");
    EXPECT_EQ(FormatFixed1(9.96), "10.0");
    EXPECT_EQ(FormatFixed1(-1.25), "-1.3");
    EXPECT_EQ(FormatFixed1(-0.04), "0.0");
    EXPECT_EQ(FormatFixed1(1e-300), "0.0");
    // "%.1f" has no thousands separators.
    EXPECT_EQ(FormatFixed1(12345.67), "12345.7");
}

TEST(FormatFixed1, WidthPadsOnTheLeftAndNeverCuts)
{
    EXPECT_EQ(FormatFixed1(5.0, 4), " 5.0");
    EXPECT_EQ(FormatFixed1(0.04, 4), " 0.0");
    EXPECT_EQ(FormatFixed1(12.34, 4), "12.3");
    EXPECT_EQ(FormatFixed1(100.0, 4), "100.0");
    EXPECT_EQ(FormatFixed1(-5.0, 6), "  -5.0");
}

TEST(FormatInt, DecimalWithoutSeparators)
{
    EXPECT_EQ(FormatInt(0), "0");
    EXPECT_EQ(FormatInt(0, 0), "0");
    EXPECT_EQ(FormatInt(3), "3");
    EXPECT_EQ(FormatInt(123456789), "123456789");
    EXPECT_EQ(FormatInt(-42), "-42");
    EXPECT_EQ(FormatInt(std::numeric_limits<std::int64_t>::min()), "-9223372036854775808");
    EXPECT_EQ(FormatInt(std::numeric_limits<std::int64_t>::max()), "9223372036854775807");
}

TEST(FormatInt, Widths)
{
    EXPECT_EQ(FormatInt(12, 4), "  12");
    EXPECT_EQ(FormatInt(-64, 4), " -64");
    EXPECT_EQ(FormatInt(12345, 4), "12345");
    EXPECT_EQ(FormatInt(7, 10), "         7");
    EXPECT_EQ(FormatInt(0, 10), "         0");
    EXPECT_EQ(FormatInt(1234567890, 10), "1234567890");
}

TEST(PadLeft, RightAlignsByBytes)
{
    EXPECT_EQ(PadLeft("12", 6), "    12");
    EXPECT_EQ(PadLeft("", 3), "   ");
    EXPECT_EQ(PadLeft("1234567", 6), "1234567");
    EXPECT_EQ(PadLeft("abc", 0), "abc");
    EXPECT_EQ(PadLeft("abc", -1), "abc");
    // A double-byte character takes two columns, as in a fixed-width editor.
    EXPECT_EQ(PadLeft("表", 4), "  表");
}

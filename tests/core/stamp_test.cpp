#include <gtest/gtest.h>
#include <random>
#include <string>
#include "core/stamp.h"
#include "tests/core/system_time.h"

namespace {

const std::string Blanks(20, ' ');

}  // namespace

TEST(FormatStamp, WritesYearThenTwoDigitFields)
{
    SYSTEMTIME time = LocalTime(2006, 2, 9, 7, 5, 3);
    time.wDayOfWeek = 4;
    time.wMilliseconds = 999;
    EXPECT_EQ(FormatStamp(time).str(), "2006/02/09 07:05:03");
    EXPECT_EQ(FormatStamp(LocalTime(1900, 1, 1)).str(), "1900/01/01 00:00:00");
    EXPECT_EQ(FormatStamp(LocalTime(9999, 12, 31, 23, 59, 59)).str(), "9999/12/31 23:59:59");
    EXPECT_EQ(FormatStamp(LocalTime(2024, 10, 10, 10, 10, 10)).str(), "2024/10/10 10:10:10");
    EXPECT_EQ(FormatStamp(LocalTime(2006, 2, 9)).view().size(), 19u);
}

TEST(FormatStamp, YearsBefore1900AreBlank)
{
    EXPECT_EQ(FormatStamp(LocalTime(1601, 1, 1)).str(), Blanks);
    EXPECT_EQ(FormatStamp(LocalTime(1601, 12, 31, 23, 59, 59)).str(), Blanks);
    EXPECT_EQ(FormatStamp(LocalTime(1899, 12, 31, 23, 59, 59)).str(), Blanks);
    EXPECT_EQ(FormatStamp(SYSTEMTIME{}).str(), Blanks);
}

TEST(FormatStamp, OutOfRangeFieldsStayWithinTheText)
{
    // Years past 9999 lengthen the text by their extra digit.
    EXPECT_EQ(FormatStamp(LocalTime(30827, 12, 31, 23, 59, 59)).str(), "30827/12/31 23:59:59");
    EXPECT_EQ(FormatStamp(LocalTime(65535, 1, 1)).str(), "65535/01/01 00:00:00");
    // Fields that need more than two digits are no date.
    EXPECT_EQ(FormatStamp(LocalTime(2006, 100, 1)).str(), Blanks);
    EXPECT_EQ(FormatStamp(LocalTime(65535, 65535, 65535, 65535, 65535, 65535)).str(), Blanks);
    // Two-digit fields are written as they are, without checking the calendar.
    EXPECT_EQ(FormatStamp(LocalTime(2006, 13, 32, 24, 60, 99)).str(), "2006/13/32 24:60:99");
}

TEST(FormatStamp, TextOrderIsTimeOrder)
{
    const SYSTEMTIME times[] = {
        LocalTime(1899, 12, 31, 23, 59, 59), LocalTime(1900, 1, 1), LocalTime(1999, 12, 31, 23, 59, 59),
        LocalTime(2000, 1, 1), LocalTime(2006, 2, 9, 7, 5, 3), LocalTime(2006, 2, 9, 7, 5, 4),
        LocalTime(2006, 2, 10), LocalTime(2006, 11, 1), LocalTime(9999, 12, 31, 23, 59, 59)};
    for (std::size_t i = 1; i < std::size(times); ++i)
        EXPECT_LT(FormatStamp(times[i - 1]).view(), FormatStamp(times[i]).view()) << i;
}

TEST(StampOrder, OrdersAsTheTextDoes)
{
    // Years on both sides of 1900, 10000 and the five-digit years whose first
    // four digits equal a four-digit year; fields up to past two digits.
    const WORD years[] = {0, 1601, 1899, 1900, 1901, 1999, 2000, 2001, 2023, 2024, 9999,
                          10000, 10001, 19000, 19009, 19999, 20000, 20009, 20010, 20011, 20240, 20249, 30827, 65535};
    const WORD fields[] = {0, 1, 9, 10, 12, 59, 60, 99, 100, 65535};
    std::mt19937 random(1900);
    auto any = [&](const auto& values) { return values[random() % std::size(values)]; };
    auto sign = [](auto value) { return (value > 0) - (value < 0); };
    for (int i = 0; i < 200000; ++i) {
        const SYSTEMTIME a = LocalTime(any(years), any(fields), any(fields), any(fields), any(fields), any(fields));
        SYSTEMTIME b = i % 2 ? a : LocalTime(any(years), any(fields), any(fields), any(fields), any(fields), any(fields));
        b.wSecond = any(fields);
        b.wMilliseconds = static_cast<WORD>(random() % 1000);
        ASSERT_EQ(sign(StampOrder(a) - StampOrder(b)), sign(FormatStamp(a).view().compare(FormatStamp(b).view())))
            << FormatStamp(a).str() << " | " << FormatStamp(b).str();
    }
}

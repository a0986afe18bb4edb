#include <gtest/gtest.h>
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

#include <gtest/gtest.h>
#include <windows.h>
#include <cstdint>
#include <string>
#include "core/number_format.h"

namespace {

std::string LocaleText(LCTYPE item)
{
    char text[16];
    EXPECT_GT(GetLocaleInfoA(LOCALE_USER_DEFAULT, item, text, sizeof text), 0);
    return text;
}

}  // namespace

TEST(LocaleNumbers, UseTheUsersSeparators)
{
    const std::string thousands = LocaleText(LOCALE_STHOUSAND);
    const std::string decimal = LocaleText(LOCALE_SDECIMAL);
    EXPECT_EQ(FormatNumber(std::int64_t{1234567}), "1" + thousands + "234" + thousands + "567");
    EXPECT_EQ(FormatNumber(std::int64_t{-1000}), "-1" + thousands + "000");
    EXPECT_EQ(FormatNumber(1234.5), "1" + thousands + "235");
    EXPECT_EQ(FormatFixed1(12.25), "12" + decimal + "3");
    EXPECT_EQ(FormatFixed1(12345.0), "12345" + decimal + "0");
}

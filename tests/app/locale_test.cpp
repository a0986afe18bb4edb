#include <gtest/gtest.h>
#include <windows.h>

// Every Shift_JIS test below depends on Wine running in the Japanese locale.
TEST(Locale, AnsiCodePageIsShiftJis) {
    EXPECT_EQ(GetACP(), 932u);
}

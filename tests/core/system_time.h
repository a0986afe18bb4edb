#pragma once
#include "core/win_types.h"

// A time given field by field, as the pages show one.
inline SYSTEMTIME LocalTime(WORD year, WORD month, WORD day, WORD hour = 0, WORD minute = 0, WORD second = 0,
                            WORD milliseconds = 0)
{
    SYSTEMTIME time{};
    time.wYear = year;
    time.wMonth = month;
    time.wDay = day;
    time.wHour = hour;
    time.wMinute = minute;
    time.wSecond = second;
    time.wMilliseconds = milliseconds;
    return time;
}

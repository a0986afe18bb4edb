#include "core/stamp.h"
#include <cstring>
#include <initializer_list>

namespace {

constexpr std::size_t BlankSize = 20;

StampText Blank()
{
    StampText stamp{};
    std::memset(stamp.text, ' ', BlankSize);
    stamp.size = BlankSize;
    return stamp;
}

void PutTwoDigits(StampText& stamp, WORD value)
{
    stamp.text[stamp.size++] = static_cast<char>('0' + value / 10);
    stamp.text[stamp.size++] = static_cast<char>('0' + value % 10);
}

// A field beyond two digits is no time of day or calendar date; it gets the
// blank text rather than overrunning the fixed layout.
bool IsBlank(const SYSTEMTIME& time)
{
    if (time.wYear < 1900)
        return true;
    for (WORD field : {time.wMonth, time.wDay, time.wHour, time.wMinute, time.wSecond})
        if (field > 99)
            return true;
    return false;
}

}  // namespace

StampText FormatStamp(const SYSTEMTIME& time)
{
    if (IsBlank(time))
        return Blank();

    StampText stamp{};
    char year[5];
    std::size_t digits = 0;
    for (unsigned rest = time.wYear; rest != 0; rest /= 10)
        year[digits++] = static_cast<char>('0' + rest % 10);
    while (digits != 0)
        stamp.text[stamp.size++] = year[--digits];
    stamp.text[stamp.size++] = '/';
    PutTwoDigits(stamp, time.wMonth);
    stamp.text[stamp.size++] = '/';
    PutTwoDigits(stamp, time.wDay);
    stamp.text[stamp.size++] = ' ';
    PutTwoDigits(stamp, time.wHour);
    stamp.text[stamp.size++] = ':';
    PutTwoDigits(stamp, time.wMinute);
    stamp.text[stamp.size++] = ':';
    PutTwoDigits(stamp, time.wSecond);
    return stamp;
}

std::int64_t StampOrder(const SYSTEMTIME& time)
{
    // The blank text's spaces come before every digit.
    if (IsBlank(time))
        return 0;
    // A five-digit year meets a four-digit one with its first four digits;
    // when those are equal, the four-digit year's "/" comes before any digit.
    const std::int64_t year = time.wYear;
    std::int64_t order = year < 10000 ? year * 11 : year / 10 * 11 + year % 10 + 1;
    for (WORD field : {time.wMonth, time.wDay, time.wHour, time.wMinute, time.wSecond})
        order = order * 100 + field;
    return order;
}

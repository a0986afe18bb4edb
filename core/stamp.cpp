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

}  // namespace

StampText FormatStamp(const SYSTEMTIME& time)
{
    if (time.wYear < 1900)
        return Blank();
    // A field beyond two digits is no time of day or calendar date; it gets
    // the blank text rather than overrunning the fixed layout.
    for (WORD field : {time.wMonth, time.wDay, time.wHour, time.wMinute, time.wSecond})
        if (field > 99)
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

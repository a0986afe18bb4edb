#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include "core/win_types.h"

// "yyyy/mm/dd hh:mm:ss", or 20 blanks before 1900; held in a small buffer so
// comparing dates allocates nothing.
struct StampText {
    char text[24];
    std::size_t size;
    std::string_view view() const { return {text, size}; }
    std::string str() const { return std::string(view()); }
};

StampText FormatStamp(const SYSTEMTIME& time);

// A number that orders stamps exactly as their FormatStamp texts order byte
// by byte, for the date sort, which then writes no text per entry.
std::int64_t StampOrder(const SYSTEMTIME& time);

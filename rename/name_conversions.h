#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

// The rename page's batch conversions of one Shift_JIS name. Every one except
// LowerExtension walks the name character by character: a lead byte and the
// byte after it are one character and are never taken apart, and a lead byte
// in the last position stays alone.

enum class ConvertMode { ToUpper, ToLower, UnderscoreToSpace, SpaceToUnderscore };

// Half-width byte 0xA1 + i and its full-width character (lead byte first).
struct HalfKanaRow {
    unsigned char Half;
    std::uint16_t Full;
};
extern const std::array<HalfKanaRow, 63> HalfKanaTable;

// A full-width symbol and the ASCII byte it becomes.
struct SymbolRow {
    std::uint16_t Full;
    char Ascii;
};
extern const std::array<SymbolRow, 33> SymbolTable;

// 'A'-'Z' to 'a'-'z', the reverse, "_" to " " or " " to "_".
std::string ConvertName(std::string_view name, ConvertMode mode);
// Full-width digits and Latin letters to ASCII.
std::string WideToSingle(std::string_view name);
// The symbols of SymbolTable to ASCII.
std::string SymbolsToAscii(std::string_view name);
// Half-width katakana to full-width, with a following sound mark joined to
// the kana it voices.
std::string HalfKanaToFull(std::string_view name);
// The name with 'A'-'Z' of its extension (from its last "."), however long,
// made small.
std::string LowerExtension(std::string_view name);

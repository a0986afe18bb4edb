#pragma once
#include <cstdint>
#include <string>
#include <string_view>

// The number formats of the pages and the clipboard texts. Thousands and
// decimal separators come from the user's locale.

// "%.0n" (width 0) and "%13.0n", "%7.0n": thousands separators, no decimals,
// right-aligned in width; floating values round half away from zero.
std::string FormatNumber(std::int64_t value, int width = 0);
std::string FormatNumber(double value, int width = 0);
// "%.1f" (width 0) and "%4.1f".
std::string FormatFixed1(double value, int width = 0);
// "%W.Df" for width W and D decimals ("%6.2f"); width 0 pads nothing.
std::string FormatFixed(double value, int decimals, int width);
// "%4d", "%10d", "%.0d" (width 0; zero still prints "0").
std::string FormatInt(std::int64_t value, int width = 0);
// "%6s": the text right-aligned in width.
std::string PadLeft(std::string_view text, int width);

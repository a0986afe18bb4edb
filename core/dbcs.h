#pragma once
#include <cstddef>
#include <string_view>

// True when the byte starts a double-byte character in the ANSI code page:
// IsDBCSLeadByte on Windows, the Shift_JIS lead-byte ranges in the native build.
bool IsLeadByte(unsigned char byte);

// The Shift_JIS lead-byte ranges themselves, for the loops that run once per
// file and must not call into the system for every byte.
constexpr bool IsShiftJisLeadByte(unsigned char byte)
{
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

// Position of the "." that starts the name's extension: the last "." outside
// double-byte characters and after any "\" or ":"; npos when there is none.
std::size_t ExtensionDot(std::string_view name);
// The name's extension with its dot ("a.tar.gz" gives ".gz", "a." gives "."),
// empty when it has none; at most 255 bytes.
std::string_view ExtensionWithDot(std::string_view name);

#pragma once

// True when the byte starts a double-byte character in the ANSI code page:
// IsDBCSLeadByte on Windows, the Shift_JIS lead-byte ranges in the native build.
bool IsLeadByte(unsigned char byte);

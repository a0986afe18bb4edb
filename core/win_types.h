#pragma once
// The Windows types the helpers take. The native build of the platform-neutral
// code gets layout-compatible stand-ins.
#ifdef _WIN32
#include <windows.h>
#else
#include <cstdint>
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
struct SYSTEMTIME {
    WORD wYear, wMonth, wDayOfWeek, wDay, wHour, wMinute, wSecond, wMilliseconds;
};
struct FILETIME {
    DWORD dwLowDateTime, dwHighDateTime;
};
#endif

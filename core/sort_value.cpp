#include "core/sort_value.h"

#ifdef _WIN32
#include <windows.h>

std::string UpperCased(std::string_view text) {
    std::string upper(text);
    if (!upper.empty()) CharUpperBuffA(upper.data(), static_cast<DWORD>(upper.size()));
    return upper;
}
#endif

#include "core/dbcs.h"
#include "core/win_types.h"

bool IsLeadByte(unsigned char byte)
{
#ifdef _WIN32
    return IsDBCSLeadByte(byte) != FALSE;
#else
    return IsShiftJisLeadByte(byte);
#endif
}

std::size_t ExtensionDot(std::string_view name)
{
    std::size_t dot = std::string_view::npos;
    for (std::size_t i = 0; i < name.size(); ++i) {
        const auto byte = static_cast<unsigned char>(name[i]);
        if (IsLeadByte(byte))
            ++i;  // a trail byte may be 0x5C or 0x2E without being "\" or "."
        else if (byte == '.')
            dot = i;
        else if (byte == '\\' || byte == ':')
            dot = std::string_view::npos;
    }
    return dot;
}

std::string_view ExtensionWithDot(std::string_view name)
{
    constexpr std::size_t kMaxExtension = 255;
    const std::size_t dot = ExtensionDot(name);
    return dot == std::string_view::npos ? std::string_view{} : name.substr(dot, kMaxExtension);
}

#include "core/disk_path.h"

#include "core/paths.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

// Past this length some calls refuse a path without the "\\?\" prefix: a
// folder path must leave room for an 8.3 name within MAX_PATH (260).
constexpr std::size_t LongPathFrom = 260 - 12;

bool IsDriveAbsolute(std::wstring_view path)
{
    return path.size() >= 3 && path[1] == L':' && path[2] == L'\\'
        && ((path[0] >= L'A' && path[0] <= L'Z') || (path[0] >= L'a' && path[0] <= L'z'));
}

}  // namespace

DiskPath::DiskPath(std::string shown) : Shown(std::move(shown)), Wide(WideText(Shown)) {}

DiskPath EndingInBackslash(const DiskPath& path)
{
    DiskPath result = path;
    result.Shown = WithTrailingBackslash(path.Shown);
    if (!result.Wide.empty() && result.Wide.back() != L'\\')
        result.Wide += L'\\';
    return result;
}

DiskPath Joined(const DiskPath& folder, std::string_view shownName, std::wstring_view wideName)
{
    DiskPath result;
    result.Shown.reserve(folder.Shown.size() + shownName.size() + 1);
    result.Shown.append(folder.Shown).append(shownName);
    result.Wide.reserve(folder.Wide.size() + wideName.size() + 1);
    result.Wide.append(folder.Wide).append(wideName);
    return result;
}

std::wstring LongForm(std::wstring_view path)
{
    if (path.size() < LongPathFrom || path.starts_with(L"\\\\?\\"))
        return std::wstring(path);
    if (IsDriveAbsolute(path))
        return L"\\\\?\\" + std::wstring(path);
    if (path.starts_with(L"\\\\") && !path.starts_with(L"\\\\.\\"))
        return L"\\\\?\\UNC\\" + std::wstring(path.substr(2));
    return std::wstring(path);
}

#ifdef _WIN32

void AssignShownText(std::string& text, std::wstring_view wide)
{
    // A UTF-16 unit gives at most two bytes in code page 932.
    text.resize(wide.size() * 2);
    const int length = wide.empty() ? 0
        : WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), text.data(),
                              static_cast<int>(text.size()), nullptr, nullptr);
    text.resize(static_cast<std::size_t>(length > 0 ? length : 0));
}

std::wstring WideText(std::string_view shown)
{
    if (shown.empty())
        return {};
    std::wstring wide(shown.size(), L'\0');
    const int length = MultiByteToWideChar(CP_ACP, 0, shown.data(), static_cast<int>(shown.size()), wide.data(),
                                           static_cast<int>(wide.size()));
    wide.resize(static_cast<std::size_t>(length > 0 ? length : 0));
    return wide;
}

#else

// The native build of the platform-neutral code meets ASCII paths only.
void AssignShownText(std::string& text, std::wstring_view wide)
{
    text.clear();
    for (const wchar_t unit : wide)
        text += unit < 0x80 ? static_cast<char>(unit) : '?';
}

std::wstring WideText(std::string_view shown)
{
    return std::wstring(shown.begin(), shown.end());
}

#endif

std::string ShownText(std::wstring_view wide)
{
    std::string text;
    AssignShownText(text, wide);
    return text;
}

bool ShowsExactly(std::string_view shown, std::wstring_view wide)
{
    return WideText(shown) == wide;
}

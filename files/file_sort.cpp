#include "files/file_sort.h"
#include <cstddef>
#include <cstdint>
#include "core/dbcs.h"
#include "core/heap_sort.h"
#include "core/stamp.h"
#include "core/win_types.h"
#include "files/file_table.h"

std::vector<int> FileOrder(1);

namespace {

constexpr std::size_t MaxExtension = 255;

// What one entry is compared by. Text keys are worked out once per entry, so a
// sort upper-cases each name once rather than at every comparison.
struct SortValue {
    std::string text;
    std::int64_t number = 0;
};

// The system's ANSI upper-casing: under code page 932 it steps over
// double-byte characters and also upper-cases full-width Latin letters.
std::string UpperCased(std::string_view text)
{
    std::string upper(text);
    if (!upper.empty())
        CharUpperBuffA(upper.data(), static_cast<DWORD>(upper.size()));
    return upper;
}

bool IsTextKey(int key)
{
    return key == SortByName || key == SortByDate || key == SortByExtension;
}

SortValue ValueOf(const FileEntry& entry, int key)
{
    SortValue value;
    switch (key) {
    case SortByName: value.text = UpperCased(entry.Name); break;
    case SortBySize: value.number = entry.Size; break;
    case SortByDate: value.text = FormatStamp(entry.Stamp).str(); break;
    case SortByExtension: value.text = UpperCased(ExtensionWithDot(entry.Name)); break;
    case SortByCharCount: value.number = entry.CharCount; break;
    default: break;
    }
    return value;
}

// Text keys compare as unsigned bytes, a prefix first; no locale collation.
int CompareValues(const SortValue& a, const SortValue& b, int key)
{
    if (IsTextKey(key)) {
        const int order = std::string_view(a.text).compare(b.text);
        return order < 0 ? -1 : order > 0 ? 1 : 0;
    }
    return a.number < b.number ? -1 : a.number > b.number ? 1 : 0;
}

}  // namespace

std::string_view ExtensionWithDot(std::string_view name)
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
    return dot == std::string_view::npos ? std::string_view{} : name.substr(dot, MaxExtension);
}

std::string ExtensionText(std::string_view name)
{
    const std::string_view extension = ExtensionWithDot(name);
    return extension.empty() ? std::string() : std::string(extension.substr(1));
}

int CompareFiles(int a, int b, int key)
{
    return CompareValues(ValueOf(FileTable[a], key), ValueOf(FileTable[b], key), key);
}

void SortFiles(int n, int key, bool descending)
{
    if (n <= 0)
        return;
    ResetOrder(FileOrder, n);
    std::vector<SortValue> values(static_cast<std::size_t>(n) + 1);
    for (int i = 1; i <= n; ++i)
        values[i] = ValueOf(FileTable[i], key);
    SortOrder(FileOrder, n, descending,
              [&](int a, int b) { return CompareValues(values[a], values[b], key); });
}

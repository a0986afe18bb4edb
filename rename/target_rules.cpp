#include "rename/target_rules.h"

#include <array>
#include <string>

namespace {

constexpr std::array<const char*, TargetReasonCount> kReasonTexts = {
    "4GB以上",     "パスが長い",        "1980年より前",     "前後の空白",     "末尾のピリオド",
    "_vti_を含む", "使えない名前",      "~$で始まる",       "パスが長い",     "250GB超",
    "濁点が分離",  "機種依存文字",      "Shift_JISにない文字", "文字化け (UTF-8)", "文字化け (CP437)",
};

constexpr std::int64_t kFatLargestFile = 4294967295;
constexpr std::int32_t kFatLongestPath = 256;
constexpr std::int32_t kCloudLongestPath = 400;
constexpr std::int64_t kCloudLargestFile = 268435456000;
constexpr UINT kShiftJis = 932;
constexpr UINT kUsOem = 437;

constexpr std::uint32_t Bit(TargetReason reason)
{
    return std::uint32_t{1} << reason;
}

// One character of a name: one UTF-16 unit, or a surrogate pair.
std::size_t CharLength(std::wstring_view text, std::size_t at)
{
    const wchar_t c = text[at];
    if (c >= 0xD800 && c <= 0xDBFF && at + 1 < text.size() && text[at + 1] >= 0xDC00 && text[at + 1] <= 0xDFFF)
        return 2;
    return 1;
}

char32_t CodePoint(std::wstring_view c)
{
    if (c.size() == 2)
        return 0x10000 + ((static_cast<char32_t>(c[0]) - 0xD800) << 10) + (static_cast<char32_t>(c[1]) - 0xDC00);
    return c[0];
}

bool IsAscii(std::wstring_view text)
{
    for (const wchar_t c : text)
        if (c >= 0x80)
            return false;
    return true;
}

// The bytes of text in the code page, when the code page holds every
// character exactly: no look-alike, no default character, and the bytes
// read back as the same text.
bool EncodeExactly(UINT codePage, std::wstring_view text, std::string& bytes)
{
    bytes.clear();
    if (text.empty())
        return true;
    const int length = static_cast<int>(text.size());
    BOOL usedDefault = FALSE;
    const int size =
        WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, text.data(), length, nullptr, 0, nullptr, &usedDefault);
    if (size <= 0 || usedDefault)
        return false;
    bytes.resize(static_cast<std::size_t>(size));
    WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, text.data(), length, bytes.data(), size, nullptr,
                        &usedDefault);
    if (usedDefault)
        return false;
    std::wstring back(text.size(), L'\0');
    const int backSize = MultiByteToWideChar(codePage, 0, bytes.data(), size, back.data(), length);
    return backSize == length && back == text;
}

// The text of bytes in the code page, when every byte sequence is defined
// there and the text encodes back to the same bytes.
bool DecodeExactly(UINT codePage, std::string_view bytes, std::wstring& text)
{
    text.clear();
    const int length = static_cast<int>(bytes.size());
    const int size = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), length, nullptr, 0);
    if (size <= 0)
        return false;
    text.resize(static_cast<std::size_t>(size));
    MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), length, text.data(), size);
    if (codePage == CP_UTF8)
        return true;
    std::string back;
    return EncodeExactly(codePage, text, back) && back == bytes;
}

std::wstring Normalized(NORM_FORM form, std::wstring_view text)
{
    if (text.empty())
        return {};
    const int length = static_cast<int>(text.size());
    int size = NormalizeString(form, text.data(), length, nullptr, 0);
    for (int attempt = 0; attempt < 4 && size > 0; ++attempt) {
        std::wstring result(static_cast<std::size_t>(size), L'\0');
        const int written = NormalizeString(form, text.data(), length, result.data(), size);
        if (written > 0) {
            result.resize(static_cast<std::size_t>(written));
            return result;
        }
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER)
            break;
        size = -written;
    }
    // A text Windows cannot normalise (an unpaired surrogate) stays as it is.
    return std::wstring(text);
}

bool IsCompatibilityIdeograph(char32_t c)
{
    return (c >= 0xF900 && c <= 0xFAFF) || (c >= 0x2F800 && c <= 0x2FA1F);
}

// Form C of the name, with the compatibility ideographs kept, which form C
// would replace although nothing about them is decomposed.
std::wstring ComposedKeepingIdeographs(std::wstring_view name)
{
    // Nothing below U+0300 composes with what follows it.
    bool mayChange = false;
    for (const wchar_t c : name)
        mayChange = mayChange || c >= 0x300;
    if (!mayChange)
        return std::wstring(name);
    std::wstring result;
    std::size_t runStart = 0;
    for (std::size_t at = 0; at < name.size();) {
        const std::size_t length = CharLength(name, at);
        if (IsCompatibilityIdeograph(CodePoint(name.substr(at, length)))) {
            result += Normalized(NormalizationC, name.substr(runStart, at - runStart));
            result += name.substr(at, length);
            runStart = at + length;
        }
        at += length;
    }
    result += Normalized(NormalizationC, name.substr(runStart));
    return result;
}

bool IsVendorLeadByte(unsigned char byte)
{
    return byte == 0x87 || byte == 0xED || byte == 0xEE || byte == 0xFA || byte == 0xFB || byte == 0xFC;
}

enum class Held { No, Vendor, Standard };

// How code page 932 holds one character.
Held HeldByShiftJis(std::wstring_view c)
{
    std::string bytes;
    if (!EncodeExactly(kShiftJis, c, bytes))
        return Held::No;
    return bytes.size() == 2 && IsVendorLeadByte(static_cast<unsigned char>(bytes[0])) ? Held::Vendor
                                                                                     : Held::Standard;
}

// "(n)" for the circled numbers 1 to 50; empty for any other character.
std::wstring CircledNumber(char32_t c)
{
    int n = 0;
    if (c >= 0x2460 && c <= 0x2473)
        n = static_cast<int>(c - 0x2460) + 1;
    else if (c >= 0x3251 && c <= 0x325F)
        n = static_cast<int>(c - 0x3251) + 21;
    else if (c >= 0x32B1 && c <= 0x32BF)
        n = static_cast<int>(c - 0x32B1) + 36;
    else
        return {};
    return L"(" + std::to_wstring(n) + L")";
}

// The compatibility form of a character where it differs and each of its
// characters is held as wanted; empty otherwise.
std::wstring CompatibilityForm(std::wstring_view c, bool standardRowsOnly)
{
    std::wstring form = Normalized(NormalizationKC, c);
    if (form.empty() || form == c)
        return {};
    for (std::size_t at = 0; at < form.size();) {
        const std::size_t length = CharLength(form, at);
        const Held held = HeldByShiftJis(std::wstring_view(form).substr(at, length));
        if (held == Held::No || (standardRowsOnly && held == Held::Vendor))
            return {};
        at += length;
    }
    return form;
}

std::wstring MissingCharacterFix(std::wstring_view c)
{
    switch (CodePoint(c)) {
    case 0x301C: return L"\xFF5E";
    case 0x2212: return L"\xFF0D";
    case 0x2016: return L"\x2225";
    case 0x2014: return L"\x2015";
    case 0x00A2: return L"\xFFE0";
    case 0x00A3: return L"\xFFE1";
    case 0x00AC: return L"\xFFE2";
    default: break;
    }
    if (std::wstring circled = CircledNumber(CodePoint(c)); !circled.empty())
        return circled;
    return CompatibilityForm(c, false);
}

std::wstring VendorCharacterFix(std::wstring_view c)
{
    if (std::wstring circled = CircledNumber(CodePoint(c)); !circled.empty())
        return circled;
    return CompatibilityForm(c, true);
}

// Runs one of the two per-character rules of Mac・zip over the name: whether
// a character of the kind was found, and the name with each replaced by its
// fix where there is one.
bool FixCharacters(std::wstring& name, Held kind)
{
    std::string bytes;
    if (EncodeExactly(kShiftJis, name, bytes)) {
        if (kind == Held::No)
            return false;
        bool vendor = false;
        for (std::size_t i = 0; i < bytes.size() && !vendor; ++i) {
            const auto byte = static_cast<unsigned char>(bytes[i]);
            if (IsVendorLeadByte(byte))
                vendor = true;
            else if ((byte >= 0x81 && byte <= 0x9F) || byte >= 0xE0)
                ++i;  // its trail byte
        }
        if (!vendor)
            return false;
    }
    bool found = false;
    std::wstring fixed;
    for (std::size_t at = 0; at < name.size();) {
        const std::size_t length = CharLength(name, at);
        const std::wstring_view c = std::wstring_view(name).substr(at, length);
        std::wstring replacement;
        if (HeldByShiftJis(c) == kind) {
            found = true;
            replacement = kind == Held::No ? MissingCharacterFix(c) : VendorCharacterFix(c);
        }
        fixed += replacement.empty() ? std::wstring(c) : replacement;
        at += length;
    }
    name = std::move(fixed);
    return found;
}

bool IsJapanese(wchar_t c)
{
    return (c >= 0x3041 && c <= 0x3096) || (c >= 0x30A1 && c <= 0x30FA) || (c >= 0x3400 && c <= 0x4DBF)
        || (c >= 0x4E00 && c <= 0x9FFF);
}

bool HoldsJapanese(std::wstring_view text)
{
    for (const wchar_t c : text)
        if (IsJapanese(c))
            return true;
    return false;
}

// What a name garbled through UTF-8 read as Shift_JIS said; empty when it is
// not such a name.
std::wstring ReadAsUtf8(std::wstring_view name)
{
    std::string bytes;
    if (IsAscii(name) || !EncodeExactly(kShiftJis, name, bytes))
        return {};
    std::wstring text;
    if (!DecodeExactly(CP_UTF8, bytes, text) || !HoldsJapanese(text))
        return {};
    return Normalized(NormalizationC, text);
}

bool IsJapaneseOrPunctuation(wchar_t c)
{
    return IsJapanese(c) || (c >= 0xFF61 && c <= 0xFF9F) || c == 0x30FC || (c >= 0x3000 && c <= 0x303F)
        || (c >= 0xFF01 && c <= 0xFF5E);
}

// What a Shift_JIS name read as code page 437 said; empty when it is not
// such a name.
std::wstring ReadAsCp437(std::wstring_view name)
{
    int nonAscii = 0;
    for (const wchar_t c : name)
        nonAscii += c >= 0x80 ? 1 : 0;
    std::string bytes;
    if (nonAscii < 2 || !EncodeExactly(kUsOem, name, bytes))
        return {};
    std::wstring text;
    if (!DecodeExactly(kShiftJis, bytes, text) || !HoldsJapanese(text))
        return {};
    for (const wchar_t c : text)
        if (c >= 0x80 && !IsJapaneseOrPunctuation(c))
            return {};
    return text;
}

bool IsSpace(wchar_t c)
{
    return c == L' ' || c == 0x3000;
}

wchar_t AsciiUpper(wchar_t c)
{
    return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c;
}

bool EqualsIgnoringCase(std::wstring_view a, std::wstring_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (AsciiUpper(a[i]) != AsciiUpper(b[i]))
            return false;
    return true;
}

// The length of the device name the name starts with, up to its first ".";
// 0 when it names no device.
std::size_t DeviceNameLength(std::wstring_view name)
{
    const std::wstring_view base = name.substr(0, name.find(L'.'));
    for (const wchar_t* word : {L"CON", L"PRN", L"AUX", L"NUL"})
        if (EqualsIgnoringCase(base, word))
            return 3;
    if (base.size() == 4 && base[3] >= L'0' && base[3] <= L'9'
        && (EqualsIgnoringCase(base.substr(0, 3), L"COM") || EqualsIgnoringCase(base.substr(0, 3), L"LPT")))
        return 4;
    return 0;
}

std::size_t FindVti(std::wstring_view name, std::size_t from)
{
    for (std::size_t at = from; at + 5 <= name.size(); ++at)
        if (EqualsIgnoringCase(name.substr(at, 5), L"_VTI_"))
            return at;
    return std::wstring_view::npos;
}

// The OneDrive rules about the name itself, applied in order; each fix
// where it has one.
std::uint32_t CloudNameRules(std::wstring& name)
{
    std::uint32_t reasons = 0;
    if (!name.empty() && (IsSpace(name.front()) || IsSpace(name.back()))) {
        reasons |= Bit(ReasonEdgeSpaces);
        std::size_t first = 0;
        while (first < name.size() && IsSpace(name[first]))
            ++first;
        std::size_t last = name.size();
        while (last > first && IsSpace(name[last - 1]))
            --last;
        name = name.substr(first, last - first);
    }
    if (!name.empty() && name.back() == L'.') {
        reasons |= Bit(ReasonTrailingPeriods);
        name.erase(name.find_last_not_of(L'.') + 1);
    }
    if (std::size_t at = FindVti(name, 0); at != std::wstring::npos) {
        reasons |= Bit(ReasonHoldsVti);
        for (; at != std::wstring::npos; at = FindVti(name, at + 5))
            name[at + 4] = L'-';
    }
    if (const std::size_t device = DeviceNameLength(name); device > 0) {
        reasons |= Bit(ReasonReservedName);
        name.insert(device, 1, L'_');
    } else if (EqualsIgnoringCase(name, L".lock") || EqualsIgnoringCase(name, L"desktop.ini")) {
        reasons |= Bit(ReasonReservedName);
    }
    if (name.starts_with(L"~$"))
        reasons |= Bit(ReasonOfficeLockFile);
    return reasons;
}

std::uint32_t MacNameRules(std::wstring& name)
{
    if (IsAscii(name))
        return 0;
    std::uint32_t reasons = 0;
    if (std::wstring composed = ComposedKeepingIdeographs(name); composed != name) {
        reasons |= Bit(ReasonDecomposed);
        name = std::move(composed);
    }
    if (FixCharacters(name, Held::Vendor))
        reasons |= Bit(ReasonVendorCharacter);
    if (FixCharacters(name, Held::No))
        reasons |= Bit(ReasonNotInShiftJis);
    return reasons;
}

std::uint32_t GarbledNameRules(std::wstring& name)
{
    if (IsAscii(name))
        return 0;
    if (std::wstring text = ReadAsUtf8(name); !text.empty()) {
        name = std::move(text);
        return Bit(ReasonGarbledUtf8);
    }
    if (std::wstring text = ReadAsCp437(name); !text.empty()) {
        name = std::move(text);
        return Bit(ReasonGarbledCp437);
    }
    return 0;
}

// The rules of the target about the name itself, fixing name as they go.
std::uint32_t NameRules(CheckTarget target, std::wstring& name)
{
    switch (target) {
    case CheckTarget::OneDrive: return CloudNameRules(name);
    case CheckTarget::MacZip: return MacNameRules(name);
    case CheckTarget::Garbled: return GarbledNameRules(name);
    default: return 0;
    }
}

// A name Windows would refuse or change: empty, a character it does not allow
// in names, or a trailing space or period.
bool IsUnusableName(std::wstring_view name)
{
    if (name.empty() || name.back() == L' ' || name.back() == L'.')
        return true;
    for (const wchar_t c : name)
        if (c < 0x20 || std::wstring_view(L"\\/:*?\"<>|").find(c) != std::wstring_view::npos)
            return true;
    return false;
}

bool StillBreaksNameRule(CheckTarget target, std::wstring_view name)
{
    std::wstring again(name);
    return NameRules(target, again) != 0;
}

// Whether a UTC write time is before 1980/01/01 00:00:00 local time.
bool WrittenBefore1980(const FILETIME& written)
{
    // 1980/01/02 00:00 UTC, past the new year in every time zone.
    constexpr std::uint64_t kSafelyAfter = 119600928000000000;
    const std::uint64_t ticks = (std::uint64_t{written.dwHighDateTime} << 32) | written.dwLowDateTime;
    if (ticks >= kSafelyAfter)
        return false;
    FILETIME local{};
    SYSTEMTIME time{};
    if (!FileTimeToLocalFileTime(&written, &local) || !FileTimeToSystemTime(&local, &time))
        return false;
    return time.wYear < 1980;
}

// A quick look that passes most names by without copying them.
bool MayBreakRule(CheckTarget target, const TargetFacts& facts)
{
    const std::wstring_view name = facts.Name;
    if (target != CheckTarget::OneDrive)
        return !IsAscii(name);
    if (facts.PathLength > kCloudLongestPath || (!facts.IsFolder && facts.Size > kCloudLargestFile))
        return true;
    return name.empty() || IsSpace(name.front()) || IsSpace(name.back()) || name.back() == L'.'
        || FindVti(name, 0) != std::wstring_view::npos || DeviceNameLength(name) > 0 || name.starts_with(L"~$")
        || EqualsIgnoringCase(name, L".lock") || EqualsIgnoringCase(name, L"desktop.ini");
}

}  // namespace

std::string ReasonsText(std::uint32_t reasons)
{
    std::string text;
    for (std::uint32_t reason = 0; reason < TargetReasonCount; ++reason) {
        if ((reasons & (std::uint32_t{1} << reason)) == 0)
            continue;
        if (!text.empty())
            text += "、";
        text += kReasonTexts[reason];
    }
    return text;
}

TargetVerdict CheckTargetEntry(CheckTarget target, const TargetFacts& facts)
{
    TargetVerdict verdict;
    if (target == CheckTarget::UsbFat32) {
        if (facts.IsFolder)
            return verdict;
        if (facts.Size > kFatLargestFile)
            verdict.Reasons |= Bit(ReasonFileTooBigForFat);
        if (facts.PathLength > kFatLongestPath)
            verdict.Reasons |= Bit(ReasonFatPathTooLong);
        if (WrittenBefore1980(facts.WriteTime))
            verdict.Reasons |= Bit(ReasonBefore1980);
        return verdict;
    }
    if (!MayBreakRule(target, facts))
        return verdict;
    std::wstring name(facts.Name);
    verdict.Reasons = NameRules(target, name);
    if (target == CheckTarget::OneDrive) {
        if (facts.PathLength > kCloudLongestPath)
            verdict.Reasons |= Bit(ReasonCloudPathTooLong);
        if (!facts.IsFolder && facts.Size > kCloudLargestFile)
            verdict.Reasons |= Bit(ReasonFileTooBigForCloud);
    }
    if (verdict.Reasons != 0 && name != facts.Name && !IsUnusableName(name) && !StillBreaksNameRule(target, name))
        verdict.Proposal = std::move(name);
    return verdict;
}

bool BreaksTargetNameRule(CheckTarget target, std::wstring_view name)
{
    if (name.empty() || target == CheckTarget::Joliet)
        return false;
    return IsUnusableName(name) || StillBreaksNameRule(target, name);
}

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "rename/target_rules.h"

// Faults caught:
// | fault                                                   | case                                   |
// |---------------------------------------------------------|----------------------------------------|
// | a limit off by one (4 GB, 256/400 units, 250 GB, 1980)  | each limit and the unit past it         |
// | rules tested on the original name, not on the fixed one | "end. "                                |
// | a device name matched inside a longer word              | "CONSOLE.txt" against "con", "com0.x"  |
// | a fix that leaves a name the choice still refuses        | "..." , "髙", "café" decomposed        |
// | _vti_ fixed with overlap or losing the letters' case    | "a_VTI_b_vti_c", "_vti_vti_"           |
// | a compatibility ideograph taken as decomposed           | U+F900                                 |
// | a lossy garbled name proposed, a true name listed        | "・" in place of lost bytes, "日本語"   |
// | a European name listed although it cannot read as Japanese | "Müller.txt"                        |

namespace {

FILETIME LocalTime(WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second)
{
    SYSTEMTIME time{year, month, 0, day, hour, minute, second, 0};
    FILETIME local{};
    FILETIME utc{};
    SystemTimeToFileTime(&time, &local);
    LocalFileTimeToFileTime(&local, &utc);
    return utc;
}

// What code page 932 makes of the UTF-8 bytes of text: a Mac's zip
// unpacked on Windows.
std::wstring ReadAsShiftJis(const std::wstring& text, UINT from)
{
    std::string bytes(text.size() * 4, '\0');
    bytes.resize(static_cast<std::size_t>(WideCharToMultiByte(from, 0, text.data(), static_cast<int>(text.size()),
                                                              bytes.data(), static_cast<int>(bytes.size()),
                                                              nullptr, nullptr)));
    const UINT to = from == CP_UTF8 ? 932 : 437;
    std::wstring result(bytes.size(), L'\0');
    result.resize(static_cast<std::size_t>(MultiByteToWideChar(to, 0, bytes.data(), static_cast<int>(bytes.size()),
                                                               result.data(), static_cast<int>(result.size()))));
    return result;
}

struct Case {
    CheckTarget target;
    std::wstring name;
    std::string reasons;
    std::wstring proposal;
    bool folder = false;
    std::int64_t size = 0;
    std::int32_t pathLength = 10;
    FILETIME written = LocalTime(2020, 1, 1, 0, 0, 0);
};

void Check(const Case& c)
{
    TargetFacts facts;
    facts.Name = c.name;
    facts.IsFolder = c.folder;
    facts.Size = c.size;
    facts.PathLength = c.pathLength;
    facts.WriteTime = c.written;
    const TargetVerdict verdict = CheckTargetEntry(c.target, facts);
    EXPECT_EQ(ReasonsText(verdict.Reasons), c.reasons) << testing::PrintToString(c.name);
    EXPECT_EQ(verdict.Proposal, c.proposal) << testing::PrintToString(c.name);
}

constexpr CheckTarget Usb = CheckTarget::UsbFat32;
constexpr CheckTarget Cloud = CheckTarget::OneDrive;
constexpr CheckTarget Mac = CheckTarget::MacZip;
constexpr CheckTarget Garbled = CheckTarget::Garbled;

TEST(TargetRules, UsbStickLimits)
{
    const Case cases[] = {
        {Usb, L"a.bin", "", L"", false, 4294967295},
        {Usb, L"a.bin", "4GB以上", L"", false, 4294967296},
        {Usb, L"a.bin", "", L"", false, 0, 256},
        {Usb, L"a.bin", "パスが長い", L"", false, 0, 257},
        {Usb, L"a.bin", "1980年より前", L"", false, 0, 10, LocalTime(1979, 12, 31, 23, 59, 59)},
        {Usb, L"a.bin", "", L"", false, 0, 10, LocalTime(1980, 1, 1, 0, 0, 0)},
        {Usb, L"big", "", L"", true, 5000000000, 300, LocalTime(1970, 1, 2, 0, 0, 0)},
        {Usb, L"CON.txt", "4GB以上、パスが長い", L"", false, 4294967296, 257},
    };
    for (const Case& c : cases)
        Check(c);
}

TEST(TargetRules, OneDriveNamesPathsAndSizes)
{
    const Case cases[] = {
        {Cloud, L"end. ", "前後の空白、末尾のピリオド", L"end"},
        {Cloud, L"\x3000 a b\x3000", "前後の空白", L"a b"},
        {Cloud, L"...", "末尾のピリオド", L""},
        {Cloud, L"a. .", "末尾のピリオド", L""},
        {Cloud, L"a_VTI_b_vti_c", "_vti_を含む", L"a_VTI-b_vti-c"},
        {Cloud, L"_vti_vti_", "_vti_を含む", L"_vti-vti_"},
        {Cloud, L"CON.txt", "使えない名前", L"CON_.txt"},
        {Cloud, L"con", "使えない名前", L"con_", true},
        {Cloud, L"CONSOLE.txt", "", L""},
        {Cloud, L"com0.log", "使えない名前", L"com0_.log"},
        {Cloud, L"Lpt9", "使えない名前", L"Lpt9_"},
        {Cloud, L"COM10", "", L""},
        {Cloud, L" aux.txt", "前後の空白、使えない名前", L"aux_.txt"},
        {Cloud, L"DeskTop.INI", "使えない名前", L""},
        {Cloud, L".lock", "使えない名前", L""},
        {Cloud, L"x.lock", "", L""},
        {Cloud, L"~$report.docx", "~$で始まる", L""},
        {Cloud, L" ~$a", "前後の空白、~$で始まる", L""},
        {Cloud, L"a", "", L"", false, 0, 400},
        {Cloud, L"a", "パスが長い", L"", true, 0, 401},
        {Cloud, L"a ", "前後の空白、パスが長い", L"a", false, 0, 401},
        {Cloud, L"a", "", L"", false, 268435456000},
        {Cloud, L"a", "250GB超", L"", false, 268435456001},
    };
    for (const Case& c : cases)
        Check(c);
}

TEST(TargetRules, MacAndZipCharacters)
{
    const Case cases[] = {
        {Mac, L"plain name.txt", "", L""},
        {Mac, L"日本語.txt", "", L""},
        {Mac, L"\x304B\x3099.txt", "濁点が分離", L"\x304C.txt"},
        {Mac, L"\x30CF\x309A\x30FC\x30C8", "濁点が分離", L"\x30D1\x30FC\x30C8"},
        // Form C would replace it, but nothing in it is decomposed.
        {Mac, L"\xF900", "Shift_JISにない文字", L"\x8C48"},
        {Mac, L"\x2460\x2473.txt", "機種依存文字", L"(1)(20).txt"},
        {Mac, L"\x3231\x793E", "機種依存文字", L"(株)社"},
        {Mac, L"\x2161", "機種依存文字", L"II"},
        {Mac, L"\x337B", "機種依存文字", L"平成"},
        {Mac, L"\x339D", "機種依存文字", L"cm"},
        {Mac, L"\x9AD9\x6A4B", "機種依存文字", L""},
        {Mac, L"\x301C\x2212\x2016\x2014\x00A2\x00A3\x00AC", "Shift_JISにない文字",
         L"\xFF5E\xFF0D\x2225\x2015\xFFE0\xFFE1\xFFE2"},
        {Mac, L"\x3251\x32BF", "Shift_JISにない文字", L"(21)(50)"},
        {Mac, L"caf\x00E9", "Shift_JISにない文字", L""},
        {Mac, L"cafe\x0301", "濁点が分離、Shift_JISにない文字", L""},
        {Mac, L"\xD83D\xDE00.png", "Shift_JISにない文字", L""},
        {Mac, L"\x2460\x304B\x3099\x301C", "濁点が分離、機種依存文字、Shift_JISにない文字", L"(1)\x304C\xFF5E"},
    };
    for (const Case& c : cases)
        Check(c);
}

TEST(TargetRules, GarbledNames)
{
    const std::wstring fromMac = ReadAsShiftJis(L"写真.jpg", CP_UTF8);
    EXPECT_EQ(fromMac, L"蜀咏悄.jpg");
    std::wstring lossy = fromMac;
    lossy[2] = L'・';
    const std::wstring fromEnglish = ReadAsShiftJis(L"テスト.txt", 932);
    EXPECT_EQ(fromEnglish, L"\x00E2" L"e\x00E2X\x00E2g.txt");
    // Decomposed on the Mac: the repair composes it.
    const std::wstring decomposed = ReadAsShiftJis(L"\x304B\x3099.txt", CP_UTF8);
    const Case cases[] = {
        {Garbled, fromMac, "文字化け (UTF-8)", L"写真.jpg"},
        {Garbled, decomposed, "文字化け (UTF-8)", L"\x304C.txt"},
        {Garbled, lossy, "", L""},
        {Garbled, fromEnglish, "文字化け (CP437)", L"テスト.txt"},
        {Garbled, L"日本語.txt", "", L""},
        {Garbled, L"M\x00FCller.txt", "", L""},
        {Garbled, L"na\x00EFve caf\x00E9", "", L""},
        {Garbled, L"plain", "", L""},
    };
    for (const Case& c : cases)
        Check(c);
}

TEST(TargetRules, TypedNamesAgainstTheChoice)
{
    EXPECT_FALSE(BreaksTargetNameRule(Cloud, L""));
    EXPECT_TRUE(BreaksTargetNameRule(Cloud, L"nul.txt"));
    EXPECT_FALSE(BreaksTargetNameRule(Cloud, L"null.txt"));
    EXPECT_TRUE(BreaksTargetNameRule(Usb, L"a:b"));
    EXPECT_FALSE(BreaksTargetNameRule(Usb, L"CON.txt"));
    EXPECT_TRUE(BreaksTargetNameRule(Mac, L"\x2460"));
    EXPECT_FALSE(BreaksTargetNameRule(Mac, L"(1)"));
    EXPECT_TRUE(BreaksTargetNameRule(Garbled, L"蜀咏悄.jpg"));
    EXPECT_FALSE(BreaksTargetNameRule(CheckTarget::Joliet, L"a;b"));
}

}  // namespace

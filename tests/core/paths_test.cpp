#include <gtest/gtest.h>
#include <string>
#include <string_view>
#include <vector>
#include "core/paths.h"

// "表" is 0x95 0x5C, "ソ" 0x83 0x5C, "十" 0x8F 0x5C: their second byte is the
// byte of "\" and must never be taken for a separator.

TEST(ParentPath, DropsTheLastComponent)
{
    EXPECT_EQ(ParentPath("C:\\dir\\file"), "C:\\dir");
    EXPECT_EQ(ParentPath("C:\\dir"), "C:");
    EXPECT_EQ(ParentPath("\\\\server"), "\\");
    EXPECT_EQ(ParentPath("C:\\"), "");
    EXPECT_EQ(ParentPath("C:\\dir\\"), "C:");
    EXPECT_EQ(ParentPath("\\\\server\\share\\dir"), "\\\\server\\share");
    EXPECT_EQ(ParentPath("file"), "");
    EXPECT_EQ(ParentPath(""), "");
    EXPECT_EQ(ParentPath("\\"), "");
}

TEST(ParentPath, SecondBytesOfDoubleByteCharactersAreNoSeparators)
{
    EXPECT_EQ(ParentPath("C:\\表"), "C:");
    EXPECT_EQ(ParentPath("C:\\表a"), "C:");
    EXPECT_EQ(ParentPath("C:\\表\\ソ十"), "C:\\表");
    EXPECT_EQ(ParentPath("C:\\dir\\表\\"), "C:\\dir");
    EXPECT_EQ(ParentPath("C:\\ソ\\十\\file"), "C:\\ソ\\十");
    // 0x80, 0xA0 and 0xFD to 0xFF are single bytes, so a following "\" separates.
    EXPECT_EQ(ParentPath("C:\\\x80\\x"), "C:\\\x80");
    EXPECT_EQ(ParentPath("C:\\\xA0\\x"), "C:\\\xA0");
    EXPECT_EQ(ParentPath("C:\\\xFD\\\xFE\\\xFF"), "C:\\\xFD\\\xFE");
    // A lead byte in the last position.
    EXPECT_EQ(ParentPath("C:\\a\\\x81"), "C:\\a");
}

TEST(FolderOfPath, CutsTheLastComponent)
{
    EXPECT_EQ(FolderOfPath("C:\\name"), "C:\\");
    EXPECT_EQ(FolderOfPath("C:\\a\\b"), "C:\\a");
    EXPECT_EQ(FolderOfPath("\\\\server\\share\\x"), "\\\\server\\share");
    EXPECT_EQ(FolderOfPath("C:name"), "C:");
    EXPECT_EQ(FolderOfPath("name"), "");
    EXPECT_EQ(FolderOfPath(""), "");
    EXPECT_EQ(FolderOfPath("C:\\"), "C:\\");
    EXPECT_EQ(FolderOfPath("C:\\a\\"), "C:\\a");
    EXPECT_EQ(FolderOfPath("\\name"), "\\");
}

TEST(FolderOfPath, SecondBytesOfDoubleByteCharactersAreNoSeparators)
{
    EXPECT_EQ(FolderOfPath("C:\\表"), "C:\\");
    EXPECT_EQ(FolderOfPath("C:\\表\\b"), "C:\\表");
    EXPECT_EQ(FolderOfPath("C:\\a\\表ソ十"), "C:\\a");
    EXPECT_EQ(FolderOfPath("\\\\表\\ソ\\十"), "\\\\表\\ソ");
    EXPECT_EQ(FolderOfPath("表"), "");
    EXPECT_EQ(FolderOfPath("\x81"), "");
    EXPECT_EQ(FolderOfPath("C:\\a\\\x81"), "C:\\a");
    EXPECT_EQ(FolderOfPath("C:\\\x80\\x"), "C:\\\x80");
    EXPECT_EQ(FolderOfPath("C:\\\xFF\\x"), "C:\\\xFF");
}

TEST(WithTrailingBackslash, AppendsOneWhenTheLastCharacterIsNone)
{
    EXPECT_EQ(WithTrailingBackslash(""), "");
    EXPECT_EQ(WithTrailingBackslash("C:"), "C:\\");
    EXPECT_EQ(WithTrailingBackslash("C:\\"), "C:\\");
    EXPECT_EQ(WithTrailingBackslash("C:\\dir"), "C:\\dir\\");
    EXPECT_EQ(WithTrailingBackslash("C:\\dir\\"), "C:\\dir\\");
    EXPECT_EQ(WithTrailingBackslash("\\\\server\\share"), "\\\\server\\share\\");
    EXPECT_EQ(WithTrailingBackslash("C:\\表"), "C:\\表\\");
    EXPECT_EQ(WithTrailingBackslash("C:\\表\\"), "C:\\表\\");
    EXPECT_EQ(WithTrailingBackslash("ソ"), "ソ\\");
    EXPECT_EQ(WithTrailingBackslash("C:\\十"), "C:\\十\\");
    EXPECT_EQ(WithTrailingBackslash("\x81"), "\x81\\");
    EXPECT_EQ(WithTrailingBackslash("C:\\\x80\\"), "C:\\\x80\\");
    EXPECT_EQ(WithTrailingBackslash("C:\\\xFD"), "C:\\\xFD\\");
}

TEST(PathRoot, DriveOrServerAndShare)
{
    EXPECT_EQ(PathRoot("C:\\dir"), "C:");
    EXPECT_EQ(PathRoot("C:\\"), "C:");
    EXPECT_EQ(PathRoot("C:"), "");
    EXPECT_EQ(PathRoot("C:dir\\x"), "");
    EXPECT_EQ(PathRoot("dir"), "");
    EXPECT_EQ(PathRoot(""), "");
    EXPECT_EQ(PathRoot("\\\\server\\share\\dir\\f"), "\\\\server\\share");
    EXPECT_EQ(PathRoot("\\\\server\\share"), "\\\\server\\share");
    EXPECT_EQ(PathRoot("\\\\server"), "");
    EXPECT_EQ(PathRoot("\\\\"), "");
}

TEST(PathRoot, SecondBytesOfDoubleByteCharactersAreNoSeparators)
{
    EXPECT_EQ(PathRoot("\\\\表\\share\\x"), "\\\\表\\share");
    EXPECT_EQ(PathRoot("\\\\server\\ソ十\\x"), "\\\\server\\ソ十");
    EXPECT_EQ(PathRoot("\\\\server\\表"), "\\\\server\\表");
    EXPECT_EQ(PathRoot("\\\\表"), "");
    EXPECT_EQ(PathRoot("\\\\\x81"), "");
    EXPECT_EQ(PathRoot("\\\\s\\\x81"), "\\\\s\\\x81");
    EXPECT_EQ(PathRoot("\\\\\xFD\\\xFE\\x"), "\\\\\xFD\\\xFE");
}

TEST(Paths, LongPaths)
{
    const std::string name(296, 'a');
    const std::string path = "C:\\dir\\" + name;
    ASSERT_GT(path.size(), 300u);
    EXPECT_EQ(ParentPath(path), "C:\\dir");
    EXPECT_EQ(FolderOfPath(path), "C:\\dir");
    EXPECT_EQ(WithTrailingBackslash(path), path + "\\");
    EXPECT_EQ(PathRoot(path), "C:");
    EXPECT_EQ(PathRoot("\\\\" + name + "\\" + name + "\\x"), "\\\\" + name + "\\" + name);

    std::string japanese = "C:";
    for (int i = 0; i < 100; ++i)
        japanese += "\\表ソ十";
    EXPECT_EQ(ParentPath(japanese), japanese.substr(0, japanese.size() - 7));
    EXPECT_EQ(FolderOfPath(japanese), japanese.substr(0, japanese.size() - 7));
    EXPECT_EQ(WithTrailingBackslash(japanese), japanese + "\\");
}

// Every path of up to five bytes over an alphabet of separators, lead and
// trail bytes and odd bytes. Each path lives in a buffer of exactly its own
// size, so that the sanitizer sees any read past its end.
TEST(Paths, NoReadPastTheEndAndResultsArePrefixes)
{
    const unsigned char alphabet[] = {'\\', ':', 'a', 0x81, 0x95, 0x5C, 0xFC, 0x80, 0xA0, 0xFD, 0xFF};
    const std::size_t letters = std::size(alphabet);
    for (std::size_t length = 0; length <= 5; ++length) {
        std::size_t count = 1;
        for (std::size_t i = 0; i < length; ++i)
            count *= letters;
        for (std::size_t n = 0; n < count; ++n) {
            std::string text;
            std::size_t rest = n;
            for (std::size_t i = 0; i < length; ++i, rest /= letters)
                text += static_cast<char>(alphabet[rest % letters]);
            const std::vector<char> buffer(text.begin(), text.end());
            const std::string_view path(buffer.data(), buffer.size());
            EXPECT_TRUE(path.starts_with(ParentPath(path)));
            EXPECT_TRUE(path.starts_with(FolderOfPath(path)));
            EXPECT_TRUE(path.starts_with(PathRoot(path)));
            const std::string slashed = WithTrailingBackslash(path);
            EXPECT_TRUE(slashed.starts_with(path));
            EXPECT_LE(slashed.size(), path.size() + 1);
        }
    }
}

TEST(LongForm, PrefixesOnlyAbsolutePathsTooLongForTheirPlainForm)
{
    const std::wstring name(250, L'n');
    const struct {
        std::wstring given, expected;
    } cases[] = {
        {L"C:\\short", L"C:\\short"},
        {L"C:\\" + name, L"\\\\?\\C:\\" + name},
        {L"\\\\server\\share\\" + name, L"\\\\?\\UNC\\server\\share\\" + name},
        {L"\\\\?\\C:\\" + name, L"\\\\?\\C:\\" + name},
        {L"relative\\" + name, L"relative\\" + name},
        {L"\\\\.\\pipe\\" + name, L"\\\\.\\pipe\\" + name},
        {L"", L""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(LongForm(c.given), c.expected) << ShownText(c.given).substr(0, 20);
}

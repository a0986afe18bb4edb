#include "rename/name_conversions.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <random>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using Conversion = std::function<std::string(std::string_view)>;

struct Named {
    const char* name;
    Conversion convert;
};

const std::vector<Named> kConversions = {
    {"to-lower", [](std::string_view s) { return ConvertName(s, ConvertMode::ToLower); }},
    {"to-upper", [](std::string_view s) { return ConvertName(s, ConvertMode::ToUpper); }},
    {"underscore-to-space", [](std::string_view s) { return ConvertName(s, ConvertMode::UnderscoreToSpace); }},
    {"space-to-underscore", [](std::string_view s) { return ConvertName(s, ConvertMode::SpaceToUnderscore); }},
    {"wide-to-single", WideToSingle},
    {"symbols", SymbolsToAscii},
    {"half-kana", HalfKanaToFull},
    {"lower-extension", LowerExtension},
};

const Conversion& Find(std::string_view name)
{
    for (const Named& c : kConversions)
        if (name == c.name) return c.convert;
    throw std::invalid_argument(std::string(name));
}

// "8142 8175 41" -> the bytes 81 42 81 75 41.
std::string Hex(std::string_view text)
{
    std::istringstream in{std::string(text)};
    std::string out, word;
    while (in >> word)
        for (size_t i = 0; i < word.size(); i += 2) out += static_cast<char>(std::stoi(word.substr(i, 2), nullptr, 16));
    return out;
}

std::string Bytes(std::uint16_t pair)
{
    return {static_cast<char>(pair >> 8), static_cast<char>(pair & 0xFF)};
}

// Full-width characters of 0xA1..0xDF in order, then the voiced forms of
// 0xB6..0xC4 and 0xCA..0xCE, then the semi-voiced forms of 0xCA..0xCE.
constexpr std::string_view kKanaPlain =
    "8142 8175 8176 8141 8145 8392 8340 8342 8344 8346 8348 8383 8385 8387 8362 815B "
    "8341 8343 8345 8347 8349 834A 834C 834E 8350 8352 8354 8356 8358 835A 835C 835E "
    "8360 8363 8365 8367 8369 836A 836B 836C 836D 836E 8371 8374 8377 837A 837D 837E "
    "8380 8381 8382 8384 8386 8388 8389 838A 838B 838C 838D 838F 8393 814A 814B";
constexpr std::string_view kKanaVoiced =
    "834B 834D 834F 8351 8353 8355 8357 8359 835B 835D 835F 8361 8364 8366 8368 "
    "836F 8372 8375 8378 837B";
constexpr std::string_view kKanaSemiVoiced = "8370 8373 8376 8379 837C";

// Each symbol's two bytes followed by its ASCII byte.
constexpr std::string_view kSymbols =
    "814020 81412C 81422E 81432C 81442E 81463A 81473B 81483F 814921 814F5E 81515F "
    "81607E 81627C 816560 816627 816822 816928 816A29 816D5B 816E5D 816F7B 81707D "
    "81795B 817A5D 817B2B 817C2D 81813D 819024 819325 819423 819526 81962A 819740";

class NameConversions : public ::testing::Test {};

TEST_F(NameConversions, HalfKanaTableRowsGiveTheirFullWidthCharacters)
{
    const std::string plain = Hex(kKanaPlain);
    const std::string voiced = Hex(kKanaVoiced);
    const std::string semi = Hex(kKanaSemiVoiced);
    ASSERT_EQ(plain.size(), 2 * HalfKanaTable.size());
    size_t v = 0, p = 0;
    for (size_t i = 0; i < HalfKanaTable.size(); ++i) {
        const unsigned char half = HalfKanaTable[i].Half;
        ASSERT_EQ(half, 0xA1 + i);
        const std::string alone(1, static_cast<char>(half));
        EXPECT_EQ(Bytes(HalfKanaTable[i].Full), plain.substr(2 * i, 2)) << std::hex << +half;
        EXPECT_EQ(HalfKanaToFull(alone), plain.substr(2 * i, 2)) << std::hex << +half;
        const bool voices = (half >= 0xB6 && half <= 0xC4) || (half >= 0xCA && half <= 0xCE);
        const std::string withMark = HalfKanaToFull(alone + "\xDE");
        if (voices) EXPECT_EQ(withMark, voiced.substr(2 * v++, 2)) << std::hex << +half;
        else EXPECT_EQ(withMark, plain.substr(2 * i, 2) + Hex("814A")) << std::hex << +half;
        const std::string withSemi = HalfKanaToFull(alone + "\xDF");
        if (half >= 0xCA && half <= 0xCE) EXPECT_EQ(withSemi, semi.substr(2 * p++, 2)) << std::hex << +half;
        else EXPECT_EQ(withSemi, plain.substr(2 * i, 2) + Hex("814B")) << std::hex << +half;
    }
    EXPECT_EQ(2 * v, voiced.size());
    EXPECT_EQ(2 * p, semi.size());
}

TEST_F(NameConversions, SymbolTableRowsAndNoOtherSymbolBecomeAscii)
{
    const std::string expected = Hex(kSymbols);
    ASSERT_EQ(expected.size(), 3 * SymbolTable.size());
    for (size_t i = 0; i < SymbolTable.size(); ++i) {
        const std::string row = expected.substr(3 * i, 3);
        EXPECT_EQ(Bytes(SymbolTable[i].Full), row.substr(0, 2)) << i;
        EXPECT_EQ(SymbolsToAscii(row.substr(0, 2)), row.substr(2)) << i;
    }
    int converted = 0;
    for (int trail = 0x40; trail <= 0xFC; ++trail) {
        const std::string pair = Bytes(static_cast<std::uint16_t>(0x8100 + trail));
        if (SymbolsToAscii(pair) != pair) ++converted;
    }
    EXPECT_EQ(converted, 33);
    EXPECT_EQ(SymbolsToAscii(Hex("8167")), Hex("8167"));
}

TEST_F(NameConversions, FullWidthDigitsAndLettersAndNothingElseOfLead82)
{
    const std::string ascii = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    std::string converted;
    for (int trail = 0x40; trail <= 0xFC; ++trail) {
        const std::string pair = Bytes(static_cast<std::uint16_t>(0x8200 + trail));
        const std::string out = WideToSingle(pair);
        if (out != pair) converted += out;
    }
    EXPECT_EQ(converted, ascii);
}

struct Case {
    const char* conversion;
    std::string in;
    std::string out;
};

TEST_F(NameConversions, EdgeCases)
{
    const Case cases[] = {
        {"half-kana", "ｶﾞ", "ガ"},
        {"half-kana", "ﾊﾟ", "パ"},
        {"half-kana", "ｶﾟ", "カ゜"},
        {"half-kana", "ｳﾞ", "ウ゛"},
        {"half-kana", "ﾞ", "゛"},
        {"half-kana", "ﾃﾞｰﾀﾍﾞｰｽ.txt", "データベース.txt"},
        {"to-lower", "アA", "アa"},
        {"to-upper", "ネl", "ネL"},
        {"to-upper", "ｱｲｳ.txt", "ｱｲｳ.TXT"},
        {"to-lower", "ｱｲｳ.TXT", "ｱｲｳ.txt"},
        {"wide-to-single", "Ｆｉｌｅ０１", "File01"},
        {"wide-to-single", "ファイル", "ファイル"},
        {"symbols", "a　b", "a b"},
        {"space-to-underscore", "a　b c", "a　b_c"},
        {"underscore-to-space", "a_b＿c", "a b＿c"},
        {"symbols", "“a”；", "“a\";"},
        {"lower-extension", "READ.ME.TXT", "READ.ME.txt"},
        {"lower-extension", "README", "README"},
        {"lower-extension", ".CVSIGNORE", ".cvsignore"},
        {"lower-extension", "Data.OLD", "Data.old"},
        {"lower-extension", "A.ＴＸＴ", "A.ＴＸＴ"},
        {"lower-extension", "A." + std::string(300, 'X'), "A." + std::string(300, 'x')},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Find(c.conversion)(c.in), c.out) << c.conversion << " " << c.in;
    for (const Named& c : kConversions)
        EXPECT_EQ(c.convert(""), "") << c.name;
}

// Trail bytes that look like ASCII, a lead byte last, and bytes that are no
// lead bytes at all.
TEST_F(NameConversions, ByteSafety)
{
    const Case cases[] = {
        {"to-lower", Hex("41 81"), Hex("61 81")},
        {"to-upper", Hex("61 E0"), Hex("41 E0")},
        {"half-kana", Hex("B6 82"), Hex("834A 82")},
        {"wide-to-single", Hex("8260 82"), Hex("41 82")},
        {"symbols", Hex("8140 81"), Hex("20 81")},
        {"to-lower", Hex("8341 8D5A"), Hex("8341 8D5A")},
        {"underscore-to-space", Hex("835F 5F"), Hex("835F 20")},
        {"space-to-underscore", Hex("8120 20"), Hex("8120 5F")},
        {"lower-extension", Hex("41 2E 835C 54 58 54"), Hex("41 2E 835C 74 78 74")},
        {"lower-extension", Hex("81 2E 54 58 54"), Hex("81 2E 54 58 54")},
        {"to-lower", Hex("80 41 A0 42 FD 43 FE 44 FF 45"), Hex("80 61 A0 62 FD 63 FE 64 FF 65")},
        {"half-kana", Hex("A0 A1 FD DE"), Hex("A0 8142 FD 814A")},
        {"half-kana", Hex("8140 B6 DE"), Hex("8140 834B")},
        {"half-kana", Hex("81 B6 DE"), Hex("81B6 814A")},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Find(c.conversion)(c.in), c.out) << c.conversion;
}

// Names held in buffers of exactly their size, so a read one byte past the
// end stops the sanitizer build.
TEST_F(NameConversions, RandomNamesStayInBoundsAndConvertOnce)
{
    const unsigned char alphabet[] = {0x20, 0x2E, 0x3A, 0x41, 0x5A, 0x5C, 0x5F, 0x61, 0x7A, 0x80, 0x81,
                                      0x82, 0x83, 0x40, 0x4F, 0x60, 0x9A, 0xA0, 0xA1, 0xB3, 0xB6, 0xCA,
                                      0xDE, 0xDF, 0xE0, 0xFC, 0xFD, 0xFF};
    std::mt19937 random(12);
    for (int round = 0; round < 20000; ++round) {
        const size_t size = random() % 10;
        auto buffer = std::make_unique<char[]>(size);
        for (size_t i = 0; i < size; ++i)
            buffer[i] = static_cast<char>(round % 2 ? alphabet[random() % sizeof alphabet] : random() % 256);
        const std::string_view name(buffer.get(), size);
        for (const Named& c : kConversions) {
            const std::string once = c.convert(name);
            ASSERT_EQ(c.convert(once), once) << c.name << " " << ::testing::PrintToString(std::string(name));
        }
    }
}

}  // namespace

#include "rename/name_replace.h"

#include <gtest/gtest.h>

#include <boost/regex.hpp>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

namespace {

constexpr const char* kStamp = "2026/08/14 09:05:07";
constexpr const char* kBlank = "                    ";

struct Row {
    const char* name;
    bool folder = false;
    const char* stamp = kStamp;
};

struct ReplaceCase {
    const char* what;
    ReplaceSettings settings;
    std::vector<Row> rows;
    std::vector<std::string> after;  // the rows' names, in the same order
};

ReplaceSettings Literal(const wchar_t* search, const wchar_t* replacement)
{
    return {search, replacement, false, false, false, L"1"};
}
ReplaceSettings Expression(const wchar_t* search, const wchar_t* replacement)
{
    return {search, replacement, true, false, false, L"1"};
}
template <class Change>
ReplaceSettings With(ReplaceSettings settings, Change change)
{
    change(settings);
    return settings;
}

TEST(NameReplaceTest, ReplacesEveryMatchOfEachRow)
{
    const ReplaceCase cases[] = {
        {"literal, every match", Literal(L"IMG_", L"旅行_"), {{"IMG_1.JPG"}, {"IMG_IMG_.JPG"}, {"a.txt"}},
         {"旅行_1.JPG", "旅行_旅行_.JPG", "a.txt"}},
        {"literal text is no expression", Literal(L"a.b", L"X"), {{"axb"}, {"a.b.c"}}, {"axb", "X.c"}},
        {"letters in either case", Literal(L"img", L"p"), {{"IMG.jpg"}, {"Img.jpg"}}, {"p.jpg", "p.jpg"}},
        {"full-width letters in either case", Literal(L"ａｂ", L"x"), {{"ＡＢ"}, {"Ａｂ"}}, {"x", "x"}},
        {"other scripts as they are", Literal(L"ω", L"x"), {{"Ω"}, {"ω"}}, {"Ω", "x"}},
        {"case kept when asked", With(Literal(L"img", L"p"), [](auto& s) { s.MatchCase = true; }),
         {{"IMG"}, {"img"}}, {"IMG", "p"}},
        {"extension kept", Literal(L"jpg", L"png"), {{"jpg.jpg"}, {".jpg"}}, {"png.jpg", ".jpg"}},
        {"extension searched when asked", With(Literal(L"jpg", L"png"), [](auto& s) { s.WithExtension = true; }),
         {{"jpg.jpg"}}, {"png.png"}},
        {"a folder's name whole", Literal(L".old", L""), {{"data.old", true}, {"data.old"}}, {"data", "data.old"}},
        {"a dot takes a double-byte character whole", Expression(L"^.", L"[$&]"), {{"表.txt"}, {"ｱ"}},
         {"[表].txt", "[ｱ]"}},
        {"a second byte 0x5C is no backslash", Literal(L"\\", L"/"), {{"表\\x"}, {"ソ"}}, {"表/x", "ソ"}},
        {"groups, a missing one empty, one digit", Expression(L"(\\w+)-(\\d+)(z)?", L"$2_$1$3$10"),
         {{"ab-12.txt"}}, {"12_abab0.txt"}},
        {"$1 is text without an expression", Literal(L"a", L"$1$&$x$"), {{"a"}}, {"$1a$x$"}},
        {"numbering in row order, padded, from the start", With(Expression(L"IMG_(\\d+)", L"旅行_${date}_${n:3}"),
                                                                [](auto& s) { s.FirstNumber = L"9"; }),
         {{"IMG_0007.JPG"}, {"DSC_1.JPG"}, {"IMG_0001.JPG"}, {"IMG_3.JPG", false, kBlank}},
         {"旅行_20260814_009.JPG", "DSC_1.JPG", "旅行_20260814_010.JPG", "旅行__011.JPG"}},
        {"a number wider than its padding; widths 1 to 9 only",
         With(Literal(L"x", L"${n:1}${n:0}${n:12}"), [](auto& s) { s.FirstNumber = L"123"; }), {{"x"}},
         {"123${n:0}${n:12}"}},
        {"date and time", Literal(L"x", L"${date}-${time}"), {{"x"}}, {"20260814-090507"}},
        {"what was put in is not read again", Expression(L"(.+)", L"$1${n}"), {{"${n}"}}, {"${n}1"}},
        {"an empty match between characters", Expression(L"x*", L"-"), {{"表a"}}, {"-表-a-"}},
        {"look-behind", Expression(L"(?<=IMG_)\\d+", L"#"), {{"IMG_12.JPG"}, {"DSC_12.JPG"}},
         {"IMG_#.JPG", "DSC_12.JPG"}},
        {"negative look-behind", Expression(L"(?<!_)\\d", L"#"), {{"a1_2"}}, {"a#_2"}},
        {"a named group referred to by \\k<name>", Expression(L"(?<c>.)\\k<c>", L"[$1]"), {{"aab表表"}},
         {"[a]b[表]"}},
        {"possessive and atomic give nothing back", Expression(L"a++a|(?>b+)b|c+c", L"x"), {{"aa"}, {"bb"}, {"cc"}},
         {"aa", "bb", "x"}},
        {"$$ is one $ without an expression", Literal(L"a", L"$$$$1"), {{"a"}}, {"$$1"}},
        {"$$ is one $ in an expression", Expression(L"(a)", L"$$1$1"), {{"a"}}, {"$1a"}},
        {"\\d and \\w are ASCII; \\s takes the full-width space", Expression(L"\\d|\\w|\\s", L"_"),
         {{"1１aａ 　表"}}, {"_１_ａ__表"}},
    };
    for (const ReplaceCase& c : cases) {
        NameReplacer replacer(c.settings);
        ASSERT_EQ(replacer.State(), ReplaceState::Ready) << c.what << replacer.Reason();
        std::vector<std::string> after;
        for (const Row& row : c.rows) {
            std::string result;
            replacer.Replace(row.name, row.folder, row.stamp, result);
            after.push_back(result);
        }
        EXPECT_EQ(after, c.after) << c.what;
    }
}

TEST(NameReplaceTest, RefusesWhatItCannotUse)
{
    struct Refusal {
        ReplaceSettings settings;
        ReplaceState state;
        std::string reason;
    };
    const Refusal cases[] = {
        {Literal(L"", L"x"), ReplaceState::NoSearchText, ""},
        {Literal(L"한", L"x"), ReplaceState::NotShiftJis, ""},
        {Literal(L"a", L"x한"), ReplaceState::NotShiftJis, ""},
        {Expression(L"(a", L"x"), ReplaceState::BadExpression, "( と ) の対応か記号の並びが正しくありません"},
        {Expression(L"[a", L"x"), ReplaceState::BadExpression, "[ と ] が対応していません"},
        {Expression(L"a{2,1}", L"x"), ReplaceState::BadExpression, "{ } の中の回数が正しくありません"},
        {Expression(L"[b-a]", L"x"), ReplaceState::BadExpression, "文字の範囲かクラスの名前が正しくありません"},
        {Expression(L"[[.foo.]]", L"x"), ReplaceState::BadExpression, "[[. .]] の中の文字の名前が正しくありません"},
        {Expression(L"a\\", L"x"), ReplaceState::BadExpression, "\\ の使い方が正しくありません"},
        {Expression(L"(a)\\k<b>", L"x"), ReplaceState::BadExpression, "後方参照の番号か名前に当たるグループがありません"},
        {Expression(L"(?<=a+)b", L"x"), ReplaceState::BadExpression,
         "後読みの長さが一定でないか、式の形が正しくありません"},
        {Expression(L"[\\d-z]", L"x"), ReplaceState::BadExpression, "範囲の端にクラスは使えません"},
        {Expression(L"*a", L"x"), ReplaceState::BadExpression, "繰り返しの記号の前に繰り返すものがありません"},
        {Expression(L"(?z)", L"x"), ReplaceState::BadExpression, "(? で始まる書き方が正しくありません"},
        {Expression(std::wstring(1001, L'a').c_str(), L"x"), ReplaceState::BadExpression,
         "式が長すぎます (1,000 文字まで)"},
        {Literal(std::wstring(1001, L'a').c_str(), L"x"), ReplaceState::BadExpression, "式が長すぎます (1,000 文字まで)"},
        {Expression(std::wstring(1000, L'a').c_str(), L"x"), ReplaceState::Ready, ""},
        {Literal(L"(a", L"x"), ReplaceState::Ready, ""},
        {With(Literal(L"a", L"x"), [](auto& s) { s.FirstNumber = L""; }), ReplaceState::BadFirstNumber, ""},
        {With(Literal(L"a", L"x"), [](auto& s) { s.FirstNumber = L"1a"; }), ReplaceState::BadFirstNumber, ""},
    };
    for (const Refusal& c : cases) {
        NameReplacer replacer(c.settings);
        EXPECT_EQ(replacer.State(), c.state) << testing::PrintToString(c.settings.Search.substr(0, 20));
        EXPECT_EQ(replacer.Reason(), c.reason);
        std::string result;
        if (c.state != ReplaceState::Ready) {
            EXPECT_FALSE(replacer.Replace("a(a", false, kStamp, result));
            EXPECT_EQ(result, "a(a");
        }
    }
}

TEST(NameReplaceTest, EveryEngineErrorHasItsOwnJapaneseReason)
{
    std::set<std::string> reasons;
    for (int code = boost::regex_constants::error_ok; code <= boost::regex_constants::error_unknown; ++code) {
        const std::string reason = ExpressionReason(code);
        EXPECT_TRUE(std::any_of(reason.begin(), reason.end(), [](char c) { return c & 0x80; })) << code << reason;
        reasons.insert(reason);
    }
    EXPECT_EQ(reasons.size(), boost::regex_constants::error_unknown + 1u);
}

TEST(NameReplaceTest, ASearchThatGivesUpStopsTheReplaceForGood)
{
    NameReplacer replacer(Expression(L"(a+)+$", L"x"));
    std::string result;
    EXPECT_TRUE(replacer.Replace("aaa", false, kStamp, result));
    EXPECT_EQ(result, "x");
    const std::string runaway = std::string(60, 'a') + "b";
    EXPECT_FALSE(replacer.Replace(runaway, false, kStamp, result));
    EXPECT_EQ(result, runaway);
    EXPECT_EQ(replacer.State(), ReplaceState::TooComplex);
    EXPECT_FALSE(replacer.Replace("aaa", false, kStamp, result));
    EXPECT_EQ(result, "aaa");
}

}  // namespace

#include "rename/name_replace.h"

#include <algorithm>
#include <iterator>
#include <locale>
#include <string_view>

#include <boost/regex.hpp>

#include "core/dbcs.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>
#endif

namespace {

// The code page's own conversions: Windows' under Windows, iconv's table of
// the same code page in the native build.
#ifdef _WIN32

bool Decode(std::string_view bytes, std::wstring& wide)
{
    wide.resize(bytes.size());
    const int length = bytes.empty() ? 0
        : MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()),
                              wide.data(), static_cast<int>(wide.size()));
    wide.resize(static_cast<std::size_t>(length > 0 ? length : 0));
    return length > 0 || bytes.empty();
}

bool Encode(std::wstring_view wide, std::string& bytes)
{
    bytes.resize(wide.size() * 2);
    BOOL usedDefault = FALSE;
    const int length = wide.empty() ? 0
        : WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()),
                              bytes.data(), static_cast<int>(bytes.size()), nullptr, &usedDefault);
    bytes.resize(static_cast<std::size_t>(length > 0 ? length : 0));
    return !usedDefault && (length > 0 || wide.empty());
}

#else

class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Converter()
    {
        if (cd_ != reinterpret_cast<iconv_t>(-1))
            iconv_close(cd_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // in to out; false where a character has no counterpart.
    bool operator()(const void* in, std::size_t inBytes, std::string& out) const
    {
        if (cd_ == reinterpret_cast<iconv_t>(-1))
            return false;
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        out.assign(inBytes * 4 + 8, '\0');
        char* source = static_cast<char*>(const_cast<void*>(in));
        char* target = out.data();
        std::size_t left = out.size();
        const bool done = iconv(cd_, &source, &inBytes, &target, &left) != static_cast<std::size_t>(-1)
            && iconv(cd_, nullptr, nullptr, &target, &left) != static_cast<std::size_t>(-1);
        out.resize(out.size() - left);
        return done && inBytes == 0;
    }

private:
    iconv_t cd_;
};

bool Decode(std::string_view bytes, std::wstring& wide)
{
    static const Converter decode("WCHAR_T", "CP932");
    std::string units;
    if (!decode(bytes.data(), bytes.size(), units))
        return false;
    wide.assign(reinterpret_cast<const wchar_t*>(units.data()), units.size() / sizeof(wchar_t));
    return true;
}

bool Encode(std::wstring_view wide, std::string& bytes)
{
    static const Converter encode("CP932", "WCHAR_T");
    return encode(wide.data(), wide.size() * sizeof(wchar_t), bytes);
}

#endif

// The code-page-932 bytes of wide text; false when some character has none.
bool ToShiftJis(std::wstring_view wide, std::string& bytes)
{
    std::wstring back;
    return Encode(wide, bytes) && Decode(bytes, back) && back == wide;
}

// Letter case as file names know it: ASCII and the full-width Latin letters
// (Ａ to Ｚ and ａ to ｚ); every other script compares as it is. Classes
// (\d, \w, \s) are ASCII, and \s also the spaces beyond it, the
// full-width space among them. The engine's C++-locale traits read all of
// this from the locale, so both builds agree.
class NameCharacters : public std::ctype<wchar_t> {
protected:
    bool do_is(mask m, char_type c) const override
    {
        if (c < 0x80)
            return std::ctype<wchar_t>::do_is(m, c);
        return (m & space) != 0 && IsSpaceBeyondAscii(c);
    }
    const char_type* do_is(const char_type* low, const char_type* high, mask* vec) const override
    {
        for (; low < high; ++low, ++vec) {
            *vec = 0;
            if (*low < 0x80)
                std::ctype<wchar_t>::do_is(low, low + 1, vec);
            else if (IsSpaceBeyondAscii(*low))
                *vec = space;
        }
        return high;
    }
    const char_type* do_scan_is(mask m, const char_type* low, const char_type* high) const override
    {
        while (low < high && !do_is(m, *low))
            ++low;
        return low;
    }
    const char_type* do_scan_not(mask m, const char_type* low, const char_type* high) const override
    {
        while (low < high && do_is(m, *low))
            ++low;
        return low;
    }
    char_type do_tolower(char_type c) const override
    {
        if ((c >= L'A' && c <= L'Z') || (c >= 0xFF21 && c <= 0xFF3A))
            return static_cast<char_type>(c + 0x20);
        return c;
    }
    char_type do_toupper(char_type c) const override
    {
        if ((c >= L'a' && c <= L'z') || (c >= 0xFF41 && c <= 0xFF5A))
            return static_cast<char_type>(c - 0x20);
        return c;
    }
    const char_type* do_tolower(char_type* low, const char_type* high) const override
    {
        for (; low < high; ++low)
            *low = do_tolower(*low);
        return high;
    }
    const char_type* do_toupper(char_type* low, const char_type* high) const override
    {
        for (; low < high; ++low)
            *low = do_toupper(*low);
        return high;
    }

private:
    static bool IsSpaceBeyondAscii(char_type c)
    {
        return c == 0x00A0 || c == 0x1680 || (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029
            || c == 0x202F || c == 0x205F || c == 0x3000 || c == 0xFEFF;
    }
};

const std::locale& NameLocale()
{
    static const std::locale locale(std::locale::classic(), new NameCharacters);
    return locale;
}

using Traits = boost::cpp_regex_traits<wchar_t>;
using Expression = boost::basic_regex<wchar_t, Traits>;

// The characters of a name, walked one way or the other only. Over text it
// cannot measure the engine holds every search to BOOST_REGEX_MAX_STATE_COUNT
// steps; over random-access text it would allow steps that grow with the
// square of the expression's size, seconds for a long expression.
class CharIterator {
public:
    using iterator_category = std::bidirectional_iterator_tag;
    using value_type = wchar_t;
    using difference_type = std::ptrdiff_t;
    using pointer = const wchar_t*;
    using reference = const wchar_t&;

    CharIterator() = default;
    explicit CharIterator(const wchar_t* at) : at_(at) {}
    reference operator*() const { return *at_; }
    CharIterator& operator++()
    {
        ++at_;
        return *this;
    }
    CharIterator operator++(int)
    {
        const CharIterator before = *this;
        ++at_;
        return before;
    }
    CharIterator& operator--()
    {
        --at_;
        return *this;
    }
    CharIterator operator--(int)
    {
        const CharIterator before = *this;
        --at_;
        return before;
    }
    bool operator==(const CharIterator&) const = default;
    const wchar_t* Where() const { return at_; }

private:
    const wchar_t* at_ = nullptr;
};

std::wstring Escaped(std::wstring_view text)
{
    std::wstring escaped;
    for (const wchar_t c : text) {
        if (std::wstring_view(L"^$\\.*+?()[]{}|").find(c) != std::wstring_view::npos)
            escaped += L'\\';
        escaped += c;
    }
    return escaped;
}

enum class PieceKind { Text, Group, Whole, Number, Date, Time };

// One part of the replacement text: bytes as they are, or what a "$" stands for.
struct Piece {
    PieceKind Kind;
    std::string Text;
    int Value = 0;  // the group, or the width of the number (0: as it is)
};

}  // namespace

std::string ExpressionReason(int engineCode)
{
    namespace rc = boost::regex_constants;
    switch (static_cast<rc::error_type>(engineCode)) {
    case rc::error_ok: return "理由は報告されていません";
    case rc::error_no_match: return "一致するものがありません";
    case rc::error_bad_pattern: return "後読みの長さが一定でないか、式の形が正しくありません";
    case rc::error_collate: return "[[. .]] の中の文字の名前が正しくありません";
    case rc::error_ctype: return "文字の範囲かクラスの名前が正しくありません";
    case rc::error_escape: return "\\ の使い方が正しくありません";
    case rc::error_backref: return "後方参照の番号か名前に当たるグループがありません";
    case rc::error_brack: return "[ と ] が対応していません";
    case rc::error_paren: return "( と ) の対応か記号の並びが正しくありません";
    case rc::error_brace: return "{ と } が対応していません";
    case rc::error_badbrace: return "{ } の中の回数が正しくありません";
    case rc::error_range: return "範囲の端にクラスは使えません";
    case rc::error_space: return "式を読むメモリが足りません";
    case rc::error_badrepeat: return "繰り返しの記号の前に繰り返すものがありません";
    case rc::error_end: return "式が途中で終わっています";
    case rc::error_size: return "式が大きすぎます";
    case rc::error_right_paren: return "対応する ( のない ) があります";
    case rc::error_empty: return "空の式があります";
    case rc::error_complexity: return "式が複雑すぎます";
    case rc::error_stack: return "照合に使うメモリが足りません";
    case rc::error_perl_extension: return "(? で始まる書き方が正しくありません";
    case rc::error_unknown: break;
    }
    return "式を読めません";
}

struct NameReplacer::Compiled {
    Expression Search;
    std::vector<Piece> Pieces;
};

NameReplacer::NameReplacer(const ReplaceSettings& settings) : compiled_(std::make_unique<Compiled>())
{
    withExtension_ = settings.WithExtension;
    if (settings.Search.empty()) {
        state_ = ReplaceState::NoSearchText;
        return;
    }
    std::string bytes;
    if (!ToShiftJis(settings.Search, bytes)) {
        state_ = ReplaceState::NotShiftJis;
        return;
    }

    // One pass over the replacement text; what it puts in is never read again.
    std::vector<Piece>& pieces = compiled_->Pieces;
    std::wstring text;
    bool representable = true;
    auto flush = [&] {
        if (text.empty())
            return;
        pieces.push_back({PieceKind::Text, {}, 0});
        representable = ToShiftJis(text, pieces.back().Text) && representable;
        text.clear();
    };
    const std::wstring_view r = settings.Replacement;
    for (std::size_t i = 0; i < r.size(); ++i) {
        const std::wstring_view rest = r.substr(i + 1);
        auto put = [&](PieceKind kind, int value, std::size_t length) {
            flush();
            pieces.push_back({kind, {}, value});
            i += length;
        };
        if (r[i] != L'$')
            text += r[i];
        else if (rest.starts_with(L"$")) {
            text += L'$';
            ++i;
        }
        else if (settings.Regex && !rest.empty() && rest[0] >= L'1' && rest[0] <= L'9')
            put(PieceKind::Group, rest[0] - L'0', 1);
        else if (rest.starts_with(L"&"))
            put(PieceKind::Whole, 0, 1);
        else if (rest.starts_with(L"{n}"))
            put(PieceKind::Number, 0, 3);
        else if (rest.starts_with(L"{n:") && rest.size() >= 5 && rest[3] >= L'1' && rest[3] <= L'9' && rest[4] == L'}')
            put(PieceKind::Number, rest[3] - L'0', 5);
        else if (rest.starts_with(L"{date}"))
            put(PieceKind::Date, 0, 6);
        else if (rest.starts_with(L"{time}"))
            put(PieceKind::Time, 0, 6);
        else
            text += L'$';
    }
    flush();
    if (!representable) {
        state_ = ReplaceState::NotShiftJis;
        return;
    }

    const std::wstring_view first = settings.FirstNumber;
    if (first.empty() || first.size() > 9 || first.find_first_not_of(L"0123456789") != std::wstring_view::npos) {
        state_ = ReplaceState::BadFirstNumber;
        return;
    }
    next_ = 0;
    for (const wchar_t digit : first)
        next_ = next_ * 10 + (digit - L'0');

    if (settings.Search.size() > kMaxSearchLength) {
        state_ = ReplaceState::BadExpression;
        reason_ = "式が長すぎます (1,000 文字まで)";
        return;
    }
    boost::regbase::flag_type flags = boost::regex_constants::perl;
    if (!settings.MatchCase)
        flags |= boost::regex_constants::icase;
    try {
        compiled_->Search.imbue(NameLocale());
        compiled_->Search.assign(settings.Regex ? settings.Search : Escaped(settings.Search), flags);
    } catch (const boost::regex_error& e) {
        state_ = ReplaceState::BadExpression;
        reason_ = ExpressionReason(e.code());
    }
}

NameReplacer::~NameReplacer() = default;

bool NameReplacer::ReadCharacters(std::string_view text)
{
    starts_.clear();
    for (std::size_t i = 0; i < text.size(); i += IsLeadByte(static_cast<unsigned char>(text[i])) ? 2 : 1)
        starts_.push_back(i);
    const std::size_t count = starts_.size();
    starts_.push_back(text.size());
    if (Decode(text, wide_) && wide_.size() == count)
        return true;
    // Where the text does not pair up with its characters one to one, each
    // character alone must give one unit.
    wide_.clear();
    std::wstring one;
    for (std::size_t c = 0; c < count; ++c) {
        if (!Decode(text.substr(starts_[c], starts_[c + 1] - starts_[c]), one) || one.size() != 1)
            return false;
        wide_ += one;
    }
    return true;
}

bool NameReplacer::Replace(std::string_view name, bool wholeName, std::string_view stamp, std::string& result)
{
    result.assign(name);
    if (state_ != ReplaceState::Ready)
        return false;
    std::string_view base = name;
    if (!wholeName && !withExtension_)
        base = name.substr(0, std::min(ExtensionDot(name), name.size()));
    if (!ReadCharacters(base))
        return false;

    using Iterator = boost::regex_iterator<CharIterator, wchar_t, Traits>;
    const CharIterator begin(wide_.data());
    const CharIterator end(wide_.data() + wide_.size());
    auto index = [&](CharIterator at) { return static_cast<std::size_t>(at.Where() - wide_.data()); };
    auto bytesOf = [&](std::size_t from, std::size_t to) {
        return base.substr(starts_[from], starts_[to] - starts_[from]);
    };
    std::size_t done = 0;
    try {
        Iterator match(begin, end, compiled_->Search);
        if (match == Iterator())
            return false;

        std::string digits;
        for (const char c : stamp)
            if (c >= '0' && c <= '9')
                digits += c;
        date_ = digits.size() == 14 ? digits.substr(0, 8) : "";
        time_ = digits.size() == 14 ? digits.substr(8) : "";
        const std::int64_t number = next_++;

        result.clear();
        for (; match != Iterator(); ++match) {
            const boost::match_results<CharIterator>& m = *match;
            result += bytesOf(done, index(m[0].first));
            for (const Piece& piece : compiled_->Pieces) {
                switch (piece.Kind) {
                case PieceKind::Text: result += piece.Text; break;
                case PieceKind::Group:
                case PieceKind::Whole: {
                    const auto group = piece.Kind == PieceKind::Group ? piece.Value : 0;
                    if (static_cast<std::size_t>(group) < m.size() && m[group].matched)
                        result += bytesOf(index(m[group].first), index(m[group].second));
                    break;
                }
                case PieceKind::Number: {
                    const std::string n = std::to_string(number);
                    if (n.size() < static_cast<std::size_t>(piece.Value))
                        result.append(static_cast<std::size_t>(piece.Value) - n.size(), '0');
                    result += n;
                    break;
                }
                case PieceKind::Date: result += date_; break;
                case PieceKind::Time: result += time_; break;
                }
            }
            done = index(m[0].second);
        }
    } catch (const boost::regex_error&) {
        // The engine gave up (its step limit, or the memory for its
        // backtracking): no row is replaced from here on.
        state_ = ReplaceState::TooComplex;
        result.assign(name);
        return false;
    }
    result += bytesOf(done, wide_.size());
    result += name.substr(base.size());
    return true;
}

#include "rename/name_replace.h"

#include <algorithm>
#include <locale>
#include <regex>
#include <string_view>

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
// (\d, \w, \s) are ECMAScript's: ASCII, and the spaces beyond it.
class NameCharacters : public std::ctype<wchar_t> {
protected:
    bool do_is(mask m, char_type c) const override
    {
        if (c < 0x80)
            return std::ctype<wchar_t>::do_is(m, c);
        return (m & space) != 0 && (c == 0x00A0 || c == 0x1680 || (c >= 0x2000 && c <= 0x200A) || c == 0x2028
                                    || c == 0x2029 || c == 0x202F || c == 0x205F || c == 0x3000 || c == 0xFEFF);
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
};

const std::locale& NameLocale()
{
    static const std::locale locale(std::locale::classic(), new NameCharacters);
    return locale;
}

std::string ExpressionReason(std::regex_constants::error_type code)
{
    namespace rc = std::regex_constants;
    switch (code) {
    case rc::error_collate:
    case rc::error_ctype: return "[[: :]] の中の名前が正しくありません";
    case rc::error_escape: return "\\ の使い方が正しくありません";
    case rc::error_backref: return "後方参照の番号に当たるグループがありません";
    case rc::error_brack: return "[ と ] が対応していません";
    // Also a "*" with nothing before it, or an unknown "(?".
    case rc::error_paren: return "( と ) の対応か記号の並びが正しくありません";
    case rc::error_brace: return "{ と } が対応していません";
    case rc::error_badbrace: return "{ } の中の回数が正しくありません";
    case rc::error_range: return "文字の範囲が正しくありません";
    case rc::error_badrepeat: return "繰り返しの記号の前に繰り返すものがありません";
    case rc::error_complexity:
    case rc::error_space:
    case rc::error_stack: return "式が複雑すぎます";
    default: return "式を読めません";
    }
}

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

struct NameReplacer::Compiled {
    std::wregex Expression;
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

    auto flags = std::regex_constants::ECMAScript;
    if (!settings.MatchCase)
        flags |= std::regex_constants::icase;
    try {
        compiled_->Expression.imbue(NameLocale());
        compiled_->Expression.assign(settings.Regex ? settings.Search : Escaped(settings.Search), flags);
    } catch (const std::regex_error& e) {
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

    using Iterator = std::regex_iterator<std::wstring::const_iterator>;
    Iterator match(wide_.cbegin(), wide_.cend(), compiled_->Expression);
    if (match == Iterator())
        return false;

    std::string digits;
    for (const char c : stamp)
        if (c >= '0' && c <= '9')
            digits += c;
    date_ = digits.size() == 14 ? digits.substr(0, 8) : "";
    time_ = digits.size() == 14 ? digits.substr(8) : "";
    const std::int64_t number = next_++;

    auto bytesOf = [&](std::size_t from, std::size_t to) {
        return base.substr(starts_[from], starts_[to] - starts_[from]);
    };
    result.clear();
    std::size_t done = 0;
    for (; match != Iterator(); ++match) {
        const std::wsmatch& m = *match;
        const auto at = static_cast<std::size_t>(m[0].first - wide_.cbegin());
        result += bytesOf(done, at);
        for (const Piece& piece : compiled_->Pieces) {
            switch (piece.Kind) {
            case PieceKind::Text: result += piece.Text; break;
            case PieceKind::Group:
            case PieceKind::Whole: {
                const std::size_t group = piece.Kind == PieceKind::Group ? static_cast<std::size_t>(piece.Value) : 0;
                if (group < m.size() && m[group].matched)
                    result += bytesOf(static_cast<std::size_t>(m[group].first - wide_.cbegin()),
                                      static_cast<std::size_t>(m[group].second - wide_.cbegin()));
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
        done = static_cast<std::size_t>(m[0].second - wide_.cbegin());
    }
    result += bytesOf(done, wide_.size());
    result += name.substr(base.size());
    return true;
}

#include "rename/name_conversions.h"
#include <cstddef>
#include "core/dbcs.h"

const std::array<HalfKanaRow, 63> HalfKanaTable{{
    {0xA1, 0x8142}, {0xA2, 0x8175}, {0xA3, 0x8176}, {0xA4, 0x8141}, {0xA5, 0x8145},
    {0xA6, 0x8392}, {0xA7, 0x8340}, {0xA8, 0x8342}, {0xA9, 0x8344}, {0xAA, 0x8346},
    {0xAB, 0x8348}, {0xAC, 0x8383}, {0xAD, 0x8385}, {0xAE, 0x8387}, {0xAF, 0x8362},
    {0xB0, 0x815B}, {0xB1, 0x8341}, {0xB2, 0x8343}, {0xB3, 0x8345}, {0xB4, 0x8347},
    {0xB5, 0x8349}, {0xB6, 0x834A}, {0xB7, 0x834C}, {0xB8, 0x834E}, {0xB9, 0x8350},
    {0xBA, 0x8352}, {0xBB, 0x8354}, {0xBC, 0x8356}, {0xBD, 0x8358}, {0xBE, 0x835A},
    {0xBF, 0x835C}, {0xC0, 0x835E}, {0xC1, 0x8360}, {0xC2, 0x8363}, {0xC3, 0x8365},
    {0xC4, 0x8367}, {0xC5, 0x8369}, {0xC6, 0x836A}, {0xC7, 0x836B}, {0xC8, 0x836C},
    {0xC9, 0x836D}, {0xCA, 0x836E}, {0xCB, 0x8371}, {0xCC, 0x8374}, {0xCD, 0x8377},
    {0xCE, 0x837A}, {0xCF, 0x837D}, {0xD0, 0x837E}, {0xD1, 0x8380}, {0xD2, 0x8381},
    {0xD3, 0x8382}, {0xD4, 0x8384}, {0xD5, 0x8386}, {0xD6, 0x8388}, {0xD7, 0x8389},
    {0xD8, 0x838A}, {0xD9, 0x838B}, {0xDA, 0x838C}, {0xDB, 0x838D}, {0xDC, 0x838F},
    {0xDD, 0x8393}, {0xDE, 0x814A}, {0xDF, 0x814B},
}};

const std::array<SymbolRow, 33> SymbolTable{{
    {0x8140, ' '}, {0x8141, ','}, {0x8142, '.'}, {0x8143, ','}, {0x8144, '.'},
    {0x8146, ':'}, {0x8147, ';'}, {0x8148, '?'}, {0x8149, '!'}, {0x814F, '^'},
    {0x8151, '_'}, {0x8160, '~'}, {0x8162, '|'}, {0x8165, '`'}, {0x8166, '\''},
    {0x8168, '"'}, {0x8169, '('}, {0x816A, ')'}, {0x816D, '['}, {0x816E, ']'},
    {0x816F, '{'}, {0x8170, '}'}, {0x8179, '['}, {0x817A, ']'}, {0x817B, '+'},
    {0x817C, '-'}, {0x8181, '='}, {0x8190, '$'}, {0x8193, '%'}, {0x8194, '#'},
    {0x8195, '&'}, {0x8196, '*'}, {0x8197, '@'},
}};

namespace {

constexpr unsigned char kVoicedMark = 0xDE;
constexpr unsigned char kSemiVoicedMark = 0xDF;

unsigned char ByteAt(std::string_view s, std::size_t i)
{
    return static_cast<unsigned char>(s[i]);
}

// Appends x, the byte at i after its step, and when x is a lead byte the byte
// after it as well, moving i onto that byte.
void AppendChar(std::string& out, std::string_view s, std::size_t& i, unsigned char x)
{
    out += static_cast<char>(x);
    if (IsShiftJisLeadByte(x) && i + 1 < s.size())
        out += s[++i];
}

// The common walk: step gets the name and the position of the byte x and
// returns what x becomes; it moves the position on over a byte it consumes.
template <typename Step>
std::string Walk(std::string_view s, Step step)
{
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i)
        AppendChar(out, s, i, step(s, i));
    return out;
}

bool InRange(unsigned char x, unsigned char low, unsigned char high)
{
    return x >= low && x <= high;
}

}  // namespace

std::string ConvertName(std::string_view name, ConvertMode mode)
{
    return Walk(name, [mode](std::string_view s, std::size_t i) -> unsigned char {
        const unsigned char x = ByteAt(s, i);
        switch (mode) {
        case ConvertMode::ToLower: return InRange(x, 'A', 'Z') ? x + 0x20 : x;
        case ConvertMode::ToUpper: return InRange(x, 'a', 'z') ? x - 0x20 : x;
        case ConvertMode::UnderscoreToSpace: return x == '_' ? ' ' : x;
        case ConvertMode::SpaceToUnderscore: return x == ' ' ? '_' : x;
        }
        return x;
    });
}

std::string WideToSingle(std::string_view name)
{
    return Walk(name, [](std::string_view s, std::size_t& i) -> unsigned char {
        const unsigned char x = ByteAt(s, i);
        if (x != 0x82 || i + 1 >= s.size())
            return x;
        const unsigned char t = ByteAt(s, i + 1);
        unsigned char ascii = 0;
        if (InRange(t, 0x4F, 0x58) || InRange(t, 0x60, 0x79))
            ascii = t - 0x1F;  // 0-9, A-Z
        else if (InRange(t, 0x81, 0x9A))
            ascii = t - 0x20;  // a-z
        else
            return x;
        ++i;
        return ascii;
    });
}

std::string SymbolsToAscii(std::string_view name)
{
    return Walk(name, [](std::string_view s, std::size_t& i) -> unsigned char {
        const unsigned char x = ByteAt(s, i);
        if (x != 0x81 || i + 1 >= s.size())
            return x;
        const std::uint16_t pair = static_cast<std::uint16_t>(0x8100 | ByteAt(s, i + 1));
        for (const SymbolRow& row : SymbolTable) {
            if (row.Full == pair) {
                ++i;
                return static_cast<unsigned char>(row.Ascii);
            }
        }
        return x;
    });
}

std::string HalfKanaToFull(std::string_view name)
{
    std::string out;
    out.reserve(name.size() * 2);
    for (std::size_t i = 0; i < name.size(); ++i) {
        const unsigned char x = ByteAt(name, i);
        if (!InRange(x, 0xA1, 0xDF)) {
            AppendChar(out, name, i, x);
            continue;
        }
        std::uint16_t full = HalfKanaTable[x - 0xA1u].Full;
        const int m = i + 1 < name.size() ? ByteAt(name, i + 1) : -1;
        const bool voiceable = InRange(x, 0xB6, 0xC4) || InRange(x, 0xCA, 0xCE);
        if (voiceable && m == kVoicedMark) {
            full += 1;
            ++i;
        } else if (InRange(x, 0xCA, 0xCE) && m == kSemiVoicedMark) {
            full += 2;
            ++i;
        }
        out += static_cast<char>(full >> 8);
        out += static_cast<char>(full & 0xFF);
    }
    return out;
}

std::string LowerExtension(std::string_view name)
{
    const std::size_t dot = ExtensionDot(name);
    std::string out(name);
    if (dot == std::string_view::npos)
        return out;
    for (std::size_t i = dot + 1; i < out.size(); ++i) {
        const auto byte = static_cast<unsigned char>(out[i]);
        if (IsLeadByte(byte))
            ++i;
        else if (InRange(byte, 'A', 'Z'))
            out[i] = static_cast<char>(byte + 0x20);
    }
    return out;
}

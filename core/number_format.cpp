#include "core/number_format.h"
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstddef>
#include "core/win_types.h"

namespace {

struct Separators {
    std::string thousands = ",";
    std::string decimal = ".";
};

#ifdef _WIN32
std::string LocaleText(LCTYPE item, const char* fallback)
{
    char text[16];
    return GetLocaleInfoA(LOCALE_USER_DEFAULT, item, text, sizeof text) > 0 ? text : fallback;
}
#endif

// Read once: the pages format thousands of numbers per refresh.
const Separators& LocaleSeparators()
{
#ifdef _WIN32
    static const Separators separators{LocaleText(LOCALE_STHOUSAND, ","), LocaleText(LOCALE_SDECIMAL, ".")};
#else
    static const Separators separators;
#endif
    return separators;
}

std::string Grouped(std::string_view digits)
{
    const std::string& separator = LocaleSeparators().thousands;
    std::string text;
    text.reserve(digits.size() + digits.size() / 3 * separator.size());
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i != 0 && (digits.size() - i) % 3 == 0)
            text += separator;
        text += digits[i];
    }
    return text;
}

std::string Digits(std::uint64_t magnitude)
{
    char text[20];
    const auto end = std::to_chars(text, text + sizeof text, magnitude).ptr;
    return std::string(text, end);
}

std::uint64_t Magnitude(std::int64_t value)
{
    return value < 0 ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
}

// The value rounded half away from zero to the given number of decimals, as
// integer digits and decimal digits. The rounding works on the shortest
// decimal form of the value, so 0.15 rounds up to 0.2 as it reads.
struct Rounded {
    bool negative;
    std::string whole;
    std::string fraction;
};

Rounded RoundDecimal(double value, std::size_t decimals)
{
    // The fixed form of the largest double has 309 digits, of the smallest 327.
    char text[400];
    const auto end = std::to_chars(text, text + sizeof text, std::fabs(value), std::chars_format::fixed).ptr;
    const std::string_view fixed(text, static_cast<std::size_t>(end - text));
    const std::size_t point = std::min(fixed.find('.'), fixed.size());

    std::string digits(fixed.substr(0, point));
    std::string_view fraction = point < fixed.size() ? fixed.substr(point + 1) : std::string_view{};
    const bool roundUp = fraction.size() > decimals && fraction[decimals] >= '5';
    fraction = fraction.substr(0, std::min(decimals, fraction.size()));
    digits += fraction;
    digits.append(decimals - fraction.size(), '0');
    if (roundUp) {
        std::size_t i = digits.size();
        while (i > 0 && digits[i - 1] == '9')
            digits[--i] = '0';
        if (i == 0)
            digits.insert(digits.begin(), '1');
        else
            ++digits[i - 1];
    }
    const std::size_t wholeSize = digits.size() - decimals;
    Rounded rounded{std::signbit(value), digits.substr(0, wholeSize), digits.substr(wholeSize)};
    // A value that rounds to zero shows no sign.
    if (rounded.whole.find_first_not_of('0') == std::string::npos
        && rounded.fraction.find_first_not_of('0') == std::string::npos)
        rounded.negative = false;
    return rounded;
}

std::string NotANumber(double value)
{
    if (std::isnan(value))
        return "NaN";
    return value < 0 ? "-INF" : "INF";
}

}  // namespace

std::string FormatNumber(std::int64_t value, int width)
{
    const std::string digits = Grouped(Digits(Magnitude(value)));
    return PadLeft(value < 0 ? "-" + digits : digits, width);
}

std::string FormatNumber(double value, int width)
{
    if (!std::isfinite(value))
        return PadLeft(NotANumber(value), width);
    const Rounded rounded = RoundDecimal(value, 0);
    const std::string digits = Grouped(rounded.whole);
    return PadLeft(rounded.negative ? "-" + digits : digits, width);
}

std::string FormatFixed1(double value, int width)
{
    return FormatFixed(value, 1, width);
}

std::string FormatFixed(double value, int decimals, int width)
{
    if (!std::isfinite(value))
        return PadLeft(NotANumber(value), width);
    const Rounded rounded = RoundDecimal(value, static_cast<std::size_t>(decimals));
    std::string text = rounded.negative ? "-" : "";
    text += rounded.whole;
    text += LocaleSeparators().decimal;
    text += rounded.fraction;
    return PadLeft(text, width);
}

std::string FormatInt(std::int64_t value, int width)
{
    const std::string digits = Digits(Magnitude(value));
    return PadLeft(value < 0 ? "-" + digits : digits, width);
}

std::string PadLeft(std::string_view text, int width)
{
    std::string padded;
    if (width > 0 && static_cast<std::size_t>(width) > text.size())
        padded.assign(static_cast<std::size_t>(width) - text.size(), ' ');
    padded += text;
    return padded;
}

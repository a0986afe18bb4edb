#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "rename/replace_settings.h"

// Find and replace over Shift_JIS names, by Boost.Regex in its Perl syntax.
// The name is matched as characters: it is read as wide text, one UTF-16 unit
// per character, so that "." takes a double-byte character whole and no match
// starts or ends inside one (a second byte 0x5C is never "\"). What a match
// leaves alone keeps its bytes.

enum class ReplaceState {
    Ready,
    NoSearchText,
    NotShiftJis,     // a character code page 932 cannot hold
    BadExpression,   // the reason says why
    BadFirstNumber,  // the start of the numbering is not a number
    TooComplex,      // a search gave up: the expression backtracks without end
};

// The longest search text taken; a longer one is refused as BadExpression.
inline constexpr std::size_t kMaxSearchLength = 1000;

// Why the engine refused an expression, for each of its error codes (Boost's
// regex_constants::error_type), in Japanese.
std::string ExpressionReason(int engineCode);

class NameReplacer {
public:
    // Compiles the search text and reads the replacement text, once.
    explicit NameReplacer(const ReplaceSettings& settings);
    ~NameReplacer();
    NameReplacer(const NameReplacer&) = delete;
    NameReplacer& operator=(const NameReplacer&) = delete;

    ReplaceState State() const { return state_; }
    // Why the expression was refused, in Japanese; empty otherwise.
    const std::string& Reason() const { return reason_; }

    // Replaces every match in the name of the next row, rows taken in the
    // grid's order; a row whose search text matches takes the next number.
    // wholeName: a folder's name, searched with its extension. stamp: the
    // row's date column ("yyyy/mm/dd hh:mm:ss", or blank). Answers whether the
    // search text matched; result holds the name, replaced or not. A search
    // that gives up leaves the name as it is, answers false and turns the
    // state to TooComplex for good.
    bool Replace(std::string_view name, bool wholeName, std::string_view stamp, std::string& result);

private:
    struct Compiled;
    // Splits the text into characters (wide_, starts_); false when some
    // byte sequence is no character of the code page.
    bool ReadCharacters(std::string_view text);

    ReplaceState state_ = ReplaceState::Ready;
    std::string reason_;
    std::unique_ptr<Compiled> compiled_;
    bool withExtension_ = false;
    std::int64_t next_ = 1;
    // The characters of the part searched and where each one starts.
    std::wstring wide_;
    std::vector<std::size_t> starts_;
    std::string date_;
    std::string time_;
};

#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>

// Where the CD/DVD check page checks names for. The first is the page's own
// Joliet check; the others list files and folders by the rules below.
enum class CheckTarget { Joliet, UsbFat32, OneDrive, MacZip, Garbled };

inline constexpr int CheckTargetCount = 5;

// The reasons an entry is listed for, each one bit, in the order the reasons
// are shown: the rules of each target in the order they run.
enum TargetReason : std::uint32_t {
    ReasonFileTooBigForFat,
    ReasonFatPathTooLong,
    ReasonBefore1980,
    ReasonEdgeSpaces,
    ReasonTrailingPeriods,
    ReasonHoldsVti,
    ReasonReservedName,
    ReasonOfficeLockFile,
    ReasonCloudPathTooLong,
    ReasonFileTooBigForCloud,
    ReasonDecomposed,
    ReasonVendorCharacter,
    ReasonNotInShiftJis,
    ReasonGarbledUtf8,
    ReasonGarbledCp437,
    TargetReasonCount
};

// The reasons of a set of bits, in order, joined by "、".
std::string ReasonsText(std::uint32_t reasons);

// What a walk knows of one entry.
struct TargetFacts {
    std::wstring_view Name;      // the entry's own name
    bool IsFolder = false;
    std::int64_t Size = 0;       // bytes; 0 for a folder
    std::int32_t PathLength = 0; // UTF-16 units of its path below the chosen folder
    FILETIME WriteTime{};        // UTC
};

// The rules an entry breaks, and the name the fixes propose (empty when no
// fix changed the name, or the result would not be a usable name).
struct TargetVerdict {
    std::uint32_t Reasons = 0;
    std::wstring Proposal;
};

// Runs the target's rules in their order, each on the name the fixes before
// it left. Joliet has no rules here (its own walk checks it).
TargetVerdict CheckTargetEntry(CheckTarget target, const TargetFacts& facts);

// Whether a typed name breaks one of the target's rules about the name itself
// or could not be given as a new name (a character Windows refuses, a
// trailing space or period). An empty name breaks nothing.
bool BreaksTargetNameRule(CheckTarget target, std::wstring_view name);

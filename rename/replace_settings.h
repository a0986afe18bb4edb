#pragma once
#include <string>

// What a find and replace is asked to do, as the boxes of its dialog hold it
// (wide text, read as typed).
struct ReplaceSettings {
    std::wstring Search;
    std::wstring Replacement;
    bool Regex = false;          // the search text is an expression (Perl syntax)
    bool MatchCase = false;      // letters match only in their own case
    bool WithExtension = false;  // a file's extension is searched too
    std::wstring FirstNumber = L"1";
};

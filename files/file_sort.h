#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "core/dbcs.h"

// Sort keys of the file and newest-files pages, shared with the rename page.
inline constexpr int SortByName = 10;
inline constexpr int SortBySize = 11;
inline constexpr int SortByDate = 12;
inline constexpr int SortByExtension = 13;
inline constexpr int SortByCharCount = 14;
// The newest-files page's own key; CompareFiles does not know it.
inline constexpr int SortByFolder = 15;

// Display order: position r (from 1) holds the FileTable index shown in row r.
extern std::vector<int> FileOrder;

// The extension without its dot.
std::string ExtensionText(std::string_view name);

// Negative, zero or positive as FileTable entry a orders before, with or
// after entry b under the key; a key it does not know makes every pair equal.
int CompareFiles(int a, int b, int key);
// Sets FileOrder 1..n to the table order and heap-sorts it by the key.
void SortFiles(int n, int key, bool descending);

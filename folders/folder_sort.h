#pragma once
#include <vector>

// Sort keys of the folder page.
inline constexpr int FolderByName = 0;
inline constexpr int FolderBySize = 1;
inline constexpr int FolderByDate = 2;
inline constexpr int FolderByFileCount = 3;
inline constexpr int FolderByNewestName = 4;

// Display order: position r (from 1) holds the FolderTable index shown in row r.
extern std::vector<int> FolderOrder;

// Negative, zero or positive as FolderTable record a orders before, with or
// after record b under the key; a key it does not know makes every pair equal.
int CompareFolders(int a, int b, int key);
// Sets FolderOrder 1..n to the scan order and heap-sorts it by the key.
void SortFolders(int n, int key, bool descending);

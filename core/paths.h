#pragma once
#include <string>
#include <string_view>

#include "core/disk_path.h"

// Paths are Shift_JIS byte texts with "\" as separator.

// The path without its last component and the "\" before it.
std::string ParentPath(std::string_view path);
// The folder that holds the path's last component ("C:\a\b" gives "C:\a",
// "C:\name" gives "C:\").
std::string FolderOfPath(std::string_view path);
// The path ending in "\" (tested by character, not by byte); empty stays empty.
std::string WithTrailingBackslash(std::string_view path);
// "C:" or "\\server\share", or empty.
std::string PathRoot(std::string_view path);
// FolderOfPath of both forms of a path.
DiskPath FolderHolding(const DiskPath& path);

#ifdef _WIN32
// Every component as stored on disk: long names, stored letter case.
std::string ExpandLongPath(std::string_view path);
std::string ExpandFolderPath(std::string_view path);
// The last component as the directory search reports it, or as given.
std::string StoredNameOf(std::string_view path, unsigned attributeMask);
bool IsExistingFolder(const DiskPath& path);
// ExpandLongPath of a path given in UTF-16 (dropped, or on the command line):
// spelt as ExpandLongPath spells its code-page-932 text wherever that text
// names it, else its long form as the system gives it.
DiskPath ExpandLongPath(const std::wstring& path);
#endif

#pragma once
#ifdef _WIN32
#include <windows.h>

// "." or "..", which every folder listing reports.
bool IsDotName(const wchar_t* name);

// Whether a walk descends into a directory entry: a folder other than "." and
// "..", and no junction, symbolic link or mount point, so that no walk loops
// or counts a subtree twice. Cloud-file placeholders are reparse points too,
// but their folders hold the user's own files and are walked.
bool IsWalkableFolder(const WIN32_FIND_DATAW& entry);
#endif

#pragma once
#include <windows.h>

#include <string>

namespace ui {

// What the shell's delete answered: 0 with nothing aborted when the entry
// went; code holds a Win32 error code or one of the shell's own.
struct RecycleResult {
    int code = 0;
    bool aborted = false;  // the user said No to the shell's own question
    bool done() const { return code == 0 && !aborted; }
};

// Moves the file or folder at the wide path to the Recycle Bin through the
// shell's file operation, undo allowed. The shell asks its own question
// before it would delete for good instead; its progress window may show.
RecycleResult MoveToRecycleBin(HWND owner, const std::wstring& path);

// Whether the drive of the wide path is one the system calls fixed, whose
// Recycle Bin takes what is deleted; removable, network and optical drives
// may not keep it.
bool OnFixedDrive(const std::wstring& path);

// The reason for a failed operation: the system's message for a Win32 error
// code, "エラー 0x<code>" for the shell's own codes, which overlap them.
std::wstring FailureReason(int code);

}  // namespace ui

#include "ui/recycle_bin.h"

#include <shellapi.h>
#include <shlwapi.h>

#include <cwchar>

namespace ui {

RecycleResult MoveToRecycleBin(HWND owner, const std::wstring& path) {
    // The list of paths ends in an empty one.
    std::wstring from = path;
    from.push_back(L'\0');
    SHFILEOPSTRUCTW operation{};
    operation.hwnd = owner;
    operation.wFunc = FO_DELETE;
    operation.pFrom = from.c_str();
    // The caller has asked already; the shell still asks before it would
    // delete for good, and its error boxes give way to the caller's.
    operation.fFlags = FOF_ALLOWUNDO | FOF_NOCONFIRMATION | FOF_WANTNUKEWARNING | FOF_NOERRORUI;
    RecycleResult result;
    result.code = SHFileOperationW(&operation);
    result.aborted = operation.fAnyOperationsAborted != FALSE;
    return result;
}

bool OnFixedDrive(const std::wstring& path) {
    std::wstring root = path;
    // Cuts the path after its root: "C:\" or "\\server\share\".
    if (!PathStripToRootW(root.data()))
        return false;
    root.resize(std::wcslen(root.c_str()));
    if (!root.empty() && root.back() != L'\\')
        root.push_back(L'\\');
    return GetDriveTypeW(root.c_str()) == DRIVE_FIXED;
}

namespace {

// The codes the shell's file operation gives of its own (DE_SAMEFILE to
// DE_ERROR_MAX and the later ones), which Win32 uses for other errors.
bool IsShellCode(int code) {
    return (code >= 0x71 && code <= 0x88) || code == 0xB7 || code == 0x402 || code == 0x10000 || code == 0x10074;
}

}  // namespace

std::wstring FailureReason(int code) {
    wchar_t text[64];
    if (!IsShellCode(code)) {
        wchar_t* message = nullptr;
        const DWORD length = FormatMessageW(
            FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
            static_cast<DWORD>(code), 0, reinterpret_cast<wchar_t*>(&message), 0, nullptr);
        if (length > 0 && message) {
            std::wstring reason(message, length);
            LocalFree(message);
            while (!reason.empty() && (reason.back() == L'\r' || reason.back() == L'\n' || reason.back() == L' '))
                reason.pop_back();
            if (!reason.empty())
                return reason;
        }
    }
    std::swprintf(text, 64, L"エラー 0x%X", static_cast<unsigned>(code));
    return text;
}

}  // namespace ui

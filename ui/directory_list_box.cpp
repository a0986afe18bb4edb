#include "ui/directory_list_box.h"

#include <algorithm>
#include <stdexcept>

#include "core/find_file.h"
#include "core/paths.h"
#include "ui/gdi.h"

namespace ui {
namespace {

constexpr int kItemHeight = 16;
constexpr int kIndentPerLevel = 8;
constexpr int kTextMargin = 2;

DiskPath CurrentDirectory() {
    std::wstring path(GetCurrentDirectoryW(0, nullptr), L'\0');
    path.resize(GetCurrentDirectoryW(static_cast<DWORD>(path.size()), path.data()));
    return {ShownText(path), path};
}

std::wstring FullPathOf(const std::wstring& path) {
    std::wstring full(GetFullPathNameW(path.c_str(), 0, nullptr, nullptr), L'\0');
    full.resize(GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr));
    return full;
}

char LowerLetter(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Splits "C:\a\b" into the root "C:\" and {"a", "b"}, "\\server\share\a"
// into "\\server\share\" and {"a"}.
std::vector<std::wstring> SplitPath(const std::wstring& path, std::wstring& root) {
    std::vector<std::wstring> parts{std::wstring()};
    for (const wchar_t c : path) {
        if (c == L'\\')
            parts.emplace_back();
        else
            parts.back() += c;
    }
    // "\\server\share" gives "", "", "server", "share".
    const size_t rootParts = path.starts_with(L"\\\\") ? 4 : 1;
    root.clear();
    for (size_t i = 0; i < std::min(rootParts, parts.size()); ++i) root += parts[i] + L"\\";
    std::vector<std::wstring> below;
    for (size_t i = rootParts; i < parts.size(); ++i)
        if (!parts[i].empty()) below.push_back(parts[i]);
    return below;
}

DiskPath WidePath(std::wstring wide) {
    return {ShownText(wide), std::move(wide)};
}

}  // namespace

TDirectoryListBox::TDirectoryListBox(TControl* parent) : TControl(parent), directory_(CurrentDirectory()) {
    CreateHandle("LISTBOX",
                 WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS |
                     LBS_NOINTEGRALHEIGHT,
                 WS_EX_CLIENTEDGE, 0, 0, 0, 0);
    SendMessageA(Handle(), LB_SETITEMHEIGHT, 0, kItemHeight);
    List();
}

void TDirectoryListBox::SetDirectory(const DiskPath& path) {
    std::wstring full = FullPathOf(path.Wide);
    if (full.size() > 3 && full.back() == L'\\') full.pop_back();
    DiskPath next;
    // The process's current folder holds less than MAX_PATH characters (and
    // Wine's own buffer for it no more), so a longer folder is held here
    // alone, still shown and listed.
    if (full.size() + 1 < MAX_PATH) {
        if (SetCurrentDirectoryW(path.Wide.c_str())) next = CurrentDirectory();
    } else if (IsExistingFolder(WidePath(full))) {
        next = WidePath(full);
    }
    if (next.empty()) {
        throw std::runtime_error("フォルダ " + path.Shown + " に移動できません。");
    }
    const std::wstring before = directory_.Wide;
    directory_ = std::move(next);
    List();
    if (lstrcmpiW(before.c_str(), directory_.Wide.c_str()) != 0) Fire(OnChange);
}

void TDirectoryListBox::SetDrive(char letter) {
    if (!directory_.Shown.empty() && LowerLetter(letter) == LowerLetter(directory_.Shown[0])) return;
    SetDirectory(WidePath(FullPathOf(std::wstring{static_cast<wchar_t>(letter), L':'})));
}

void TDirectoryListBox::List() {
    std::wstring root;
    const std::vector<std::wstring> parts = SplitPath(directory_.Wide, root);
    entries_.clear();
    entries_.push_back({ShownText(root), WidePath(root), 0});
    std::wstring path = root;
    for (size_t i = 0; i < parts.size(); ++i) {
        path += (i == 0 ? L"" : L"\\") + parts[i];
        entries_.push_back({ShownText(parts[i]), WidePath(path), static_cast<int>(i) + 1});
    }
    current_ = entries_.size() - 1;

    std::vector<Entry> subfolders;
    const DiskPath base = WidePath(parts.empty() ? root : path + L"\\");
    for (FindFile entry(base.Wide + L"*"); entry; entry.next())
        if (entry.isFolder() && !entry.isDotEntry())
            subfolders.push_back({std::string(entry.name()), Joined(base, entry.name(), entry.wideName()),
                                  static_cast<int>(current_) + 1});
    std::sort(subfolders.begin(), subfolders.end(),
              [](const Entry& a, const Entry& b) { return lstrcmpiA(a.name.c_str(), b.name.c_str()) < 0; });
    entries_.insert(entries_.end(), subfolders.begin(), subfolders.end());

    SendMessageA(Handle(), WM_SETREDRAW, FALSE, 0);
    SendMessageA(Handle(), LB_RESETCONTENT, 0, 0);
    for (const Entry& entry : entries_)
        SendMessageA(Handle(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.name.c_str()));
    SendMessageA(Handle(), LB_SETCURSEL, current_, 0);
    ShowCurrent();
    SendMessageA(Handle(), WM_SETREDRAW, TRUE, 0);
    InvalidateRect(Handle(), nullptr, TRUE);
}

void TDirectoryListBox::ShowCurrent() {
    RECT client{};
    GetClientRect(Handle(), &client);
    const int rows = std::max(1, static_cast<int>(client.bottom) / kItemHeight);
    const int top = std::max(0, static_cast<int>(current_) - rows + 1);
    SendMessageA(Handle(), LB_SETTOPINDEX, static_cast<WPARAM>(top), 0);
}

void TDirectoryListBox::OpenSelected() {
    const auto index = SendMessageA(Handle(), LB_GETCURSEL, 0, 0);
    if (index < 0 || static_cast<size_t>(index) >= entries_.size()) return;
    // A copy: listing the new folder replaces the entries.
    const DiskPath path = entries_[static_cast<size_t>(index)].path;
    Guarded([&] { SetDirectory(path); });
}

LRESULT TDirectoryListBox::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_KEYDOWN && wp == VK_RETURN) {
        OpenSelected();
        return 0;
    }
    if (msg == WM_SIZE) {
        const LRESULT result = TControl::WndProc(msg, wp, lp);
        ShowCurrent();
        return result;
    }
    return TControl::WndProc(msg, wp, lp);
}

void TDirectoryListBox::Command(WORD code) {
    if (code == LBN_DBLCLK) OpenSelected();
}

bool TDirectoryListBox::DrawItem(const DRAWITEMSTRUCT& item) {
    RECT r = item.rcItem;
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    FillRect(item.hDC, &r, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    if (item.itemID < entries_.size()) {
        const Entry& entry = entries_[item.itemID];
        SelectedObject font(item.hDC, FontHandle());
        SetBkMode(item.hDC, TRANSPARENT);
        SetTextColor(item.hDC, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
        RECT text = r;
        text.left += kTextMargin + entry.level * kIndentPerLevel;
        DrawTextA(item.hDC, entry.name.c_str(), static_cast<int>(entry.name.size()), &text,
                  DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    }
    if (item.itemState & ODS_FOCUS) DrawFocusRect(item.hDC, &r);
    return true;
}

}  // namespace ui

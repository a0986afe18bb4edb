#include "ui/directory_list_box.h"

#include <algorithm>
#include <stdexcept>

#include "core/find_file.h"
#include "ui/gdi.h"

namespace ui {
namespace {

constexpr int kItemHeight = 16;
constexpr int kIndentPerLevel = 8;
constexpr int kTextMargin = 2;

std::string CurrentDirectory() {
    std::string path(GetCurrentDirectoryA(0, nullptr), '\0');
    path.resize(GetCurrentDirectoryA(static_cast<DWORD>(path.size()), path.data()));
    return path;
}

std::string FullPathOf(const std::string& path) {
    std::string full(GetFullPathNameA(path.c_str(), 0, nullptr, nullptr), '\0');
    full.resize(GetFullPathNameA(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr));
    return full;
}

char LowerLetter(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Splits "C:\a\b" into the root "C:\" and {"a", "b"}, "\\server\share\a"
// into "\\server\share\" and {"a"}. A trail byte may be 0x5C, so the path
// is read a character at a time.
std::vector<std::string> SplitPath(const std::string& path, std::string& root) {
    std::vector<std::string> parts{std::string()};
    for (size_t i = 0; i < path.size(); ++i) {
        if (IsDBCSLeadByte(static_cast<BYTE>(path[i])) && i + 1 < path.size()) {
            parts.back() += path.substr(i++, 2);
        } else if (path[i] == '\\') {
            parts.emplace_back();
        } else {
            parts.back() += path[i];
        }
    }
    // "\\server\share" gives "", "", "server", "share".
    const size_t rootParts = path.starts_with("\\\\") ? 4 : 1;
    root.clear();
    for (size_t i = 0; i < std::min(rootParts, parts.size()); ++i) root += parts[i] + "\\";
    std::vector<std::string> below;
    for (size_t i = rootParts; i < parts.size(); ++i)
        if (!parts[i].empty()) below.push_back(parts[i]);
    return below;
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

void TDirectoryListBox::SetDirectory(std::string_view path) {
    const std::string target(path);
    if (!SetCurrentDirectoryA(target.c_str())) throw std::runtime_error("フォルダ " + target + " に移動できません。");
    const std::string before = directory_;
    directory_ = CurrentDirectory();
    List();
    if (lstrcmpiA(before.c_str(), directory_.c_str()) != 0) Fire(OnChange);
}

void TDirectoryListBox::SetDrive(char letter) {
    if (!directory_.empty() && LowerLetter(letter) == LowerLetter(directory_[0])) return;
    SetDirectory(FullPathOf(std::string{letter, ':'}));
}

void TDirectoryListBox::List() {
    std::string root;
    const std::vector<std::string> parts = SplitPath(directory_, root);
    entries_.clear();
    entries_.push_back({root, root, 0});
    std::string path = root;
    for (size_t i = 0; i < parts.size(); ++i) {
        path += (i == 0 ? "" : "\\") + parts[i];
        entries_.push_back({parts[i], path, static_cast<int>(i) + 1});
    }
    current_ = entries_.size() - 1;

    std::vector<std::string> subfolders;
    const std::string base = parts.empty() ? root : path + "\\";
    for (FindFile entry(base + "*"); entry; entry.next())
        if (entry.isFolder() && !entry.isDotEntry()) subfolders.emplace_back(entry.name());
    std::sort(subfolders.begin(), subfolders.end(),
              [](const std::string& a, const std::string& b) { return lstrcmpiA(a.c_str(), b.c_str()) < 0; });
    for (const std::string& name : subfolders)
        entries_.push_back({name, base + name, static_cast<int>(current_) + 1});

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
    const std::string path = entries_[static_cast<size_t>(index)].path;
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

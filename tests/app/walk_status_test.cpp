#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

#include "app/zev_form.h"
#include "tests/app/page_test.h"
#include "tests/core/temp_tree.h"
#include "ui/application.h"

namespace {

// What the status bar was told, in order: its texts and its paints.
struct BarEvent {
    std::string text;  // empty for a paint
    DWORD time;
};

LRESULT CALLBACK RecordBar(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR data)
{
    auto& events = *reinterpret_cast<std::vector<BarEvent>*>(data);
    if (msg == SB_SETTEXTA)
        events.push_back({reinterpret_cast<const char*>(lp), GetTickCount()});
    else if (msg == WM_PAINT)
        events.push_back({"", GetTickCount()});
    return DefSubclassProc(hwnd, msg, wp, lp);
}

// Marks in the record where the tree view began to open a node.
const std::string kOpening = "(opening)";

LRESULT CALLBACK RecordOpening(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR data)
{
    if (msg == WM_NOTIFY) {
        const UINT code = reinterpret_cast<const NMHDR*>(lp)->code;
        if (code == TVN_ITEMEXPANDINGA || code == TVN_ITEMEXPANDINGW)
            reinterpret_cast<std::vector<BarEvent>*>(data)->push_back({kOpening, GetTickCount()});
    }
    return DefSubclassProc(hwnd, msg, wp, lp);
}

const std::string kProgressStart = " 読み込み中: ";
const std::string kStoppedRefresh = " Esc で中断しました。表示は途中までの結果です。";

// "1,234" read back as 1234.
long long Number(std::string text)
{
    std::erase(text, ',');
    return std::stoll(text);
}

// The folder page over a tree of many empty folders, which takes seconds to
// walk under Wine, with the status bar's texts recorded.
class WalkStatusTest : public PageTest {
protected:
    static constexpr int kFolders = 20000;

    WalkStatusTest() : PageTest(&TForm1::DirGrid)
    {
        form.DiskPage.SetActivePage(form.DirPage);
        zev_test::Pump();
        SetWindowSubclass(form.StatusBar1.Handle(), RecordBar, 1, reinterpret_cast<DWORD_PTR>(&events));
    }
    ~WalkStatusTest() override
    {
        RemoveWindowSubclass(form.StatusBar1.Handle(), RecordBar, 1);
        // Quicker than one RemoveDirectoryA per folder.
        RemoveUnixTree(t.Root());
    }
    // The page is to show a folder of count empty sub-folders.
    void ShowFolders(int count)
    {
        ASSERT_TRUE(MakeUnixFolders(t.Root(), "d", count));
        CurrentFolder = t.Root();
    }
    std::vector<std::string> Texts() const
    {
        std::vector<std::string> texts;
        for (const BarEvent& event : events)
            if (!event.text.empty())
                texts.push_back(event.text);
        return texts;
    }
    static bool Queued(UINT msg, WPARAM key = 0)
    {
        MSG queued{};
        return PeekMessageA(&queued, nullptr, msg, msg, PM_NOREMOVE) && (key == 0 || queued.wParam == key);
    }

    TempTree t;
    std::vector<BarEvent> events;
};

TEST_F(WalkStatusTest, ShowsTheCountsFromHalfASecondOnThenTheHintAgain)
{
    ShowFolders(kFolders);
    const DWORD start = GetTickCount();
    form.RefreshDirPage();
    const DWORD end = GetTickCount();
    EXPECT_EQ(form.DirGrid.RowCount(), kFolders + 3);

    std::vector<const BarEvent*> shows;
    for (const BarEvent& event : events)
        if (event.text.starts_with(kProgressStart))
            shows.push_back(&event);
    ASSERT_GE(shows.size(), 2u);
    long long folders = 0;
    for (std::size_t i = 0; i < shows.size(); ++i) {
        const std::string& text = shows[i]->text;
        SCOPED_TRACE(text);
        const std::size_t files = text.find(" ファイル, ");
        const std::size_t end = text.find(" フォルダ (Esc で中断)");
        ASSERT_NE(files, std::string::npos);
        ASSERT_EQ(end + std::string(" フォルダ (Esc で中断)").size(), text.size());
        EXPECT_EQ(Number(text.substr(kProgressStart.size(), files - kProgressStart.size())), 0);
        const std::size_t count = files + std::string(" ファイル, ").size();
        const long long now = Number(text.substr(count, end - count));
        EXPECT_GE(now, folders);
        EXPECT_LE(now, kFolders);
        folders = now;
        // The clock is read a little before the text is set.
        EXPECT_GE(shows[i]->time - (i == 0 ? start : shows[i - 1]->time), i == 0 ? 500u : 90u);
        // Painted before anything else happens to the bar. A count that has
        // not moved since the last show (a slow folder on a busy machine)
        // leaves the bar's text as it was, and the bar has nothing to paint.
        if (i > 0 && shows[i - 1]->text == text)
            continue;
        const BarEvent* next = shows[i] + 1;
        ASSERT_LT(next, events.data() + events.size());
        EXPECT_EQ(next->text, "");
    }
    EXPECT_GE(folders, 1000);
    EXPECT_LE(shows.size(), (end - start) / 100);
    EXPECT_EQ(Texts().back(), " " + ui::Application().Hint());
}

// The tree opens after its walk: by then the bar shows the hint, painted.
TEST_F(WalkStatusTest, TheTreeOpensOnceTheBarNoLongerOffersEsc)
{
    // The tree's walk is quicker than the folder page's.
    ShowFolders(3 * kFolders);
    form.DiskPage.SetActivePage(form.TreePage);
    SetWindowSubclass(form.TreePage.Handle(), RecordOpening, 1, reinterpret_cast<DWORD_PTR>(&events));
    form.RefreshTree(CurrentFolder);
    RemoveWindowSubclass(form.TreePage.Handle(), RecordOpening, 1);

    const auto opening = std::find_if(events.begin(), events.end(), [](const BarEvent& e) { return e.text == kOpening; });
    ASSERT_NE(opening, events.end());
    ASSERT_TRUE(std::any_of(events.begin(), opening, [](const BarEvent& e) { return e.text.starts_with(kProgressStart); }));
    const auto lastText = std::find_if(std::make_reverse_iterator(opening), events.rend(),
                                       [](const BarEvent& e) { return !e.text.empty(); });
    ASSERT_NE(lastText, events.rend());
    EXPECT_EQ(lastText->text, " " + ui::Application().Hint());
    EXPECT_NE(lastText.base(), opening) << "not painted";
}

TEST_F(WalkStatusTest, AShortWalkLeavesTheBarAlone)
{
    for (const char* name : {"一", "二", "三"})
        t.Folder(name);
    CurrentFolder = t.Root();
    form.RefreshDirPage();
    EXPECT_EQ(form.DirGrid.RowCount(), 6);
    EXPECT_TRUE(Texts().empty());
}

TEST_F(WalkStatusTest, EscStopsTheWalkAndOnlyEscLeavesTheQueue)
{
    ShowFolders(kFolders);
    SetFocus(form.DirGrid.Handle());
    zev_test::Pump();
    // A click given before the key, and Esc from the keyboard.
    PostMessageA(form.Panel4.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(1, 1));
    zev_test::SendKey(VK_ESCAPE, false);
    zev_test::SendKey(VK_ESCAPE, true);
    form.RefreshDirPage();

    EXPECT_GT(form.DirGrid.RowCount(), 3);
    EXPECT_LT(form.DirGrid.RowCount(), 100);
    EXPECT_EQ(form.StatusBar1.PanelText(), kStoppedRefresh);
    EXPECT_TRUE(Queued(WM_LBUTTONDOWN));
    EXPECT_FALSE(Queued(WM_KEYDOWN));
    EXPECT_FALSE(Queued(WM_KEYUP));
    MSG msg{};
    PeekMessageA(&msg, nullptr, WM_LBUTTONDOWN, WM_LBUTTONDOWN, PM_REMOVE);

    // Without Esc the next refresh reads everything.
    form.RefreshDirPage();
    EXPECT_EQ(form.DirGrid.RowCount(), kFolders + 3);
    EXPECT_EQ(form.StatusBar1.PanelText(), " " + ui::Application().Hint());
}

TEST_F(WalkStatusTest, AnEscQueuedBehindAnotherKeyStopsWhileItIsHeld)
{
    ShowFolders(300);
    SetForegroundWindow(form.Handle());
    SetFocus(form.DirGrid.Handle());
    zev_test::Pump();
    PostMessageA(form.DirGrid.Handle(), WM_KEYDOWN, 'A', 0);
    zev_test::SendKey(VK_ESCAPE, false);
    form.RefreshDirPage();
    zev_test::SendKey(VK_ESCAPE, true);
    EXPECT_LT(form.DirGrid.RowCount(), 303);
    EXPECT_EQ(form.StatusBar1.PanelText(), kStoppedRefresh);
    // The other key is still there for the grid.
    EXPECT_TRUE(Queued(WM_KEYDOWN, 'A'));
    MSG msg{};
    while (PeekMessageA(&msg, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE)) {
    }
}

TEST_F(WalkStatusTest, OtherKeysStopNothingAndStayQueued)
{
    ShowFolders(300);
    PostMessageA(form.DirGrid.Handle(), WM_KEYDOWN, 'A', 0);
    form.RefreshDirPage();
    EXPECT_EQ(form.DirGrid.RowCount(), 303);
    EXPECT_TRUE(Queued(WM_KEYDOWN, 'A'));
    MSG msg{};
    PeekMessageA(&msg, nullptr, WM_KEYDOWN, WM_KEYDOWN, PM_REMOVE);
}

}  // namespace

// Times the folder tree page's refresh of the benchmark tree of 5,000
// folders, the tree view's insertions included, against a bare recursive walk
// of the same tree in the same run, and prints the ratio (the goal is within 1.5); then times
// the copy of that tree to the clipboard.
// On the deep tree of 32,736 folders it times a refresh that first empties
// the full tree against a bare walk plus the same inserts into, and the
// delete from, a bare tree view (the goal is within 1.5), and the page's tree
// view filled and emptied against the bare one alone (within 2.0). All of
// these run without read-ahead. Then the deep tree's refresh reading ahead,
// against the bare walk (within 0.8: the inserts stay on the window's thread)
// and against the bare walk split over as many threads as the read-ahead has
// workers (within 1.2).
#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "app/clip_text.h"
#include "app/zev_form.h"
#include "bench/bench_tree.h"
#include "bench/stopwatch.h"
#include "bench/watched_walk.h"
#include "ui/application.h"

namespace {

constexpr int kRounds = 7;

// The folders in index order, each with its parent's index (-1 for none),
// to insert as the page does without walking.
struct Shape {
    std::vector<int> parents;
    std::vector<std::string> names;
};

void Record(const std::string& folder, int parent, Shape& shape)
{
    for (FindFile entry(folder + "*.*"); entry; entry.next()) {
        if (!entry.isFolder() || entry.isDotEntry())
            continue;
        const std::string name(entry.name());
        shape.parents.push_back(parent);
        shape.names.push_back(name);
        Record(folder + name + "\\", static_cast<int>(shape.parents.size()) - 1, shape);
    }
}

// Inserts the shape under a root node with the given insert; returns the node count.
template <class Insert>
int Fill(const Shape& shape, const std::string& rootText, Insert insert)
{
    std::vector<HTREEITEM> nodes(shape.parents.size());
    const HTREEITEM root = insert(nullptr, rootText);
    for (size_t i = 0; i < nodes.size(); ++i)
        nodes[i] = insert(shape.parents[i] < 0 ? root : nodes[static_cast<size_t>(shape.parents[i])], shape.names[i]);
    return static_cast<int>(nodes.size()) + 1;
}

// A tree view with the page's styles on a window that leaves every message to
// DefWindowProc: Win32's own cost.
class BareTreeView {
public:
    BareTreeView()
    {
        WNDCLASSA wc{};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "ZevBareTreeHost";
        RegisterClassA(&wc);
        host_ = CreateWindowExA(0, wc.lpszClassName, "bare", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 640, 480,
                                nullptr, nullptr, wc.hInstance, nullptr);
        tree_ = CreateWindowExA(WS_EX_CLIENTEDGE, WC_TREEVIEWA, "",
                                WS_CHILD | WS_VISIBLE | TVS_HASLINES | TVS_HASBUTTONS | TVS_LINESATROOT
                                    | TVS_SHOWSELALWAYS,
                                0, 0, 600, 400, host_, nullptr, wc.hInstance, nullptr);
        // Suspended as the page suspends its own.
        SendMessageA(tree_, WM_SETREDRAW, FALSE, 0);
    }
    ~BareTreeView() { DestroyWindow(host_); }
    BareTreeView(const BareTreeView&) = delete;
    BareTreeView& operator=(const BareTreeView&) = delete;

    HTREEITEM Insert(HTREEITEM parent, const std::string& text) const
    {
        TVINSERTSTRUCTA insert{};
        insert.hParent = parent ? parent : TVI_ROOT;
        insert.hInsertAfter = TVI_LAST;
        insert.item.mask = TVIF_TEXT;
        insert.item.pszText = const_cast<char*>(text.c_str());
        return reinterpret_cast<HTREEITEM>(SendMessageA(tree_, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
    }
    void Clear() const { SendMessageA(tree_, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT)); }

private:
    HWND host_ = nullptr;
    HWND tree_ = nullptr;
};

// The deep tree: a refresh over a full tree against its bare parts.
bool TimeDeepTree(TForm1& form)
{
    const std::string root = bench_tree::BinaryBenchTree();
    if (root.empty())
        return false;
    constexpr int kDeepRounds = 4;
    Shape shape;
    Record(root + "\\", -1, shape);
    BareTreeView bareView;
    int folders = 0;
    const int workers = ReadAhead::WorkerCount();
    int parallelFolders = 0;
    bench_tree::BareWalk(root + "\\", &folders);
    form.RefreshTree(root);
    double walk = 1e300, inserts = 1e300, erase = 1e300, pageFill = 1e300, refresh = 1e300;
    double parallel = 1e300, ahead = 1e300;
    auto timeBare = [&] {
        KeepBest(walk, [&] {
            folders = 0;
            bench_tree::BareWalk(root + "\\", &folders);
        });
        KeepBest(parallel, [&] { bench_tree::BareParallelWalk(root + "\\", workers, &parallelFolders); });
        KeepBest(inserts, [&] {
            Fill(shape, root, [&](HTREEITEM parent, const std::string& text) { return bareView.Insert(parent, text); });
        });
        KeepBest(erase, [&] { bareView.Clear(); });
    };
    auto timePage = [&] {
        // The page's tree view is full from the last refresh: it empties first.
        KeepBest(pageFill, [&] {
            ui::TTreeUpdate update(form.TreeView1);
            form.TreeView1.Clear();
            Fill(shape, root,
                 [&](HTREEITEM parent, const std::string& text) { return form.TreeView1.AddChild(parent, text); });
        });
        // Two in a row: the second empties what the first built and expanded.
        WithReadAhead(false, [&] {
            form.RefreshTree(root);
            KeepBest(refresh, [&] { form.RefreshTree(root); });
        });
        KeepBest(ahead, [&] { form.RefreshTree(root); });
    };
    TakeTurns(kDeepRounds, timeBare, timePage);
    const int nodes = form.TreeView1.Count();
    std::printf("deep tree: %d folders (bare walk: %d), %s\n", nodes - 1, folders, form.lbFolder.Caption().c_str());
    std::printf("bare walk          %8.1f ms (best of %d)\n", walk, kDeepRounds);
    std::printf("bare inserts       %8.1f ms (best of %d)\n", inserts, kDeepRounds);
    std::printf("bare delete        %8.1f ms (best of %d)\n", erase, kDeepRounds);
    std::printf("page empty + fill  %8.1f ms (best of %d)\n", pageFill, kDeepRounds);
    std::printf("ratio              %8.2f (goal: within 2.0)\n", pageFill / (inserts + erase));
    std::printf("RefreshTree again  %8.1f ms (best of %d)\n", refresh, kDeepRounds);
    std::printf("ratio              %8.2f (goal: within 1.5)\n", refresh / (walk + inserts + erase));
    std::printf("read-ahead workers: %d\n", workers);
    std::printf("RefreshTree again, reading ahead  %8.1f ms (best of %d)\n", ahead, kDeepRounds);
    std::printf("ratio to the bare walk            %8.2f (goal: within 0.8)\n", ahead / walk);
    std::printf("bare walk on %d threads            %8.1f ms (best of %d)\n", workers, parallel, kDeepRounds);
    std::printf("ratio to it                       %8.2f (goal: within 1.2)\n", ahead / parallel);
    return nodes - 1 == folders && parallelFolders == folders;
}

}  // namespace

int main()
{
    const std::string root = bench_tree::BenchTree();
    if (root.empty())
        return 1;

    ui::Application().Initialize();
    TForm1 form({});
    form.Show();
    form.DiskPage.SetActivePage(form.TreePage);
    CurrentFolder = root;

    // One round of each first, so both start with the directories cached;
    // then they take turns going first, and the best round of each counts.
    int folders = 0;
    bench_tree::BareWalk(root + "\\", &folders);
    form.RefreshTree(root);
    double bare = 1e300, refresh = 1e300, copy = 1e300;
    auto timeBare = [&] {
        KeepBest(bare, [&] {
            folders = 0;
            bench_tree::BareWalk(root + "\\", &folders);
        });
    };
    auto timeRefresh = [&] { WithReadAhead(false, [&] { KeepBest(refresh, [&] { form.RefreshTree(root); }); }); };
    TakeTurns(kRounds, timeBare, [&] {
        timeRefresh();
        KeepBest(copy, [&] { form.CopyTree(); });
    });

    const int nodes = form.TreeView1.Count();
    std::printf("tree: %d folders (bare walk: %d), %s\n", nodes - 1, folders, form.lbFolder.Caption().c_str());
    std::printf("bare walk    %8.1f ms (best of %d)\n", bare, kRounds);
    std::printf("RefreshTree  %8.1f ms (best of %d)\n", refresh, kRounds);
    std::printf("ratio        %8.2f (goal: within 1.5)\n", refresh / bare);
    std::printf("CopyTree     %8.1f ms (best of %d), %zu bytes\n", copy, kRounds, ClipText.size());
    const bool deep = TimeDeepTree(form);
    return nodes - 1 == folders && deep ? 0 : 1;
}

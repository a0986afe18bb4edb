// Times the folder tree page's refresh of the benchmark tree of 5,000
// folders, the tree view's insertions included, against a bare recursive walk
// of the same tree in the same run, and prints the ratio (the goal is within 1.5); then times
// the copy of that tree to the clipboard.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "app/clip_text.h"
#include "app/zev_form.h"
#include "bench/bench_tree.h"
#include "bench/stopwatch.h"
#include "ui/application.h"

namespace {

constexpr int kRounds = 7;

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
    auto timeRefresh = [&] { KeepBest(refresh, [&] { form.RefreshTree(root); }); };
    for (int round = 0; round < kRounds; ++round) {
        if (round % 2 == 0) {
            timeBare();
            timeRefresh();
        } else {
            timeRefresh();
            timeBare();
        }
        KeepBest(copy, [&] { form.CopyTree(); });
    }

    const int nodes = form.TreeView1.Count();
    std::printf("tree: %d folders (bare walk: %d), %s\n", nodes - 1, folders, form.lbFolder.Caption().c_str());
    std::printf("bare walk    %8.1f ms (best of %d)\n", bare, kRounds);
    std::printf("RefreshTree  %8.1f ms (best of %d)\n", refresh, kRounds);
    std::printf("ratio        %8.2f (goal: within 1.5)\n", refresh / bare);
    std::printf("CopyTree     %8.1f ms (best of %d), %zu bytes\n", copy, kRounds, ClipText.size());
    return nodes - 1 == folders ? 0 : 1;
}

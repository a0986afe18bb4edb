#pragma once
#include <functional>

#include "core/disk_path.h"
#include "ui/tree_view.h"

class FindFile;
class TForm1;

// Called before the map records each entry of a walk; tests throw from it
// to stand for memory running out.
extern std::function<void()> BeforeMapRecords;

// One walk of the tree page as the map sees it: while the map is on, the walk
// records every file into it, and the map shows only its background until
// End lays it out and paints it afresh. Off, it does nothing. When memory
// for the records runs out the walk goes on without them: the tree is still
// filled and End leaves the map empty and says why.
class TreeMapWalk {
public:
    TreeMapWalk(TForm1& form, const DiskPath& root, ui::TTreeNode rootNode);
    // A walk left without End (an exception ended it) leaves no map; nothing
    // here allocates or paints.
    ~TreeMapWalk();
    TreeMapWalk(const TreeMapWalk&) = delete;
    TreeMapWalk& operator=(const TreeMapWalk&) = delete;

    // In walk order, as the map's own calls of the same names.
    void AddFile(const FindFile& entry);
    void EnterFolder(const FindFile& entry, ui::TTreeNode node);
    void LeaveFolder();
    // After the walk, once its status is shown: the map's totals, its
    // legend and its picture.
    void End();

private:
    void OutOfMemory() noexcept;

    TForm1& form_;
    bool recording_ = false;
    bool outOfMemory_ = false;
};

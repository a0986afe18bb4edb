#pragma once
#include "core/disk_path.h"
#include "ui/tree_view.h"

class TForm1;

// One walk of the tree page as the map sees it: while the map is on, the walk
// records every file into it, and the map shows only its background until
// the walk is over and it is laid out and painted afresh. Off, it does nothing.
class TreeMapWalk {
public:
    TreeMapWalk(TForm1& form, const DiskPath& root, ui::TTreeNode rootNode);
    ~TreeMapWalk();
    TreeMapWalk(const TreeMapWalk&) = delete;
    TreeMapWalk& operator=(const TreeMapWalk&) = delete;

private:
    TForm1& form_;
    int exceptions_;
};

#pragma once
// What the window keeps for the tree page beside its handlers: the tree
// control, and which of its nodes shows each of the map's folders.
#include <vector>

#include "ui/tree_view.h"

// The node that shows each of the map's folders, by the folder's number.
using MapNodeTable = std::vector<ui::TTreeNode>;

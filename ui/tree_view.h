#pragma once
#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>
#include <string_view>

#include "ui/control.h"

namespace ui {

using TTreeNode = HTREEITEM;

// A tree of text nodes with lines and buttons, also at the root.
class TTreeView : public TControl {
public:
    explicit TTreeView(TControl* parent);

    void Clear();
    // A new last child of parent; nullptr adds at the root level.
    TTreeNode AddChild(TTreeNode parent, std::string_view text);
    std::string NodeText(TTreeNode node) const;
    void SetNodeText(TTreeNode node, std::string_view text);
    // nullptr when none.
    TTreeNode Selected() const;
    // Selecting a node expands its parents so that it shows.
    void Select(TTreeNode node);
    void ExpandAll();
    void CollapseAll();
    // Every node in index order: a node, then its subtree, then its next
    // sibling; collapsed nodes included. The root level is level 0.
    void ForEachNode(const std::function<void(TTreeNode node, int level)>& visit) const;
    void SetIndent(int indent);
    int Count() const;
};

}  // namespace ui

#pragma once
#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "ui/control.h"

namespace ui {

using TTreeNode = HTREEITEM;

// A tree of text nodes with lines and buttons, also at the root. A TAB in a
// node's text shows as a gap up to the next tab stop.
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
    bool Expanded(TTreeNode node) const;
    // Every node with children expanded, deepest first, so that each one
    // opens while still hidden and the view lays itself out once at the end.
    void ExpandAll();
    // Top first, so that the rest close while already hidden.
    void CollapseAll();
    // Every node in index order: a node, then its subtree, then its next
    // sibling; collapsed nodes included. The root level is level 0.
    void ForEachNode(const std::function<void(TTreeNode node, int level)>& visit) const;
    void SetIndent(int indent);
    int Count() const;

    // While updates nest, the view neither repaints nor lays itself out;
    // the last EndUpdate does both once for everything.
    void BeginUpdate();
    void EndUpdate();

    // The selection moved to the node (nullptr for none), by the user or
    // by a call.
    std::function<void(TTreeNode node)> OnSelect;

protected:
    LRESULT Notify(NMHDR& header) override;

private:
    // Draws over the view's own text of a node that holds a TAB.
    void DrawTabbedText(const NMTVCUSTOMDRAW& draw) const;

    // The view's own messages go straight to its class procedure: the control
    // adds nothing to them, and a tree of thousands of nodes sends tens of
    // thousands of them.
    LRESULT Send(UINT msg, WPARAM wp, LPARAM lp) const;

    WNDPROC proc_ = nullptr;
    int updates_ = 0;
    // The colours the view chose for the node being drawn.
    COLORREF drawText_ = 0, drawBack_ = 0;
    // The parent of every node added, so that ExpandAll need not walk the
    // tree: Wine searches all the nodes for each node a message names.
    std::vector<TTreeNode> parents_;
};

// Suspends a tree view's redrawing for the object's lifetime.
class TTreeUpdate {
public:
    explicit TTreeUpdate(TTreeView& tree) : tree_(tree) { tree_.BeginUpdate(); }
    ~TTreeUpdate() { tree_.EndUpdate(); }
    TTreeUpdate(const TTreeUpdate&) = delete;
    TTreeUpdate& operator=(const TTreeUpdate&) = delete;

private:
    TTreeView& tree_;
};

}  // namespace ui

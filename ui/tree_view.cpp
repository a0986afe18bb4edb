#include "ui/tree_view.h"

#include <string>
#include <unordered_set>
#include <vector>

namespace ui {

TTreeView::TTreeView(TControl* parent) : TControl(parent) {
    CreateHandle(WC_TREEVIEWA,
                 WS_VISIBLE | WS_TABSTOP | TVS_HASLINES | TVS_HASBUTTONS | TVS_LINESATROOT | TVS_SHOWSELALWAYS,
                 WS_EX_CLIENTEDGE, 0, 0, 0, 0);
    proc_ = reinterpret_cast<WNDPROC>(GetClassLongPtrA(Handle(), GCLP_WNDPROC));
}

LRESULT TTreeView::Send(UINT msg, WPARAM wp, LPARAM lp) const {
    return CallWindowProcA(proc_, Handle(), msg, wp, lp);
}

void TTreeView::Clear() {
    Send(TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
    parents_.clear();
}

TTreeNode TTreeView::AddChild(TTreeNode parent, std::string_view text) {
    std::string copy(text);
    TVINSERTSTRUCTA insert{};
    insert.hParent = parent ? parent : TVI_ROOT;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT;
    insert.item.pszText = copy.data();
    if (parent) parents_.push_back(parent);
    return reinterpret_cast<TTreeNode>(Send(TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
}

std::string TTreeView::NodeText(TTreeNode node) const {
    // The view copies as much as fits; a text that fills the buffer may be
    // longer, so try again with room to spare.
    for (size_t size = 260;; size *= 2) {
        std::string text(size, '\0');
        TVITEMA item{};
        item.mask = TVIF_TEXT;
        item.hItem = node;
        item.pszText = text.data();
        item.cchTextMax = static_cast<int>(size);
        if (!Send(TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item))) return {};
        text.resize(std::char_traits<char>::length(text.c_str()));
        if (text.size() + 1 < size) return text;
    }
}

void TTreeView::SetNodeText(TTreeNode node, std::string_view text) {
    std::string copy(text);
    TVITEMA item{};
    item.mask = TVIF_TEXT;
    item.hItem = node;
    item.pszText = copy.data();
    Send(TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
}

TTreeNode TTreeView::Selected() const {
    return reinterpret_cast<TTreeNode>(Send(TVM_GETNEXTITEM, TVGN_CARET, 0));
}

void TTreeView::Select(TTreeNode node) {
    Send(TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(node));
    Send(TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(node));
}

bool TTreeView::Expanded(TTreeNode node) const {
    return (Send(TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(node), TVIS_EXPANDED) &
            TVIS_EXPANDED) != 0;
}

void TTreeView::ExpandAll() {
    // Expanding a node that shows lays out everything below it again. A node
    // gets its first child after its parent got its own, so in the reverse
    // of that order every node opens before any of its ancestors.
    std::unordered_set<TTreeNode> seen;
    std::vector<TTreeNode> order;
    for (TTreeNode parent : parents_)
        if (seen.insert(parent).second) order.push_back(parent);
    for (auto node = order.rbegin(); node != order.rend(); ++node)
        if (!Expanded(*node)) Send(TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(*node));
}

void TTreeView::CollapseAll() {
    ForEachNode([this](TTreeNode node, int) {
        if (Expanded(node)) Send(TVM_EXPAND, TVE_COLLAPSE, reinterpret_cast<LPARAM>(node));
    });
}

void TTreeView::ForEachNode(const std::function<void(TTreeNode node, int level)>& visit) const {
    auto next = [this](TTreeNode node, UINT relation) {
        return reinterpret_cast<TTreeNode>(
            Send(TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(node)));
    };
    // Iterative, so that a deep tree cannot exhaust the stack.
    int level = 0;
    TTreeNode node = next(nullptr, TVGN_ROOT);
    while (node) {
        visit(node, level);
        if (TTreeNode child = next(node, TVGN_CHILD)) {
            node = child;
            ++level;
            continue;
        }
        while (node) {
            if (TTreeNode sibling = next(node, TVGN_NEXT)) {
                node = sibling;
                break;
            }
            node = next(node, TVGN_PARENT);
            --level;
        }
    }
}

void TTreeView::SetIndent(int indent) { Send(TVM_SETINDENT, static_cast<WPARAM>(indent), 0); }

int TTreeView::Count() const { return static_cast<int>(Send(TVM_GETCOUNT, 0, 0)); }

void TTreeView::BeginUpdate() {
    if (updates_++ == 0) Send(WM_SETREDRAW, FALSE, 0);
}

void TTreeView::EndUpdate() {
    if (--updates_ == 0) {
        Send(WM_SETREDRAW, TRUE, 0);
        InvalidateRect(Handle(), nullptr, TRUE);
    }
}

}  // namespace ui

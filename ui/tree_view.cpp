#include "ui/tree_view.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <unordered_set>
#include <vector>

#include "ui/gdi.h"

namespace ui {
namespace {

// Between a label's edge and its text, as the view draws it.
constexpr int kLabelMargin = 2;

}  // namespace

TTreeView::TTreeView(TControl* parent) : TControl(parent) {
    CreateHandle(WC_TREEVIEWA,
                 WS_VISIBLE | WS_TABSTOP | TVS_HASLINES | TVS_HASBUTTONS | TVS_LINESATROOT | TVS_SHOWSELALWAYS,
                 WS_EX_CLIENTEDGE, 0, 0, 0, 0);
    proc_ = reinterpret_cast<WNDPROC>(GetClassLongPtrA(Handle(), GCLP_WNDPROC));
}

LRESULT TTreeView::Send(UINT msg, WPARAM wp, LPARAM lp) const {
    return CallWindowProcA(proc_, Handle(), msg, wp, lp);
}

LRESULT TTreeView::Notify(NMHDR& header) {
    if (header.code == TVN_SELCHANGEDA || header.code == TVN_SELCHANGEDW) {
        // The two forms place the new item alike.
        const TTreeNode node = reinterpret_cast<NMTREEVIEWA&>(header).itemNew.hItem;
        if (OnSelect) Guarded([&] { OnSelect(node); });
        return 0;
    }
    if (header.code != NM_CUSTOMDRAW) return 0;
    auto& draw = reinterpret_cast<NMTVCUSTOMDRAW&>(header);
    switch (draw.nmcd.dwDrawStage) {
    case CDDS_PREPAINT: return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT:
        // The view draws a TAB as the font's mark for a missing glyph (a box,
        // a dot); only such nodes are drawn again.
        if (NodeText(reinterpret_cast<TTreeNode>(draw.nmcd.dwItemSpec)).find('\t') == std::string::npos)
            return CDRF_DODEFAULT;
        drawText_ = draw.clrText;
        drawBack_ = draw.clrTextBk;
        return CDRF_NOTIFYPOSTPAINT;
    case CDDS_ITEMPOSTPAINT: DrawTabbedText(draw); return CDRF_DODEFAULT;
    default: return CDRF_DODEFAULT;
    }
}

void TTreeView::DrawTabbedText(const NMTVCUSTOMDRAW& draw) const {
    auto node = reinterpret_cast<TTreeNode>(draw.nmcd.dwItemSpec);
    // The view reads the node from the start of the rectangle it fills in.
    RECT label{};
    std::memcpy(&label, &node, sizeof node);
    if (!Send(TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&label))) return;
    const std::string text = NodeText(node);
    HDC dc = draw.nmcd.hdc;
    SelectedObject font(dc, FontHandle());
    constexpr UINT kFormat = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_EXPANDTABS;
    RECT measured = label;
    DrawTextA(dc, text.data(), static_cast<int>(text.size()), &measured, kFormat | DT_CALCRECT);
    // The view sized the label for the marks; the gaps are wider.
    RECT back = label;
    back.right = std::max(label.right, label.left + (measured.right - measured.left) + 2 * kLabelMargin);
    GdiObject<HBRUSH> brush(CreateSolidBrush(drawBack_));
    FillRect(dc, &back, brush.get());
    RECT place = back;
    place.left += kLabelMargin;
    // The view goes on drawing with this DC.
    const COLORREF textColor = SetTextColor(dc, drawText_);
    const int backMode = SetBkMode(dc, TRANSPARENT);
    DrawTextA(dc, text.data(), static_cast<int>(text.size()), &place, kFormat);
    // The fill covered the view's own focus rectangle.
    if (draw.nmcd.uItemState & CDIS_FOCUS) DrawFocusRect(dc, &back);
    SetBkMode(dc, backMode);
    SetTextColor(dc, textColor);
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

#include "ui/grid_layout.h"

#include <algorithm>
#include <cstdlib>

namespace ui {

void GridLayout::SetColCount(int count, int width) {
    widths_.resize(static_cast<size_t>(std::max(count, 0)), std::max(width, 0));
    RebuildLefts();
}

int GridLayout::ColWidth(int col) const {
    return col >= 0 && col < ColCount() ? widths_[static_cast<size_t>(col)] : 0;
}

void GridLayout::SetColWidth(int col, int width) {
    if (col < 0 || col >= ColCount()) return;
    widths_[static_cast<size_t>(col)] = std::max(width, 0);
    RebuildLefts();
}

void GridLayout::SetAllColWidths(int width) {
    std::fill(widths_.begin(), widths_.end(), std::max(width, 0));
    RebuildLefts();
}

void GridLayout::RebuildLefts() {
    lefts_.assign(1, 0);
    for (int w : widths_) lefts_.push_back(lefts_.back() + (w > 0 ? w + kLineWidth : 0));
    Reclamp();
}

void GridLayout::SetRowCount(int count) {
    rowCount_ = std::max(count, 0);
    Reclamp();
}

int GridLayout::DataRowCount() const { return std::max(rowCount_ - kFixedRows, 0); }

void GridLayout::SetRowHeight(int height) {
    rowHeight_ = std::max(height, 1);
    Reclamp();
}

void GridLayout::SetClientSize(int width, int height) {
    clientWidth_ = std::max(width, 0);
    clientHeight_ = std::max(height, 0);
    Reclamp();
}

int GridLayout::VisibleRowCount() const { return std::max(clientHeight_ - RowPitch(), 0) / RowPitch(); }

int GridLayout::MaxTopRow() const {
    // A view too short for one whole row still lets every row be the top one.
    return kFixedRows + std::max(DataRowCount() - std::max(VisibleRowCount(), 1), 0);
}

void GridLayout::SetTopRow(int row) { topRow_ = std::clamp(row, kFixedRows, MaxTopRow()); }

int GridLayout::MaxScrollX() const { return std::max(ContentWidth() - clientWidth_, 0); }

void GridLayout::SetScrollX(int x) { scrollX_ = std::clamp(x, 0, MaxScrollX()); }

void GridLayout::Reclamp() {
    SetTopRow(topRow_);
    SetScrollX(scrollX_);
}

int GridLayout::ColLeft(int col) const {
    return lefts_[static_cast<size_t>(std::clamp(col, 0, ColCount()))] - scrollX_;
}

int GridLayout::RowTop(int row) const {
    return row < kFixedRows ? row * RowPitch() : (kFixedRows + row - topRow_) * RowPitch();
}

GridRect GridLayout::CellRect(int col, int row) const {
    if (col < 0 || col >= ColCount() || row < 0 || row >= rowCount_) return {};
    if (row >= kFixedRows && row < topRow_) return {};
    const int left = ColLeft(col), top = RowTop(row);
    return {left, top, left + ColWidth(col), top + rowHeight_};
}

int GridLayout::ColAt(int x) const {
    if (x < 0 || x >= clientWidth_) return -1;
    const int cx = x + scrollX_;
    // The first column that ends beyond cx; zero-width columns end where they
    // start and are passed over.
    const auto end = std::upper_bound(lefts_.begin() + 1, lefts_.end(), cx);
    return end == lefts_.end() ? -1 : static_cast<int>(end - lefts_.begin()) - 1;
}

int GridLayout::RowAt(int y) const {
    if (y < 0 || y >= clientHeight_) return -1;
    const int pitch = RowPitch();
    const int row = y < kFixedRows * pitch ? y / pitch : topRow_ + (y - kFixedRows * pitch) / pitch;
    return row < rowCount_ ? row : -1;
}

GridSpan GridLayout::ColsIn(int left, int right) const {
    left = std::max(left, 0);
    right = std::min(right, clientWidth_);
    if (left >= right) return {};
    GridSpan span{ColCount(), -1};
    for (int c = 0; c < ColCount(); ++c) {
        const int begin = lefts_[static_cast<size_t>(c)] - scrollX_, end = lefts_[static_cast<size_t>(c) + 1] - scrollX_;
        if (begin == end || end <= left || begin >= right) continue;
        span.first = std::min(span.first, c);
        span.last = c;
    }
    return span.Empty() ? GridSpan{} : span;
}

GridSpan GridLayout::DataRowsIn(int top, int bottom) const {
    const int pitch = RowPitch(), dataTop = kFixedRows * pitch;
    top = std::max(top, dataTop);
    bottom = std::min(bottom, clientHeight_);
    if (top >= bottom) return {};
    const int first = topRow_ + (top - dataTop) / pitch;
    const int last = std::min(topRow_ + (bottom - 1 - dataTop) / pitch, rowCount_ - 1);
    return first <= last ? GridSpan{first, last} : GridSpan{};
}

bool GridLayout::TitleIn(int top, int bottom) const {
    return rowCount_ > 0 && std::max(top, 0) < std::min({bottom, kFixedRows * RowPitch(), clientHeight_});
}

int GridLayout::ColBorderAt(int x, int tolerance) const {
    int best = -1, bestDistance = tolerance + 1;
    for (int c = 0; c < ColCount(); ++c) {
        const int line = lefts_[static_cast<size_t>(c) + 1] - 1 - scrollX_;
        const int distance = std::abs(x - line);
        if (distance <= bestDistance && distance <= tolerance) {
            best = c;
            bestDistance = distance;
        }
    }
    return best;
}

}  // namespace ui

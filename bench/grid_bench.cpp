// Measures the string grid: the repaint of its visible area with ten thousand
// rows against ten, and the fill of ten thousand rows. Needs a display.
#include <windows.h>

#include <cstdio>
#include <string>

#include "bench/stopwatch.h"
#include "ui/string_grid.h"
#include "ui/window_class.h"

namespace {

class BenchWindow : public ui::TControl {
public:
    BenchWindow() : TControl(nullptr) {
        ui::EnsureWindowClass("ZevBenchWindow", 0);
        CreateHandle("ZevBenchWindow", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0, 0, 700, 400);
        ShowWindow(Handle(), SW_SHOW);
        UpdateWindow(Handle());
    }
};

void Pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

// The cells a file page shows: name, date, size, extension, counts.
void Fill(ui::TStringGrid& grid, int rows) {
    grid.BeginUpdate();
    grid.SetRowCount(rows + 1);
    char buffer[64];
    for (int r = 1; r <= rows; ++r) {
        std::snprintf(buffer, sizeof buffer, "ファイル_%06d.txt", r);
        grid.SetCell(0, r, buffer);
        std::snprintf(buffer, sizeof buffer, "2006/02/%02d %02d:%02d:%02d", 1 + r % 28, r % 24, r % 60, (r * 7) % 60);
        grid.SetCell(1, r, buffer);
        std::snprintf(buffer, sizeof buffer, "%d,%03d", r / 1000 + 1, r % 1000);
        grid.SetCell(2, r, buffer);
        grid.SetCell(3, r, "txt");
        grid.SetCell(4, r, std::to_string(14 + r % 10));
        grid.SetCell(5, r, std::to_string(4 * (1 + r % 100)));
        grid.SetCell(6, r, std::to_string(r % 100));
    }
    grid.EndUpdate();
}

double RepaintMilliseconds(ui::TStringGrid& grid, int times) {
    Pump();
    UpdateWindow(grid.Handle());
    const Stopwatch watch;
    for (int i = 0; i < times; ++i) {
        InvalidateRect(grid.Handle(), nullptr, FALSE);
        UpdateWindow(grid.Handle());
    }
    return watch.Milliseconds() / times;
}

// A grid as the file page sets it up: its widths, title colour and the
// right-aligned number columns.
void SetUp(ui::TStringGrid& grid, int top) {
    const int widths[] = {130, 110, 70, 40, 30, 60, 25};
    for (int c = 0; c < 7; ++c) grid.SetColWidth(c, widths[c]);
    // About ten data rows in view, so the ten-row grid fills it too.
    grid.SetBounds(0, top, 520, 11 * 17 + 4);
    grid.SetFixedColor(RGB(221, 255, 221));
    grid.OnDrawCell = [](ui::TStringGrid& g, int col, int row, const RECT& rect, ui::TGridDrawState) {
        if (row == 0 || (col != 2 && col != 4 && col != 5)) return;
        g.Canvas().FillRect(rect);
        RECT r = rect;
        r.top += 2;
        const std::string& text = g.Cell(col, row);
        DrawTextA(g.Canvas().Handle(), text.c_str(), static_cast<int>(text.size()), &r, DT_RIGHT);
    };
}

}  // namespace

int main() {
    BenchWindow window;
    ui::TStringGrid large(&window, 7, 2), small(&window, 7, 2);
    SetUp(large, 0);
    SetUp(small, 200);
    Pump();

    constexpr int kFills = 20, kRounds = 10, kRepaints = 100, kScrolls = 1000;
    double fill = 0;
    for (int i = 0; i < kFills; ++i) {
        const Stopwatch watch;
        Fill(large, 10000);
        fill += watch.Milliseconds();
    }
    fill /= kFills;
    Fill(small, 10);
    large.SetRow(5000);
    small.SetRow(5);

    // Rounds alternate between the two grids so that both meet the same
    // conditions of the display.
    double largeRepaint = 0, smallRepaint = 0;
    for (int round = 0; round < kRounds; ++round) {
        largeRepaint += RepaintMilliseconds(large, kRepaints) / kRounds;
        smallRepaint += RepaintMilliseconds(small, kRepaints) / kRounds;
    }

    Pump();
    const Stopwatch scrollWatch;
    for (int i = 0; i < kScrolls; ++i) {
        SendMessageA(large.Handle(), WM_VSCROLL, i % 2 ? SB_LINEUP : SB_LINEDOWN, 0);
        UpdateWindow(large.Handle());
    }
    const double scroll = scrollWatch.Milliseconds() / kScrolls;

    std::printf("grid_bench: %d data rows in view\n", large.VisibleRowCount());
    std::printf("fill of 10,000 rows x 7 columns:   %8.3f ms (average of %d)\n", fill, kFills);
    std::printf("repaint, 10,000 rows:              %8.3f ms (average of %d)\n", largeRepaint, kRounds * kRepaints);
    std::printf("repaint, 10 rows:                  %8.3f ms (average of %d)\n", smallRepaint, kRounds * kRepaints);
    std::printf("one-line scroll and its repaint:   %8.3f ms (average of %d)\n", scroll, kScrolls);
    std::printf("repaint ratio 10,000 rows / 10 rows: %.2f (goal: at most 1.5)\n", largeRepaint / smallRepaint);
    return 0;
}

#pragma once
// A treemap's geometry: the squarified layout of sized items in a rectangle,
// and cushion shading painted into a 32-bit pixel buffer.
#include <algorithm>
#include <cstdint>
#include <limits>

// A rectangle in pixels with real edges. A pixel belongs to it when the
// pixel's centre lies inside, left and top edges included, so rectangles
// that share an edge share no pixel.
struct MapRect {
    double left = 0, top = 0, right = 0, bottom = 0;

    double width() const { return right - left; }
    double height() const { return bottom - top; }
    double area() const { return width() * height(); }
    bool holdsPixel(int x, int y) const
    {
        const double cx = x + 0.5, cy = y + 0.5;
        return cx >= left && cx < right && cy >= top && cy < bottom;
    }
};

// One row of a squarified layout: items [First, End) side by side in Rect,
// Size being theirs added up.
struct SquareRow {
    MapRect Rect;
    double Size = 0;
    int First = 0, End = 0;
    bool Across = false;  // runs along the top, its items left to right
};

// Lays count items, largest first, into area, each taking a share of it in
// proportion to its size (sizeOf(i) > 0, all adding up to total), and calls
// placeRow(row) for each row in turn. Items go in rows along the shorter side
// of what is left; a row takes the next item as long as that leaves its
// worst aspect ratio no worse. The last row reaches the far edge exactly, so
// the rows tile the area.
template <class SizeOf, class PlaceRow>
void SquarifyRows(MapRect area, int count, double total, SizeOf sizeOf, PlaceRow placeRow)
{
    if (count <= 0 || total <= 0 || area.width() <= 0 || area.height() <= 0)
        return;
    const double scale = area.area() / total;
    double left = total;
    int first = 0;
    while (first < count) {
        const bool across = area.width() < area.height();
        const double side = across ? area.width() : area.height();
        const double side2 = side * side;
        int end = first;
        double rowArea = 0, largest = 0, smallest = std::numeric_limits<double>::max();
        double worst = std::numeric_limits<double>::max();
        while (end < count) {
            const double a = sizeOf(end) * scale;
            const double sum = rowArea + a;
            const double hi = std::max(largest, a), lo = std::min(smallest, a);
            const double ratio = std::max(side2 * hi / (sum * sum), sum * sum / (side2 * lo));
            if (end > first && ratio > worst)
                break;
            worst = ratio;
            rowArea = sum;
            largest = hi;
            smallest = lo;
            ++end;
        }
        double rowSize = 0;
        for (int i = first; i < end; ++i)
            rowSize += sizeOf(i);
        const bool lastRow = end == count;
        // The row's thickness across the rest, as a share of it.
        const double share = lastRow ? 1.0 : rowSize / left;
        SquareRow row{area, rowSize, first, end, across};
        if (across) {
            row.Rect.bottom = lastRow ? area.bottom : area.top + area.height() * share;
            area.top = row.Rect.bottom;
        } else {
            row.Rect.right = lastRow ? area.right : area.left + area.width() * share;
            area.left = row.Rect.right;
        }
        placeRow(row);
        left -= rowSize;
        first = end;
    }
}

// Calls place(i, rect) for each item of a row SquarifyRows laid, with the
// same sizes; the last item reaches the row's far end exactly, so the items
// tile the row.
template <class SizeOf, class Place>
void PlaceRowItems(const SquareRow& row, SizeOf sizeOf, Place place)
{
    double done = 0;
    for (int i = row.First; i < row.End; ++i) {
        MapRect r = row.Rect;
        const double from = done / row.Size;
        done += sizeOf(i);
        const double to = i + 1 == row.End ? 1.0 : done / row.Size;
        if (row.Across) {
            r.left = row.Rect.left + row.Rect.width() * from;
            r.right = i + 1 == row.End ? row.Rect.right : row.Rect.left + row.Rect.width() * to;
        } else {
            r.top = row.Rect.top + row.Rect.height() * from;
            r.bottom = i + 1 == row.End ? row.Rect.bottom : row.Rect.top + row.Rect.height() * to;
        }
        place(i, r);
    }
}

// Both at once: every item's rectangle, row by row, so that together they
// tile the area.
template <class SizeOf, class Place>
void Squarify(MapRect area, int count, double total, SizeOf sizeOf, Place place)
{
    SquarifyRows(area, count, total, sizeOf, [&](const SquareRow& row) { PlaceRowItems(row, sizeOf, place); });
}

// The cushion over a rectangle nested in others: a sum of parabolic ridges,
// one per level, z = x2 x^2 + x1 x + y2 y^2 + y1 y.
struct Cushion {
    double x1 = 0, x2 = 0, y1 = 0, y2 = 0;

    // The cushion with one more ridge of height h spanning r.
    Cushion With(const MapRect& r, double h) const;
};

// A 32-bit top-down pixel buffer, 0x00RRGGBB per pixel.
struct PixelBuffer {
    std::uint32_t* pixels = nullptr;
    int width = 0, height = 0;
};

// Paints the pixels of r in the colour (0x00RRGGBB) lit on the cushion from
// the upper left: each channel is scaled by the same factor, at most 1, so
// the hue stays and only the brightness varies.
void PaintCushion(const PixelBuffer& buffer, const MapRect& r, const Cushion& cushion, std::uint32_t color);

// The pixels a rectangle covers, clipped to the buffer: [x0, x1) x [y0, y1).
struct PixelSpan {
    int x0, y0, x1, y1;
};
PixelSpan PixelsOf(const MapRect& r, int width, int height);

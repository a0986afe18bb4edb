#pragma once
// The map's picture of its records: a squarified treemap (area = size) with
// cushion shading, each file coloured by its age or its kind, and where each
// point of it lies.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "core/treemap_layout.h"
#include "folders/map_records.h"

// Where a point of the map lies: the file's rectangle, or the block of small
// files of a folder (File -1) painted as one.
struct MapHit {
    std::int32_t File = -1;
    std::int32_t Folder = -1;
    MapRect Rect;
};

// Ages fall in five bands from the walk's start: within a day, a week, a
// month, a year, and before.
inline constexpr int kAgeBands = 5;
std::uint32_t AgeBandColor(int band);
// The kinds holding the most bytes that get hues of their own.
inline constexpr int kHuedKinds = 10;

class MapLayout {
public:
    enum class Coloring { Age, Kind };

    explicit MapLayout(const MapRecords& records) : records_(records) {}
    MapLayout(const MapLayout&) = delete;
    MapLayout& operator=(const MapLayout&) = delete;

    // After the records' End or a removal: the kinds' colours and each
    // folder's average; the last layout is forgotten until the next Paint.
    void Update();
    // Forgets the colours and the last layout.
    void Clear() noexcept;

    Coloring Colors() const { return coloring_; }
    void SetColoring(Coloring coloring);
    // The colour of a file as the map paints it before shading.
    std::uint32_t ColorOf(const MapFile& file) const;
    // The colour of a kind; grey past the ten largest.
    std::uint32_t KindColor(std::int32_t kind) const;

    // Lays the map out over the whole buffer and paints it; background where
    // nothing holds bytes. Keeps the rows of tiles it painted, and nothing of
    // the folders and files too small to paint.
    void Paint(const PixelBuffer& buffer, std::uint32_t background);
    // What the pixel shows under the last Paint's layout: a search of the
    // rows painted, a row per level.
    MapHit HitTest(int x, int y) const;
    // Where a file, or a folder's block of small files (File -1), lies under
    // the last Paint's layout; a file laid in its folder's block gives the
    // block's rectangle. Empty when it is not on the map.
    MapRect Locate(const MapHit& target) const;
    // A folder's rectangle under the last Paint's layout; empty when it was
    // too small to be laid out.
    MapRect FolderRect(std::int32_t folder) const;
    // The bytes the colours and the rows painted take.
    std::size_t Bytes() const;

private:
    // A folder laid out by the last Paint: its rows, and its items from Own
    // on painted as one block of SmallBytes.
    struct LaidFolder {
        std::int64_t SmallBytes = 0;
        std::int32_t FirstRow = 0;
        std::int32_t RowCount = 0;
        std::int32_t Own = 0;
    };

    // A row of a laid folder's tiles, its first tile being where the row
    // before it ended, its size theirs added up again.
    struct LaidRow {
        MapRect Rect;
        std::int32_t End = 0;
        bool Across = false;
    };

    void WorkOutAverages();
    // A laid folder's row r as the layout placed its tiles.
    SquareRow RowOf(const MapFolder& folder, const LaidFolder& laid, std::int32_t r) const;
    void Lay(std::int32_t folder, const MapRect& rect, const Cushion& cushion, int depth, const PixelBuffer& buffer);
    // The size of a laid folder's i-th tile, its block being tile Own.
    std::int64_t TileSize(const MapFolder& folder, const LaidFolder& laid, int i) const;
    // The rectangle of a laid folder's i-th tile.
    MapRect TileRect(std::int32_t folder, int i) const;
    // The rectangle of a folder as the last Paint laid it; nullopt when it
    // was not laid out.
    std::optional<MapRect> LaidRect(std::int32_t folder) const;
    // The colour of a folder's block of items from the first given on.
    std::uint32_t BlockColor(const MapFolder& folder, std::int32_t from) const;

    const MapRecords& records_;
    Coloring coloring_ = Coloring::Age;
    // Colour per kind, kOtherKind's being grey.
    std::vector<std::uint32_t> kindColors_;
    // Colour of each folder's files on average, by bytes.
    std::vector<std::uint32_t> averages_;
    // The last Paint's layout: per folder its index in laid_, -1 when it was
    // not laid out; the rows of every folder laid out.
    std::vector<std::int32_t> laidOf_;
    std::vector<LaidFolder> laid_;
    std::vector<LaidRow> rows_;
    int width_ = 0, height_ = 0;
};

#pragma once
// The map's controls on the tree page: the map itself, painted from a kept
// bitmap, and the pane that holds it with a splitter strip above and the
// colouring switches and the legend below.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "folders/map_layout.h"
#include "folders/map_records.h"
#include "folders/map_texts.h"
#include "ui/control.h"
#include "ui/gdi.h"
#include "ui/panel.h"
#include "ui/radio_button.h"

// A bitmap of 32-bit pixels the program writes directly, selected into a
// memory DC for copying to the screen.
class KeptBitmap {
public:
    KeptBitmap() = default;
    ~KeptBitmap();
    KeptBitmap(const KeptBitmap&) = delete;
    KeptBitmap& operator=(const KeptBitmap&) = delete;

    // Made anew when the size changes; false when it cannot be made.
    bool Resize(int width, int height);
    void Release();
    PixelBuffer Pixels() const { return {bits_, width_, height_}; }
    HDC DC() const { return dc_; }

private:
    HDC dc_ = nullptr;
    ui::GdiObject<HBITMAP> bitmap_;
    HGDIOBJ old_ = nullptr;
    std::uint32_t* bits_ = nullptr;
    int width_ = 0, height_ = 0;
};

class TTreeMapView : public ui::TControl {
public:
    TTreeMapView(ui::TControl* parent, MapLayout& map);

    // While a walk fills the map it shows its background only and takes no
    // input; once it ends, Rebuild lays the map out and paints it afresh.
    void SetBusy(bool busy);
    bool Busy() const { return busy_; }
    // Lays the map out and paints it into the kept bitmap at the window's size.
    void Rebuild();
    // Lets go of the bitmap; the window shows the background.
    void ReleaseBitmap();
    // What the outline frames: a file, a folder's small files (File -1), or
    // with folderOnly the folder's own rectangle; nothing for Folder -1.
    void SetOutline(const MapHit& target, bool folderOnly);
    MapRect OutlineRect() const { return outlineRect_; }
    // The file a click outlined; -1 when the outline frames a folder or a
    // block of small files, or nothing.
    std::int32_t OutlinedFile() const { return outlineFolder_ ? -1 : outline_.File; }
    const KeptBitmap& Bitmap() const { return bitmap_; }

    // Shown when the mouse is over no file.
    std::string MapHint;
    // The hint over a file.
    std::function<std::string(std::int32_t file)> FileHint;
    // A click on the map where it lies.
    std::function<void(const MapHit& hit, ui::TMouseButton button, bool doubleClick)> OnMapClick;

protected:
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void Paint();
    void ShowHintAt(int x, int y);
    void Relocate();
    RECT OutlinePixels() const;

    MapLayout& map_;
    KeptBitmap bitmap_;
    bool busy_ = false;
    MapHit outline_;
    bool outlineFolder_ = false;
    MapRect outlineRect_;
};

// Names the colours of the map: a square of each with its text.
class TMapLegend : public ui::TControl {
public:
    explicit TMapLegend(ui::TControl* parent);
    void SetEntries(std::vector<LegendEntry> entries);
    const std::vector<LegendEntry>& Entries() const { return entries_; }

protected:
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    std::vector<LegendEntry> entries_;
};

// The pane under the tree: its top strip moves the edge between tree and map.
class TTreeMapPane : public ui::TPanel {
public:
    explicit TTreeMapPane(ui::TControl* parent);

    // What the walk recorded, and the picture of it.
    MapRecords Records;
    MapLayout Layout;
    ui::TPanel Bar;
    ui::TPanel Switches;
    ui::TRadioButton ByAge;
    ui::TRadioButton ByKind;
    TMapLegend Legend;
    TTreeMapView View;

    // The legend from the layout's colouring.
    void UpdateLegend();
    // The height wanted, fitted by the page's layout as every other height.
    void SetHeight(int height);

protected:
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
    void AdjustAlignRect(RECT& rect) const override;
    // Between the map's least height and what leaves the tree its own.
    int AlignedHeight(int room) override;

private:
    void ColoringClick(MapLayout::Coloring coloring);

    // While the strip is dragged: the pointer's screen y and the height then.
    bool dragging_ = false;
    int dragY_ = 0, dragHeight_ = 0;
    // The room at the last layout, 0 when the height was set since.
    int room_ = 0;
};

#pragma once
// The map's texts: the status bar's line over a file, the legend, and the
// kinds copy. Sizes are in the unit given, 1 (bytes) or 1024 (kilobytes).
#include <cstdint>
#include <string>
#include <vector>

#include "folders/map_layout.h"
#include "folders/map_records.h"

struct LegendEntry {
    std::uint32_t Color;  // 0x00RRGGBB
    std::string Text;
};

// Path, size and time, as the status bar shows it.
std::string MapFileHint(const MapRecords& records, std::int32_t file, std::int32_t sizeUnit);
// One line per extension, by bytes; the kinds copy.
std::string MapKindsText(const MapRecords& records, std::int32_t sizeUnit);
// The colours of the layout's colouring, each with what it stands for.
std::vector<LegendEntry> MapLegend(const MapRecords& records, const MapLayout& layout);

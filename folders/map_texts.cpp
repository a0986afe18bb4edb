#include "folders/map_texts.h"

#include "core/number_format.h"
#include "core/sizes.h"
#include "core/stamp.h"

namespace {

constexpr const char* kAgeNames[kAgeBands] = {"1 日以内", "1 週間以内", "1 か月以内", "1 年以内", "それ以前"};

}  // namespace

std::string MapFileHint(const MapRecords& records, std::int32_t file, std::int32_t sizeUnit)
{
    const MapFile& f = records.File(file);
    FILETIME local{};
    FileTimeToLocalFileTime(&f.Written, &local);
    SYSTEMTIME stamp{};
    FileTimeToSystemTime(&local, &stamp);
    return records.FilePath(file).Shown + "  " + FormatNumber(ToDisplaySize(f.Size, sizeUnit))
        + (sizeUnit == 1024 ? " KB" : " bytes") + "  " + FormatStamp(stamp).str();
}

std::string MapKindsText(const MapRecords& records, std::int32_t sizeUnit)
{
    std::string text;
    for (const std::int32_t k : records.RankedKinds()) {
        const MapKind& kind = records.Kinds()[static_cast<std::size_t>(k)];
        text += KindName(kind) + "\t" + FormatNumber(ToDisplaySize(kind.Bytes, sizeUnit), 13) + "\t"
            + FormatNumber(static_cast<std::int64_t>(kind.Files), 8) + "\t"
            + FormatFixed(records.ShareOf(kind.Bytes), 2, 6) + "%\r\n";
    }
    return text;
}

std::vector<LegendEntry> MapLegend(const MapRecords& records, const MapLayout& layout)
{
    std::vector<LegendEntry> legend;
    if (layout.Colors() == MapLayout::Coloring::Age) {
        for (int band = 0; band < kAgeBands; ++band)
            legend.push_back({AgeBandColor(band), kAgeNames[band]});
        return legend;
    }
    const std::vector<std::int32_t> ranked = records.RankedKinds();
    for (std::size_t r = 0; r < ranked.size() && r < kHuedKinds; ++r) {
        const MapKind& kind = records.Kinds()[static_cast<std::size_t>(ranked[r])];
        legend.push_back(
            {layout.KindColor(ranked[r]), KindName(kind) + " " + FormatFixed1(records.ShareOf(kind.Bytes)) + "%"});
    }
    return legend;
}

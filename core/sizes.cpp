#include "core/sizes.h"
#include "core/dbcs.h"
#include <cstddef>
#include <limits>

// One until the kilobyte box is first read, so no size is ever divided by zero.
std::int32_t SizeUnit = 1;
std::int32_t ClusterSize = 0;

std::int64_t CombineSize(std::uint32_t high, std::uint32_t low)
{
    return static_cast<std::int64_t>((std::uint64_t{high} << 32) | low);
}

std::int32_t CountNameChars(std::string_view name)
{
    std::size_t count = 0;
    bool semicolon = false;
    for (std::size_t i = 0; i < name.size(); ++i) {
        const auto byte = static_cast<unsigned char>(name[i]);
        if (IsShiftJisLeadByte(byte))
            ++i;  // the trail byte may be 0x3B without being a ";"
        else if (byte == ';')
            semicolon = true;
        ++count;
    }
    const auto chars = static_cast<std::int32_t>(
        count < std::size_t{std::numeric_limits<std::int32_t>::max()} ? count
            : std::size_t{std::numeric_limits<std::int32_t>::max()});
    return semicolon ? -chars : chars;
}

std::int64_t SizeOnDisk(std::int64_t size)
{
    // Before the first drive query, or after one that failed, there is no
    // cluster size to round to; the size itself is the best figure.
    if (ClusterSize <= 0)
        return size;
    const std::int64_t cluster = ClusterSize;
    std::int64_t clusters = size / cluster;
    if (size - clusters * cluster > 0) {
        if (clusters >= std::numeric_limits<std::int64_t>::max() / cluster)
            return std::numeric_limits<std::int64_t>::max();
        ++clusters;
    }
    return clusters * cluster;
}

std::int64_t ToDisplaySize(std::int64_t size)
{
    return ToDisplaySize(size, SizeUnit);
}

std::int64_t ToDisplaySize(std::int64_t size, std::int32_t sizeUnit)
{
    if (sizeUnit <= 1)
        return size;
    // (size + unit / 2) / unit rounded half to even, split so that nothing
    // overflows near the ends of the range.
    const std::int64_t unit = sizeUnit;
    std::int64_t quotient = size / unit;
    std::int64_t rest = size % unit;
    if (rest < 0) {
        --quotient;
        rest += unit;
    }
    rest += unit / 2;
    quotient += rest / unit;
    rest %= unit;
    if (2 * rest > unit || (2 * rest == unit && quotient % 2 != 0))
        ++quotient;
    return quotient;
}

void UpdateSizeUnit(bool kilobytes)
{
    SizeUnit = kilobytes ? 1024 : 1;
}

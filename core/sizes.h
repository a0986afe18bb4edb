#pragma once
#include <cstdint>
#include <string_view>

// Divisor of every size shown or copied: 1 (bytes) or 1024 (kilobytes).
extern std::int32_t SizeUnit;
// Cluster size in bytes of the drive the header shows; 0 before the first query.
extern std::int32_t ClusterSize;

std::int64_t CombineSize(std::uint32_t high, std::uint32_t low);
// Characters of a Shift_JIS name, a double-byte character counting once;
// negated when the name holds ";".
std::int32_t CountNameChars(std::string_view name);
// Bytes the size takes in whole clusters of ClusterSize.
std::int64_t SizeOnDisk(std::int64_t size);
// The size in SizeUnit units, rounded as the pages show it.
std::int64_t ToDisplaySize(std::int64_t size);
// The same in the unit given, 1 or 1024.
std::int64_t ToDisplaySize(std::int64_t size, std::int32_t unit);
// SizeUnit from the kilobyte check box.
void UpdateSizeUnit(bool kilobytes);

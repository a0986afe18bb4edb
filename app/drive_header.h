#pragma once
#include <cstdint>
#include <string>

// The root whose figures the header shows: a bare lower-case drive letter
// after a drive change, PathRoot of the path after a drop.
extern std::string DriveRoot;

struct DriveSpace {
    std::uint32_t SectorsPerCluster = 0;
    std::uint32_t BytesPerSector = 0;
    std::uint32_t FreeClusters = 0;
    std::uint32_t TotalClusters = 0;
};

// rootdir ends in "\". False when the drive cannot be asked.
bool QueryDriveSpace(const std::string& rootdir, DriveSpace& space);
// The header's used and free figures in kilobytes.
std::string DiskSpaceText(const DriveSpace& space);
// The cluster size of the drive, also stored in ClusterSize; 0 when the drive
// cannot be asked, and ClusterSize then keeps its last good value.
std::int64_t QueryClusterSize(const std::string& rootdir);

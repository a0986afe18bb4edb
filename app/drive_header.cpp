#include "app/drive_header.h"

#include <windows.h>
#include <shellapi.h>

#include "app/zev_form.h"
#include "core/number_format.h"
#include "core/paths.h"
#include "core/sizes.h"

std::string DriveRoot;

namespace {

// The VWIN32 register block of the Windows 95 family.
struct DiocRegisters {
    DWORD reg_EBX, reg_EDX, reg_ECX, reg_EAX, reg_EDI, reg_ESI, reg_Flags;
};
static_assert(sizeof(DiocRegisters) == 28);

// INT 21h function 7303h's extended free-space structure.
#pragma pack(push, 1)
struct ExtGetDskFreSpcStruc {
    WORD Size;
    WORD Level;
    DWORD SectorsPerCluster;
    DWORD BytesPerSector;
    DWORD AvailableClusters;
    DWORD TotalClusters;
    DWORD AvailablePhysSectors;
    DWORD TotalPhysSectors;
    DWORD AvailableAllocationUnits;
    DWORD TotalAllocationUnits;
    DWORD Reserved[2];
};
#pragma pack(pop)
static_assert(sizeof(ExtGetDskFreSpcStruc) == 44);

constexpr DWORD kVwin32DosDriveInfo = 6;

class DeviceHandle {
public:
    explicit DeviceHandle(HANDLE h) : h_(h) {}
    ~DeviceHandle() {
        if (valid()) CloseHandle(h_);
    }
    DeviceHandle(const DeviceHandle&) = delete;
    DeviceHandle& operator=(const DeviceHandle&) = delete;
    bool valid() const { return h_ != INVALID_HANDLE_VALUE && h_ != nullptr; }
    HANDLE get() const { return h_; }

private:
    HANDLE h_;
};

bool TakesWin95Route() {
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof version;  // 148 bytes
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (!GetVersionExA(&version)) return false;
#pragma GCC diagnostic pop
    const DWORD build = version.dwBuildNumber & 0xFFFF;
    return (version.dwPlatformId == VER_PLATFORM_WIN32_NT && version.dwMajorVersion >= 4) ||
           (version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS && version.dwMajorVersion > 4) ||
           (version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS && build > 1000);
}

// On Windows NT the device does not open and the caller falls back.
bool QueryVwin32(const std::string& rootdir, DriveSpace& space) {
    DeviceHandle device(CreateFileA("\\\\.\\VWIN32", 0, 0, nullptr, 0, FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    if (!device.valid()) return false;
    ExtGetDskFreSpcStruc info{};
    info.Level = 0;
    DiocRegisters regs{};
    regs.reg_EAX = 0x7303;
    regs.reg_EDX = static_cast<DWORD>(reinterpret_cast<UINT_PTR>(rootdir.c_str()));
    regs.reg_EDI = static_cast<DWORD>(reinterpret_cast<UINT_PTR>(&info));
    regs.reg_ECX = sizeof info;
    regs.reg_Flags = 1;
    DWORD returned = 0;
    if (!DeviceIoControl(device.get(), kVwin32DosDriveInfo, &regs, sizeof regs, &regs, sizeof regs, &returned,
                         nullptr) ||
        (regs.reg_Flags & 1))
        return false;
    space = {info.SectorsPerCluster, info.BytesPerSector, info.AvailableClusters, info.TotalClusters};
    return true;
}

char LowerDriveLetter(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Calls DragFinish however the drop handling ends.
class DropGuard {
public:
    explicit DropGuard(HDROP drop) : drop_(drop) {}
    ~DropGuard() { DragFinish(drop_); }
    DropGuard(const DropGuard&) = delete;
    DropGuard& operator=(const DropGuard&) = delete;

private:
    HDROP drop_;
};

// Wide, so that a name the code page cannot hold still reaches its entry.
std::wstring FirstDroppedPath(HDROP drop) {
    // Asking for the length first reads a path of any length whole.
    const UINT length = DragQueryFileW(drop, 0, nullptr, 0);
    std::wstring path(static_cast<size_t>(length) + 1, L'\0');
    path.resize(DragQueryFileW(drop, 0, path.data(), length + 1));
    return path;
}

}  // namespace

bool QueryDriveSpace(const std::string& rootdir, DriveSpace& space) {
    if (TakesWin95Route() && QueryVwin32(rootdir, space)) return true;
    DWORD sectors = 0, bytes = 0, freeClusters = 0, totalClusters = 0;
    if (!GetDiskFreeSpaceA(rootdir.c_str(), &sectors, &bytes, &freeClusters, &totalClusters)) return false;
    space = {sectors, bytes, freeClusters, totalClusters};
    return true;
}

std::string DiskSpaceText(const DriveSpace& space) {
    // Bytes first, then kilobytes, so clusters under 1 KB still count.
    const double cluster = double(space.SectorsPerCluster) * double(space.BytesPerSector);
    const double used = (double(space.TotalClusters) - double(space.FreeClusters)) * cluster / 1024.0;
    const double free = double(space.FreeClusters) * cluster / 1024.0;
    return FormatNumber(used) + "KB 使用  " + FormatNumber(free) + "KB 空き";
}

std::int64_t QueryClusterSize(const std::string& rootdir) {
    DriveSpace space;
    if (!QueryDriveSpace(rootdir, space)) return 0;
    const std::int64_t size = std::int64_t{space.SectorsPerCluster} * space.BytesPerSector;
    ClusterSize = static_cast<std::int32_t>(size);
    return size;
}

void TForm1::ShowDriveInfo(const std::string& root) {
    const std::string rootdir = root + "\\";
    const std::int64_t clusterSize = QueryClusterSize(rootdir);
    if (root.find(':') != std::string::npos)
        ClusterSizeLabel.SetCaption("クラスターサイズ: " + std::to_string(clusterSize));
    DriveSpace space;
    if (!QueryDriveSpace(rootdir, space)) space = {};
    DiskFreeLabel.SetCaption(DiskSpaceText(space));
}

void TForm1::DriveComboBox1Change(ui::TControl&) {
    const char letter = DriveComboBox1.Drive();
    DriveRoot = std::string(1, letter);
    RemoteFileSystem = false;
    // The header and ClusterSize first, so the rebuilt page uses this drive's clusters.
    ShowDriveInfo(DriveRoot + ":");
    DirectoryListBox1.SetDrive(letter);
}

void TForm1::FilesDropped(HDROP drop) {
    DropGuard guard(drop);
    StartPath = ExpandLongPath(FirstDroppedPath(drop));
    DriveRoot = PathRoot(StartPath.Shown);
    ClusterSizeLabel.SetCaption(StartPath.Shown);
    ShowDriveInfo(DriveRoot);
    if (!IsExistingFolder(StartPath)) StartPath = FolderHolding(StartPath);
    if (StartPath.empty()) return;
    if (StartPath.Shown.find(':') == std::string::npos) {
        ClusterSizeLabel.SetCaption("リモートファイルシステム");
        RemoteFileSystem = true;
        ShowDriveInfo(DriveRoot);
    } else {
        DriveComboBox1.SetDrive(LowerDriveLetter(StartPath.Shown[0]));
        RemoteFileSystem = false;
    }
    DirectoryListBox1.SetDirectory(StartPath);
    CurrentFolder = DirectoryListBox1.Path();
    DirectoryLabel.SetCaption(CurrentFolder.Shown);
    if (DriveRoot.size() >= 2 && DriveRoot[1] == ':' && !CurrentFolder.Shown.empty())
        DriveComboBox1.SetDrive(LowerDriveLetter(CurrentFolder.Shown[0]));
}

#include "folders/folder_scan.h"

#include <memory>

#include "core/find_file.h"
#include "core/folder_walk.h"
#include "core/paths.h"
#include "core/sizes.h"

// Record 0 is there before the first scan, so the page can be copied at once.
std::vector<FolderSummary> FolderTable(1);
std::int32_t FolderCount = 1;
bool UpdateFolderTimes = false;

namespace {

bool IsZero(const FILETIME& time)
{
    return time.dwLowDateTime == 0 && time.dwHighDateTime == 0;
}

FILETIME LocalWriteTime(const FindFile& entry)
{
    FILETIME local{};
    FileTimeToLocalFileTime(&entry.data().ftLastWriteTime, &local);
    return local;
}

struct HandleCloser {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using UniqueHandle = std::unique_ptr<void, HandleCloser>;

SYSTEMTIME ToSystemTime(const FILETIME& time)
{
    SYSTEMTIME stamp{};
    FileTimeToSystemTime(&time, &stamp);
    return stamp;
}

// The files of one folder, or of a subtree, totalled.
struct FileTotals {
    std::int64_t size = 0;
    std::int64_t diskSize = 0;
    std::int32_t fileCount = 0;
    FILETIME newest{};  // local time
    std::string newestName;

    void addFile(const FindFile& entry)
    {
        const FILETIME time = LocalWriteTime(entry);
        ++fileCount;
        const std::int64_t bytes = entry.size();
        size += bytes;
        diskSize += SizeOnDisk(bytes);
        // Strictly later only: of equal times the first listed stays.
        if (CompareFileTime(&newest, &time) < 0) {
            newest = time;
            newestName = entry.name();
        }
    }

    void addSubtree(FileTotals& sub)
    {
        size += sub.size;
        diskSize += sub.diskSize;
        fileCount += sub.fileCount;
        // The sub-folder wins ties, so a later one beats an earlier one.
        if (CompareFileTime(&newest, &sub.newest) <= 0) {
            newest = sub.newest;
            newestName.swap(sub.newestName);
        }
    }
};

// The folder scan as a walk goes, depth first: each folder's files totalled,
// each sub-folder's subtree added to its parent once done, and with rows,
// each sub-folder of the first folder a record of FolderTable.
class ScanWalk : public FolderVisitor {
public:
    ScanWalk(bool update, bool rows, WalkProgress& progress) : update_(update), rows_(rows), progress_(progress) {}

    void Enter(const DiskPath&) override
    {
        if (frames_.empty())
            frames_.emplace_back();
        frames_.back().entered = true;
    }

    void Met(const DiskPath&, const FindFile& entry) override
    {
        if (!entry.isFolder()) {
            frames_.back().totals.addFile(entry);
            return;
        }
        Frame& frame = frames_.emplace_back();
        if (rows_ && frames_.size() == 2) {
            if (FolderTable.size() <= next_)
                FolderTable.resize(next_ + 1);
            FolderSummary& record = FolderTable[next_];
            record.Name = entry.name();
            record.WideName = entry.wideName();
            record.CharCount = CountNameChars(record.Name);
            record.Identity = IdentityOf(entry.data());
            frame.row = next_;
        }
    }

    void Done(const DiskPath& folder) override
    {
        Frame frame = std::move(frames_.back());
        frames_.pop_back();
        // Stamped only once the whole subtree is done and the search closed.
        // A subtree without files has no time to give, so such a folder
        // keeps its own; nor has a subtree the walk left unfinished. With
        // rows, the first folder keeps its times.
        if (frame.entered && update_ && !progress_.stopped() && !IsZero(frame.totals.newest)
            && !(rows_ && frames_.empty()))
            StampFolderTime(folder, frame.totals.newest);
        if (frames_.empty()) {
            first_ = std::move(frame.totals);
        } else if (frame.row != 0) {
            // A junction or link keeps its row with nothing read, and so does
            // a folder met when the walk is told to stop.
            FolderSummary& record = FolderTable[frame.row];
            record.Size = frame.totals.size;
            record.FileCount = frame.totals.fileCount;
            record.DiskSize = frame.totals.diskSize;
            record.NewestName = std::move(frame.totals.newestName);
            record.Stamp = ToSystemTime(frame.totals.newest);
            // Stamping gave the folder a new time since it was listed.
            if (update_ && frame.entered) {
                const std::wstring_view self(folder.Wide.data(), folder.Wide.size() - 1);  // without its "\"
                if (FindFile stamped{std::wstring(self)}; stamped && stamped.wideName() == record.WideName)
                    record.Identity = IdentityOf(stamped.data());
            }
            ++next_;
        } else if (frame.entered) {
            frames_.back().totals.addSubtree(frame.totals);
        }
    }

    // The first folder's files, with rows; else its whole subtree.
    FileTotals& first() { return first_; }
    // The first free row.
    std::size_t rows() const { return next_; }

private:
    struct Frame {
        FileTotals totals;
        std::size_t row = 0;
        bool entered = false;
    };

    const bool update_;
    const bool rows_;
    WalkProgress& progress_;
    std::vector<Frame> frames_;  // the folders being walked, and the sub-folder met last
    FileTotals first_;
    std::size_t next_ = 1;
};

}  // namespace

std::int32_t ScanFolder(const DiskPath& folder, bool update)
{
    WalkProgress unwatched;
    return ScanFolder(folder, update, unwatched);
}

std::int32_t ScanFolder(const DiskPath& folder, bool update, WalkProgress& progress)
{
    ScanWalk scan(update, true, progress);
    WalkFolders(EndingInBackslash(folder), progress, scan);
    const std::size_t next = scan.rows();
    FolderTable.resize(next);
    FolderSummary& direct = FolderTable[0];
    FileTotals& files = scan.first();
    direct.Name = ".";
    direct.Size = files.size;
    direct.DiskSize = files.diskSize;
    direct.Stamp = ToSystemTime(files.newest);
    direct.FileCount = files.fileCount;
    direct.NewestName = std::move(files.newestName);
    return static_cast<std::int32_t>(next);
}

std::int64_t WalkFolder(const DiskPath& folder, bool update, FILETIME& newest,
                        std::string& newestName, std::int32_t& fileCount, std::int64_t& diskSize,
                        WalkProgress& progress)
{
    ScanWalk scan(update, false, progress);
    WalkFolders(folder, progress, scan);
    FileTotals& totals = scan.first();
    newest = totals.newest;
    newestName = std::move(totals.newestName);
    fileCount = totals.fileCount;
    diskSize += totals.diskSize;
    return totals.size;
}

void StampFolderTime(const DiskPath& folder, const FILETIME& newest)
{
    FILETIME utc{};
    if (!LocalFileTimeToFileTime(&newest, &utc))
        return;
    // FILE_FLAG_BACKUP_SEMANTICS is what lets CreateFile open a folder.
    const HANDLE opened = CreateFileW(LongForm(folder.Wide).c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (opened == INVALID_HANDLE_VALUE)
        return;
    const UniqueHandle handle(opened);
    SetFileTime(handle.get(), &utc, &utc, &utc);
}

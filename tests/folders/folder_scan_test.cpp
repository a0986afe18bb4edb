#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

#include "core/sizes.h"
#include "core/stamp.h"
#include "core/walk_rule.h"
#include "folders/folder_scan.h"
#include "tests/core/stop_at.h"
#include "tests/core/temp_tree.h"


namespace {

const FILETIME Old = Utc(2001, 2, 3, 4, 5, 6);
const FILETIME T1 = Utc(2019, 1, 2, 3, 4, 5);
const FILETIME T2 = Utc(2020, 5, 6, 7, 8, 9);
const FILETIME T3 = Utc(2021, 10, 11, 12, 13, 14);
const FILETIME T4 = Utc(2022, 12, 31, 23, 59, 58);

// The size on disk depends on the drive's cluster size; each test sets its own.
class ClusterSizeScope {
public:
    explicit ClusterSizeScope(std::int32_t size) : saved_(ClusterSize) { ClusterSize = size; }
    ~ClusterSizeScope() { ClusterSize = saved_; }
    ClusterSizeScope(const ClusterSizeScope&) = delete;
    ClusterSizeScope& operator=(const ClusterSizeScope&) = delete;

private:
    std::int32_t saved_;
};

auto Stamp(const SYSTEMTIME& s)
{
    return std::tuple(s.wYear, s.wMonth, s.wDay, s.wHour, s.wMinute, s.wSecond, s.wMilliseconds);
}

auto Fields(const FolderSummary& record)
{
    return std::tuple(record.Name, record.Size, record.DiskSize, record.FileCount, record.NewestName,
                      Stamp(record.Stamp));
}

// The sub-folder record of that name from the last scan.
const FolderSummary& Record(int count, std::string_view name)
{
    for (int i = 1; i < count; ++i)
        if (FolderTable[static_cast<std::size_t>(i)].Name == name)
            return FolderTable[static_cast<std::size_t>(i)];
    ADD_FAILURE() << "no record " << name;
    static const FolderSummary none;
    return none;
}

std::vector<FolderSummary> Scan(const std::string& folder, bool update)
{
    const int count = ScanFolder(folder, update);
    return {FolderTable.begin(), FolderTable.begin() + count};
}

void ExpectNoFiles(const FolderSummary& record)
{
    EXPECT_EQ(record.Size, 0);
    EXPECT_EQ(record.DiskSize, 0);
    EXPECT_EQ(record.FileCount, 0);
    EXPECT_EQ(record.NewestName, "");
    EXPECT_EQ(Stamp(record.Stamp), std::tuple(1601, 1, 1, 0, 0, 0, 0));
    EXPECT_EQ(FormatStamp(record.Stamp).str(), std::string(20, ' '));
}

std::vector<std::string> Folders(const std::string& folder)
{
    std::vector<std::string> folders;
    for (const std::string& name : Listing(folder))
        if (GetFileAttributesA((folder + "\\" + name).c_str()) & FILE_ATTRIBUTE_DIRECTORY)
            folders.push_back(name);
    return folders;
}

}  // namespace

TEST(ScanFolder, EmptyFolderLeavesOnlyTheDirectFilesRecord)
{
    TempTree full;
    full.File("一.txt", 10, T1);
    full.Folder("子");
    full.File("子\\二.txt", 20, T2);
    full.Folder("孫");
    ASSERT_EQ(ScanFolder(full.Root(), false), 3);

    // The records of the bigger scan before must not show through.
    TempTree empty;
    ASSERT_EQ(ScanFolder(empty.Root(), false), 1);
    EXPECT_EQ(FolderTable[0].Name, ".");
    ExpectNoFiles(FolderTable[0]);
}

TEST(ScanFolder, TotalsCoverTheWholeSubtree)
{
    const ClusterSizeScope cluster(4096);
    TempTree t;
    t.File("a.txt", 100, T1);
    t.File("b.txt", 0, T1);
    t.Folder("表示");
    t.File("表示\\x.bin", 5000, T1);
    t.Folder("表示\\ソフト");
    t.File("表示\\ソフト\\y.bin", 1, T2);
    // Past 4 GiB: sizes are 64-bit all the way in a 32-bit program.
    const std::int64_t huge = 5 * (std::int64_t{1} << 30) + 3;
    t.File("表示\\ソフト\\huge.bin", huge, T3);
    t.Folder("空");
    t.Folder("空\\中");

    // The root's name ends in the byte 0x5C, which is no separator: the
    // scan must still add one.
    const int count = ScanFolder(t.Root(), false);
    ASSERT_EQ(count, 3);
    const std::vector<std::string> order = Folders(t.Root());
    ASSERT_EQ(order.size(), 2u);
    EXPECT_EQ(FolderTable[1].Name, order[0]);
    EXPECT_EQ(FolderTable[2].Name, order[1]);

    const FolderSummary& shown = Record(count, "表示");
    EXPECT_EQ(shown.CharCount, 2);
    EXPECT_EQ(shown.Size, 5000 + 1 + huge);
    EXPECT_EQ(shown.DiskSize, 8192 + 4096 + (huge / 4096 + 1) * 4096);
    EXPECT_EQ(shown.FileCount, 3);
    EXPECT_EQ(shown.NewestName, "huge.bin");
    EXPECT_EQ(Stamp(shown.Stamp), Stamp(LocalStamp(T3)));

    const FolderSummary& empty = Record(count, "空");
    EXPECT_EQ(empty.CharCount, 1);
    ExpectNoFiles(empty);

    const FolderSummary& direct = FolderTable[0];
    EXPECT_EQ(direct.Name, ".");
    EXPECT_EQ(direct.Size, 100);
    EXPECT_EQ(direct.DiskSize, 4096);
    EXPECT_EQ(direct.FileCount, 2);
    EXPECT_EQ(Stamp(direct.Stamp), Stamp(LocalStamp(T1)));

    const std::vector<FolderSummary> withoutSlash = Scan(t.Root(), false);
    const std::vector<FolderSummary> withSlash = Scan(t.Root() + "\\", false);
    ASSERT_EQ(withSlash.size(), withoutSlash.size());
    for (std::size_t i = 0; i < withSlash.size(); ++i)
        EXPECT_EQ(Fields(withSlash[i]), Fields(withoutSlash[i]));
}

TEST(ScanFolder, MoreThan9999SubFoldersAreAllListed)
{
    TempTree t;
    constexpr int kFolders = 10050;
    ASSERT_TRUE(MakeUnixFolders(t.Root(), "f", kFolders));
    t.File("f10049\\last.txt", 3, T1);

    const int count = ScanFolder(t.Root(), false);
    ASSERT_EQ(count, kFolders + 1);
    ASSERT_EQ(static_cast<int>(FolderTable.size()), count);
    std::vector<bool> seen(kFolders);
    for (int i = 1; i < count; ++i) {
        const std::string& name = FolderTable[static_cast<std::size_t>(i)].Name;
        seen[static_cast<std::size_t>(std::stoi(name.substr(1)))] = true;
    }
    EXPECT_EQ(std::count(seen.begin(), seen.end(), true), kFolders);
    EXPECT_EQ(Record(count, "f10049").NewestName, "last.txt");
    // Quicker than one RemoveDirectoryA per folder.
    EXPECT_TRUE(RemoveUnixTree(t.Root()));
}

TEST(ScanFolder, NewestNameFollowsTheTieRules)
{
    TempTree t;
    // Equal times in one folder: the first listed file is named.
    for (const char* name : {"p.txt", "q.txt", "r.txt", "s.txt"})
        t.File(name, 1, T2);
    t.Folder("同時");
    for (const char* name : {"f1", "f2", "f3", "f4"})
        t.File(std::string("同時\\") + name, 1, T2);
    // A file and a sub-folder's file with equal times: the sub-folder's wins,
    // whichever is listed first; several folders so both orders are likely.
    for (const std::string n : {"1", "2", "3", "4", "5", "6"}) {
        t.Folder("親" + n);
        t.File("親" + n + "\\上" + n + ".txt", 1, T2);
        t.Folder("親" + n + "\\下");
        t.File("親" + n + "\\下\\下" + n + ".txt", 1, T2);
    }
    // Sub-folders with equal newest times: the last listed wins.
    t.Folder("兄弟");
    for (const std::string n : {"s1", "s2", "s3", "s4"}) {
        t.Folder("兄弟\\" + n);
        t.File("兄弟\\" + n + "\\" + n + ".txt", 1, T2);
    }
    // Strictly later times win at every level.
    t.Folder("後");
    t.File("後\\新.txt", 1, T3);
    t.Folder("後\\下");
    t.File("後\\下\\旧.txt", 1, T2);
    t.Folder("先");
    t.File("先\\旧.txt", 1, T2);
    t.Folder("先\\下");
    t.File("先\\下\\新.txt", 1, T3);
    t.Folder("先\\下\\空");

    const int count = ScanFolder(t.Root(), false);
    ASSERT_EQ(count, 11);

    std::string firstDirect;
    for (const std::string& name : Listing(t.Root()))
        if (name.ends_with(".txt") && firstDirect.empty())
            firstDirect = name;
    EXPECT_EQ(FolderTable[0].NewestName, firstDirect);
    EXPECT_EQ(Record(count, "同時").NewestName, Listing(t.Path("同時"))[0]);
    for (const std::string n : {"1", "2", "3", "4", "5", "6"})
        EXPECT_EQ(Record(count, "親" + n).NewestName, "下" + n + ".txt");
    EXPECT_EQ(Record(count, "兄弟").NewestName, Folders(t.Path("兄弟")).back() + ".txt");
    EXPECT_EQ(Record(count, "後").NewestName, "新.txt");
    EXPECT_EQ(Record(count, "先").NewestName, "新.txt");
    EXPECT_EQ(Stamp(Record(count, "先").Stamp), Stamp(LocalStamp(T3)));
    EXPECT_EQ(Stamp(Record(count, "兄弟").Stamp), Stamp(LocalStamp(T2)));
}

TEST(ScanFolder, HiddenSystemAndReadOnlyFilesCount)
{
    const ClusterSizeScope cluster(512);
    TempTree t;
    t.File("見える.txt", 10, T1);
    t.File("隠し.txt", 20, T2, FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    t.Folder("中");
    t.File("中\\普通.txt", 1, T1);
    t.File("中\\読専.txt", 2, T2, FILE_ATTRIBUTE_READONLY);
    t.File("中\\システム.sys", 600, T3, FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);

    const int count = ScanFolder(t.Root(), false);
    ASSERT_EQ(count, 2);
    EXPECT_EQ(FolderTable[0].FileCount, 2);
    EXPECT_EQ(FolderTable[0].Size, 30);
    EXPECT_EQ(FolderTable[0].DiskSize, 1024);
    EXPECT_EQ(FolderTable[0].NewestName, "隠し.txt");
    const FolderSummary& inner = Record(count, "中");
    EXPECT_EQ(inner.FileCount, 3);
    EXPECT_EQ(inner.Size, 603);
    EXPECT_EQ(inner.DiskSize, 512 + 512 + 1024);
    EXPECT_EQ(inner.NewestName, "システム.sys");
}

TEST(ScanFolder, FoldersThatCannotBeListedShowNoFiles)
{
    TempTree t;
    t.File("直下.txt", 7, T1);
    t.Folder("錠");
    t.File("錠\\中.txt", 100, T2);
    t.Folder("開");
    t.File("開\\中.txt", 5, T2);

    // A path past MAX_PATH, made through the wide interface in its long
    // form; the scan reads it as any other.
    const std::string longName(230, 'n');
    auto wide = [](const std::string& path) {
        std::wstring result(path.size() + 8, L'\0');
        result.resize(static_cast<std::size_t>(MultiByteToWideChar(
            CP_ACP, 0, path.data(), static_cast<int>(path.size()), result.data(), static_cast<int>(result.size()))));
        return L"\\\\?\\" + result;
    };
    const std::wstring longFolder = wide(t.Path(longName));
    const std::wstring longFile = longFolder + L"\\f.txt";
    ASSERT_TRUE(CreateDirectoryW(longFolder.c_str(), nullptr));
    {
        const HANDLE file = CreateFileW(longFile.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        const UniqueHandle closer(file);
        DWORD written = 0;
        WriteFile(file, "12345", 5, &written, nullptr);
    }

    {
        // Held open without sharing, the folder cannot be listed, as when
        // access is denied.
        const UniqueHandle lock = Open(t.Path("錠"), GENERIC_READ, 0);
        ASSERT_TRUE(lock);
        ASSERT_TRUE(Listing(t.Path("錠")).empty());

        const int count = ScanFolder(t.Root(), false);
        ASSERT_EQ(count, 4);
        ExpectNoFiles(Record(count, "錠"));
        // A path past MAX_PATH is read through its long form.
        EXPECT_EQ(Record(count, longName).Size, 5);
        EXPECT_EQ(Record(count, longName).FileCount, 1);
        EXPECT_EQ(Record(count, "開").Size, 5);
        EXPECT_EQ(FolderTable[0].Size, 7);

        ASSERT_EQ(ScanFolder(t.Path("錠"), false), 1);
        ExpectNoFiles(FolderTable[0]);
    }
    EXPECT_EQ(ScanFolder(t.Path("錠"), false), 1);
    EXPECT_EQ(FolderTable[0].Size, 100);

    ASSERT_EQ(ScanFolder(t.Path("無い"), false), 1);
    ExpectNoFiles(FolderTable[0]);

    DeleteFileW(longFile.c_str());
    RemoveDirectoryW(longFolder.c_str());
}

TEST(ScanFolder, LinksKeepTheirRowButAreNotFollowed)
{
    TempTree t;
    t.Folder("中");
    t.File("中\\一.txt", 10, T1);
    t.File("直下.txt", 1, T1);
    // A link back up to the root inside the tree, and one beside its target.
    ASSERT_TRUE(MakeUnixSymlink(t.Path("中\\戻る"), t.Root()));
    ASSERT_TRUE(MakeUnixSymlink(t.Path("近道"), t.Path("中")));
    ASSERT_EQ(GetFileAttributesA(t.Path("近道").c_str()) & FILE_ATTRIBUTE_REPARSE_POINT,
              DWORD{FILE_ATTRIBUTE_REPARSE_POINT});

    const int count = ScanFolder(t.Root(), true);
    ASSERT_EQ(count, 3);
    const FolderSummary& inner = Record(count, "中");
    EXPECT_EQ(inner.Size, 10);
    EXPECT_EQ(inner.FileCount, 1);
    EXPECT_EQ(inner.NewestName, "一.txt");
    ExpectNoFiles(Record(count, "近道"));
    EXPECT_EQ(FolderTable[0].FileCount, 1);

    ASSERT_EQ(ScanFolder(t.Path("中"), false), 2);
    ExpectNoFiles(FolderTable[1]);
    EXPECT_EQ(FolderTable[1].Name, "戻る");
}

TEST(IsWalkableFolder, SkipsDotsFilesAndReparsePointsButCloudFolders)
{
    auto entry = [](const wchar_t* name, DWORD attributes, DWORD tag) {
        WIN32_FIND_DATAW data{};
        lstrcpyW(data.cFileName, name);
        data.dwFileAttributes = attributes;
        data.dwReserved0 = tag;
        return data;
    };
    const DWORD folder = FILE_ATTRIBUTE_DIRECTORY;
    const DWORD link = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT;
    EXPECT_TRUE(IsWalkableFolder(entry(L"a", folder, 0x12345678)));
    EXPECT_TRUE(IsWalkableFolder(entry(L"...", folder | FILE_ATTRIBUTE_HIDDEN, 0)));
    EXPECT_TRUE(IsWalkableFolder(entry(L".a", folder, 0)));
    EXPECT_FALSE(IsWalkableFolder(entry(L".", folder, 0)));
    EXPECT_FALSE(IsWalkableFolder(entry(L"..", folder, 0)));
    EXPECT_FALSE(IsWalkableFolder(entry(L"a", FILE_ATTRIBUTE_ARCHIVE, 0)));
    EXPECT_FALSE(IsWalkableFolder(entry(L"a", FILE_ATTRIBUTE_REPARSE_POINT, 0x9000001A)));
    EXPECT_FALSE(IsWalkableFolder(entry(L"a", link, 0xA000000C)));  // symbolic link
    EXPECT_FALSE(IsWalkableFolder(entry(L"a", link, 0xA0000003)));  // junction or mount point
    EXPECT_FALSE(IsWalkableFolder(entry(L"a", link, 0x9000001B)));
    EXPECT_FALSE(IsWalkableFolder(entry(L"a", link, 0x9001001A)));
    EXPECT_TRUE(IsWalkableFolder(entry(L"a", link, 0x9000001A)));
    EXPECT_TRUE(IsWalkableFolder(entry(L"a", link, 0x9000101A)));
    EXPECT_TRUE(IsWalkableFolder(entry(L"a", link, 0x9000F01A)));
}

TEST(StampFolders, EveryFolderBelowGetsItsNewestFileTime)
{
    TempTree t;
    t.File("a.txt", 1, T4);
    t.Folder("上");
    t.File("上\\b.txt", 1, T2);
    t.Folder("上\\中");
    t.File("上\\中\\c.txt", 1, T3);
    t.Folder("上\\中\\下");
    t.File("上\\中\\下\\d.txt", 1, T1);
    t.Folder("上\\空");
    t.Folder("上\\殻");
    t.Folder("上\\殻\\内");
    t.Folder("別");
    t.File("別\\e.txt", 1, T1);
    for (const char* folder : {"", "上", "上\\中", "上\\中\\下", "上\\空", "上\\殻", "上\\殻\\内", "別"})
        ASSERT_TRUE(SetWriteTime(*folder ? t.Path(folder) : t.Root(), Old));

    const std::vector<FolderSummary> plain = Scan(t.Root(), false);
    ASSERT_EQ(Ticks(WriteTime(t.Path("上\\中"))), Ticks(Old));
    const std::vector<FolderSummary> stamped = Scan(t.Root(), true);

    EXPECT_EQ(Ticks(WriteTime(t.Path("上\\中\\下"))), Ticks(T1));
    EXPECT_EQ(Ticks(WriteTime(t.Path("上\\中"))), Ticks(T3));
    EXPECT_EQ(Ticks(WriteTime(t.Path("上"))), Ticks(T3));
    EXPECT_EQ(Ticks(WriteTime(t.Path("別"))), Ticks(T1));
    // Folders without files anywhere below keep their times, and so does
    // the folder the scan started from.
    EXPECT_EQ(Ticks(WriteTime(t.Path("上\\空"))), Ticks(Old));
    EXPECT_EQ(Ticks(WriteTime(t.Path("上\\殻"))), Ticks(Old));
    EXPECT_EQ(Ticks(WriteTime(t.Path("上\\殻\\内"))), Ticks(Old));
    EXPECT_EQ(Ticks(WriteTime(t.Root())), Ticks(Old));

    ASSERT_EQ(stamped.size(), plain.size());
    for (std::size_t i = 0; i < plain.size(); ++i)
        EXPECT_EQ(Fields(stamped[i]), Fields(plain[i]));
    EXPECT_EQ(Stamp(Record(static_cast<int>(stamped.size()), "上").Stamp), Stamp(LocalStamp(T3)));
}

TEST(StampFolders, FolderThatCannotBeOpenedForWritingKeepsItsTimes)
{
    TempTree t;
    t.Folder("鍵");
    t.File("鍵\\f.txt", 1, T2);
    t.Folder("鍵\\下");
    t.File("鍵\\下\\g.txt", 1, T3);
    t.Folder("開");
    t.File("開\\h.txt", 1, T2);
    ASSERT_TRUE(SetWriteTime(t.Path("鍵"), Old));

    const std::vector<FolderSummary> plain = Scan(t.Root(), false);
    std::vector<FolderSummary> stamped;
    {
        // Shared for reading only: the folder can be listed but not opened
        // for writing.
        const UniqueHandle lock = Open(t.Path("鍵"), GENERIC_READ, FILE_SHARE_READ);
        ASSERT_TRUE(lock);
        ASSERT_FALSE(Open(t.Path("鍵"), GENERIC_WRITE, 0));
        ASSERT_FALSE(Listing(t.Path("鍵")).empty());
        stamped = Scan(t.Root(), true);
    }
    EXPECT_EQ(Ticks(WriteTime(t.Path("鍵"))), Ticks(Old));
    EXPECT_EQ(Ticks(WriteTime(t.Path("鍵\\下"))), Ticks(T3));
    EXPECT_EQ(Ticks(WriteTime(t.Path("開"))), Ticks(T2));
    ASSERT_EQ(stamped.size(), plain.size());
    for (std::size_t i = 0; i < plain.size(); ++i)
        EXPECT_EQ(Fields(stamped[i]), Fields(plain[i]));
}

namespace {

// One entry of the tree in the order a depth-first walk meets it.
struct Met {
    std::string path;  // relative to the root
    bool folder;
    std::int64_t size;
    std::uint64_t time;
};

void ListInWalkOrder(const std::string& folder, const std::string& relative, std::vector<Met>& met)
{
    for (FindFile entry(folder + "*.*"); entry; entry.next()) {
        if (entry.isDotEntry())
            continue;
        const std::string path = relative + std::string(entry.name());
        met.push_back({path, entry.isFolder(), entry.size(), Ticks(entry.data().ftLastWriteTime)});
        if (entry.isFolder())
            ListInWalkOrder(folder + std::string(entry.name()) + "\\", path + "\\", met);
    }
}

bool Below(const std::string& path, const std::string& folder)
{
    return folder.empty() ? path.find('\\') == std::string::npos : path.starts_with(folder + "\\");
}

// A tree whose files all differ in size (powers of two) and time, with the
// folders' own times set to Old.
class StoppedScan : public testing::Test {
protected:
    StoppedScan()
    {
        const char* const folders[] = {"上", "上\\中", "別", "別\\空", "末"};
        const char* const files[] = {"直下1.txt", "上\\a.txt", "上\\中\\b.txt", "上\\中\\c.txt", "上\\d.txt",
                                     "別\\e.txt", "直下2.txt", "末\\f.txt", "末\\g.txt"};
        for (const char* folder : folders)
            t.Folder(folder);
        std::int64_t size = 1;
        WORD year = 2001;
        for (const char* file : files) {
            t.File(file, size, Utc(year++, 1, 1));
            size *= 2;
        }
        ResetFolderTimes();
        ListInWalkOrder(t.Root() + "\\", "", met);
    }
    void ResetFolderTimes()
    {
        for (const char* folder : {"", "上", "上\\中", "別", "別\\空", "末"})
            ASSERT_TRUE(SetWriteTime(*folder ? t.Path(folder) : t.Root(), Old));
    }
    // Size, file count and newest name of the files below folder ("" for the
    // direct files) among the first n entries met.
    std::tuple<std::int64_t, std::int32_t, std::string> Expected(const std::string& folder, std::size_t n) const
    {
        std::int64_t size = 0;
        std::int32_t count = 0;
        std::uint64_t newest = 0;
        std::string name;
        for (std::size_t i = 0; i < n && i < met.size(); ++i) {
            if (met[i].folder || !Below(met[i].path, folder))
                continue;
            size += met[i].size;
            ++count;
            if (met[i].time > newest) {
                newest = met[i].time;
                name = met[i].path.substr(met[i].path.rfind('\\') + 1);
            }
        }
        return {size, count, name};
    }

    TempTree t;
    std::vector<Met> met;
};

TEST_F(StoppedScan, HoldsExactlyWhatTheEntriesBeforeTheStopGave)
{
    ASSERT_EQ(met.size(), 14u);
    for (std::size_t n = 1; n <= met.size() + 1; ++n) {
        SCOPED_TRACE(n);
        StopAt key(static_cast<int>(n));
        WalkProgress progress(key, 1);
        const int count = ScanFolder(t.Root(), false, progress);
        const std::size_t read = std::min(n, met.size());
        EXPECT_EQ(progress.stopped(), n <= met.size());
        EXPECT_EQ(progress.files() + progress.folders(), static_cast<std::int64_t>(read));

        std::vector<std::string> rows;
        for (std::size_t i = 0; i < read; ++i)
            if (met[i].folder && Below(met[i].path, ""))
                rows.push_back(met[i].path);
        ASSERT_EQ(count, static_cast<int>(rows.size()) + 1);
        for (int i = 1; i < count; ++i) {
            const FolderSummary& record = FolderTable[static_cast<std::size_t>(i)];
            EXPECT_EQ(record.Name, rows[static_cast<std::size_t>(i - 1)]);
            EXPECT_EQ(std::tuple(record.Size, record.FileCount, record.NewestName), Expected(record.Name, read))
                << record.Name;
        }
        const FolderSummary& direct = FolderTable[0];
        EXPECT_EQ(std::tuple(direct.Size, direct.FileCount, direct.NewestName), Expected("", read));
    }
}

TEST_F(StoppedScan, StampsOnlyFoldersWhoseSubtreeWasReadToTheEnd)
{
    for (std::size_t n = 1; n <= met.size() + 1; ++n) {
        SCOPED_TRACE(n);
        ResetFolderTimes();
        StopAt key(static_cast<int>(n));
        WalkProgress progress(key, 1);
        ScanFolder(t.Root(), true, progress);
        for (const char* folder : {"上", "上\\中", "別", "末"}) {
            // The stop comes with the n-th entry, so a subtree is whole when
            // its last entry came before it.
            std::size_t last = 0;
            std::uint64_t newest = 0;
            for (std::size_t i = 0; i < met.size(); ++i)
                if (Below(met[i].path, folder) || met[i].path == folder) {
                    last = i + 1;
                    newest = std::max(newest, met[i].folder ? 0 : met[i].time);
                }
            EXPECT_EQ(Ticks(WriteTime(t.Path(folder))), last < n ? newest : Ticks(Old)) << folder;
        }
        EXPECT_EQ(Ticks(WriteTime(t.Path("別\\空"))), Ticks(Old));
        EXPECT_EQ(Ticks(WriteTime(t.Root())), Ticks(Old));
    }
}

}  // namespace

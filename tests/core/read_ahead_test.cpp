// The read-ahead under a walk shaped as the pages' walks are, on real folders:
// the same entries in the same order, Esc while workers are held inside a
// read, a folder gone as a worker opens it, and the threads it leaves.
#include <gtest/gtest.h>
#include <windows.h>
#include <tlhelp32.h>

#include <functional>
#include <mutex>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/folder_walk.h"
#include "core/pending_folders.h"
#include "core/read_ahead.h"
#include "tests/core/temp_tree.h"

namespace {

using Seam = std::function<void(const std::wstring&)>;

// What the walk meets in the test's tree.
constexpr std::size_t kEntries = 4 * (2 + 3 * 5) + 1;

// Lists every entry below start as the walks do, in the order given: one line
// per entry, its folder and name. before(folder) runs as the walk enters a
// folder, before asking for its listing.
std::vector<std::wstring> Walk(const DiskPath& start, WalkOrder order, WalkProgress& progress,
                               const Seam& before = nullptr)
{
    class Lister : public FolderVisitor {
    public:
        explicit Lister(const Seam& before) : before_(before) {}
        void Enter(const DiskPath& folder) override
        {
            if (before_)
                before_(folder.Wide);
        }
        void Met(const DiskPath& folder, const FindFile& entry) override
        {
            seen.push_back(folder.Wide + std::wstring(entry.wideName()));
        }
        void Done(const DiskPath&) override {}
        std::vector<std::wstring> seen;

    private:
        const Seam& before_;
    };
    Lister lister(before);
    PendingFolders pending;
    if (order == WalkOrder::Slots)
        WalkFolders(EndingInBackslash(start), pending, progress, lister);
    else
        WalkFolders(EndingInBackslash(start), progress, lister);
    return lister.seen;
}

std::vector<std::wstring> Walk(const DiskPath& start, WalkOrder order, const Seam& before = nullptr)
{
    WalkProgress unwatched;
    return Walk(start, order, unwatched, before);
}

int ThreadsOfThisProcess()
{
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    THREADENTRY32 thread{};
    thread.dwSize = sizeof thread;
    int count = 0;
    for (BOOL more = Thread32First(snapshot, &thread); more; more = Thread32Next(snapshot, &thread))
        count += thread.th32OwnerProcessID == GetCurrentProcessId();
    CloseHandle(snapshot);
    return count;
}

// A worker held in a read until Release is set. The seam captures nothing
// of the test, which a worker let go may outlive.
const HANDLE Release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
LONG Held = 0;
LONG Released = 0;

void HoldInRead(const std::wstring&)
{
    InterlockedIncrement(&Held);
    WaitForSingleObject(Release, 60000);
    InterlockedIncrement(&Released);
}

// Throws at the ThrowAt-th call.
LONG Calls = 0;
LONG ThrowAt = 0;

void ThrowOnce(const std::wstring&)
{
    if (InterlockedIncrement(&Calls) == ThrowAt)
        throw std::runtime_error("seam");
}

// Walks until this process is down to threads, for up to 20 s: workers let
// go end once their read returns, and each walk reaps those that ended.
bool ThreadsFallTo(int threads, const DiskPath& root)
{
    for (int i = 0; i < 200; ++i) {
        Walk(root, WalkOrder::Slots);
        if (ThreadsOfThisProcess() == threads)
            return true;
        Sleep(100);
    }
    return false;
}

// Esc is down from the start; the clock is the real one.
class EscDown : public WalkObserver {
public:
    std::uint32_t Milliseconds() override { return GetTickCount(); }
    bool StopRequested() override { return true; }
    void Show(std::int64_t, std::int64_t) override {}
};

class ReadAheadTest : public testing::Test {
protected:
    ReadAheadTest()
    {
        // Three levels of folders, files throughout, and a link back up.
        for (const char* top : {"写真", "表", "ﾃﾞｰﾀ", "x"}) {
            tree.Folder(top);
            tree.File(std::string(top) + "\\f.txt", 10);
            for (const char* sub : {"a", "ソ", "c"}) {
                const std::string folder = std::string(top) + "\\" + sub;
                tree.Folder(folder);
                tree.Folder(folder + "\\底");
                for (const char* file : {"1.bin", "2.bin", "底\\3.bin"})
                    tree.File(folder + "\\" + file, 5);
            }
        }
        EXPECT_TRUE(MakeUnixSymlink(tree.Path("x\\a\\上"), tree.Root()));
    }
    ~ReadAheadTest() override { ReadAheadSetup = {}; }

    TempTree tree;
    const DiskPath root = DiskPath(tree.Root());
};

TEST_F(ReadAheadTest, TheSameEntriesInTheSameOrderAndEachFolderReadOnce)
{
    for (const WalkOrder order : {WalkOrder::Depth, WalkOrder::Slots}) {
        ReadAheadSetup.Enabled = false;
        const std::vector<std::wstring> alone = Walk(root, order);
        ASSERT_EQ(alone.size(), kEntries);
        ReadAheadSetup.Enabled = true;
        std::mutex mutex;
        std::vector<std::wstring> opened;
        ReadAheadSetup.BeforeWorkerOpens = [&](const std::wstring& folder) {
            const std::lock_guard lock(mutex);
            opened.push_back(folder);
        };
        EXPECT_EQ(Walk(root, order), alone);
        // Read after the walk: each worker that read has ended with it.
        EXPECT_EQ(std::set<std::wstring>(opened.begin(), opened.end()).size(), opened.size());
    }
}

TEST_F(ReadAheadTest, EscEndsAWalkWaitingOnWorkersHeldInARead)
{
    const std::vector<std::wstring> depth = Walk(root, WalkOrder::Depth);
    const std::vector<std::wstring> slots = Walk(root, WalkOrder::Slots);
    const int threadsBefore = ThreadsOfThisProcess();
    const LONG releasedBefore = InterlockedCompareExchange(&Released, 0, 0);
    Held = 0;
    ResetEvent(Release);
    ReadAheadSetup.BeforeWorkerOpens = HoldInRead;
    EscDown esc;
    WalkProgress progress(esc);
    // The walk reads the first folder itself; each further one it asks for
    // once a worker is held.
    const std::wstring first = root.Wide + L"\\";
    Walk(root, WalkOrder::Depth, progress, [&](const std::wstring& folder) {
        for (int ms = 0; folder != first && ms < 20000 && InterlockedCompareExchange(&Held, 0, 0) == 0; ++ms)
            Sleep(1);
    });
    // Back while the workers are still held: nothing waited for them.
    EXPECT_EQ(InterlockedCompareExchange(&Released, 0, 0), releasedBefore);
    EXPECT_GE(InterlockedCompareExchange(&Held, 0, 0), 1);
    EXPECT_TRUE(progress.stopped());
    ReadAheadSetup.BeforeWorkerOpens = nullptr;

    // The next walks read the whole tree as before, the held workers still held.
    EXPECT_EQ(Walk(root, WalkOrder::Slots), slots);
    EXPECT_EQ(Walk(root, WalkOrder::Depth), depth);
    EXPECT_EQ(InterlockedCompareExchange(&Released, 0, 0), releasedBefore);
    SetEvent(Release);
    // Released, they end on their own, and a later walk reaps them.
    EXPECT_TRUE(ThreadsFallTo(threadsBefore, root));
}

TEST_F(ReadAheadTest, AThrowInAReadOrTheBookkeepingLeavesTheWalkItsResults)
{
    // The first folder is read and recorded on the walk's thread; later ones
    // mostly on workers.
    const struct {
        bool inRead;
        LONG throwAt;
    } cases[] = {{false, 1}, {false, 2}, {false, 5}, {true, 1}, {true, 3}};
    for (const WalkOrder order : {WalkOrder::Depth, WalkOrder::Slots}) {
        const std::vector<std::wstring> alone = Walk(root, order);
        for (const auto& c : cases) {
            SCOPED_TRACE(testing::Message() << static_cast<int>(order) << " " << c.inRead << " " << c.throwAt);
            Calls = 0;
            ThrowAt = c.throwAt;
            ReadAheadSetup.BeforeWorkerOpens = c.inRead ? ThrowOnce : Seam();
            ReadAheadSetup.BeforeRecording = c.inRead ? Seam() : ThrowOnce;
            EXPECT_EQ(Walk(root, order), alone);
            ReadAheadSetup = {};
        }
    }
}

TEST_F(ReadAheadTest, AFolderRemovedAsAWorkerOpensItListsAsEmpty)
{
    const std::string gone = tree.Path("表\\ソ\\底");
    std::vector<std::wstring> expected = Walk(root, WalkOrder::Depth);
    std::erase(expected, WideText(gone + "\\3.bin"));
    const HANDLE removed = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    ReadAheadSetup.BeforeWorkerOpens = [&](const std::wstring& folder) {
        if (folder == WideText(gone + "\\")) {
            DeleteFileA((gone + "\\3.bin").c_str());
            RemoveDirectoryA(gone.c_str());
            SetEvent(removed);
        }
    };
    // The walk asks for the folder only once a worker has removed it.
    const std::vector<std::wstring> seen = Walk(root, WalkOrder::Depth, [&](const std::wstring& folder) {
        if (folder == WideText(gone + "\\")) {
            ASSERT_EQ(WaitForSingleObject(removed, 20000), WAIT_OBJECT_0);
        }
    });
    CloseHandle(removed);
    EXPECT_EQ(seen, expected);
    EXPECT_EQ(seen.size(), kEntries - 1);
}

TEST_F(ReadAheadTest, NoThreadOrHandleOutlivesTheWalkAfterNext)
{
    Walk(root, WalkOrder::Depth);
    const int threadsBefore = ThreadsOfThisProcess();
    DWORD handlesBefore = 0, handlesAfter = 0;
    GetProcessHandleCount(GetCurrentProcess(), &handlesBefore);
    for (int i = 0; i < 30; ++i) {
        // Every third walk stopped at once, leaving its workers mid-read.
        EscDown esc;
        WalkProgress stopped(esc, 1);
        WalkProgress unwatched;
        Walk(root, i % 2 ? WalkOrder::Depth : WalkOrder::Slots, i % 3 ? unwatched : stopped);
        EXPECT_LE(ThreadsOfThisProcess(), threadsBefore + ReadAhead::WorkerCount() + ReadAhead::kMaxLetGo);
    }
    // Workers let go end after their read; a later walk reaps them.
    EXPECT_TRUE(ThreadsFallTo(threadsBefore, root));
    Walk(root, WalkOrder::Slots);
    GetProcessHandleCount(GetCurrentProcess(), &handlesAfter);
    EXPECT_EQ(handlesAfter, handlesBefore);
}

// Folders workers opened, and folders the walk entered, for the test below;
// kept outside it, as a worker let go may outlive it.
std::mutex OpenedMutex;
std::set<std::wstring> Opened;

void NoteOpened(const std::wstring& folder)
{
    const std::lock_guard lock(OpenedMutex);
    Opened.insert(folder);
}

TEST_F(ReadAheadTest, WorkersReadOnlyFoldersTheWalkTakes)
{
    // The tree links back to its root, which no walk follows; Esc stops some
    // walks part way, after some looks.
    class EscAfter : public WalkObserver {
    public:
        explicit EscAfter(int looks) : looks_(looks) {}
        std::uint32_t Milliseconds() override { return GetTickCount(); }
        bool StopRequested() override { return --looks_ < 0; }
        void Show(std::int64_t, std::int64_t) override {}

    private:
        int looks_;
    };
    for (const WalkOrder order : {WalkOrder::Depth, WalkOrder::Slots}) {
        std::set<std::wstring> taken;
        ReadAheadSetup.BeforeWorkerOpens = nullptr;
        Walk(root, order, [&](const std::wstring& folder) { taken.insert(folder); });
        for (const int looks : {-1, 3, 10}) {
            SCOPED_TRACE(testing::Message() << static_cast<int>(order) << " " << looks);
            {
                const std::lock_guard lock(OpenedMutex);
                Opened.clear();
            }
            ReadAheadSetup.BeforeWorkerOpens = NoteOpened;
            std::set<std::wstring> enteredNow;
            EscAfter esc(looks < 0 ? 1000000 : looks);
            WalkProgress progress(esc, 1);
            Walk(root, order, progress, [&](const std::wstring& folder) {
                enteredNow.insert(folder);
                // Slow, so that the workers run ahead.
                Sleep(2);
            });
            ReadAheadSetup.BeforeWorkerOpens = nullptr;
            // Every worker of the walk has ended or been let go; let-go ones
            // opened before the walk ended.
            const std::lock_guard lock(OpenedMutex);
            for (const std::wstring& folder : Opened) {
                EXPECT_TRUE(taken.contains(folder)) << "outside the walk's order";
                if (!progress.stopped()) {
                    EXPECT_TRUE(enteredNow.contains(folder)) << "read and not taken";
                }
            }
        }
    }
}

TEST(ReadAheadBoundsTest, SmallBoundsHoldWithTheSameEntriesInTheSameOrder)
{
    // 342 folders on three levels; the top ones hold 30 files each, so that
    // a few listings reach the byte bound before the count bound.
    TempTree tree;
    for (int top = 0; top < 6; ++top) {
        const std::string a = "上" + std::to_string(top);
        tree.Folder(a);
        for (int file = 0; file < 30; ++file)
            tree.File(a + "\\ファイル" + std::to_string(file) + ".txt", 1);
        for (int mid = 0; mid < 7; ++mid) {
            const std::string b = a + "\\中" + std::to_string(mid);
            tree.Folder(b);
            for (int low = 0; low < 7; ++low) {
                const std::string c = b + "\\下" + std::to_string(low);
                tree.Folder(c);
                tree.File(c + "\\1.bin", 1);
                tree.File(c + "\\2.bin", 1);
            }
        }
    }
    const DiskPath root(tree.Root());
    for (const WalkOrder order : {WalkOrder::Depth, WalkOrder::Slots}) {
        ReadAheadSetup = {};
        ReadAheadSetup.Enabled = false;
        const std::vector<std::wstring> alone = Walk(root, order);
        ASSERT_EQ(alone.size(), 6 * (31 + 7 * (1 + 7 * 3)));
        ReadAheadSetup.Enabled = true;
        ReadAheadSetup.MaxListings = 8;
        ReadAheadSetup.MaxBytes = 64 * 1024;
        // A slow walk, so that the workers run up to the bounds.
        EXPECT_EQ(Walk(root, order, [](const std::wstring&) { Sleep(1); }), alone);
        const ReadAheadPeak peak = ReadAhead::LastPeak();
        const std::size_t workers = static_cast<std::size_t>(ReadAhead::WorkerCount());
        EXPECT_GE(peak.Listings, 1u);
        EXPECT_LE(peak.Listings, 8 + workers);
        EXPECT_LE(peak.Bytes, 64 * 1024 + workers * peak.LargestRead);
    }
    ReadAheadSetup = {};
}

}  // namespace

#include "core/read_ahead.h"

#ifdef _WIN32
#include <algorithm>
#include <array>
#include <atomic>
#include <map>
#include <mutex>
#include <system_error>
#include <thread>
#include <unordered_map>
#include <vector>

#include "core/walk_order.h"
#include "core/walk_rule.h"

ReadAheadSettings ReadAheadSetup;

namespace {

// How long the walk waits for a listing before it looks at its progress.
constexpr DWORD kWaitSliceMs = 50;

// Win32's slim lock and condition variable. Under Wine they wait on the
// kernel's futexes, where the C++ library's, built on events and semaphores,
// ask the Wine server at every wait and wake: a cost paid per folder here.
class SlimMutex {
public:
    void lock() { AcquireSRWLockExclusive(&lock_); }
    void unlock() { ReleaseSRWLockExclusive(&lock_); }
    SRWLOCK* native() { return &lock_; }

private:
    SRWLOCK lock_ = SRWLOCK_INIT;
};

class SlimCondition {
public:
    // Waits until ready() holds, or for at most milliseconds; true when it holds.
    template <class Ready>
    bool wait(std::unique_lock<SlimMutex>& lock, Ready ready, DWORD milliseconds = INFINITE)
    {
        const DWORD start = GetTickCount();
        while (!ready()) {
            const DWORD waited = GetTickCount() - start;
            if (milliseconds != INFINITE && waited >= milliseconds)
                return false;
            const DWORD left = milliseconds == INFINITE ? INFINITE : milliseconds - waited;
            SleepConditionVariableSRW(&condition_, lock.mutex()->native(), left, 0);
        }
        return true;
    }
    void wakeAll() { WakeAllConditionVariable(&condition_); }

private:
    CONDITION_VARIABLE condition_ = CONDITION_VARIABLE_INIT;
};

// The walk that runs on this thread.
thread_local ReadAhead* Running = nullptr;

ReadAheadPeak LastPeakHeld;

struct Read {
    FolderListing listing;
    std::vector<std::wstring> subFolders;  // walkable, each ending in "\"
};

// Reads a folder whole; keepGoing is asked every few hundred entries and
// ends the reading early once it answers false.
template <class KeepGoing>
Read ReadWhole(const std::wstring& folder, KeepGoing keepGoing)
{
    constexpr int kEntriesPerAsk = 256;
    Read read;
    int untilAsk = kEntriesPerAsk;
    for (FindFile entry(folder + L"*"); entry; entry.next()) {
        read.listing.add(entry.data());
        if (IsWalkableFolder(entry.data()))
            read.subFolders.push_back(folder + std::wstring(entry.wideName()) + L'\\');
        if (--untilAsk == 0) {
            untilAsk = kEntriesPerAsk;
            if (!keepGoing())
                break;
        }
    }
    return read;
}

// About the memory a folder's record takes, with the paths of its
// sub-folders until the order has them.
std::size_t RecordBytes(const std::wstring& path, const std::vector<std::wstring>& subFolders)
{
    std::size_t bytes = 128 + (path.size() + 1) * sizeof(wchar_t);
    for (const std::wstring& sub : subFolders)
        bytes += 32 + (sub.size() + 1) * sizeof(wchar_t);
    return bytes;
}

}  // namespace

// What the walk and its workers share, under the one mutex.
struct ReadAhead::Shared {
    // Folders nobody has started are only in the order. The walk's own
    // folder is one it reads itself: its first, or one it asked for first.
    enum class State { Walks, Reading, Read };
    struct Folder {
        State state = State::Reading;
        bool held = false;      // its listing, read by a worker
        FolderListing listing;
        std::size_t bytes = 0;  // the listing's
        std::size_t book = 0;   // the record's, with its sub-folders' paths
        // Walkable, each ending in "\"; given to the order as it passes.
        std::vector<std::wstring> subFolders;
    };

    Shared(const DiskPath& start, WalkOrder order, const ReadAheadSettings& settings)
        : order(order), maxListings(settings.MaxListings), maxBytes(settings.MaxBytes),
          beforeOpen(settings.BeforeWorkerOpens), beforeRecording(settings.BeforeRecording)
    {
        if (order == WalkOrder::Depth)
            depth.start(start);
        else
            slots.start(start);
        // The first folder is left to the walk, which asks for it at once: a
        // worker could only make it wait, and look for Esc before reading.
        nextInOrder();
        folders[cursor.Wide].state = State::Walks;
    }

    // The walk's order, run over the listings read: the same code as the walk's.
    bool nextInOrder()
    {
        hasCursor = order == WalkOrder::Depth ? depth.next(cursor) : slots.next(cursor);
        return hasCursor;
    }
    bool aheadInOrder(DiskPath& folder)
    {
        return order == WalkOrder::Depth ? depth.ahead(folder) : slots.ahead(folder);
    }
    std::size_t heldBytes() const
    {
        return listingBytes + recordBytes + (order == WalkOrder::Depth ? depth.bytes() : slots.bytes());
    }

    // Wakes the walk if it waits, and idle workers if there may be work.
    void wake()
    {
        if (walkWaits)
            listed.wakeAll();
        if (idleWorkers > 0 && withinBounds())
            work.wakeAll();
    }

    bool withinBounds() const { return !off && heldListings < maxListings && heldBytes() < maxBytes; }

    // The folder a worker reads next, recorded as read by it: the one the
    // order waits for, if nobody has started it, else the soonest ahead.
    bool startAhead(std::wstring& path)
    {
        if (!withinBounds())
            return false;
        if (hasCursor && !folders.contains(cursor.Wide)) {
            path = cursor.Wide;
        } else {
            DiskPath folder;
            do {
                if (!aheadInOrder(folder))
                    return false;
            } while (folders.contains(folder.Wide));
            path = std::move(folder.Wide);
        }
        record(path, State::Reading);
        return true;
    }

    Folder& record(const std::wstring& path, State state)
    {
        Folder& folder = folders[path];
        folder.state = state;
        folder.book = RecordBytes(path, {});
        recordBytes += folder.book;
        notePeak();
        return folder;
    }

    // Something failed in the bookkeeping or a worker's read: from now on
    // the walk reads alone, and what was held ahead goes.
    void turnOff() noexcept
    {
        off = true;
        stopping = true;
        folders.clear();
        depth.clear();
        slots.clear();
        hasCursor = false;
        heldListings = 0;
        listingBytes = 0;
        recordBytes = 0;
        listed.wakeAll();
        work.wakeAll();
    }

    State stateOf(const std::wstring& path) const
    {
        const auto at = folders.find(path);
        return at == folders.end() ? State::Walks : at->second.state;
    }

    void notePeak()
    {
        peak.Listings = std::max(peak.Listings, heldListings);
        peak.Bytes = std::max(peak.Bytes, heldBytes());
    }

    // The walk has taken the folder: its record goes.
    void forget(const std::wstring& path)
    {
        const auto at = folders.find(path);
        if (at == folders.end())
            return;
        if (at->second.held) {
            --heldListings;
            listingBytes -= at->second.bytes;
        }
        recordBytes -= at->second.book;
        folders.erase(at);
    }

    // A folder just read, its record now Read: the order passes it and every
    // folder after it already read, learning their sub-folders. Returns the
    // bytes held more.
    std::size_t learn(const std::wstring& path, std::vector<std::wstring> subFolders)
    {
        const std::size_t before = heldBytes();
        if (beforeRecording)
            beforeRecording(path);
        Folder& folder = folders.at(path);
        const std::size_t book = RecordBytes(path, subFolders);
        recordBytes += book - folder.book;
        folder.book = book;
        folder.subFolders = std::move(subFolders);
        while (hasCursor) {
            const auto at = folders.find(cursor.Wide);
            if (at == folders.end() || at->second.state != State::Read)
                break;
            Folder& passed = at->second;
            for (std::wstring& sub : passed.subFolders) {
                if (order == WalkOrder::Depth)
                    depth.found(DiskPath(std::string(), std::move(sub)));
                else
                    slots.found(DiskPath(std::string(), std::move(sub)));
            }
            passed.subFolders = {};
            recordBytes -= passed.book;
            passed.book = RecordBytes(cursor.Wide, {});
            recordBytes += passed.book;
            if (order == WalkOrder::Depth)
                depth.done();
            else
                slots.done();
            nextInOrder();
        }
        notePeak();
        const std::size_t after = heldBytes();
        return after > before ? after - before : 0;
    }

    const WalkOrder order;
    const std::size_t maxListings;
    const std::size_t maxBytes;
    SlimMutex mutex;
    SlimCondition work;    // workers wait for a folder to read, or the end
    SlimCondition listed;  // the walk waits for a worker's listing
    int idleWorkers = 0;
    bool walkWaits = false;
    bool off = false;
    std::atomic<bool> stopping{false};
    DepthFirstOrder depth;  // the walk's order, whichever it is
    PendingFolders pending;
    SlotOrder slots{pending};
    DiskPath cursor;        // the folder the order waits for, once read
    bool hasCursor = false;
    std::unordered_map<std::wstring, Folder> folders;  // started, and not yet taken
    std::size_t heldListings = 0;
    std::size_t listingBytes = 0;
    std::size_t recordBytes = 0;
    ReadAheadPeak peak;
    std::vector<char> reading;  // per worker: inside a read
    std::vector<char> ended;    // per worker: returned, or about to
    const std::function<void(const std::wstring&)> beforeOpen;
    const std::function<void(const std::wstring&)> beforeRecording;
};

namespace {

// Workers let go by a read-ahead that ended while they were inside a read.
// Each keeps its shared state until it returns; the program's end detaches
// those still reading rather than wait for them.
class LetGoWorkers {
public:
    ~LetGoWorkers()
    {
        reap();
        for (Worker& worker : workers_) {
            if (worker.thread.joinable())
                worker.thread.detach();
        }
    }

    // Joins the workers that have returned; the number that may still be let go.
    int reap()
    {
        const std::lock_guard guard(mutex_);
        int free = 0;
        for (Worker& worker : workers_) {
            if (worker.thread.joinable() && hasEnded(worker)) {
                worker.thread.join();
                worker.shared = nullptr;
            }
            free += !worker.thread.joinable();
        }
        return free;
    }

    // Needs a free place, which reap() counted before the workers started.
    void add(std::thread thread, const std::shared_ptr<ReadAhead::Shared>& shared, std::size_t index) noexcept
    {
        const std::lock_guard guard(mutex_);
        for (Worker& worker : workers_) {
            if (!worker.thread.joinable()) {
                worker.thread = std::move(thread);
                worker.shared = shared;
                worker.index = index;
                return;
            }
        }
    }

private:
    struct Worker {
        std::thread thread;
        std::shared_ptr<ReadAhead::Shared> shared;
        std::size_t index = 0;
    };

    static bool hasEnded(Worker& worker)
    {
        const std::lock_guard guard(worker.shared->mutex);
        return worker.shared->ended[worker.index] != 0;
    }

    SlimMutex mutex_;
    std::array<Worker, ReadAhead::kMaxLetGo> workers_;
};

LetGoWorkers& LetGo()
{
    static LetGoWorkers workers;
    return workers;
}

// One worker's loop: reads the first folder queued while the bounds allow,
// records it, and goes on until the read-ahead stops. Throws what its reading
// or bookkeeping throws.
void Serve(ReadAhead::Shared& shared, std::size_t worker)
{
    using State = ReadAhead::Shared::State;
    std::unique_lock lock(shared.mutex);
    for (;;) {
        std::wstring path;
        ++shared.idleWorkers;
        shared.work.wait(lock, [&] { return shared.stopping || shared.startAhead(path); });
        --shared.idleWorkers;
        if (shared.stopping)
            return;
        shared.reading[worker] = 1;
        lock.unlock();

        if (shared.beforeOpen)
            shared.beforeOpen(path);
        Read read = ReadWhole(path, [&] { return !shared.stopping; });

        lock.lock();
        shared.reading[worker] = 0;
        if (shared.stopping)
            return;
        // Only this worker changes a folder it reads, and nothing else takes
        // it from the map while the read-ahead runs.
        ReadAhead::Shared::Folder& folder = shared.folders.at(path);
        folder.listing = std::move(read.listing);
        folder.bytes = folder.listing.bytes();
        folder.state = State::Read;
        folder.held = true;
        ++shared.heldListings;
        shared.listingBytes += folder.bytes;
        const std::size_t learnt = shared.learn(path, std::move(read.subFolders));
        shared.peak.LargestRead = std::max(shared.peak.LargestRead, folder.bytes + learnt);
        shared.wake();
    }
}

}  // namespace

void ReadAhead::Work(const std::shared_ptr<Shared>& shared, std::size_t worker)
{
    try {
        Serve(*shared, worker);
    } catch (...) {
        const std::lock_guard lock(shared->mutex);
        shared->turnOff();
    }
    const std::lock_guard lock(shared->mutex);
    shared->reading[worker] = 0;
    shared->ended[worker] = 1;
}

int ReadAhead::WorkerCount()
{
    if (ReadAheadSetup.Workers > 0)
        return std::min(ReadAheadSetup.Workers, kMaxLetGo);
    SYSTEM_INFO system{};
    GetSystemInfo(&system);
    return std::clamp(static_cast<int>(system.dwNumberOfProcessors), 2, kMaxLetGo);
}

ReadAheadPeak ReadAhead::LastPeak()
{
    return LastPeakHeld;
}

ReadAhead::ReadAhead(const DiskPath& start, WalkOrder order) : outer_(Running)
{
    // An empty path names no folder: a search of it would read the current one.
    if (ReadAheadSetup.Enabled && !start.empty()) {
        // Never more workers than may be let go, so that at most kMaxLetGo
        // are ever let go; while that many are stuck, the walk reads alone.
        const int count = std::min(WorkerCount(), LetGo().reap());
        std::shared_ptr<Shared> shared;
        try {
            if (count > 0) {
                shared = std::make_shared<Shared>(EndingInBackslash(start), order, ReadAheadSetup);
                shared->reading.assign(static_cast<std::size_t>(count), 0);
                shared->ended.assign(static_cast<std::size_t>(count), 0);
                workers_.reserve(static_cast<std::size_t>(count));
                for (int i = 0; i < count; ++i)
                    workers_.emplace_back(Work, shared, static_cast<std::size_t>(i));
            }
        } catch (...) {
            // Fewer workers, or none: the walk reads what they do not.
        }
        if (!workers_.empty())
            shared_ = std::move(shared);
    }
    Running = this;
}

ReadAhead::~ReadAhead()
{
    Running = outer_;
    if (!shared_)
        return;
    std::array<bool, kMaxLetGo> letGo{};
    {
        const std::lock_guard lock(shared_->mutex);
        LastPeakHeld = shared_->peak;
        shared_->stopping = true;
        for (std::size_t i = 0; i < workers_.size(); ++i)
            letGo[i] = shared_->reading[i] != 0;
        // What the walk did not take goes now, not with the last worker.
        shared_->folders.clear();
        shared_->depth.clear();
        shared_->slots.clear();
    }
    shared_->work.wakeAll();
    // A worker inside a read (a slow share) is not waited for: it is let go,
    // ends after the read, and a later read-ahead reaps it.
    for (std::size_t i = 0; i < workers_.size(); ++i) {
        if (letGo[i])
            LetGo().add(std::move(workers_[i]), shared_, i);
        else
            workers_[i].join();
    }
}

FindFile ReadAhead::take(const std::wstring& path, WalkProgress& progress)
{
    using State = Shared::State;
    std::unique_lock lock(shared_->mutex);
    for (;;) {
        // Off, or not a folder of this walk's order, or asked for again:
        // read as without read-ahead.
        const auto at = shared_->off ? shared_->folders.end() : shared_->folders.find(path);
        const bool waitedFor = !shared_->off && shared_->hasCursor && shared_->cursor.Wide == path;
        if (at == shared_->folders.end() && !waitedFor) {
            lock.unlock();
            return FindFile(path + L"*");
        }
        const State state = at == shared_->folders.end() ? State::Walks : at->second.state;
        switch (state) {
        case State::Read: {
            FolderListing listing = std::move(at->second.listing);
            shared_->forget(path);
            shared_->wake();
            lock.unlock();
            return FindFile(std::move(listing));
        }
        case State::Walks: {
            // No worker has started it: read here, still looking at progress.
            if (at == shared_->folders.end())
                shared_->record(path, State::Walks);
            lock.unlock();
            Read read;
            try {
                read = ReadWhole(path, [&] { return progress.waiting(); });
            } catch (...) {
                lock.lock();
                shared_->turnOff();
                lock.unlock();
                return FindFile(path + L"*");
            }
            lock.lock();
            if (progress.stopped() || shared_->off) {
                // What was read up to the stop, as the walk would have met it.
                shared_->forget(path);
                return FindFile(std::move(read.listing));
            }
            try {
                shared_->folders.at(path).state = State::Read;
                shared_->learn(path, std::move(read.subFolders));
                shared_->forget(path);
                shared_->wake();
            } catch (...) {
                shared_->turnOff();
            }
            lock.unlock();
            return FindFile(std::move(read.listing));
        }
        case State::Reading: {
            shared_->walkWaits = true;
            const bool listed = shared_->listed.wait(
                lock, [&] { return shared_->off || shared_->stateOf(path) != State::Reading; }, kWaitSliceMs);
            shared_->walkWaits = false;
            if (listed)
                continue;
            lock.unlock();
            if (!progress.waiting())
                return FindFile(FolderListing());
            lock.lock();
            continue;
        }
        }
    }
}

FindFile ReadFolder(const DiskPath& folder, WalkProgress& progress)
{
    if (Running && Running->shared_)
        return Running->take(folder.Wide, progress);
    return FindFile(folder.Wide + L"*");
}

#endif

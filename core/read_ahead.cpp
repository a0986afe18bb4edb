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

#include "core/pending_folders.h"
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

// A folder's place in the walk's depth-first order: the indexes of the
// walkable sub-folders that lead to it from the start, compared in turn.
using Place = std::vector<int>;

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

// About the memory one path takes where the bookkeeping keeps it.
std::size_t PathBytes(const std::wstring& path)
{
    return 32 + (path.size() + 1) * sizeof(wchar_t);
}

// About the memory a known folder's record takes with its queue entry: two
// nodes, each holding the path and the place.
std::size_t RecordBytes(const std::wstring& path, const Place& place)
{
    return 2 * (96 + PathBytes(path) + (place.size() + 1) * sizeof(int));
}

}  // namespace

// What the walk and its workers share, under the one mutex.
struct ReadAhead::Shared {
    enum class State { Known, Reading, Read };
    struct Folder {
        State state = State::Known;
        Place place;
        Place queued;  // its key in queue while Known
        FolderListing listing;
        bool held = false;      // its listing, read by a worker
        std::size_t bytes = 0;  // the listing's
        std::size_t book = 0;   // the record's own bookkeeping
        // In slot order, until the copy of the walk's slots has passed it.
        std::vector<std::wstring> subFolders;
    };

    Shared(std::wstring start, WalkOrder order, const ReadAheadSettings& settings)
        : start(std::move(start)), order(order), maxListings(settings.MaxListings),
          maxBytes(settings.MaxBytes), beforeOpen(settings.BeforeWorkerOpens),
          beforeRecording(settings.BeforeRecording)
    {
    }

    // Wakes the walk if it waits, and idle workers if there is work.
    void wake()
    {
        if (walkWaits)
            listed.wakeAll();
        if (idleWorkers > 0 && canStart())
            work.wakeAll();
    }

    bool canStart() const
    {
        return !off && !queue.empty() && heldListings < maxListings && heldBytes < maxBytes;
    }

    // Something failed in the bookkeeping or a worker's read: from now on
    // the walk reads alone, and what was held ahead goes.
    void turnOff() noexcept
    {
        off = true;
        stopping = true;
        folders.clear();
        queue.clear();
        slots.clear();
        heldListings = 0;
        heldBytes = 0;
        listed.wakeAll();
        work.wakeAll();
    }

    State stateOf(const std::wstring& path) const
    {
        const auto at = folders.find(path);
        return at == folders.end() ? State::Known : at->second.state;
    }

    void hold(std::size_t listings, std::size_t bytes)
    {
        heldListings += listings;
        heldBytes += bytes;
        peak.Listings = std::max(peak.Listings, heldListings);
        peak.Bytes = std::max(peak.Bytes, heldBytes);
    }

    // The walk has taken the folder: its record goes.
    void forget(const std::wstring& path)
    {
        const auto at = folders.find(path);
        if (at == folders.end())
            return;
        if (at->second.held)
            --heldListings;
        heldBytes -= at->second.bytes + at->second.book;
        folders.erase(at);
    }

    void know(const std::wstring& path, Place place)
    {
        auto [at, added] = folders.try_emplace(path);
        if (!added)
            return;
        Folder& folder = at->second;
        folder.place = std::move(place);
        if (order == WalkOrder::Depth) {
            folder.queued = folder.place;
        } else {
            // Not yet given a slot: after every folder that has one.
            folder.queued.reserve(folder.place.size() + 1);
            folder.queued.push_back(1);
            folder.queued.insert(folder.queued.end(), folder.place.begin(), folder.place.end());
        }
        queue.emplace(folder.queued, path);
        folder.book = RecordBytes(path, folder.place);
        hold(0, folder.book);
    }

    // A folder just read (path, still recorded): its sub-folders become
    // known, and in slot order the copy of the walk's slots goes on as far as
    // the listings read allow. Returns the bytes it came to hold.
    std::size_t learn(const std::wstring& path, std::vector<std::wstring> subFolders)
    {
        const std::size_t before = heldBytes;
        if (beforeRecording)
            beforeRecording(path);
        // References to the records stay valid while others are inserted.
        Folder& folder = folders.at(path);
        for (std::size_t i = 0; i < subFolders.size(); ++i) {
            Place place = folder.place;
            place.push_back(static_cast<int>(i));
            know(subFolders[i], std::move(place));
        }
        if (order == WalkOrder::Slots) {
            std::size_t waiting = 0;
            for (const std::wstring& sub : subFolders)
                waiting += PathBytes(sub);
            folder.subFolders = std::move(subFolders);
            folder.book += waiting;
            hold(0, waiting);
            followSlots();
        }
        return heldBytes > before ? heldBytes - before : 0;
    }

    // Runs the walk's slot rule over the listings read so far, so that each
    // known folder waits under the slot the walk will give it. This copy of
    // the slots passes each folder as soon as it is read, so before the walk
    // takes it: only a stopped walk's records may be gone.
    void followSlots()
    {
        if (!startListed) {
            Folder* first = listedFolder(start);
            if (!first)
                return;
            giveSlots(*first);
            startListed = true;
        }
        while (!slots.empty()) {
            const int slot = slots.lowest();
            const std::wstring path = slots.path(slot).Wide;
            Folder* folder = listedFolder(path);
            if (!folder)
                return;
            giveSlots(*folder);
            slots.release(slot);
            heldBytes -= PathBytes(path);
        }
    }

    // The folder's record once its listing is read; null before.
    Folder* listedFolder(const std::wstring& path)
    {
        const auto at = folders.find(path);
        if (at == folders.end() || at->second.state == State::Known || at->second.state == State::Reading)
            return nullptr;
        return &at->second;
    }

    void giveSlots(Folder& folder)
    {
        for (std::wstring& path : folder.subFolders) {
            const std::size_t bytes = PathBytes(path);
            folder.book -= bytes;
            const int slot = slots.add(DiskPath(std::string(), path));
            const auto at = folders.find(path);
            if (at == folders.end() || at->second.state != State::Known)
                continue;
            Folder& sub = at->second;
            queue.erase(sub.queued);
            sub.queued = {0, slot};
            queue.emplace(sub.queued, path);
        }
        folder.subFolders = {};
    }

    const std::wstring start;
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
    std::unordered_map<std::wstring, Folder> folders;
    std::map<Place, std::wstring> queue;  // known folders nobody has started, in reading order
    std::size_t heldListings = 0;
    std::size_t heldBytes = 0;            // listings and bookkeeping
    ReadAheadPeak peak;
    std::vector<char> reading;            // per worker: inside a read
    std::vector<char> ended;              // per worker: returned, or about to
    PendingFolders slots;                 // slot order: the walk's slots, ahead of it
    bool startListed = false;
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
        ++shared.idleWorkers;
        shared.work.wait(lock, [&] { return shared.stopping || shared.canStart(); });
        --shared.idleWorkers;
        if (shared.stopping)
            return;
        const auto first = shared.queue.begin();
        const std::wstring path = first->second;
        shared.queue.erase(first);
        shared.folders.at(path).state = State::Reading;
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
        shared.hold(1, folder.bytes);
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
                shared = std::make_shared<Shared>(EndingInBackslash(start).Wide, order, ReadAheadSetup);
                // Known but left to the walk, which asks for it at once: a worker
                // could only make it wait, and look for Esc before reading anything.
                shared->folders[shared->start];
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
        shared_->queue.clear();
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
        if (at == shared_->folders.end()) {
            lock.unlock();
            return FindFile(path + L"*");
        }
        Shared::Folder& folder = at->second;
        switch (folder.state) {
        case State::Read: {
            FolderListing listing = std::move(folder.listing);
            shared_->forget(path);
            shared_->wake();
            lock.unlock();
            return FindFile(std::move(listing));
        }
        case State::Known: {
            // No worker has started it: read here, still looking at progress.
            shared_->queue.erase(folder.queued);
            folder.state = State::Reading;
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

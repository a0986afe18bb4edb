#include "core/read_ahead.h"

#ifdef _WIN32
#include <algorithm>
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

// Workers of earlier read-aheads that were still inside a read when their
// walk ended. The next read-ahead waits for them; so does the program's end.
class Leftovers {
public:
    ~Leftovers() { joinAll(); }
    void add(std::thread thread) { threads_.push_back(std::move(thread)); }
    void joinAll()
    {
        for (std::thread& thread : threads_)
            thread.join();
        threads_.clear();
    }

private:
    std::vector<std::thread> threads_;
};

Leftovers& LeftoverWorkers()
{
    static Leftovers leftovers;
    return leftovers;
}

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

}  // namespace

// What the walk and its workers share, under the one mutex.
struct ReadAhead::Shared {
    enum class State { Known, Reading, Read };
    struct Folder {
        State state = State::Known;
        Place place;
        Place queued;  // its key in queue while Known
        FolderListing listing;
        std::size_t bytes = 0;
        // In slot order, until the copy of the walk's slots has passed it.
        std::vector<std::wstring> subFolders;
    };

    Shared(std::wstring start, WalkOrder order) : start(std::move(start)), order(order) {}

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
        return !queue.empty() && heldListings < kMaxListings && heldBytes < kMaxBytes;
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
    }

    // A folder just read: its sub-folders become known, and in slot order the
    // copy of the walk's slots goes on as far as the listings read allow.
    void learn(Folder& folder, std::vector<std::wstring> subFolders)
    {
        for (std::size_t i = 0; i < subFolders.size(); ++i) {
            Place place = folder.place;
            place.push_back(static_cast<int>(i));
            know(subFolders[i], std::move(place));
        }
        if (order == WalkOrder::Slots) {
            folder.subFolders = std::move(subFolders);
            followSlots();
        }
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
            Folder* folder = listedFolder(slots.path(slot).Wide);
            if (!folder)
                return;
            giveSlots(*folder);
            slots.release(slot);
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
    SlimMutex mutex;
    SlimCondition work;    // workers wait for a folder to read, or the end
    SlimCondition listed;  // the walk waits for a worker's listing
    int idleWorkers = 0;
    bool walkWaits = false;
    std::atomic<bool> stopping{false};
    std::unordered_map<std::wstring, Folder> folders;
    std::map<Place, std::wstring> queue;  // known folders nobody has started, in reading order
    std::size_t heldListings = 0;
    std::size_t heldBytes = 0;
    std::vector<char> reading;            // per worker: inside a read
    PendingFolders slots;                 // slot order: the walk's slots, ahead of it
    bool startListed = false;
    std::function<void(const std::wstring&)> beforeOpen;
};

void ReadAhead::Work(const std::shared_ptr<Shared>& shared, std::size_t worker)
{
    using State = Shared::State;
    std::unique_lock lock(shared->mutex);
    for (;;) {
        ++shared->idleWorkers;
        shared->work.wait(lock, [&] { return shared->stopping || shared->canStart(); });
        --shared->idleWorkers;
        if (shared->stopping)
            return;
        const auto first = shared->queue.begin();
        const std::wstring path = first->second;
        shared->queue.erase(first);
        Shared::Folder& folder = shared->folders.at(path);
        folder.state = State::Reading;
        shared->reading[worker] = 1;
        lock.unlock();

        if (shared->beforeOpen)
            shared->beforeOpen(path);
        Read read;
        bool whole = true;
        try {
            read = ReadWhole(path, [&] { return !shared->stopping; });
        } catch (const std::bad_alloc&) {
            whole = false;
        }

        lock.lock();
        shared->reading[worker] = 0;
        if (shared->stopping)
            return;
        if (!whole) {
            // No room to hold it: left for the walk, which reads as it goes.
            folder.state = State::Known;
            shared->wake();
            continue;
        }
        folder.listing = std::move(read.listing);
        folder.bytes = folder.listing.bytes();
        folder.state = State::Read;
        ++shared->heldListings;
        shared->heldBytes += folder.bytes;
        shared->learn(folder, std::move(read.subFolders));
        shared->wake();
    }
}

int ReadAhead::WorkerCount()
{
    if (ReadAheadSetup.Workers > 0)
        return ReadAheadSetup.Workers;
    SYSTEM_INFO system{};
    GetSystemInfo(&system);
    return std::clamp(static_cast<int>(system.dwNumberOfProcessors), 2, 8);
}

ReadAhead::ReadAhead(const DiskPath& start, WalkOrder order) : outer_(Running)
{
    LeftoverWorkers().joinAll();
    // An empty path names no folder: a search of it would read the current one.
    if (ReadAheadSetup.Enabled && !start.empty()) {
        shared_ = std::make_shared<Shared>(EndingInBackslash(start).Wide, order);
        shared_->beforeOpen = ReadAheadSetup.BeforeWorkerOpens;
        // Known but left to the walk, which asks for it at once: a worker
        // could only make it wait, and look for Esc before reading anything.
        shared_->folders[shared_->start];
        const int count = WorkerCount();
        shared_->reading.assign(static_cast<std::size_t>(count), 0);
        try {
            for (int i = 0; i < count; ++i)
                workers_.emplace_back(Work, shared_, static_cast<std::size_t>(i));
        } catch (const std::system_error&) {
            // Fewer workers, or none: the walk reads what they do not.
        }
    }
    Running = this;
}

ReadAhead::~ReadAhead()
{
    Running = outer_;
    if (!shared_)
        return;
    std::vector<char> reading;
    {
        const std::lock_guard lock(shared_->mutex);
        shared_->stopping = true;
        reading = shared_->reading;
    }
    shared_->work.wakeAll();
    // A worker inside a read (a slow share) is not waited for here: it ends
    // after the read, and the next walk waits for it.
    for (std::size_t i = 0; i < workers_.size(); ++i) {
        if (reading[i])
            LeftoverWorkers().add(std::move(workers_[i]));
        else
            workers_[i].join();
    }
}

FindFile ReadAhead::take(const std::wstring& path, WalkProgress& progress)
{
    using State = Shared::State;
    std::unique_lock lock(shared_->mutex);
    const auto at = shared_->folders.find(path);
    if (at == shared_->folders.end()) {
        // Not a folder of this walk's order, or asked for again: read as
        // without read-ahead.
        lock.unlock();
        return FindFile(path + L"*");
    }
    Shared::Folder& folder = at->second;
    for (;;) {
        switch (folder.state) {
        case State::Read: {
            FolderListing listing = std::move(folder.listing);
            --shared_->heldListings;
            shared_->heldBytes -= folder.bytes;
            shared_->folders.erase(at);
            shared_->wake();
            lock.unlock();
            return FindFile(std::move(listing));
        }
        case State::Known: {
            // No worker has started it: read here, still looking at progress.
            shared_->queue.erase(folder.queued);
            folder.state = State::Reading;
            lock.unlock();
            Read read = ReadWhole(path, [&] { return progress.waiting(); });
            lock.lock();
            folder.state = State::Read;
            if (progress.stopped()) {
                // What was read up to the stop, as the walk would have met it.
                shared_->folders.erase(at);
                return FindFile(std::move(read.listing));
            }
            shared_->learn(folder, std::move(read.subFolders));
            shared_->folders.erase(at);
            shared_->wake();
            lock.unlock();
            return FindFile(std::move(read.listing));
        }
        case State::Reading: {
            shared_->walkWaits = true;
            const bool listed =
                shared_->listed.wait(lock, [&] { return folder.state != State::Reading; }, kWaitSliceMs);
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

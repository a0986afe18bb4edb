#include "core/folder_walk.h"

#ifdef _WIN32
#include <type_traits>

#include "core/walk_order.h"
#include "core/walk_rule.h"

namespace {

template <class Order>
class Walk {
public:
    Walk(Order& order, WalkProgress& progress, FolderVisitor& visitor)
        : order_(order), progress_(progress), visitor_(visitor)
    {
    }

    void run(const DiskPath& start)
    {
        order_.start(start);
        listFolders();
        order_.clear();
    }

private:
    static constexpr bool kDepthFirst = std::is_same_v<Order, DepthFirstOrder>;

    // Lists what the order hands out now.
    void listFolders()
    {
        DiskPath folder;
        while (!progress_.stopped() && order_.next(folder))
            list(folder);
    }

    void list(const DiskPath& folder)
    {
        visitor_.Enter(folder);
        {
            for (FindFile entry = ReadFolder(folder, progress_); entry; entry.next()) {
                if (entry.isDotEntry())
                    continue;
                visitor_.Met(folder, entry);
                if (!entry.isFolder()) {
                    if (!progress_.file())
                        break;
                    continue;
                }
                if (!meetFolder(folder, entry))
                    break;
            }
        }
        order_.done();
        visitor_.Done(folder);
    }

    // A sub-folder entry; false when the walk is to stop.
    bool meetFolder(const DiskPath& folder, const FindFile& entry)
    {
        const bool walkable = IsWalkableFolder(entry.data());
        if constexpr (kDepthFirst) {
            if (progress_.folder() && walkable) {
                order_.found(SubFolder(folder, entry));
                listFolders();
            } else {
                visitor_.Done(SubFolder(folder, entry));
            }
            return !progress_.stopped();
        } else {
            if (walkable)
                order_.found(SubFolder(folder, entry));
            return progress_.folder();
        }
    }

    Order& order_;
    WalkProgress& progress_;
    FolderVisitor& visitor_;
};

}  // namespace

void WalkFolders(const DiskPath& start, WalkProgress& progress, FolderVisitor& visitor)
{
    const ReadAhead ahead(start, WalkOrder::Depth);
    DepthFirstOrder order;
    Walk(order, progress, visitor).run(start);
}

void WalkFolders(const DiskPath& start, PendingFolders& slots, WalkProgress& progress, FolderVisitor& visitor)
{
    const ReadAhead ahead(start, WalkOrder::Slots);
    SlotOrder order(slots);
    Walk(order, progress, visitor).run(start);
}
#endif

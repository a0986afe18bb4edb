#include "core/pending_folders.h"

void PendingFolders::clear()
{
    slots_.clear();
    occupied_.clear();
    free_ = {};
}

int PendingFolders::add(DiskPath path)
{
    int slot;
    if (!free_.empty()) {
        slot = free_.top();
        free_.pop();
        slots_[static_cast<std::size_t>(slot)] = std::move(path);
    } else {
        slot = static_cast<int>(slots_.size());
        slots_.push_back(std::move(path));
    }
    occupied_.insert(slot);
    return slot;
}

void PendingFolders::release(int slot)
{
    if (occupied_.erase(slot) == 0)
        return;
    slots_[static_cast<std::size_t>(slot)] = {};
    free_.push(slot);
}

#pragma once
// The pending-folder slots as a plain array scanned from slot 0, the way the
// walks were first written down: the model the tests hold PendingFolders to.
#include <cstddef>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/pending_folders.h"

class LiteralSlots {
public:
    explicit LiteralSlots(std::size_t count = 5001) : slots_(count) {}

    // An empty text is an empty slot: no path is empty.
    void clear()
    {
        for (std::string& slot : slots_)
            slot.clear();
    }
    int add(const std::string& path)
    {
        for (std::size_t i = 0; i < slots_.size(); ++i)
            if (slots_[i].empty()) {
                slots_[i] = path;
                return static_cast<int>(i);
            }
        throw std::length_error("every slot is taken");
    }
    // -1 when every slot is empty.
    int lowest() const
    {
        for (std::size_t i = 0; i < slots_.size(); ++i)
            if (!slots_[i].empty())
                return static_cast<int>(i);
        return -1;
    }
    bool empty() const { return lowest() < 0; }
    const std::string& path(int slot) const { return slots_[static_cast<std::size_t>(slot)]; }
    void release(int slot) { slots_[static_cast<std::size_t>(slot)].clear(); }

private:
    std::vector<std::string> slots_;
};

inline int SlotNode(const std::string& path) { return std::stoi(path); }
inline int SlotNode(const DiskPath& path) { return std::stoi(path.Shown); }

// The slot-ordered walk from node 0, over PendingFolders or the literal
// array; list(node) lists one node, adding its sub-folders by number.
template <class Slots, class List>
void WalkInSlotOrder(Slots& pending, List list)
{
    pending.clear();
    list(0);
    while (!pending.empty()) {
        const int slot = pending.lowest();
        const int node = SlotNode(pending.path(slot));
        list(node);
        pending.release(slot);
    }
}

#include "core/walk_order.h"

#include <algorithm>

std::size_t PathBytes(const DiskPath& path)
{
    return sizeof(DiskPath) + path.Shown.capacity() + path.Wide.capacity() * sizeof(wchar_t);
}

void DepthFirstOrder::clear()
{
    frames_.clear();
    bytes_ = 0;
}

void DepthFirstOrder::start(DiskPath first)
{
    frames_.clear();
    bytes_ = PathBytes(first);
    // A frame above the first folder, listed already, holding only it.
    Frame& top = frames_.emplace_back();
    top.subs.push_back(std::move(first));
    top.listing = false;
}

void DepthFirstOrder::found(DiskPath sub)
{
    bytes_ += PathBytes(sub);
    frames_.back().subs.push_back(std::move(sub));
}

void DepthFirstOrder::done()
{
    // The innermost frame still listing: frames above it are over.
    for (auto frame = frames_.rbegin(); frame != frames_.rend(); ++frame) {
        if (frame->listing) {
            frame->listing = false;
            break;
        }
    }
}

bool DepthFirstOrder::next(DiskPath& folder)
{
    while (!frames_.empty()) {
        Frame& top = frames_.back();
        if (top.entered < top.subs.size()) {
            folder = std::move(top.subs[top.entered++]);
            top.started = std::max(top.started, top.entered);
            bytes_ -= std::min(bytes_, PathBytes(folder));
            frames_.emplace_back();
            return true;
        }
        if (top.listing)
            return false;
        frames_.pop_back();
    }
    return false;
}

bool DepthFirstOrder::ahead(DiskPath& folder)
{
    for (auto frame = frames_.rbegin(); frame != frames_.rend(); ++frame) {
        if (frame->started < frame->subs.size()) {
            folder = frame->subs[frame->started++];
            return true;
        }
    }
    return false;
}

void SlotOrder::clear()
{
    slots_.clear();
    notAhead_.clear();
    first_ = {};
    firstPending_ = false;
    listing_ = false;
    bytes_ = 0;
}

void SlotOrder::start(DiskPath first)
{
    slots_.clear();
    notAhead_.clear();
    bytes_ = PathBytes(first);
    first_ = std::move(first);
    firstPending_ = true;
    listing_ = false;
}

void SlotOrder::found(DiskPath sub)
{
    bytes_ += PathBytes(sub);
    notAhead_.insert(slots_.add(std::move(sub)));
}

void SlotOrder::done()
{
    listing_ = false;
    if (listed_ >= 0)
        slots_.release(listed_);
}

bool SlotOrder::next(DiskPath& folder)
{
    if (listing_)
        return false;
    if (firstPending_) {
        firstPending_ = false;
        folder = std::move(first_);
        listed_ = -1;
    } else {
        if (slots_.empty())
            return false;
        listed_ = slots_.lowest();
        // Kept in its slot until done(), so that folders found meanwhile
        // take the free slots around it.
        folder = slots_.path(listed_);
        notAhead_.erase(listed_);
    }
    bytes_ -= std::min(bytes_, PathBytes(folder));
    listing_ = true;
    return true;
}

bool SlotOrder::ahead(DiskPath& folder)
{
    if (firstPending_ || notAhead_.empty())
        return false;
    const auto slot = notAhead_.begin();
    folder = slots_.path(*slot);
    notAhead_.erase(slot);
    return true;
}

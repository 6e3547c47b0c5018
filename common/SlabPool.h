// Small blocks of one size, carved out of 64 KB slabs. Planning holds a
// record, a path text and two operations for every item of a folder that
// may hold a million: taken from the process heap one by one, each pays the
// heap's own header and rounding, and its lock, which together cost about
// as much room as the blocks themselves and a good part of the time.
//
// A slab begins with its header and is aligned on its size, so a block
// finds its slab, and the slab its pool, from the block's address alone: a
// block may be given back from any thread, and through another module than
// the one that took it (each module has pools of its own). A slab that
// empties is given back to the system, unless it is the pool's last.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

namespace ordvale {

class SlabPool {
public:
    static constexpr std::size_t kSlabBytes = 64 * 1024;  // the system's allocation granularity
    static constexpr std::size_t kAlign = 8;

    // Blocks of `blockBytes` (rounded up to 8, at most a quarter of a slab).
    explicit SlabPool(std::size_t blockBytes);
    SlabPool(const SlabPool&) = delete;
    SlabPool& operator=(const SlabPool&) = delete;
    // Pools live as long as their module; their slabs go with the process.
    ~SlabPool() = default;

    // Throws std::bad_alloc when the system has no room left.
    void* Allocate();
    // A block that any pool gave (null does nothing).
    static void Free(void* block) noexcept;

    std::size_t BlockBytes() const { return blockBytes_; }

private:
    struct Slab;
    void Release(Slab* slab, void* block) noexcept;
    void Link(Slab* slab) noexcept;
    void Unlink(Slab* slab) noexcept;

    std::size_t blockBytes_;
    uint32_t blocksPerSlab_;
    SRWLOCK lock_ = SRWLOCK_INIT;
    Slab* open_ = nullptr;  // slabs with a free block, the one to take from first
    std::size_t slabs_ = 0;
};

// Blocks of any size up to `kMaxPooledBytes`, one pool for each multiple of
// 8; larger ones come from the heap. The size given back must be the size
// taken.
constexpr std::size_t kMaxPooledBytes = 1024;
void* AllocateSmall(std::size_t bytes);
void FreeSmall(void* block, std::size_t bytes) noexcept;

}  // namespace ordvale

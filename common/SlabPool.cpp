#include "common/SlabPool.h"

#include <atomic>
#include <new>

namespace ordvale {

struct SlabPool::Slab {
    SlabPool* owner;
    Slab* prev;  // among the owner's open slabs
    Slab* next;
    void* free;        // blocks given back, each holding the next
    uint32_t used;     // blocks handed out
    uint32_t carved;   // blocks taken from the untouched end so far
    bool open;         // on the owner's list of slabs with room

    // Blocks follow the header, aligned as the largest thing they hold.
    static constexpr std::size_t kHeaderBytes = 64;
    char* Blocks() { return reinterpret_cast<char*>(this) + kHeaderBytes; }
};

namespace {

struct FreeBlock {
    void* next;
};

}  // namespace

SlabPool::SlabPool(std::size_t blockBytes) {
    static_assert(sizeof(Slab) <= Slab::kHeaderBytes, "a slab's header fits before its blocks");
    if (blockBytes < sizeof(FreeBlock)) blockBytes = sizeof(FreeBlock);
    blockBytes_ = (blockBytes + kAlign - 1) / kAlign * kAlign;
    blocksPerSlab_ = static_cast<uint32_t>((kSlabBytes - Slab::kHeaderBytes) / blockBytes_);
}

void SlabPool::Link(Slab* slab) noexcept {
    slab->prev = nullptr;
    slab->next = open_;
    if (open_) open_->prev = slab;
    open_ = slab;
    slab->open = true;
}

void SlabPool::Unlink(Slab* slab) noexcept {
    if (slab->prev) slab->prev->next = slab->next;
    else open_ = slab->next;
    if (slab->next) slab->next->prev = slab->prev;
    slab->prev = slab->next = nullptr;
    slab->open = false;
}

void* SlabPool::Allocate() {
    AcquireSRWLockExclusive(&lock_);
    Slab* slab = open_;
    if (!slab) {
        // The system hands out whole slabs on their own alignment.
        void* room = VirtualAlloc(nullptr, kSlabBytes, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
        if (!room) {
            ReleaseSRWLockExclusive(&lock_);
            throw std::bad_alloc();
        }
        slab = new (room) Slab{this, nullptr, nullptr, nullptr, 0, 0, false};
        ++slabs_;
        Link(slab);
    }
    void* block;
    if (slab->free) {
        block = slab->free;
        slab->free = static_cast<FreeBlock*>(block)->next;
    } else {
        block = slab->Blocks() + static_cast<std::size_t>(slab->carved) * blockBytes_;
        ++slab->carved;
    }
    ++slab->used;
    if (slab->used == blocksPerSlab_) Unlink(slab);
    ReleaseSRWLockExclusive(&lock_);
    return block;
}

void SlabPool::Free(void* block) noexcept {
    if (!block) return;
    Slab* slab = reinterpret_cast<Slab*>(reinterpret_cast<uintptr_t>(block) & ~(uintptr_t{kSlabBytes} - 1));
    slab->owner->Release(slab, block);
}

void SlabPool::Release(Slab* slab, void* block) noexcept {
    AcquireSRWLockExclusive(&lock_);
    static_cast<FreeBlock*>(block)->next = slab->free;
    slab->free = block;
    --slab->used;
    if (!slab->open) Link(slab);
    bool emptied = false;
    // An emptied slab goes back to the system, unless it is the only one
    // left: a pool that fills and empties by turns keeps one at hand.
    if (slab->used == 0 && slabs_ > 1) {
        Unlink(slab);
        --slabs_;
        emptied = true;
    }
    ReleaseSRWLockExclusive(&lock_);
    if (emptied) VirtualFree(slab, 0, MEM_RELEASE);
}

namespace {

constexpr std::size_t kClasses = kMaxPooledBytes / SlabPool::kAlign;

// Made on first use, so that a pool is there for whatever static object
// needs one first; never destroyed, since blocks may be given back as the
// module unloads.
SlabPool& PoolOf(std::size_t bytes) {
    static std::atomic<SlabPool*> pools[kClasses] = {};
    static SRWLOCK lock = SRWLOCK_INIT;
    const std::size_t index = (bytes + SlabPool::kAlign - 1) / SlabPool::kAlign - 1;
    if (SlabPool* pool = pools[index].load(std::memory_order_acquire)) return *pool;
    AcquireSRWLockExclusive(&lock);
    SlabPool* pool = pools[index].load(std::memory_order_relaxed);
    if (!pool) {
        alignas(SlabPool) static unsigned char room[kClasses][sizeof(SlabPool)];
        pool = new (room[index]) SlabPool((index + 1) * SlabPool::kAlign);
        pools[index].store(pool, std::memory_order_release);
    }
    ReleaseSRWLockExclusive(&lock);
    return *pool;
}

}  // namespace

void* AllocateSmall(std::size_t bytes) {
    if (bytes == 0) bytes = 1;
    if (bytes > kMaxPooledBytes) return ::operator new(bytes);
    return PoolOf(bytes).Allocate();
}

void FreeSmall(void* block, std::size_t bytes) noexcept {
    if (!block) return;
    if (bytes == 0) bytes = 1;
    if (bytes > kMaxPooledBytes) {
        ::operator delete(block);
        return;
    }
    SlabPool::Free(block);
}

}  // namespace ordvale

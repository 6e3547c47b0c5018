#include "common/SlabPool.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <set>
#include <thread>
#include <vector>

using namespace ordvale;

namespace {

bool IsReleased(const void* address) {
    MEMORY_BASIC_INFORMATION info = {};
    return VirtualQuery(address, &info, sizeof(info)) == sizeof(info) && info.State == MEM_FREE;
}

}  // namespace

// Every size a record or text takes: blocks are distinct, aligned, keep
// what is written into them while others come and go, and a freed block is
// handed out again.
TEST(SlabPool, BlocksOfEverySizeKeepTheirContents) {
    const std::size_t sizes[] = {1, 7, 8, 9, 40, 64, 74, 530, kMaxPooledBytes, kMaxPooledBytes + 1, 4096};
    for (std::size_t size : sizes) {
        SCOPED_TRACE(size);
        std::vector<unsigned char*> blocks;
        for (int i = 0; i < 3000; ++i) {
            auto* b = static_cast<unsigned char*>(AllocateSmall(size));
            ASSERT_NE(b, nullptr);
            EXPECT_EQ(reinterpret_cast<uintptr_t>(b) % 8, 0u);
            std::memset(b, i & 0xFF, size);
            blocks.push_back(b);
        }
        EXPECT_EQ(std::set<unsigned char*>(blocks.begin(), blocks.end()).size(), blocks.size());
        // Every other one goes back, and as many come again.
        for (std::size_t i = 0; i < blocks.size(); i += 2) FreeSmall(blocks[i], size);
        std::vector<unsigned char*> again;
        for (std::size_t i = 0; i < blocks.size(); i += 2) {
            again.push_back(static_cast<unsigned char*>(AllocateSmall(size)));
            std::memset(again.back(), 0xEE, size);
        }
        for (std::size_t i = 1; i < blocks.size(); i += 2) {
            const unsigned char expected = static_cast<unsigned char>(i & 0xFF);
            EXPECT_TRUE(std::all_of(blocks[i], blocks[i] + size, [&](unsigned char c) { return c == expected; }))
                << "block " << i << " was overwritten";
            FreeSmall(blocks[i], size);
        }
        for (unsigned char* b : again) FreeSmall(b, size);
    }
}

// A pool gives its emptied slabs back to the system (all but one), so a
// large listing leaves no room held once its records are gone.
TEST(SlabPool, EmptiedSlabsGoBackToTheSystem) {
    SlabPool pool(64);
    std::vector<void*> blocks;
    for (int i = 0; i < 5000; ++i) blocks.push_back(pool.Allocate());  // five slabs or so
    const void* first = blocks.front();
    const void* last = blocks.back();
    for (void* b : blocks) SlabPool::Free(b);
    // One of the two slabs stays at hand; the other is given back.
    EXPECT_TRUE(IsReleased(first) || IsReleased(last));
    EXPECT_FALSE(IsReleased(first) && IsReleased(last));
    // And the pool still gives blocks.
    void* b = pool.Allocate();
    std::memset(b, 1, 64);
    SlabPool::Free(b);
}

// Blocks taken on one thread and given back on another, by several threads
// at once: none is ever handed to two holders.
TEST(SlabPool, ThreadsShareAPoolWithoutHandingABlockOutTwice) {
    SlabPool pool(48);
    constexpr int kThreads = 4, kRounds = 20000;
    std::vector<std::vector<void*>> handedOver(kThreads);
    std::vector<int> clashes(kThreads, 0);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            std::mt19937 random(t);
            std::vector<uint64_t*> held;
            for (int round = 0; round < kRounds; ++round) {
                if (held.empty() || random() % 3 != 0) {
                    auto* b = static_cast<uint64_t*>(pool.Allocate());
                    for (int i = 0; i < 6; ++i) b[i] = static_cast<uint64_t>(t) << 32 | static_cast<uint32_t>(round);
                    held.push_back(b);
                } else {
                    uint64_t* b = held.back();
                    held.pop_back();
                    for (int i = 1; i < 6; ++i)
                        if (b[i] != b[0]) ++clashes[t];
                    SlabPool::Free(b);
                }
            }
            // What is left is given back by the next thread.
            handedOver[(t + 1) % kThreads].assign(held.begin(), held.end());
        });
    }
    for (auto& thread : threads) thread.join();
    threads.clear();
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([&, t] {
            for (void* b : handedOver[t]) SlabPool::Free(b);
        });
    for (auto& thread : threads) thread.join();
    for (int t = 0; t < kThreads; ++t) EXPECT_EQ(clashes[t], 0) << "thread " << t;
}

#include "outline/block_list.h"

#include <gtest/gtest.h>

#include <set>

TEST(BlockList, RecyclesUpToItsLimitAndPassesOtherSizesThrough) {
    block_list list(64, 2);
    void* a = list.take(64);
    void* b = list.take(64);
    void* c = list.take(64);
    list.give(a, 64);
    list.give(b, 64);
    list.give(c, 64); // over the limit: freed, not kept
    std::set<void*> again = {list.take(64), list.take(64)};
    void* fresh = list.take(64);
    if (TAVREL_RECYCLE_BLOCKS) {
        EXPECT_EQ(again, (std::set<void*>{a, b}));
    }
    // A block of another size is never handed out for this one.
    void* other = list.take(128);
    list.give(other, 128);
    for (void* p : again)
        list.give(p, 64);
    list.give(fresh, 64);
    list.give(nullptr, 64);
}

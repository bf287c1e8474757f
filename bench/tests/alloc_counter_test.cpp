#include "alloc_counter.h"

#include <gtest/gtest.h>

#include <new>

namespace {

// Stores each block where the compiler must assume it is used, so that an
// allocation and its free are not optimised away as a pair.
void* volatile sink;

char* block(size_t n) {
    char* p = new char[n];
    sink = p;
    return p;
}

} // namespace

// Only what is allocated while counting counts, and the peak is the most
// held at once, not the total allocated.
TEST(AllocCounter, PeakIsTheMostHeldAtOnceWhileCounting) {
    char* before = block(1 << 20);
    alloc_counter::start();
    char* a = block(1000);
    delete[] block(3000);
    char* c = block(500);
    delete[] a;
    delete[] c;
    // Freeing a block from before the start must not take anything off.
    delete[] before;
    char* d = block(200);
    EXPECT_EQ(alloc_counter::stop(), 4000u);
    delete[] d;
}

TEST(AllocCounter, EveryFormOfNewIsCountedAndBlocksOutliveTheWindow) {
    alloc_counter::start();
    int* one = new int(7);
    sink = one;
    char* many = new (std::nothrow) char[64];
    sink = many;
    ASSERT_NE(many, nullptr);
    EXPECT_EQ(alloc_counter::stop(), sizeof(int) + 64);
    // Blocks counted in one window may be freed after it, and the next
    // window starts from zero.
    delete one;
    delete[] many;
    alloc_counter::start();
    EXPECT_EQ(alloc_counter::stop(), 0u);
}

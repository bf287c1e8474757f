// Replaces the global operator new and delete with counting versions over
// malloc. The block sizes come from malloc_usable_size, so a delete needs
// no size of its own and what is counted is what the allocator really holds.
#include "alloc_counter.h"

#include <malloc.h>

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<size_t> held{0};
std::atomic<size_t> highest{0};

void* take(void* p)
{
    if (p) {
        size_t now = held.fetch_add(malloc_usable_size(p), std::memory_order_relaxed) +
                     malloc_usable_size(p);
        size_t top = highest.load(std::memory_order_relaxed);
        while (now > top && !highest.compare_exchange_weak(top, now, std::memory_order_relaxed)) {
        }
    }
    return p;
}

void give(void* p)
{
    if (p) {
        held.fetch_sub(malloc_usable_size(p), std::memory_order_relaxed);
        free(p);
    }
}

void* allocate(size_t n)
{
    void* p = take(malloc(n ? n : 1));
    if (!p)
        throw std::bad_alloc();
    return p;
}

void* allocate_aligned(size_t n, std::align_val_t al)
{
    size_t a = (size_t)al;
    // aligned_alloc wants a size that is a multiple of the alignment.
    size_t rounded = ((n ? n : 1) + a - 1) / a * a;
    void* p = take(aligned_alloc(a, rounded));
    if (!p)
        throw std::bad_alloc();
    return p;
}

} // namespace

namespace alloc_counter {

size_t current() { return held.load(std::memory_order_relaxed); }
size_t peak() { return highest.load(std::memory_order_relaxed); }
void reset_peak() { highest.store(held.load(std::memory_order_relaxed), std::memory_order_relaxed); }

} // namespace alloc_counter

void* operator new(size_t n) { return allocate(n); }
void* operator new[](size_t n) { return allocate(n); }
void* operator new(size_t n, const std::nothrow_t&) noexcept { return take(malloc(n ? n : 1)); }
void* operator new[](size_t n, const std::nothrow_t&) noexcept { return take(malloc(n ? n : 1)); }
void* operator new(size_t n, std::align_val_t al) { return allocate_aligned(n, al); }
void* operator new[](size_t n, std::align_val_t al) { return allocate_aligned(n, al); }

void operator delete(void* p) noexcept { give(p); }
void operator delete[](void* p) noexcept { give(p); }
void operator delete(void* p, size_t) noexcept { give(p); }
void operator delete[](void* p, size_t) noexcept { give(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { give(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { give(p); }
void operator delete(void* p, std::align_val_t) noexcept { give(p); }
void operator delete[](void* p, std::align_val_t) noexcept { give(p); }
void operator delete(void* p, size_t, std::align_val_t) noexcept { give(p); }
void operator delete[](void* p, size_t, std::align_val_t) noexcept { give(p); }

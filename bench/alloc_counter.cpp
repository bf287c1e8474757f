// Replaces the global operator new and delete. Every block gets a 16-byte
// header in front (keeping malloc's 16-byte alignment) that records its
// size while counting is on and 0 otherwise, so a delete knows whether and
// how much to take off the count, whenever the block was allocated.
#include "alloc_counter.h"

#include <cstdlib>
#include <new>

namespace {

const size_t header = 16;

bool counting = false;
size_t held = 0;
size_t highest = 0;

void* take(size_t n) {
    if (n > (size_t)-1 - header)
        return nullptr;
    auto* base = static_cast<unsigned char*>(malloc(n + header));
    if (!base)
        return nullptr;
    size_t recorded = 0;
    if (counting) {
        recorded = n;
        held += n;
        if (held > highest)
            highest = held;
    }
    *reinterpret_cast<size_t*>(base) = recorded;
    return base + header;
}

void give(void* p) {
    if (!p)
        return;
    auto* base = static_cast<unsigned char*>(p) - header;
    size_t recorded = *reinterpret_cast<size_t*>(base);
    held -= recorded <= held ? recorded : held;
    free(base);
}

void* take_or_throw(size_t n) {
    void* p = take(n);
    if (!p)
        throw std::bad_alloc();
    return p;
}

} // namespace

namespace alloc_counter {

void start() {
    held = 0;
    highest = 0;
    counting = true;
}

size_t stop() {
    counting = false;
    return highest;
}

} // namespace alloc_counter

// The benchmarks run on one thread, so the counts need no atomics. Nothing
// in the model asks for over-aligned memory, so the aligned forms are not
// replaced.
void* operator new(size_t n) {
    return take_or_throw(n);
}
void* operator new[](size_t n) {
    return take_or_throw(n);
}
void* operator new(size_t n, const std::nothrow_t&) noexcept {
    return take(n);
}
void* operator new[](size_t n, const std::nothrow_t&) noexcept {
    return take(n);
}
void operator delete(void* p) noexcept {
    give(p);
}
void operator delete[](void* p) noexcept {
    give(p);
}
void operator delete(void* p, size_t) noexcept {
    give(p);
}
void operator delete[](void* p, size_t) noexcept {
    give(p);
}
void operator delete(void* p, const std::nothrow_t&) noexcept {
    give(p);
}
void operator delete[](void* p, const std::nothrow_t&) noexcept {
    give(p);
}

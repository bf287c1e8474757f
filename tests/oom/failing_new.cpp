#include "failing_new.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {
std::atomic<thread_id> target{-1};
std::atomic<long> countdown{0};
std::atomic<bool> fired{false};
} // namespace

namespace failing_new {

void fail_at(thread_id thread, long n) {
    fired = false;
    target = thread;
    countdown = n;
}

bool disarm() {
    countdown = 0;
    target = -1;
    return fired;
}

} // namespace failing_new

void* operator new(std::size_t size) {
    if (countdown.load(std::memory_order_relaxed) > 0 && find_thread(nullptr) == target.load() &&
        countdown.fetch_sub(1) == 1) {
        fired = true;
        throw std::bad_alloc();
    }
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}

void* operator new[](std::size_t size) {
    return operator new(size);
}

void operator delete(void* p) noexcept {
    std::free(p);
}

void operator delete[](void* p) noexcept {
    std::free(p);
}

void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}

void operator delete[](void* p, std::size_t) noexcept {
    std::free(p);
}

// The nothrow forms count too and give null where the failure falls; they
// must be this program's own, as a sanitizer's would not match the delete
// above.
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return operator new(size);
    } catch (...) {
        return nullptr;
    }
}

void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept {
    return operator new(size, tag);
}

void operator delete(void* p, const std::nothrow_t&) noexcept {
    std::free(p);
}

void operator delete[](void* p, const std::nothrow_t&) noexcept {
    std::free(p);
}

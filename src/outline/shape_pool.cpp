// Recycling of contour memory. Reading every glyph of a large font creates
// and destroys hundreds of thousands of contours of one size; the general
// allocator keeps only a handful of same-sized blocks at hand, so the rest
// would go through its slower paths. Each thread keeps up to a few thousand
// freed blocks and hands them out again.
#include "outline/shape.h"

#include <new>

namespace {

struct free_block {
    free_block* next;
};

class block_list {
  public:
    ~block_list() {
        while (fHead) {
            free_block* b = fHead;
            fHead = b->next;
            ::operator delete(b);
        }
    }
    void* take() {
        free_block* b = fHead;
        if (!b)
            return nullptr;
        fHead = b->next;
        fCount--;
        return b;
    }
    bool give(void* p) {
        if (fCount >= max_kept)
            return false;
        free_block* b = static_cast<free_block*>(p);
        b->next = fHead;
        fHead = b;
        fCount++;
        return true;
    }

  private:
    static constexpr int max_kept = 4096;
    free_block* fHead = nullptr;
    int fCount = 0;
};

thread_local block_list recycled;

} // namespace

void* shape::operator new(size_t size) {
    if (size == sizeof(shape)) {
        if (void* p = recycled.take())
            return p;
    }
    return ::operator new(size);
}

void shape::operator delete(void* p, size_t size) {
    if (!p)
        return;
    if (size == sizeof(shape) && recycled.give(p))
        return;
    ::operator delete(p);
}

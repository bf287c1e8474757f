// A per-thread free list of equally sized memory blocks. Reading every glyph
// of a large font creates and destroys hundreds of thousands of contours and
// component glyphs; the general allocator keeps only a handful of blocks of
// one size at hand, so the rest would go through its slower paths. A class
// recycles its objects' memory through one of these in its own operator new
// and delete.
#ifndef TAVREL_OUTLINE_BLOCK_LIST_H
#define TAVREL_OUTLINE_BLOCK_LIST_H

#include <cstddef>
#include <new>

// Under AddressSanitizer nothing is kept, so that a use after free of a
// contour or glyph is still caught rather than hidden by reuse.
#if defined(__SANITIZE_ADDRESS__)
#define TAVREL_RECYCLE_BLOCKS 0
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TAVREL_RECYCLE_BLOCKS 0
#endif
#endif
#ifndef TAVREL_RECYCLE_BLOCKS
#define TAVREL_RECYCLE_BLOCKS 1
#endif

class block_list {
  public:
    // Recycles blocks of exactly `size` bytes, keeping at most `keep` of
    // them; other sizes pass through.
    explicit block_list(size_t size, int keep = 4096)
        : fSize(size), fKeep(TAVREL_RECYCLE_BLOCKS ? keep : 0) {}
    block_list(const block_list&) = delete;
    block_list& operator=(const block_list&) = delete;
    // Frees what it keeps. An object that outlives the list (a static one,
    // destroyed after the thread's lists) still gets its memory freed.
    ~block_list() {
        fKeep = 0;
        while (fHead) {
            free_block* b = fHead;
            fHead = b->next;
            ::operator delete(b);
        }
        fCount = 0;
    }

    // A block of `size` bytes, recycled when one is at hand.
    void* take(size_t size) {
        if (size != fSize || !fHead)
            return ::operator new(size);
        free_block* b = fHead;
        fHead = b->next;
        fCount--;
        return b;
    }
    // Keeps a block from take() for the next one, or frees it.
    void give(void* p, size_t size) {
        if (!p)
            return;
        if (size != fSize || fCount >= fKeep) {
            ::operator delete(p);
            return;
        }
        free_block* b = static_cast<free_block*>(p);
        b->next = fHead;
        fHead = b;
        fCount++;
    }

  private:
    struct free_block {
        free_block* next;
    };
    const size_t fSize;
    int fKeep;
    free_block* fHead = nullptr;
    int fCount = 0;
};

#endif

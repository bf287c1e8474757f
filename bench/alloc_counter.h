// Counts the bytes held through operator new in this process, so that a
// benchmark can report the peak heap use of one operation. Every table
// buffer, the cmap array and the outline model are allocated with new.
#ifndef TAVREL_BENCH_ALLOC_COUNTER_H
#define TAVREL_BENCH_ALLOC_COUNTER_H

#include <cstddef>

namespace alloc_counter {

// Bytes held now (as the allocator sizes the blocks).
size_t current();
// The most held at once since the last reset_peak().
size_t peak();
// Starts a new peak from what is held now.
void reset_peak();

} // namespace alloc_counter

#endif

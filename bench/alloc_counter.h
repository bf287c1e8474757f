// Counts the bytes held through operator new while counting is switched
// on, so that a benchmark can report the peak heap use of one operation.
// Every table buffer, the cmap array and the outline model are allocated
// with new. Switched off (the default), an allocation costs one branch more
// than plain malloc, so the timed benchmarks are not slowed by the counting.
#ifndef TAVREL_BENCH_ALLOC_COUNTER_H
#define TAVREL_BENCH_ALLOC_COUNTER_H

#include <cstddef>

namespace alloc_counter {

// Starts counting from zero: blocks allocated from now on are counted until
// they are freed.
void start();
// Stops counting and returns the most bytes held at once since start().
size_t stop();

} // namespace alloc_counter

#endif

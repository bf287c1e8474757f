// This test program's operator new can be told to fail: it counts the
// allocations one chosen thread makes and throws std::bad_alloc at the
// n-th (new(std::nothrow) gives null there instead), once. Every other
// allocation, and every one while it is not armed, is an ordinary malloc.
#ifndef TAVREL_TESTS_OOM_FAILING_NEW_H
#define TAVREL_TESTS_OOM_FAILING_NEW_H

#include <OS.h>

namespace failing_new {

// Arms the failure: the n-th allocation (from 1) of `thread` fails.
void fail_at(thread_id thread, long n);
// Disarms it; true when the failure happened since it was armed.
bool disarm();

} // namespace failing_new

#endif

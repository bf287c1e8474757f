// Time and sleeping, as the BeOS kernel kit offers them.
#ifndef _OS_H
#define _OS_H

#include <SupportDefs.h>

typedef int32 thread_id;

// The calling thread's number when `name` is null (names are not kept).
thread_id find_thread(const char* name);

// Microseconds since an arbitrary fixed point (a monotonic clock).
bigtime_t system_time();

// Sleeps for at least `microseconds`; 0 just yields the processor.
status_t snooze(bigtime_t microseconds);

#endif

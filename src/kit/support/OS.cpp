#include "OS.h"

#include <chrono>
#include <thread>

#include <atomic>

thread_id find_thread(const char* name) {
    if (name)
        return B_NAME_NOT_FOUND;
    static std::atomic<thread_id> next{1};
    thread_local thread_id self = next++;
    return self;
}

bigtime_t system_time() {
    using namespace std::chrono;
    return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
}

status_t snooze(bigtime_t microseconds) {
    if (microseconds <= 0)
        std::this_thread::yield();
    else
        std::this_thread::sleep_for(std::chrono::microseconds(microseconds));
    return B_OK;
}

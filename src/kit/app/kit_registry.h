// The kit's table of live handlers and loopers. Messengers hold tokens,
// never pointers, and look their target up here under one mutex, so a
// message to a handler or looper that is gone fails cleanly instead of
// touching freed memory.
#ifndef KIT_APP_REGISTRY_H
#define KIT_APP_REGISTRY_H

#include <SupportDefs.h>

#include <condition_variable>
#include <mutex>
#include <vector>

class BHandler;
class BLooper;
class BMessage;

namespace kit {

std::mutex& registry_mutex();

// All of these expect registry_mutex() to be held.
int32 register_handler(BHandler* handler);
void unregister_handler(int32 token);
BHandler* find_handler(int32 token);
void register_looper(BLooper* looper);
void unregister_looper(BLooper* looper);
const std::vector<BLooper*>& loopers();
// Windows, by looper token, in creation order.
void register_window(int32 token);
void unregister_window(int32 token);
std::vector<int32> window_tokens();

// One waiting synchronous sender.
struct reply_slot {
    std::mutex lock;
    std::condition_variable done_changed;
    bool done = false;
    BMessage* reply = nullptr; // owned until taken
    ~reply_slot();
};

} // namespace kit

#endif

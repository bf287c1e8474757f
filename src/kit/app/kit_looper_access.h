// The way into a looper's private machinery for the kit's free functions
// (input delivery, the display's idle check). Programs never include this.
#ifndef KIT_APP_LOOPER_ACCESS_H
#define KIT_APP_LOOPER_ACCESS_H

#include <Looper.h>

namespace kit {

class looper_access {
  public:
    // The registered looper with `token`, returned with the registry held
    // (so it cannot be deleted) until unlock_registry(); null (registry
    // released) when there is none.
    static BLooper* lock_registry_find(int32 token) {
        return BLooper::kit_lock_registry_find(token);
    }
    static void unlock_registry() { BLooper::kit_unlock_registry(); }
    // Nothing queued and nothing being dispatched.
    static bool is_idle(const BLooper* looper) { return looper->kit_is_idle(); }
};

} // namespace kit

#endif

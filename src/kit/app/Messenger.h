// BMessenger: an address of a handler in some looper, usable from any
// thread. It stays safe to use after its target is gone: sending then
// fails with B_BAD_PORT_ID.
#ifndef _MESSENGER_H
#define _MESSENGER_H

#include <SupportDefs.h>

class BHandler;
class BLooper;
class BMessage;

class BMessenger {
  public:
    BMessenger() = default;
    // Targets `handler` in its looper, or `looper`'s preferred handler when
    // `handler` is null.
    BMessenger(const BHandler* handler, const BLooper* looper = nullptr,
               status_t* result = nullptr);

    bool IsValid() const;
    bool IsTargetLocal() const { return true; }
    // The target's handler (null for the preferred handler) and its looper.
    BHandler* Target(BLooper** looper) const;
    bool LockTarget() const;

    // Asynchronous sends: the message is copied into the target's queue.
    status_t SendMessage(uint32 command, BHandler* replyTo = nullptr) const;
    status_t SendMessage(BMessage* message, BHandler* replyTo = nullptr,
                         bigtime_t timeout = B_INFINITE_TIMEOUT) const;
    status_t SendMessage(BMessage* message, BMessenger replyTo,
                         bigtime_t timeout = B_INFINITE_TIMEOUT) const;

    // Synchronous sends: wait for the reply (B_NO_REPLY if the receiver
    // drops the message without answering). Sending to the calling
    // thread's own looper would wait forever and fails with B_WOULD_BLOCK.
    status_t SendMessage(uint32 command, BMessage* reply) const;
    status_t SendMessage(BMessage* message, BMessage* reply,
                         bigtime_t deliveryTimeout = B_INFINITE_TIMEOUT,
                         bigtime_t replyTimeout = B_INFINITE_TIMEOUT) const;

    bool operator==(const BMessenger& other) const {
        return fLooperToken == other.fLooperToken && fHandlerToken == other.fHandlerToken;
    }
    bool operator!=(const BMessenger& other) const { return !(*this == other); }

  private:
    friend class BMessage;
    status_t _Deliver(BMessage* copy) const;

    int32 fLooperToken = -1;
    int32 fHandlerToken = -1; // -1: the looper's preferred handler
};

#endif

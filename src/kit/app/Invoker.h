// BInvoker: a message and the target it is sent to. Controls and menu
// items are invokers.
#ifndef _INVOKER_H
#define _INVOKER_H

#include <Messenger.h>
#include <SupportDefs.h>

class BHandler;
class BLooper;
class BMessage;

class BInvoker {
  public:
    BInvoker();
    // Takes ownership of `message`.
    BInvoker(BMessage* message, const BHandler* handler, const BLooper* looper = nullptr);
    BInvoker(BMessage* message, BMessenger target);
    BInvoker(const BInvoker&) = delete;
    BInvoker& operator=(const BInvoker&) = delete;
    virtual ~BInvoker();

    // Replaces the message (owned from now on; null for none).
    virtual status_t SetMessage(BMessage* message);
    BMessage* Message() const { return fMessage; }
    uint32 Command() const;

    // A handler not yet in a looper is remembered and addressed once it
    // is in one; until then Invoke() fails with B_BAD_HANDLER.
    virtual status_t SetTarget(const BHandler* handler, const BLooper* looper = nullptr);
    virtual status_t SetTarget(BMessenger messenger);
    bool IsTargetLocal() const { return true; }
    BHandler* Target(BLooper** looper = nullptr) const;
    BMessenger Messenger() const;

    // Sends `message` (the invoker's own when null) to the target.
    virtual status_t Invoke(BMessage* message = nullptr);

  protected:
    // True when a target was chosen (whether or not it is reachable).
    bool kit_has_target() const { return fHasTarget; }

  private:
    BMessage* fMessage = nullptr;
    mutable BMessenger fMessenger;
    mutable const BHandler* fPendingHandler = nullptr;
    bool fHasTarget = false;
};

#endif

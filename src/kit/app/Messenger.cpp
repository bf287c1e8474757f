#include "Messenger.h"

#include "kit_registry.h"

#include <Looper.h>
#include <Message.h>

#include <chrono>

BMessenger::BMessenger(const BHandler* handler, const BLooper* looper, status_t* result) {
    status_t status = B_OK;
    if (handler) {
        BLooper* owner = handler->Looper();
        if (!owner || (looper && looper != owner)) {
            status = owner ? B_MISMATCHED_VALUES : B_BAD_HANDLER;
        } else {
            fLooperToken = owner->kit_token();
            fHandlerToken = handler->kit_token();
        }
    } else if (looper) {
        fLooperToken = looper->kit_token();
    } else {
        status = B_BAD_VALUE;
    }
    if (result)
        *result = status;
}

bool BMessenger::IsValid() const {
    BLooper* looper = BLooper::kit_lock_registry_find(fLooperToken);
    if (!looper)
        return false;
    BLooper::kit_unlock_registry();
    return true;
}

BHandler* BMessenger::Target(BLooper** looperOut) const {
    BLooper* looper = BLooper::kit_lock_registry_find(fLooperToken);
    BHandler* handler = nullptr;
    if (looper) {
        if (fHandlerToken >= 0)
            handler = kit::find_handler(fHandlerToken);
        BLooper::kit_unlock_registry();
    }
    if (looperOut)
        *looperOut = looper;
    return handler;
}

bool BMessenger::LockTarget() const {
    // Pinned, the looper cannot be deleted while we wait for its lock; a
    // looper that quits meanwhile makes Lock() fail instead.
    BLooper* looper = BLooper::kit_lock_registry_pin(fLooperToken);
    if (!looper)
        return false;
    bool locked = looper->Lock();
    looper->kit_unpin();
    return locked;
}

status_t BMessenger::_Deliver(BMessage* copy) const {
    copy->fTargetToken = fHandlerToken;
    BLooper* looper = BLooper::kit_lock_registry_find(fLooperToken);
    if (!looper) {
        delete copy;
        return B_BAD_PORT_ID;
    }
    // Enqueued while the registry is held, so the looper cannot vanish;
    // a queue that cannot grow (memory ran out) lets the registry go too,
    // or every later message and lock would wait for it forever.
    status_t status;
    try {
        status = looper->kit_enqueue(copy);
    } catch (...) {
        BLooper::kit_unlock_registry();
        throw;
    }
    BLooper::kit_unlock_registry();
    return status;
}

status_t BMessenger::SendMessage(uint32 command, BHandler* replyTo) const {
    BMessage message(command);
    return SendMessage(&message, replyTo);
}

status_t BMessenger::SendMessage(BMessage* message, BHandler* replyTo, bigtime_t timeout) const {
    BMessenger replyMessenger;
    if (replyTo)
        replyMessenger = BMessenger(replyTo);
    return SendMessage(message, replyMessenger, timeout);
}

status_t BMessenger::SendMessage(BMessage* message, BMessenger replyTo, bigtime_t) const {
    // Queues are unbounded, so delivery never waits and the timeout
    // cannot expire.
    if (!message)
        return B_BAD_VALUE;
    BMessage* copy = new BMessage(*message);
    copy->fReplyTo = replyTo;
    return _Deliver(copy);
}

status_t BMessenger::SendMessage(uint32 command, BMessage* reply) const {
    BMessage message(command);
    return SendMessage(&message, reply);
}

status_t BMessenger::SendMessage(BMessage* message, BMessage* reply, bigtime_t,
                                 bigtime_t replyTimeout) const {
    if (!message || !reply)
        return B_BAD_VALUE;
    BLooper* looper = BLooper::kit_lock_registry_find(fLooperToken);
    if (!looper)
        return B_BAD_PORT_ID;
    bool ownThread = looper->Thread() == find_thread(nullptr);
    BLooper::kit_unlock_registry();
    if (ownThread)
        return B_WOULD_BLOCK;

    auto slot = std::make_shared<kit::reply_slot>();
    BMessage* copy = new BMessage(*message);
    copy->fReplySlot = slot;
    status_t status = _Deliver(copy);
    if (status != B_OK)
        return status;

    std::unique_lock<std::mutex> guard(slot->lock);
    auto done = [&] { return slot->done; };
    if (replyTimeout == B_INFINITE_TIMEOUT) {
        slot->done_changed.wait(guard, done);
    } else if (!slot->done_changed.wait_for(guard, std::chrono::microseconds(replyTimeout), done)) {
        return B_TIMED_OUT;
    }
    *reply = *slot->reply;
    reply->fIsReply = true;
    return B_OK;
}

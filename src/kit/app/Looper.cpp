#include "Looper.h"

#include "kit_registry.h"

#include <algorithm>
#include <cstdio>
#include <exception>

namespace {
// Asks a looper's thread to leave its loop.
const uint32 kQuitLoop = '_QIT';
} // namespace

BLooper::BLooper(const char* name) : BHandler(name) {
    fHandlers.push_back(this);
    BHandler::fLooper = this;
    std::lock_guard<std::mutex> guard(kit::registry_mutex());
    kit::register_looper(this);
}

BLooper::~BLooper() {
    kit_retire();
    for (BHandler* handler : fHandlers)
        handler->fLooper = nullptr;
    fHandlers.clear();
    std::lock_guard<std::mutex> guard(fQueueLock);
    for (BMessage* message : fQueue)
        delete message;
    fQueue.clear();
}

thread_id BLooper::Run() {
    if (fRunning)
        return fThreadNumber;
    fRunning = true;
    std::atomic<thread_id> started{-1};
    {
        // A looper may quit at once and delete itself on its own thread; it
        // detaches that thread only after reading fQuitByOther under this
        // lock, so fThread is assigned by then.
        std::lock_guard<std::mutex> guard(fLockGuard);
        fThread = std::thread([this, &started] {
            fThreadNumber = find_thread(nullptr);
            // The last use of `started`: Run() returns once it is set.
            started = fThreadNumber.load();
            kit_run_loop();
            kit_retire();
            bool byOther;
            {
                std::lock_guard<std::mutex> guard(fLockGuard);
                byOther = fQuitByOther;
            }
            if (!byOther) {
                // Quit() came from this thread: nobody joins us, and the
                // looper goes away with the loop.
                fThread.detach();
                delete this;
            }
        });
    }
    // Run() returns once the thread knows its own number, without looking
    // at the looper, which may be gone by then.
    while (started < 0)
        std::this_thread::yield();
    return started;
}

void BLooper::kit_run_loop() {
    fRunning = true;
    fThreadNumber = find_thread(nullptr);
    while (!fTerminating) {
        BMessage* message = kit_next_message(kit_wait_timeout());
        if (message) {
            _DispatchOne(message);
            continue;
        }
        Lock();
        kit_timed_out();
        kit_after_dispatch();
        Unlock();
        std::lock_guard<std::mutex> guard(fQueueLock);
        fDispatching = false;
    }
}

BMessage* BLooper::kit_next_message(bigtime_t timeout) {
    std::unique_lock<std::mutex> guard(fQueueLock);
    auto ready = [this] { return !fQueue.empty() || fWakeRequested; };
    if (timeout == B_INFINITE_TIMEOUT)
        fQueueChanged.wait(guard, ready);
    else if (timeout > 0)
        fQueueChanged.wait_for(guard, std::chrono::microseconds(timeout), ready);
    fWakeRequested = false;
    // Marked busy under the queue lock, so an idle check never sees an
    // empty queue while a message is in flight.
    fDispatching = true;
    if (fQueue.empty())
        return nullptr;
    BMessage* message = fQueue.front();
    fQueue.pop_front();
    return message;
}

BMessage* BLooper::kit_take_message() {
    std::lock_guard<std::mutex> guard(fQueueLock);
    if (fQueue.empty())
        return nullptr;
    fDispatching = true;
    BMessage* message = fQueue.front();
    fQueue.pop_front();
    return message;
}

void BLooper::kit_wake() {
    std::lock_guard<std::mutex> guard(fQueueLock);
    fWakeRequested = true;
    fQueueChanged.notify_all();
}

void BLooper::_DispatchOne(BMessage* message) {
    Lock();
    fCurrentMessage = message;
    if (message->what == kQuitLoop && message->fTargetToken == kit_token()) {
        _Terminate();
        kit_after_dispatch();
    } else {
        // An exception a handler let through must not end the process:
        // the message is given up, with the locks the handler took on the
        // way, and the loop goes on. Programs catch what they can report
        // in their own DispatchMessage; this is the last resort.
        int32 held = CountLocks();
        try {
            if (BHandler* handler = kit_resolve_target(message))
                DispatchMessage(message, handler);
            kit_after_dispatch();
        } catch (const std::exception& e) {
            while (CountLocks() > held)
                Unlock();
            std::fprintf(stderr, "%s: a message's handling failed: %s\n",
                         Name() ? Name() : "looper", e.what());
        }
    }
    BMessage* done = fCurrentMessage;
    fCurrentMessage = nullptr;
    Unlock();
    // Deleted outside the lock: an unanswered synchronous sender is told
    // B_NO_REPLY from the destructor.
    delete done;
    std::lock_guard<std::mutex> guard(fQueueLock);
    fDispatching = false;
}

BHandler* BLooper::kit_resolve_target(BMessage* message) {
    if (message->fTargetToken < 0)
        return fPreferred ? fPreferred : this;
    BHandler* handler;
    {
        std::lock_guard<std::mutex> guard(kit::registry_mutex());
        handler = kit::find_handler(message->fTargetToken);
    }
    // A handler that left this looper after the message was sent misses it.
    if (!handler || handler->Looper() != this)
        return nullptr;
    return handler;
}

void BLooper::DispatchMessage(BMessage* message, BHandler* handler) {
    if (message->what == B_QUIT_REQUESTED && handler == this) {
        if (QuitRequested())
            Quit();
        return;
    }
    handler->MessageReceived(message);
}

void BLooper::MessageReceived(BMessage* message) {
    BHandler::MessageReceived(message);
}

BMessage* BLooper::DetachCurrentMessage() {
    BMessage* message = fCurrentMessage;
    fCurrentMessage = nullptr;
    return message;
}

void BLooper::Quit() {
    if (!fRunning) {
        kit_retire();
        delete this;
        return;
    }
    if (find_thread(nullptr) == fThreadNumber) {
        _Terminate();
        return;
    }
    // A looper that cannot be locked any more is going away by itself.
    if (!IsLocked() && !Lock())
        return;
    {
        std::lock_guard<std::mutex> guard(fLockGuard);
        fQuitByOther = true;
    }
    BMessage* quit = new BMessage(kQuitLoop);
    quit->fTargetToken = kit_token();
    kit_enqueue(quit);
    // The loop needs the lock to see the request; give back every level.
    while (IsLocked())
        Unlock();
    fThread.join();
    delete this;
}

status_t BLooper::PostMessage(uint32 command) {
    BMessage message(command);
    return PostMessage(&message, this);
}

status_t BLooper::PostMessage(BMessage* message) {
    return PostMessage(message, this);
}

status_t BLooper::PostMessage(uint32 command, BHandler* handler, BHandler* replyTo) {
    BMessage message(command);
    return PostMessage(&message, handler, replyTo);
}

status_t BLooper::PostMessage(BMessage* message, BHandler* handler, BHandler* replyTo) {
    if (!message)
        return B_BAD_VALUE;
    if (handler && handler->Looper() != this)
        return B_MISMATCHED_VALUES;
    BMessage* copy = new BMessage(*message);
    copy->fTargetToken = handler ? handler->kit_token() : -1;
    if (replyTo)
        copy->fReplyTo = BMessenger(replyTo);
    return kit_enqueue(copy);
}

void BLooper::_Terminate() {
    std::lock_guard<std::mutex> guard(fQueueLock);
    fTerminating = true;
}

status_t BLooper::kit_enqueue(BMessage* message) {
    {
        std::lock_guard<std::mutex> guard(fQueueLock);
        if (fTerminating && message->what != kQuitLoop) {
            delete message;
            return B_BAD_PORT_ID;
        }
        try {
            fQueue.push_back(message);
        } catch (...) {
            delete message;
            throw;
        }
        fQueueChanged.notify_all();
    }
    kit_message_queued();
    return B_OK;
}

bool BLooper::kit_is_idle() const {
    // A looper whose loop never started cannot make progress; waiting for
    // it would never end.
    if (!fRunning)
        return true;
    std::lock_guard<std::mutex> guard(fQueueLock);
    return fQueue.empty() && !fDispatching;
}

int32 BLooper::CountQueuedMessages() const {
    std::lock_guard<std::mutex> guard(fQueueLock);
    return (int32)fQueue.size();
}

void BLooper::AddHandler(BHandler* handler) {
    if (!handler || handler->fLooper == this)
        return;
    if (handler->fLooper)
        handler->fLooper->RemoveHandler(handler);
    handler->fLooper = this;
    fHandlers.push_back(handler);
}

bool BLooper::RemoveHandler(BHandler* handler) {
    if (!handler || handler == this)
        return false;
    auto it = std::find(fHandlers.begin(), fHandlers.end(), handler);
    if (it == fHandlers.end())
        return false;
    fHandlers.erase(it);
    handler->fLooper = nullptr;
    if (fPreferred == handler)
        fPreferred = nullptr;
    return true;
}

BHandler* BLooper::HandlerAt(int32 index) const {
    if (index < 0 || index >= (int32)fHandlers.size())
        return nullptr;
    return fHandlers[index];
}

bool BLooper::Lock() {
    return LockWithTimeout(B_INFINITE_TIMEOUT) == B_OK;
}

status_t BLooper::LockWithTimeout(bigtime_t timeout) {
    // A recursive lock with a time-out, built on a plain mutex so that the
    // owner and the nesting count change together.
    std::thread::id self = std::this_thread::get_id();
    std::unique_lock<std::mutex> guard(fLockGuard);
    if (fOwner.load() == self) {
        fLockCount++;
        return B_OK;
    }
    // A looper that is being torn down refuses new lockers.
    auto ready = [this] { return fDead || fOwner.load() == std::thread::id(); };
    if (timeout == B_INFINITE_TIMEOUT) {
        fLockReleased.wait(guard, ready);
    } else if (!fLockReleased.wait_for(
                   guard, std::chrono::microseconds(std::max<bigtime_t>(timeout, 0)), ready)) {
        return B_TIMED_OUT;
    }
    if (fDead)
        return B_BAD_VALUE;
    fOwner = self;
    fLockCount = 1;
    return B_OK;
}

void BLooper::Unlock() {
    std::lock_guard<std::mutex> guard(fLockGuard);
    if (fOwner.load() != std::this_thread::get_id())
        return;
    if (--fLockCount == 0) {
        fOwner = std::thread::id();
        fLockReleased.notify_all();
    }
}

bool BLooper::IsLocked() const {
    return fOwner.load() == std::this_thread::get_id();
}

BLooper* BLooper::kit_lock_registry_find(int32 token) {
    kit::registry_mutex().lock();
    for (BLooper* looper : kit::loopers()) {
        if (looper->kit_token() == token)
            return looper;
    }
    kit::registry_mutex().unlock();
    return nullptr;
}

void BLooper::kit_unregister() {
    std::lock_guard<std::mutex> guard(kit::registry_mutex());
    kit::unregister_looper(this);
}

void BLooper::kit_retire() {
    if (fRetired)
        return;
    fRetired = true;
    {
        // Whoever holds the looper finishes (and can still reach it through
        // a messenger meanwhile); those waiting for it, and later comers,
        // are refused...
        std::thread::id self = std::this_thread::get_id();
        std::unique_lock<std::mutex> guard(fLockGuard);
        fLockReleased.wait(guard, [&] {
            std::thread::id owner = fOwner.load();
            return owner == std::thread::id() || owner == self;
        });
        fDead = true;
        fLockReleased.notify_all();
    }
    // ...no messenger finds it any more...
    kit_unregister();
    // ...and those that found it before it left have let go.
    while (fPins.load() > 0)
        std::this_thread::yield();
}

BLooper* BLooper::kit_lock_registry_pin(int32 token) {
    std::lock_guard<std::mutex> guard(kit::registry_mutex());
    for (BLooper* looper : kit::loopers()) {
        if (looper->kit_token() == token) {
            looper->fPins++;
            return looper;
        }
    }
    return nullptr;
}

void BLooper::kit_unpin() {
    fPins--;
}

void BLooper::kit_unlock_registry() {
    kit::registry_mutex().unlock();
}

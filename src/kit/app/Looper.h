// BLooper: a thread with a message queue. Messages posted from any thread
// are dispatched one at a time in the looper's thread with the looper
// locked. The lock is recursive; other threads lock the looper to touch
// its state safely.
#ifndef _LOOPER_H
#define _LOOPER_H

#include <Handler.h>
#include <Message.h>
#include <OS.h>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

namespace kit {
class looper_access;
}

class BLooper : public BHandler {
  public:
    explicit BLooper(const char* name = nullptr);
    // A looper is deleted by Quit(), never directly while it runs.
    ~BLooper() override;

    // Starts the looper's thread. Returns the thread's number.
    virtual thread_id Run();
    // Stops the loop and deletes the looper. Called from the looper's own
    // thread it takes effect after the current message; from any other
    // thread (which must hold the lock) it waits for the thread to end.
    virtual void Quit();
    virtual bool QuitRequested() { return true; }

    // Copies `message` into the queue for `handler` (this looper itself
    // when omitted, the preferred handler when null is given explicitly).
    status_t PostMessage(uint32 command);
    status_t PostMessage(BMessage* message);
    status_t PostMessage(uint32 command, BHandler* handler, BHandler* replyTo = nullptr);
    status_t PostMessage(BMessage* message, BHandler* handler, BHandler* replyTo = nullptr);

    virtual void DispatchMessage(BMessage* message, BHandler* handler);
    void MessageReceived(BMessage* message) override;
    // The message being dispatched, or null outside dispatch.
    BMessage* CurrentMessage() const { return fCurrentMessage; }
    // Takes the current message away so that it is not deleted after
    // dispatch; the caller owns it.
    BMessage* DetachCurrentMessage();

    void AddHandler(BHandler* handler);
    bool RemoveHandler(BHandler* handler);
    int32 CountHandlers() const { return (int32)fHandlers.size(); }
    BHandler* HandlerAt(int32 index) const;
    BHandler* PreferredHandler() const { return fPreferred; }
    void SetPreferredHandler(BHandler* handler) { fPreferred = handler; }

    bool Lock();
    status_t LockWithTimeout(bigtime_t timeout);
    void Unlock();
    bool IsLocked() const; // by the calling thread
    int32 CountLocks() const { return fLockCount; }
    thread_id Thread() const { return fThreadNumber; }

    // Messages waiting in the queue.
    int32 CountQueuedMessages() const;

  private:
    // The kit's own machinery, not for programs: the classes that run and
    // address loopers reach it as friends, the kit's free functions through
    // kit::looper_access (kit_looper_access.h).
    friend class BApplication;
    friend class BWindow;
    friend class BMessenger;
    friend class kit::looper_access;

    // For BApplication, which runs the loop on the thread that calls Run().
    void kit_run_loop();
    // For subclasses that wait for something besides the queue (a pulse,
    // a display): how long the loop may sleep before `kit_timed_out`.
    virtual bigtime_t kit_wait_timeout() const { return B_INFINITE_TIMEOUT; }
    virtual void kit_timed_out() {}
    // Picks the handler a queued message goes to; windows route input here.
    virtual BHandler* kit_resolve_target(BMessage* message);
    // Runs after every dispatched message with the looper still locked.
    virtual void kit_after_dispatch() {}
    // Called after a message is queued, from the posting thread.
    virtual void kit_message_queued() {}
    // Waits for the queue; returns null on time-out. Subclasses that must
    // pump another event source while idle override this.
    virtual BMessage* kit_next_message(bigtime_t timeout);
    // Takes the first queued message without waiting, or null.
    BMessage* kit_take_message();
    bool kit_is_terminating() const { return fTerminating.load(); }
    // Wakes a thread blocked in kit_next_message.
    void kit_wake();

    // Takes the looper out of the table messengers search; done before
    // the looper is torn down so no message reaches a half-destroyed one.
    void kit_unregister();
    // Waits for whoever holds the looper's lock, makes every later Lock()
    // fail, unregisters the looper and waits until no thread still holds a
    // pin on it.
    // After this the looper can be deleted safely.
    void kit_retire();
    // Finds a registered looper and pins it: it is not deleted before
    // kit_unpin(), though it may be retired (then Lock() fails).
    static BLooper* kit_lock_registry_pin(int32 token);
    void kit_unpin();

    // Queueing and idle detection used by messengers and the display.
    status_t kit_enqueue(BMessage* message);
    bool kit_is_idle() const;
    static BLooper* kit_lock_registry_find(int32 token);
    static void kit_unlock_registry();

    void _Loop();
    void _DispatchOne(BMessage* message);
    void _Terminate();

    std::mutex fLockGuard;
    std::condition_variable fLockReleased;
    std::atomic<std::thread::id> fOwner{};
    int32 fLockCount = 0;

    mutable std::mutex fQueueLock;
    std::condition_variable fQueueChanged;
    std::deque<BMessage*> fQueue;
    bool fWakeRequested = false;

    std::vector<BHandler*> fHandlers;
    BHandler* fPreferred = nullptr;
    BMessage* fCurrentMessage = nullptr;

    std::thread fThread;
    std::atomic<thread_id> fThreadNumber{-1};
    std::atomic<int32> fPins{0};
    bool fDead = false; // guarded by fLockGuard
    bool fRetired = false;
    std::atomic<bool> fDispatching{false};
    // Written under fQueueLock (kit_enqueue refuses messages by it there);
    // atomic because the loop and kit_is_terminating read it without.
    std::atomic<bool> fTerminating{false};
    bool fQuitByOther = false;
    std::atomic<bool> fRunning{false};
};

#endif

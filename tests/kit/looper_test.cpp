#include <Looper.h>
#include <Messenger.h>

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

namespace {

// Records what it receives and on which thread.
class recording_looper : public BLooper {
  public:
    explicit recording_looper(std::atomic<bool>* deleted = nullptr)
        : BLooper("recorder"), fDeleted(deleted) {}
    ~recording_looper() override {
        if (fDeleted)
            *fDeleted = true;
    }
    void MessageReceived(BMessage* message) override {
        std::lock_guard<std::mutex> guard(lock);
        codes.push_back(message->what);
        threads.push_back(std::this_thread::get_id());
        if (message->what == 'echo') {
            BMessage reply('rply');
            reply.AddInt32("value", message->GetInt32("value", 0) * 2);
            message->SendReply(&reply);
        }
        if (message->what == 'slow')
            snooze(200000);
    }
    std::mutex lock;
    std::vector<uint32> codes;
    std::vector<std::thread::id> threads;

  private:
    std::atomic<bool>* fDeleted;
};

class counting_handler : public BHandler {
  public:
    counting_handler() : BHandler("counter") {}
    void MessageReceived(BMessage*) override { count++; }
    std::atomic<int> count{0};
};

void wait_for(const std::function<bool()>& done) {
    for (int i = 0; i < 5000 && !done(); i++)
        snooze(1000);
}

} // namespace

TEST(Looper, MessagesAreDispatchedInOrderOnTheLoopersOwnThread) {
    recording_looper* looper = new recording_looper;
    looper->Run();
    for (uint32 code = 1; code <= 50; code++)
        looper->PostMessage(code);
    wait_for([&] {
        std::lock_guard<std::mutex> guard(looper->lock);
        return looper->codes.size() == 50;
    });
    looper->Lock();
    ASSERT_EQ(looper->codes.size(), 50u);
    for (uint32 i = 0; i < 50; i++)
        EXPECT_EQ(looper->codes[i], i + 1);
    for (auto id : looper->threads) {
        EXPECT_NE(id, std::this_thread::get_id());
        EXPECT_EQ(id, looper->threads[0]);
    }
    looper->Quit();
}

TEST(Looper, LockIsRecursiveAndKeepsOtherThreadsOut) {
    BLooper* looper = new BLooper("locks");
    looper->Run();
    ASSERT_TRUE(looper->Lock());
    ASSERT_TRUE(looper->Lock());
    EXPECT_EQ(looper->CountLocks(), 2);
    status_t other = B_OK;
    std::thread([&] { other = looper->LockWithTimeout(20000); }).join();
    EXPECT_EQ(other, B_TIMED_OUT);
    looper->Unlock();
    EXPECT_TRUE(looper->IsLocked());
    looper->Unlock();
    EXPECT_FALSE(looper->IsLocked());
    std::thread([&] {
        other = looper->LockWithTimeout(1000000);
        if (other == B_OK)
            looper->Unlock();
    }).join();
    EXPECT_EQ(other, B_OK);
    looper->Lock();
    looper->Quit();
}

TEST(Looper, QuitFromAnotherThreadWaitsForTheLoopAndDeletesIt) {
    std::atomic<bool> deleted{false};
    recording_looper* looper = new recording_looper(&deleted);
    looper->Run();
    looper->PostMessage('slow');
    snooze(20000);
    looper->Lock(); // waits for the slow message to finish
    looper->Quit();
    EXPECT_TRUE(deleted);
}

TEST(Messenger, ReachesAHandlerInItsLooperAndFailsCleanlyOnceTargetsAreGone) {
    BLooper* looper = new BLooper("handlers");
    counting_handler* handler = new counting_handler;
    looper->AddHandler(handler);
    looper->Run();

    BMessenger messenger(handler);
    ASSERT_TRUE(messenger.IsValid());
    EXPECT_EQ(messenger.SendMessage('one '), B_OK);
    wait_for([&] { return handler->count == 1; });
    EXPECT_EQ(handler->count, 1);

    // A handler that left the looper no longer receives anything.
    looper->Lock();
    looper->RemoveHandler(handler);
    looper->Unlock();
    EXPECT_EQ(messenger.SendMessage('two '), B_OK);
    // The queue is in order: once a later message to the looper itself has
    // been dispatched (its unanswered sender hears so), 'two ' was handled
    // or dropped.
    BMessenger toLooper(nullptr, looper);
    BMessage unanswered;
    EXPECT_EQ(toLooper.SendMessage('sync', &unanswered), B_OK);
    EXPECT_EQ(unanswered.what, (uint32)B_NO_REPLY);
    EXPECT_EQ(handler->count, 1);

    looper->Lock();
    looper->Quit();
    EXPECT_FALSE(toLooper.IsValid());
    EXPECT_EQ(toLooper.SendMessage('gone'), B_BAD_PORT_ID);
    BMessage reply;
    EXPECT_EQ(toLooper.SendMessage('gone', &reply), B_BAD_PORT_ID);
    delete handler;
}

TEST(Messenger, SynchronousSendWaitsForTheReplyOrTellsWhyNone) {
    recording_looper* looper = new recording_looper;
    looper->Run();
    BMessenger messenger(nullptr, looper);

    BMessage ask('echo');
    ask.AddInt32("value", 21);
    BMessage reply;
    ASSERT_EQ(messenger.SendMessage(&ask, &reply), B_OK);
    EXPECT_EQ(reply.what, (uint32)'rply');
    EXPECT_EQ(reply.GetInt32("value", 0), 42);

    // A receiver that never answers still releases the sender.
    ASSERT_EQ(messenger.SendMessage('mute', &reply), B_OK);
    EXPECT_EQ(reply.what, (uint32)B_NO_REPLY);

    BMessage slow('slow');
    EXPECT_EQ(messenger.SendMessage(&slow, &reply, B_INFINITE_TIMEOUT, 10000), B_TIMED_OUT);
    looper->Lock();
    looper->Quit();
}

TEST(Messenger, SynchronousSendToTheCallersOwnLooperIsRefused) {
    struct self_sender : BLooper {
        std::atomic<status_t> result{B_OK};
        std::atomic<bool> done{false};
        void MessageReceived(BMessage* message) override {
            if (message->what != 'self')
                return;
            BMessage reply;
            result = BMessenger(nullptr, this).SendMessage('loop', &reply);
            done = true;
        }
    };
    self_sender* looper = new self_sender;
    looper->Run();
    looper->PostMessage('self');
    wait_for([&] { return looper->done.load(); });
    EXPECT_EQ(looper->result, B_WOULD_BLOCK);
    looper->Lock();
    looper->Quit();
}

// A looper that quits on its first message, posted before Run(): its thread
// may end and delete it before Run() has returned. Run() must neither
// detach an unassigned thread nor read the deleted looper.
TEST(Looper, ALooperThatQuitsAtOnceEndsCleanly) {
    for (int round = 0; round < 300; round++) {
        std::atomic<bool> deleted{false};
        recording_looper* looper = new recording_looper(&deleted);
        looper->PostMessage(B_QUIT_REQUESTED);
        EXPECT_GE(looper->Run(), 0);
        wait_for([&] { return deleted.load(); });
        EXPECT_TRUE(deleted);
    }
}

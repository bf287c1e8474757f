// BApplication: the program's main looper. Its loop runs on the thread
// that calls Run(), which returns once the application quits.
#ifndef _APPLICATION_H
#define _APPLICATION_H

#include <Looper.h>

#include <string>
#include <vector>

class BWindow;

class BApplication : public BLooper {
  public:
    explicit BApplication(const char* signature);
    BApplication(const char* signature, status_t* error);
    ~BApplication() override;

    // Serves the loop until Quit(). Files named on the command line arrive
    // first as one B_REFS_RECEIVED with a "refs" entry per file, then
    // B_READY_TO_RUN.
    thread_id Run() override;
    // From the application's thread: Run() returns after the current
    // message. From another thread: asks the loop to end and returns.
    void Quit() override;
    // Asks every window to quit (each under its lock); true when all
    // agreed, and those windows are gone.
    bool QuitRequested() override;

    virtual void ReadyToRun() {}
    virtual void RefsReceived(BMessage* message) { (void)message; }
    virtual void ArgvReceived(int32 argc, char** argv) {
        (void)argc;
        (void)argv;
    }
    virtual void AboutRequested() {}
    virtual void Pulse() {}

    void DispatchMessage(BMessage* message, BHandler* handler) override;
    void MessageReceived(BMessage* message) override;

    int32 CountWindows() const;
    BWindow* WindowAt(int32 index) const;
    const char* Signature() const { return fSignature.c_str(); }
    status_t InitCheck() const { return fInitStatus; }

    // Replaces the command line that Run() turns into refs (the process's
    // own arguments are used otherwise). Call before Run().
    static void kit_set_launch_arguments(const std::vector<std::string>& arguments);

  private:
    BMessage* kit_next_message(bigtime_t timeout) override;
    void kit_message_queued() override;

    void _Init(const char* signature);
    void _PostLaunchRefs();
    std::vector<int32> _WindowTokens() const;
    BWindow* _LockWindow(int32 token) const;

    std::string fSignature;
    status_t fInitStatus = B_OK;
};

extern BApplication* be_app;
extern BMessenger be_app_messenger;

#endif

// BHandler: an object that receives messages in a looper's thread.
#ifndef _HANDLER_H
#define _HANDLER_H

#include <SupportDefs.h>

#include <string>

class BLooper;
class BMessage;

class BHandler {
  public:
    explicit BHandler(const char* name = nullptr);
    virtual ~BHandler();

    // Called in the looper's thread for every message addressed here.
    virtual void MessageReceived(BMessage* message);

    BLooper* Looper() const { return fLooper; }
    const char* Name() const { return fName.c_str(); }
    void SetName(const char* name) { fName = name ? name : ""; }

    // Messages this handler does not understand may be passed on.
    BHandler* NextHandler() const { return fNextHandler; }
    void SetNextHandler(BHandler* handler) { fNextHandler = handler; }

    // Locks the looper this handler belongs to; fails when it has none.
    bool LockLooper();
    void UnlockLooper();

    // The handler's address in the kit, stable for its lifetime.
    int32 kit_token() const { return fToken; }

  private:
    friend class BLooper;

    std::string fName;
    BLooper* fLooper = nullptr;
    BHandler* fNextHandler = nullptr;
    int32 fToken;
};

#endif

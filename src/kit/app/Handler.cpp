#include "Handler.h"

#include "kit_registry.h"

#include <Looper.h>

BHandler::BHandler(const char* name) : fName(name ? name : "") {
    std::lock_guard<std::mutex> guard(kit::registry_mutex());
    fToken = kit::register_handler(this);
}

BHandler::~BHandler() {
    if (fLooper && fLooper != this)
        fLooper->RemoveHandler(this);
    std::lock_guard<std::mutex> guard(kit::registry_mutex());
    kit::unregister_handler(fToken);
}

void BHandler::MessageReceived(BMessage* message) {
    // Unknown messages go along the chain; the end of it drops them.
    if (fNextHandler && fNextHandler != this)
        fNextHandler->MessageReceived(message);
}

bool BHandler::LockLooper() {
    BLooper* looper = fLooper;
    if (!looper || !looper->Lock())
        return false;
    // The handler may have moved while we waited for the lock.
    if (fLooper != looper) {
        looper->Unlock();
        return false;
    }
    return true;
}

void BHandler::UnlockLooper() {
    if (fLooper)
        fLooper->Unlock();
}

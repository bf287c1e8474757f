#include "Invoker.h"

#include <Handler.h>
#include <Looper.h>
#include <Message.h>

BInvoker::BInvoker() = default;

BInvoker::BInvoker(BMessage* message, const BHandler* handler, const BLooper* looper)
    : fMessage(message) {
    SetTarget(handler, looper);
}

BInvoker::BInvoker(BMessage* message, BMessenger target) : fMessage(message) {
    SetTarget(target);
}

BInvoker::~BInvoker() {
    delete fMessage;
}

status_t BInvoker::SetMessage(BMessage* message) {
    if (message != fMessage)
        delete fMessage;
    fMessage = message;
    return B_OK;
}

uint32 BInvoker::Command() const {
    return fMessage ? fMessage->what : 0;
}

status_t BInvoker::SetTarget(const BHandler* handler, const BLooper* looper) {
    fPendingHandler = nullptr;
    fMessenger = BMessenger();
    fHasTarget = handler || looper;
    if (!fHasTarget)
        return B_OK;
    if (handler && !handler->Looper() && !looper) {
        fPendingHandler = handler;
        return B_OK;
    }
    status_t status;
    fMessenger = BMessenger(handler, looper, &status);
    return status;
}

status_t BInvoker::SetTarget(BMessenger messenger) {
    fPendingHandler = nullptr;
    fMessenger = messenger;
    fHasTarget = messenger.IsValid();
    return B_OK;
}

BMessenger BInvoker::Messenger() const {
    if (fPendingHandler && fPendingHandler->Looper()) {
        fMessenger = BMessenger(fPendingHandler);
        fPendingHandler = nullptr;
    }
    return fMessenger;
}

BHandler* BInvoker::Target(BLooper** looper) const {
    if (fPendingHandler && !fPendingHandler->Looper()) {
        if (looper)
            *looper = nullptr;
        return const_cast<BHandler*>(fPendingHandler);
    }
    return Messenger().Target(looper);
}

status_t BInvoker::Invoke(BMessage* message) {
    if (!message)
        message = fMessage;
    if (!message)
        return B_BAD_VALUE;
    BMessenger target = Messenger();
    if (fPendingHandler)
        return B_BAD_HANDLER;
    return target.SendMessage(message);
}

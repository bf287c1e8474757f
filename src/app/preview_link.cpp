#include "app/preview_link.h"

#include "app/messages.h"
#include "app/tavrelwindow.h"
#include "editor/globals.h"
#include "preview/preview_messages.h"
#include "preview/preview_window.h"

#include <Looper.h>
#include <Message.h>

preview_link::preview_link(tavrelwindow* window) : fWindow(window), fMain(window) {}

preview_link::~preview_link() {
    close();
}

BMessenger preview_link::preview() const {
    std::lock_guard<std::mutex> hold(fLock);
    return fPreview;
}

void preview_link::open() {
    // Asked, not locked: the preview may be waiting for the main window's
    // lock, which the caller holds.
    BMessenger there = preview();
    if (there.IsValid() && there.SendMessage(PREVIEW_ACTIVATE) == B_OK)
        return;
    preview_window* w = new preview_window(this);
    std::lock_guard<std::mutex> hold(fLock);
    fPreview = BMessenger(w);
}

void preview_link::close() {
    BMessenger there = preview();
    if (there.LockTarget()) {
        BLooper* looper = nullptr;
        there.Target(&looper);
        looper->Quit();
    }
    std::lock_guard<std::mutex> hold(fLock);
    fPreview = BMessenger();
}

void preview_link::post(uint32 what) {
    BMessenger there = preview();
    if (there.IsValid())
        there.SendMessage(what);
}

bool preview_link::read_font(const std::function<void(ttf* font, const std::string& file)>& read) {
    if (!fMain.LockTarget())
        return false;
    struct unlock {
        tavrelwindow* w;
        ~unlock() { w->Unlock(); }
    } release{fWindow};
    // The set-up view's font has no tables until "set" finishes it.
    read(fWindow->initv ? nullptr : curfont, fWindow->filepath);
    return true;
}

void preview_link::show_glyph(unsigned gno) {
    BMessage show(MSG_SHOW_GLYPH);
    show.AddInt32("gno", (int32)gno);
    fMain.SendMessage(&show);
}

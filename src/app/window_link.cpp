#include "app/window_link.h"

#include "app/messages.h"
#include "app/settings.h"
#include "app/tavrelwindow.h"
#include "editor/globals.h"

#include <AppDefs.h>
#include <Looper.h>
#include <Message.h>
#include <OS.h>
#include <Window.h>

window_link::window_link(tavrelwindow* window, settings* store, kind what)
    : fWindow(window), fMain(window), fSettings(store), fKind(std::move(what)) {}

window_link::~window_link() {
    close();
    // The windows use this link until they have gone. With the main window
    // gone their requests fail at once, so they reach their quit message
    // soon.
    for (const BMessenger& there : fClosing) {
        for (int i = 0; i < 5000 && there.IsValid(); i++)
            snooze(1000);
        // One that still will not go cannot be waiting for the main
        // window's lock any more: taking its own is safe now.
        if (there.LockTarget()) {
            BLooper* looper = nullptr;
            there.Target(&looper);
            looper->Quit();
        }
    }
}

BMessenger window_link::target() const {
    std::lock_guard<std::mutex> hold(fLock);
    return fTarget;
}

void window_link::open() {
    // Asked, not locked: the window may be waiting for the main window's
    // lock, which the caller holds.
    BMessenger there = target();
    if (there.IsValid() && there.SendMessage(fKind.activate) == B_OK)
        return;
    BWindow* w = fKind.make(this);
    {
        std::lock_guard<std::mutex> hold(fLock);
        fTarget = BMessenger(w);
    }
    if (fKind.editor) {
        BMessage glyph(fKind.editor);
        glyph.AddInt32("glyph", fEditorGlyph);
        BMessenger(w).SendMessage(&glyph);
    }
}

void window_link::close() {
    std::lock_guard<std::mutex> hold(fLock);
    // The window saves what it keeps (QuitRequested) in its own thread.
    if (fTarget.IsValid() && fTarget.SendMessage(B_QUIT_REQUESTED) == B_OK)
        fClosing.push_back(fTarget);
    fTarget = BMessenger();
}

std::vector<unsigned> window_link::selection() const {
    std::lock_guard<std::mutex> hold(fLock);
    return fSelection;
}

void window_link::selection_changed(const std::vector<unsigned>& glyphs) {
    std::lock_guard<std::mutex> hold(fLock);
    fSelection = glyphs;
}

void window_link::post(uint32 what) {
    if (what == fKind.font) {
        // The glyph numbers selected were the old font's.
        std::lock_guard<std::mutex> hold(fLock);
        fSelection.clear();
    }
    BMessenger there = target();
    if (there.IsValid())
        there.SendMessage(what);
}

void window_link::post(BMessage* message) {
    BMessenger there = target();
    if (there.IsValid())
        there.SendMessage(message);
}

void window_link::paste_glyphs(uint64_t font, const std::string& clips,
                               const std::vector<unsigned>& onto) {
    BMessage paste(MSG_PASTE_GLYPHS);
    paste.AddUInt64("font", font);
    paste.AddData("clips", B_RAW_TYPE, clips.data(), (ssize_t)clips.size());
    for (unsigned gno : onto)
        paste.AddInt32("gno", (int32)gno);
    fMain.SendMessage(&paste);
}

void window_link::editor_glyph(int gno) {
    if (!fKind.editor || gno == fEditorGlyph)
        return;
    fEditorGlyph = gno;
    BMessenger there = target();
    if (!there.IsValid())
        return;
    BMessage message(fKind.editor);
    message.AddInt32("glyph", gno);
    there.SendMessage(&message);
}

bool window_link::read_font(const std::function<void(ttf* font, const std::string& file)>& read) {
    // Through the messenger: once the main window has quit, the lock fails
    // and neither it nor the font it leaves behind is touched.
    if (!fMain.LockTarget())
        return false;
    struct unlock {
        tavrelwindow* w;
        ~unlock() { w->Unlock(); }
    } release{fWindow};
    // A new font's container before its set-up is done holds no tables yet.
    // A face of a collection is named as the main window names it.
    const long face = fWindow->face;
    read(fWindow->initv ? nullptr : curfont,
         face >= 0 ? fWindow->filepath + " #" + std::to_string(face) : fWindow->filepath);
    return true;
}

void window_link::show_glyph(unsigned gno) {
    BMessage show(MSG_SHOW_GLYPH);
    show.AddInt32("gno", (int32)gno);
    fMain.SendMessage(&show);
}

std::string window_link::setting(const std::string& key, const std::string& fallback) {
    return fSettings ? fSettings->get(key, fallback) : fallback;
}

void window_link::remember(const std::string& key, const std::string& value) {
    if (fSettings)
        fSettings->set(key, value);
}

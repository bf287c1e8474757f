#include "app/overview_link.h"

#include "app/messages.h"
#include "app/settings.h"
#include "app/tavrelwindow.h"
#include "editor/globals.h"
#include "overview/overview_messages.h"
#include "overview/overview_window.h"

#include <Looper.h>
#include <Message.h>
#include <OS.h>

overview_link::overview_link(tavrelwindow* window, settings* store)
    : fWindow(window), fMain(window), fSettings(store) {}

overview_link::~overview_link() {
    close();
}

BMessenger overview_link::overview() const {
    std::lock_guard<std::mutex> hold(fLock);
    return fOverview;
}

void overview_link::open() {
    // Asked, not locked: the overview may be waiting for the main window's
    // lock, which the caller holds.
    BMessenger there = overview();
    if (there.IsValid() && there.SendMessage(OVERVIEW_ACTIVATE) == B_OK)
        return;
    overview_window* w = new overview_window(this);
    {
        std::lock_guard<std::mutex> hold(fLock);
        fOverview = BMessenger(w);
    }
    BMessage glyph(OVERVIEW_EDITOR);
    glyph.AddInt32("glyph", fEditorGlyph);
    BMessenger(w).SendMessage(&glyph);
}

void overview_link::close() {
    BMessenger there = overview();
    if (there.LockTarget()) {
        BLooper* looper = nullptr;
        there.Target(&looper);
        if (looper->QuitRequested())
            looper->Quit();
        else
            looper->Unlock();
    }
    std::lock_guard<std::mutex> hold(fLock);
    fOverview = BMessenger();
}

std::vector<unsigned> overview_link::selection() const {
    std::lock_guard<std::mutex> hold(fLock);
    return fSelection;
}

void overview_link::selection_changed(const std::vector<unsigned>& glyphs) {
    std::lock_guard<std::mutex> hold(fLock);
    fSelection = glyphs;
}

void overview_link::post(uint32 what) {
    if (what == OVERVIEW_FONT) {
        // The glyph numbers selected were the old font's.
        std::lock_guard<std::mutex> hold(fLock);
        fSelection.clear();
    }
    BMessenger there = overview();
    if (there.IsValid())
        there.SendMessage(what);
}

void overview_link::editor_glyph(int gno) {
    if (gno == fEditorGlyph)
        return;
    fEditorGlyph = gno;
    BMessenger there = overview();
    if (!there.IsValid())
        return;
    BMessage message(OVERVIEW_EDITOR);
    message.AddInt32("glyph", gno);
    there.SendMessage(&message);
}

bool overview_link::read_font(const std::function<void(ttf* font, const std::string& file)>& read) {
    if (!fMain.LockTarget())
        return false;
    struct unlock {
        tavrelwindow* w;
        ~unlock() { w->Unlock(); }
    } release{fWindow};
    // A new font's container before its set-up is done holds no tables yet.
    ttf* font = fWindow->initv ? nullptr : curfont;
    read(font, fWindow->filepath);
    return true;
}

void overview_link::show_glyph(unsigned gno) {
    BMessage show(MSG_SHOW_GLYPH);
    show.AddInt32("gno", (int32)gno);
    fMain.SendMessage(&show);
}

std::string overview_link::setting(const std::string& key, const std::string& fallback) {
    return fSettings ? fSettings->get(key, fallback) : fallback;
}

void overview_link::remember(const std::string& key, const std::string& value) {
    if (fSettings)
        fSettings->set(key, value);
}

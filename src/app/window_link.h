// window_link: the main window's side of a window of its own that shows the
// font another way (the glyph overview, the text preview). It opens that
// window (or brings it to the front), tells it of every change of the font,
// and serves its requests: the font read with the main window locked, a
// glyph to show in the outline editor, settings kept between runs.
//
// The main window never locks the other window: the other window locks
// the main window to read the font, so every request that way is a
// message. Once the main window has gone, read_font fails and the other
// window cannot reach the font.
#ifndef TAVREL_APP_WINDOW_LINK_H
#define TAVREL_APP_WINDOW_LINK_H

#include "overview/overview_host.h"
#include "preview/preview_host.h"

#include <Messenger.h>

#include <functional>
#include <mutex>
#include <vector>

class BWindow;
class settings;
class tavrelwindow;

class window_link : public overview_host, public preview_host {
  public:
    // What tells one kind of window from another.
    struct kind {
        // Makes the window, which shows itself.
        std::function<BWindow*(window_link* link)> make;
        // Brings it to the front.
        uint32 activate;
        // Tells it the font was replaced (its glyph numbers are void).
        uint32 font;
        // Tells it the outline editor's glyph ("glyph", int32), or 0 for a
        // window that has no use for it.
        uint32 editor;
    };

    // For the main window `window`, keeping settings in `store` (may be
    // null); both outlive the link.
    window_link(tavrelwindow* window, settings* store, kind what);
    // Closes the window and waits until it has gone. Delete the link once
    // the main window has gone, so that the other window cannot be waiting
    // for the main window's lock.
    ~window_link() override;

    // Opens the window or brings it to the front.
    void open();
    // Asks the window to close, without waiting for it.
    void close();
    // Posts `what` to the window if it is open; never waits for it.
    void post(uint32 what);
    // Tells the window the outline editor's glyph when it changed since
    // last told (-1 for none). Call in the main window's thread.
    void editor_glyph(int gno);
    // The window, for whoever must reach it (tests).
    BMessenger target() const;
    // The glyphs selected in the window, ascending (none when it is
    // closed), as it last told them. Any thread; the numbers are of the
    // font it showed then, so check them against the font before use.
    std::vector<unsigned> selection() const;

    bool read_font(const std::function<void(ttf* font, const std::string& file)>& read) override;
    void show_glyph(unsigned gno) override;
    std::string setting(const std::string& key, const std::string& fallback) override;
    void remember(const std::string& key, const std::string& value) override;
    void selection_changed(const std::vector<unsigned>& glyphs) override;
    // Asks the main window to store the paste (MSG_PASTE_GLYPHS).
    void paste_glyphs(uint64_t font, const std::string& clips,
                      const std::vector<unsigned>& onto) override;
    // Posts `message` to the window if it is open; never waits for it.
    void post(BMessage* message);

  private:
    tavrelwindow* fWindow;
    BMessenger fMain;
    settings* fSettings;
    kind fKind;
    mutable std::mutex fLock;
    BMessenger fTarget;
    // Windows asked to close, waited for when the link goes.
    std::vector<BMessenger> fClosing;
    int fEditorGlyph = -1;
    std::vector<unsigned> fSelection;
};

#endif

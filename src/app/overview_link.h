// overview_link: the main window's side of the glyph overview. It opens
// the overview window (or brings it to the front), tells it of every
// change of the font, and serves its requests: the font read with the
// main window locked, a glyph to show in the outline editor, and the
// settings it keeps between runs.
#ifndef TAVREL_APP_OVERVIEW_LINK_H
#define TAVREL_APP_OVERVIEW_LINK_H

#include "overview/overview_host.h"

#include <Messenger.h>

#include <mutex>
#include <vector>

class settings;
class tavrelwindow;

class overview_link : public overview_host {
  public:
    // For the main window `window`, keeping settings in `store`; both
    // outlive the link.
    overview_link(tavrelwindow* window, settings* store);
    // Closes the overview window.
    ~overview_link() override;

    // Opens the overview or brings it to the front.
    void open();
    // Closes the overview window and waits until it has gone. Call with
    // the main window unlocked.
    void close();
    // Posts `what` (overview_messages.h) to the overview, if it is open;
    // never waits for it.
    void post(uint32 what);
    // Tells the overview the outline editor's glyph when it changed since
    // last told (-1 for none). Call in the main window's thread.
    void editor_glyph(int gno);
    // The overview window, for whoever must reach it (tests).
    BMessenger overview() const;
    // The glyphs selected in the overview, ascending (none when it is
    // closed), as the overview last told them: what operations on the
    // overview's selection act on. Any thread; the numbers are of the font
    // the overview showed then, so check them against the font before use.
    std::vector<unsigned> selection() const;

    bool read_font(const std::function<void(ttf* font, const std::string& file)>& read) override;
    void show_glyph(unsigned gno) override;
    std::string setting(const std::string& key, const std::string& fallback) override;
    void remember(const std::string& key, const std::string& value) override;
    void selection_changed(const std::vector<unsigned>& glyphs) override;

  private:
    tavrelwindow* fWindow;
    BMessenger fMain;
    settings* fSettings;
    mutable std::mutex fLock;
    BMessenger fOverview;
    int fEditorGlyph = -1;
    std::vector<unsigned> fSelection;
};

#endif

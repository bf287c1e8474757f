// preview_link: the main window's side of the text preview. It opens the
// preview window (or brings it to the front), tells it of every change of
// the font, and serves its requests: the font read with the main window
// locked and a glyph to show in the outline editor.
#ifndef TAVREL_APP_PREVIEW_LINK_H
#define TAVREL_APP_PREVIEW_LINK_H

#include "preview/preview_host.h"

#include <Messenger.h>

#include <mutex>

class tavrelwindow;

class preview_link : public preview_host {
  public:
    // For the main window `window`, which outlives the link.
    explicit preview_link(tavrelwindow* window);
    ~preview_link() override;

    // Opens the preview or brings it to the front.
    void open();
    // Closes the preview window and waits until it has gone. Call with
    // the main window unlocked.
    void close();
    // Posts `what` (preview_messages.h) to the preview if it is open;
    // never waits for it.
    void post(uint32 what);
    // The preview window, for whoever must reach it (tests).
    BMessenger preview() const;

    bool read_font(const std::function<void(ttf* font, const std::string& file)>& read) override;
    void show_glyph(unsigned gno) override;

  private:
    tavrelwindow* fWindow;
    BMessenger fMain;
    mutable std::mutex fLock;
    BMessenger fPreview;
};

#endif

// The kit's clipboard as the X11 CLIPBOARD selection, with every type the
// program offers (its own exact types, interchange forms, text), so that
// programs on the same X display exchange them. A connection and a thread
// of its own serve the other programs' requests while the program's
// windows are busy, and fetch what another program owns.
#ifndef KIT_DISPLAY_SDL_X11_CLIPBOARD_H
#define KIT_DISPLAY_SDL_X11_CLIPBOARD_H

#include "kit/display/clipboard.h"

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace kit {

class x11_clipboard : public clipboard_backend {
  public:
    // The clipboard of the X display in DISPLAY; null when there is none.
    static std::unique_ptr<x11_clipboard> open();
    ~x11_clipboard() override;

    void set_text(const std::string& text) override;
    std::string text() override;
    void set_data(const clipboard_entries& entries) override;
    bool data(const std::string& type, std::string* out) override;

    struct connection;

  private:
    explicit x11_clipboard(std::unique_ptr<connection> c);
    // What a window thread asks of the clipboard's thread.
    struct request {
        bool own = false; // take the selection, else fetch `type`
        std::string type;
        bool mine = false; // this program owns the selection
        bool done = false;
        bool found = false;
        std::string result;
    };
    // Hands `r` to the clipboard's thread and waits until it is done.
    void ask(request* r);
    void run();

    std::unique_ptr<connection> fConnection;
    std::mutex fLock;
    std::condition_variable fDone;
    std::deque<request*> fRequests;
    // What this program offers while it owns the selection.
    clipboard_entries fOwned;
    bool fOwner = false;
    bool fQuit = false;
    std::thread fThread;
};

} // namespace kit

#endif

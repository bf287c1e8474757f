// A real X server for the desktop display's tests, and what a user and
// a window manager do to windows on it: xdotool moves the pointer,
// clicks, types and resizes; the close box's request and a file drop
// are sent over Xlib as a window manager and a file manager send them.
#ifndef TAVREL_TESTS_KIT_X_DESKTOP_H
#define TAVREL_TESTS_KIT_X_DESKTOP_H

#include <sys/types.h>

#include <atomic>
#include <cstdint>
#include <map>
#include <string>
#include <thread>
#include <vector>

namespace x_desktop {

// Xvfb on a display number the server picks itself (so parallel tests do
// not collide), stopped by the destructor.
class virtual_server {
  public:
    virtual_server() = default;
    virtual_server(const virtual_server&) = delete;
    virtual_server& operator=(const virtual_server&) = delete;
    ~virtual_server() { stop(); }

    // False, with `why`, when no server could start within a few seconds.
    bool start(std::string* why);
    void stop();
    // ":N", for DISPLAY.
    const std::string& name() const { return fName; }

  private:
    pid_t fPid = -1;
    std::string fName;
};

// Runs xdotool with `arguments` (time-limited); returns its exit status.
int xdotool(const std::string& arguments, std::string* output = nullptr);

// The X window whose name is exactly `title`, waiting up to `timeoutMs`;
// 0 when none appeared.
unsigned long find_window(const std::string& title, int timeoutMs = 5000);

struct geometry {
    int x = 0, y = 0, width = 0, height = 0;
};
bool window_geometry(unsigned long window, geometry* out);

// The pixel the X server shows in `window` at (x, y), as 0xRRGGBB.
bool window_pixel(unsigned long window, int x, int y, uint32_t* rgb);

// WM_DELETE_WINDOW, as a window manager sends it when the close box is
// clicked.
bool press_close_box(unsigned long window);

// Gives each keysym a keycode of its own that had none, unless one already
// types it, so that xdotool presses it without remapping a key at the time
// of the press (a client that reads the keymap late would see the old one).
bool bind_keysyms(const std::vector<unsigned long>& keysyms);

// Drags `paths` from an invisible source window onto `window` at its
// point (x, y) and drops them there, over the XDND protocol.
bool drop_files(unsigned long window, int x, int y, const std::vector<std::string>& paths,
                std::string* why);

// What another program reads from the CLIPBOARD selection as `target`
// (the text, by default; "TARGETS" gives the offered types' names, one a
// line).
bool read_clipboard(std::string* text, std::string* why, const std::string& target = "UTF8_STRING");

// Another program that owns the CLIPBOARD selection and serves it until
// destroyed: `entries` maps a target's name to its bytes ("UTF8_STRING"
// for text). A `hostile` owner answers otherwise: "silent" never answers,
// "drip" starts an incremental transfer and sends 64 KiB parts for ever,
// "huge" sets a property of 17 MiB at once.
class clipboard_owner {
  public:
    explicit clipboard_owner(const std::string& text);
    clipboard_owner(const std::map<std::string, std::string>& entries, const std::string& hostile);
    ~clipboard_owner();
    bool owns() const { return fOwns; }

  private:
    void serve();
    std::map<std::string, std::string> fEntries;
    std::string fHostile;
    std::atomic<bool> fOwns{false};
    std::atomic<bool> fStop{false};
    std::thread fThread;
};

} // namespace x_desktop

#endif

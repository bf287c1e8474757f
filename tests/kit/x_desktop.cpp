#include "kit/x_desktop.h"

#include "support/test_support.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace x_desktop {

bool virtual_server::start(std::string* why) {
    int ready[2];
    if (pipe(ready) != 0) {
        *why = "no pipe";
        return false;
    }
    pid_t pid = fork();
    if (pid < 0) {
        *why = "fork failed";
        close(ready[0]);
        close(ready[1]);
        return false;
    }
    if (pid == 0) {
        close(ready[0]);
        // The server goes with the test, even one that crashes, and keeps
        // no pipe of the test's open.
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        int quiet = ::open("/dev/null", O_RDWR);
        dup2(quiet, STDIN_FILENO);
        dup2(quiet, STDOUT_FILENO);
        dup2(quiet, STDERR_FILENO);
        for (int fd = 3; fd < 1024; fd++) {
            if (fd != ready[1])
                close(fd);
        }
        std::string fd = std::to_string(ready[1]);
        execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1024x768x24", "-nolisten",
               "tcp", "-noreset", (char*)nullptr);
        _exit(127);
    }
    close(ready[1]);
    fPid = pid;
    // The server writes its display number once it accepts clients.
    std::string number;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < deadline) {
        pollfd waiting{ready[0], POLLIN, 0};
        if (poll(&waiting, 1, 100) <= 0)
            continue;
        char c;
        ssize_t got = read(ready[0], &c, 1);
        if (got <= 0)
            break;
        if (c == '\n')
            break;
        number += c;
    }
    close(ready[0]);
    if (number.empty()) {
        *why = "Xvfb did not start (is the package xvfb installed?)";
        stop();
        return false;
    }
    fName = ":" + number;
    return true;
}

void virtual_server::stop() {
    if (fPid <= 0)
        return;
    kill(fPid, SIGTERM);
    int status;
    for (int i = 0; i < 100; i++) {
        if (waitpid(fPid, &status, WNOHANG) == fPid) {
            fPid = -1;
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    kill(fPid, SIGKILL);
    waitpid(fPid, &status, 0);
    fPid = -1;
}

int xdotool(const std::string& arguments, std::string* output) {
    return testing_support::run_command("timeout 10 xdotool " + arguments, output);
}

unsigned long find_window(const std::string& title, int timeoutMs) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    do {
        std::string output;
        if (xdotool("search --name '^" + title + "$'", &output) == 0) {
            unsigned long id = std::strtoul(output.c_str(), nullptr, 10);
            if (id)
                return id;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    } while (std::chrono::steady_clock::now() < deadline);
    return 0;
}

bool window_geometry(unsigned long window, geometry* out) {
    std::string output;
    if (xdotool("getwindowgeometry --shell " + std::to_string(window), &output) != 0)
        return false;
    std::istringstream lines(output);
    std::string line;
    int found = 0;
    while (std::getline(lines, line)) {
        size_t equals = line.find('=');
        if (equals == std::string::npos)
            continue;
        std::string key = line.substr(0, equals);
        int value = std::atoi(line.c_str() + equals + 1);
        if (key == "X")
            out->x = value, found++;
        else if (key == "Y")
            out->y = value, found++;
        else if (key == "WIDTH")
            out->width = value, found++;
        else if (key == "HEIGHT")
            out->height = value, found++;
    }
    return found == 4;
}

namespace {

// One Xlib connection for one request.
struct connection {
    Display* display = XOpenDisplay(nullptr);
    ~connection() {
        if (display)
            XCloseDisplay(display);
    }
};

} // namespace

bool bind_keysyms(const std::vector<unsigned long>& keysyms) {
    connection c;
    if (!c.display)
        return false;
    int low = 0, high = 0, per = 0;
    XDisplayKeycodes(c.display, &low, &high);
    KeySym* map = XGetKeyboardMapping(c.display, (KeyCode)low, high - low + 1, &per);
    if (!map)
        return false;
    std::vector<bool> used((size_t)(high - low + 1), false);
    for (int code = low; code <= high; code++)
        for (int k = 0; k < per; k++)
            if (map[(code - low) * per + k] != NoSymbol)
                used[(size_t)(code - low)] = true;
    XFree(map);
    for (unsigned long keysym : keysyms) {
        if (XKeysymToKeycode(c.display, (KeySym)keysym) != 0)
            continue;
        int code = low;
        while (code <= high && used[(size_t)(code - low)])
            code++;
        if (code > high)
            return false;
        used[(size_t)(code - low)] = true;
        KeySym bound = (KeySym)keysym;
        XChangeKeyboardMapping(c.display, code, 1, &bound, 1);
    }
    XSync(c.display, False);
    return true;
}

namespace {

Atom atom(Display* display, const char* name) {
    return XInternAtom(display, name, False);
}

void send_client_message(Display* display, Window to, Atom type, long l0, long l1, long l2, long l3,
                         long l4) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.display = display;
    event.xclient.window = to;
    event.xclient.message_type = type;
    event.xclient.format = 32;
    event.xclient.data.l[0] = l0;
    event.xclient.data.l[1] = l1;
    event.xclient.data.l[2] = l2;
    event.xclient.data.l[3] = l3;
    event.xclient.data.l[4] = l4;
    XSendEvent(display, to, False, NoEventMask, &event);
    XFlush(display);
}

// Waits for an event that `wanted` accepts, up to `timeoutMs`.
template <typename Wanted>
bool wait_event(Display* display, int timeoutMs, XEvent* event, Wanted wanted) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < deadline) {
        while (XPending(display)) {
            XNextEvent(display, event);
            if (wanted(*event))
                return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return false;
}

std::string file_uri(const std::string& path) {
    static const char* hex = "0123456789ABCDEF";
    std::string uri = "file://";
    for (unsigned char c : path) {
        if (std::isalnum(c) || std::strchr("/-._~", c)) {
            uri += (char)c;
        } else {
            uri += '%';
            uri += hex[c >> 4];
            uri += hex[c & 15];
        }
    }
    return uri;
}

} // namespace

bool window_pixel(unsigned long window, int x, int y, uint32_t* rgb) {
    connection x11;
    if (!x11.display)
        return false;
    // Reading an unmapped window is an X error, which ends the program.
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(x11.display, window, &attributes) ||
        attributes.map_state != IsViewable || x < 0 || y < 0 || x >= attributes.width ||
        y >= attributes.height)
        return false;
    XImage* image = XGetImage(x11.display, window, x, y, 1, 1, AllPlanes, ZPixmap);
    if (!image)
        return false;
    *rgb = (uint32_t)XGetPixel(image, 0, 0) & 0xffffff;
    XDestroyImage(image);
    return true;
}

bool press_close_box(unsigned long window) {
    connection x11;
    if (!x11.display)
        return false;
    send_client_message(x11.display, window, atom(x11.display, "WM_PROTOCOLS"),
                        (long)atom(x11.display, "WM_DELETE_WINDOW"), CurrentTime, 0, 0, 0);
    return true;
}

bool drop_files(unsigned long target, int x, int y, const std::vector<std::string>& paths,
                std::string* why) {
    connection x11;
    Display* display = x11.display;
    if (!display) {
        *why = "no X connection";
        return false;
    }
    Window root = DefaultRootWindow(display);
    Window source = XCreateSimpleWindow(display, root, 0, 0, 1, 1, 0, 0, 0);
    Atom selection = atom(display, "XdndSelection");
    Atom uriList = atom(display, "text/uri-list");
    Atom copy = atom(display, "XdndActionCopy");
    XSetSelectionOwner(display, selection, source, CurrentTime);

    int rootX = 0, rootY = 0;
    Window child;
    XTranslateCoordinates(display, target, root, x, y, &rootX, &rootY, &child);

    std::string list;
    for (const std::string& path : paths)
        list += file_uri(path) + "\r\n";

    const long version = 5;
    send_client_message(display, target, atom(display, "XdndEnter"), (long)source, version << 24,
                        (long)uriList, None, None);
    send_client_message(display, target, atom(display, "XdndPosition"), (long)source, 0,
                        ((long)rootX << 16) | rootY, CurrentTime, (long)copy);
    Atom status = atom(display, "XdndStatus");
    XEvent event;
    if (!wait_event(display, 3000, &event, [&](const XEvent& e) {
            return e.type == ClientMessage && e.xclient.message_type == status;
        })) {
        *why = "the window did not answer XdndPosition";
        XDestroyWindow(display, source);
        return false;
    }
    if (!(event.xclient.data.l[1] & 1)) {
        *why = "the window refused the drop";
        XDestroyWindow(display, source);
        return false;
    }
    send_client_message(display, target, atom(display, "XdndDrop"), (long)source, 0, CurrentTime, 0,
                        0);
    // The target asks for the data, then says it is done.
    Atom finished = atom(display, "XdndFinished");
    bool done = wait_event(display, 3000, &event, [&](const XEvent& e) {
        if (e.type == SelectionRequest) {
            const XSelectionRequestEvent& request = e.xselectionrequest;
            XEvent reply{};
            reply.xselection.type = SelectionNotify;
            reply.xselection.requestor = request.requestor;
            reply.xselection.selection = request.selection;
            reply.xselection.target = request.target;
            reply.xselection.time = request.time;
            reply.xselection.property = None;
            if (request.target == uriList) {
                XChangeProperty(display, request.requestor, request.property, uriList, 8,
                                PropModeReplace, (const unsigned char*)list.data(),
                                (int)list.size());
                reply.xselection.property = request.property;
            }
            XSendEvent(display, request.requestor, False, NoEventMask, &reply);
            XFlush(display);
            return false;
        }
        return e.type == ClientMessage && e.xclient.message_type == finished;
    });
    XDestroyWindow(display, source);
    if (!done)
        *why = "the window did not finish the drop";
    return done;
}

bool read_clipboard(std::string* text, std::string* why, const std::string& target) {
    connection x11;
    Display* display = x11.display;
    if (!display) {
        *why = "no X connection";
        return false;
    }
    Window reader = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0);
    Atom property = atom(display, "TAVREL_CLIPBOARD");
    XConvertSelection(display, atom(display, "CLIPBOARD"), atom(display, target.c_str()), property,
                      reader, CurrentTime);
    XFlush(display);
    XEvent event;
    bool answered = wait_event(display, 3000, &event, [&](const XEvent& e) {
        return e.type == SelectionNotify && e.xselection.requestor == reader;
    });
    bool ok = false;
    if (!answered) {
        *why = "nobody answered for the clipboard";
    } else if (event.xselection.property == None) {
        *why = "the clipboard's owner refused " + target;
    } else {
        Atom type;
        int format;
        unsigned long count, after;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(display, reader, property, 0, 1 << 20, True, AnyPropertyType, &type,
                               &format, &count, &after, &data) == Success &&
            data) {
            if (format == 32 && type == XA_ATOM) {
                text->clear();
                for (unsigned long i = 0; i < count; i++) {
                    char* name = XGetAtomName(display, ((Atom*)data)[i]);
                    *text += std::string(name ? name : "?") + "\n";
                    if (name)
                        XFree(name);
                }
            } else {
                text->assign((const char*)data, count);
            }
            ok = true;
        }
        if (data)
            XFree(data);
        if (!ok)
            *why = "the clipboard's content could not be read";
    }
    XDestroyWindow(display, reader);
    return ok;
}

clipboard_owner::clipboard_owner(const std::string& text)
    : clipboard_owner({{"UTF8_STRING", text}, {"STRING", text}}, "") {}

clipboard_owner::clipboard_owner(const std::map<std::string, std::string>& entries,
                                 const std::string& hostile)
    : fEntries(entries), fHostile(hostile) {
    std::atomic<bool> ready{false};
    fThread = std::thread([this, &ready] {
        connection x11;
        Display* display = x11.display;
        if (!display) {
            ready = true;
            return;
        }
        Window owner =
            XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0);
        Atom clipboard = atom(display, "CLIPBOARD");
        Atom targets = atom(display, "TARGETS");
        Atom incr = atom(display, "INCR");
        XSetSelectionOwner(display, clipboard, owner, CurrentTime);
        fOwns = XGetSelectionOwner(display, clipboard) == owner;
        ready = true;
        // The requestor of an endless incremental transfer, and its property.
        Window dripping = None;
        Atom drip_property = None;
        const std::string part(64 << 10, 'x');
        while (!fStop) {
            XEvent event;
            if (!wait_event(display, 50, &event, [&](const XEvent& e) {
                    return e.type == SelectionRequest ||
                           (e.type == PropertyNotify && e.xproperty.window == dripping &&
                            e.xproperty.state == PropertyDelete);
                }))
                continue;
            if (event.type == PropertyNotify) {
                // The requestor took a part: the next one, never the last.
                XChangeProperty(display, dripping, drip_property, XA_STRING, 8, PropModeReplace,
                                (const unsigned char*)part.data(), (int)part.size());
                XFlush(display);
                continue;
            }
            const XSelectionRequestEvent& request = event.xselectionrequest;
            if (fHostile == "silent")
                continue;
            XEvent reply{};
            reply.xselection.type = SelectionNotify;
            reply.xselection.requestor = request.requestor;
            reply.xselection.selection = request.selection;
            reply.xselection.target = request.target;
            reply.xselection.time = request.time;
            reply.xselection.property = None;
            Atom property = request.property != None ? request.property : request.target;
            char* name = XGetAtomName(display, request.target);
            std::string target = name ? name : "";
            if (name)
                XFree(name);
            if (fHostile == "drip") {
                XSelectInput(display, request.requestor, PropertyChangeMask);
                long size = 1 << 30;
                XChangeProperty(display, request.requestor, property, incr, 32, PropModeReplace,
                                (const unsigned char*)&size, 1);
                dripping = request.requestor;
                drip_property = property;
                reply.xselection.property = property;
            } else if (fHostile == "huge") {
                const std::string half(17 << 19, 'y');
                for (int mode : {PropModeReplace, PropModeAppend})
                    XChangeProperty(display, request.requestor, property, request.target, 8, mode,
                                    (const unsigned char*)half.data(), (int)half.size());
                reply.xselection.property = property;
            } else if (fEntries.count(target)) {
                const std::string& bytes = fEntries[target];
                XChangeProperty(display, request.requestor, property, request.target, 8,
                                PropModeReplace, (const unsigned char*)bytes.data(),
                                (int)bytes.size());
                reply.xselection.property = property;
            } else if (request.target == targets) {
                std::vector<Atom> offered = {targets};
                for (const auto& entry : fEntries)
                    offered.push_back(atom(display, entry.first.c_str()));
                XChangeProperty(display, request.requestor, property, XA_ATOM, 32, PropModeReplace,
                                (const unsigned char*)offered.data(), (int)offered.size());
                reply.xselection.property = property;
            }
            XSendEvent(display, request.requestor, False, NoEventMask, &reply);
            XFlush(display);
        }
        XDestroyWindow(display, owner);
    });
    while (!ready)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

clipboard_owner::~clipboard_owner() {
    fStop = true;
    fThread.join();
}

} // namespace x_desktop

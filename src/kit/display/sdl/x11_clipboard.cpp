#include "x11_clipboard.h"

// Kept apart from the kit's headers: Xlib defines macros such as None,
// Status and Bool.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <vector>

namespace kit {

namespace {

// How long a fetch waits for the owner to answer, and for each part of an
// incremental transfer; how long a whole transfer may take.
const int ANSWER_MS = 1000;
const int TRANSFER_MS = 5000;
// The most a transfer from another program may bring; more is refused
// rather than cut short.
const size_t MAX_FETCH = 16u << 20;

} // namespace

struct x11_clipboard::connection {
    Display* display = nullptr;
    ::Window window = 0;
    int wake[2] = {-1, -1};
    Atom clipboard, targets, utf8, incr, property, text_plain, text_utf8, compound_text;

    ~connection() {
        if (display) {
            if (window)
                XDestroyWindow(display, window);
            XCloseDisplay(display);
        }
        for (int fd : wake)
            if (fd >= 0)
                close(fd);
    }
    Atom atom(const std::string& name) { return XInternAtom(display, name.c_str(), False); }
    std::string name(Atom a) {
        char* n = a ? XGetAtomName(display, a) : nullptr;
        std::string s = n ? n : "";
        if (n)
            XFree(n);
        return s;
    }
    // The largest property this connection can write in one request.
    size_t max_property() {
        long words = XExtendedMaxRequestSize(display);
        if (words == 0)
            words = XMaxRequestSize(display);
        return words > 64 ? (size_t)(words - 64) * 4 : 0;
    }
    // Waits for the next event of the window until `deadline`; false when
    // none came in time.
    bool next_event(XEvent* e, std::chrono::steady_clock::time_point deadline) {
        for (;;) {
            if (XPending(display)) {
                XNextEvent(display, e);
                return true;
            }
            auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            if (left.count() <= 0)
                return false;
            pollfd p = {ConnectionNumber(display), POLLIN, 0};
            poll(&p, 1, (int)left.count());
        }
    }
};

std::unique_ptr<x11_clipboard> x11_clipboard::open() {
    auto c = std::make_unique<connection>();
    c->display = XOpenDisplay(nullptr);
    if (!c->display || pipe2(c->wake, O_CLOEXEC | O_NONBLOCK) != 0)
        return nullptr;
    c->window = XCreateSimpleWindow(c->display, DefaultRootWindow(c->display), 0, 0, 1, 1, 0, 0, 0);
    XSelectInput(c->display, c->window, PropertyChangeMask);
    c->clipboard = c->atom("CLIPBOARD");
    c->targets = c->atom("TARGETS");
    c->utf8 = c->atom("UTF8_STRING");
    c->incr = c->atom("INCR");
    c->property = c->atom("KIT_CLIPBOARD");
    c->text_plain = c->atom("text/plain");
    c->text_utf8 = c->atom("text/plain;charset=utf-8");
    c->compound_text = c->atom("TEXT");
    XFlush(c->display);
    return std::unique_ptr<x11_clipboard>(new x11_clipboard(std::move(c)));
}

x11_clipboard::x11_clipboard(std::unique_ptr<connection> c) : fConnection(std::move(c)) {
    fThread = std::thread([this] { run(); });
}

x11_clipboard::~x11_clipboard() {
    {
        std::lock_guard<std::mutex> guard(fLock);
        fQuit = true;
    }
    char byte = 0;
    (void)!write(fConnection->wake[1], &byte, 1);
    fThread.join();
}

void x11_clipboard::ask(request* r) {
    std::unique_lock<std::mutex> guard(fLock);
    fRequests.push_back(r);
    char byte = 0;
    (void)!write(fConnection->wake[1], &byte, 1);
    fDone.wait(guard, [&] { return r->done; });
}

void x11_clipboard::set_text(const std::string& text) {
    set_data({{CLIPBOARD_TEXT, text}});
}

std::string x11_clipboard::text() {
    std::string out;
    data(CLIPBOARD_TEXT, &out);
    return out;
}

void x11_clipboard::set_data(const clipboard_entries& entries) {
    {
        std::lock_guard<std::mutex> guard(fLock);
        fOwned = entries;
    }
    request r;
    r.own = true;
    ask(&r);
}

bool x11_clipboard::data(const std::string& type, std::string* out) {
    // Text comes as UTF8_STRING from most programs.
    const std::vector<std::string> asked =
        type == CLIPBOARD_TEXT
            ? std::vector<std::string>{"UTF8_STRING", "text/plain;charset=utf-8", "STRING"}
            : std::vector<std::string>{type};
    for (const std::string& t : asked) {
        request r;
        r.type = t;
        ask(&r);
        if (r.mine) {
            // Whether this program still owns the selection is asked of
            // the X server, which may have handed it to another program
            // an instant ago.
            std::lock_guard<std::mutex> guard(fLock);
            auto found = fOwned.find(type);
            if (found == fOwned.end())
                return false;
            *out = found->second;
            return true;
        }
        if (r.found) {
            *out = std::move(r.result);
            return true;
        }
    }
    return false;
}

namespace {

// Reads and deletes `property` of `window`; false when it is not there.
bool take_property(Display* d, ::Window window, Atom property, Atom* type, std::string* out) {
    Atom actual = 0;
    int format = 0;
    unsigned long items = 0, after = 0;
    unsigned char* bytes = nullptr;
    if (XGetWindowProperty(d, window, property, 0, (long)(MAX_FETCH / 4), True, AnyPropertyType,
                           &actual, &format, &items, &after, &bytes) != Success)
        return false;
    *type = actual;
    size_t unit = format == 32 ? sizeof(long) : (size_t)format / 8;
    if (bytes && actual != 0 && after == 0)
        out->assign(reinterpret_cast<const char*>(bytes), items * unit);
    if (bytes)
        XFree(bytes);
    return actual != 0 && after == 0;
}

} // namespace

void x11_clipboard::run() {
    connection& c = *fConnection;
    Display* d = c.display;

    // Another program asks for the selection we own.
    auto answer = [&](const XSelectionRequestEvent& q) {
        XSelectionEvent reply = {};
        reply.type = SelectionNotify;
        reply.display = d;
        reply.requestor = q.requestor;
        reply.selection = q.selection;
        reply.target = q.target;
        reply.time = q.time;
        reply.property = 0;
        Atom property = q.property ? q.property : q.target;
        clipboard_entries owned;
        {
            std::lock_guard<std::mutex> guard(fLock);
            if (fOwner)
                owned = fOwned;
        }
        const bool text = owned.count(CLIPBOARD_TEXT) > 0;
        if (q.selection == c.clipboard && !owned.empty()) {
            if (q.target == c.targets) {
                std::vector<Atom> offered = {c.targets};
                for (const auto& entry : owned)
                    offered.push_back(c.atom(entry.first));
                if (text)
                    offered.insert(offered.end(), {c.utf8, c.text_utf8, XA_STRING});
                XChangeProperty(d, q.requestor, property, XA_ATOM, 32, PropModeReplace,
                                reinterpret_cast<unsigned char*>(offered.data()),
                                (int)offered.size());
                reply.property = property;
            } else {
                std::string type = c.name(q.target);
                const std::string* bytes = nullptr;
                if (owned.count(type))
                    bytes = &owned[type];
                else if (text && (q.target == c.utf8 || q.target == c.text_utf8 ||
                                  q.target == XA_STRING || q.target == c.compound_text))
                    bytes = &owned[CLIPBOARD_TEXT];
                // Data too large for one request is refused rather than
                // cut short.
                if (bytes && bytes->size() <= c.max_property()) {
                    XChangeProperty(d, q.requestor, property, q.target, 8, PropModeReplace,
                                    reinterpret_cast<const unsigned char*>(bytes->data()),
                                    (int)bytes->size());
                    reply.property = property;
                }
            }
        }
        XSendEvent(d, q.requestor, False, 0, reinterpret_cast<XEvent*>(&reply));
        XFlush(d);
    };

    // Events that come while a fetch waits for its own are served too.
    auto serve = [&](const XEvent& e) {
        if (e.type == SelectionRequest) {
            answer(e.xselectionrequest);
        } else if (e.type == SelectionClear && e.xselectionclear.selection == c.clipboard) {
            std::lock_guard<std::mutex> guard(fLock);
            fOwner = false;
            fOwned.clear();
        }
    };

    auto fetch = [&](request* r) {
        Atom target = c.atom(r->type);
        // Whatever an earlier, abandoned transfer left is dropped first.
        XDeleteProperty(d, c.window, c.property);
        XConvertSelection(d, c.clipboard, target, c.property, c.window, CurrentTime);
        XFlush(d);
        auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ANSWER_MS);
        XEvent e;
        for (;;) {
            if (!c.next_event(&e, deadline))
                return;
            if (e.type == SelectionNotify && e.xselection.selection == c.clipboard)
                break;
            serve(e);
        }
        if (e.xselection.property == 0)
            return;
        Atom type = 0;
        std::string bytes;
        if (!take_property(d, c.window, c.property, &type, &bytes))
            return;
        // Some owners answer every target with the one type they hold:
        // data of another type than asked is not what was asked for (text
        // comes under any of text's names).
        const bool text = target == c.utf8 || target == c.text_utf8 || target == XA_STRING;
        if (type != c.incr && type != target && !text)
            return;
        if (type != c.incr) {
            r->result = std::move(bytes);
            r->found = true;
            return;
        }
        // An incremental transfer: each part is a new value of the
        // property, the last an empty one.
        XFlush(d);
        std::string all;
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(TRANSFER_MS);
        for (;;) {
            deadline = std::min(end, std::chrono::steady_clock::now() +
                                         std::chrono::milliseconds(ANSWER_MS));
            if (!c.next_event(&e, deadline))
                return;
            if (e.type != PropertyNotify || e.xproperty.atom != c.property ||
                e.xproperty.state != PropertyNewValue) {
                serve(e);
                continue;
            }
            std::string part;
            if (!take_property(d, c.window, c.property, &type, &part))
                return;
            XFlush(d);
            if (part.empty())
                break;
            if (all.size() + part.size() > MAX_FETCH)
                return;
            all += part;
        }
        r->result = std::move(all);
        r->found = true;
    };

    for (;;) {
        while (XPending(d)) {
            XEvent e;
            XNextEvent(d, &e);
            serve(e);
        }
        request* r = nullptr;
        {
            std::lock_guard<std::mutex> guard(fLock);
            if (fQuit)
                return;
            if (!fRequests.empty()) {
                r = fRequests.front();
                fRequests.pop_front();
            }
        }
        if (r) {
            if (r->own) {
                XSetSelectionOwner(d, c.clipboard, c.window, CurrentTime);
                bool owner = XGetSelectionOwner(d, c.clipboard) == c.window;
                std::lock_guard<std::mutex> guard(fLock);
                fOwner = owner;
            } else if (XGetSelectionOwner(d, c.clipboard) == c.window) {
                r->mine = true;
            } else {
                fetch(r);
            }
            std::lock_guard<std::mutex> guard(fLock);
            r->done = true;
            fDone.notify_all();
            continue;
        }
        pollfd p[2] = {{ConnectionNumber(d), POLLIN, 0}, {c.wake[0], POLLIN, 0}};
        poll(p, 2, -1);
        if (p[1].revents & POLLIN) {
            char drain[64];
            while (read(c.wake[0], drain, sizeof drain) > 0) {
            }
        }
    }
}

} // namespace kit

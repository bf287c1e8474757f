#include "display.h"

#include "kit/app/kit_looper_access.h"
#include "kit/app/kit_registry.h"

#include <Looper.h>
#include <OS.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <mutex>

namespace kit {

namespace {
std::mutex backend_lock;
std::unique_ptr<display_backend> backend;
void (*display_chooser)() = nullptr;
} // namespace

display_backend& display() {
    for (;;) {
        {
            std::lock_guard<std::mutex> guard(backend_lock);
            if (backend)
                return *backend;
        }
        // Outside the lock: the chooser installs the backend it opens.
        choose_display();
    }
}

void choose_display() {
    void (*chooser)() = nullptr;
    {
        std::lock_guard<std::mutex> guard(backend_lock);
        if (backend)
            return;
        chooser = display_chooser;
    }
    if (chooser)
        chooser();
    if (display_installed())
        return;
    std::fprintf(stderr, "%s: no display is linked into this program, so it cannot show windows\n",
                 program_invocation_short_name);
    std::exit(1);
}

void set_display_chooser(void (*chooser)()) {
    std::lock_guard<std::mutex> guard(backend_lock);
    display_chooser = chooser;
}

void install_display(std::unique_ptr<display_backend> replacement) {
    std::lock_guard<std::mutex> guard(backend_lock);
    backend = std::move(replacement);
}

bool display_installed() {
    std::lock_guard<std::mutex> guard(backend_lock);
    return backend != nullptr;
}

void wait_serving_display(const std::function<bool()>& done) {
    while (!done()) {
        display_backend& backend = display();
        if (backend.drives_application_thread())
            backend.pump(10000); // only waits on any other thread
        else
            snooze(10000);
    }
}

bool all_loopers_idle() {
    std::lock_guard<std::mutex> guard(registry_mutex());
    for (BLooper* looper : loopers()) {
        if (!looper_access::is_idle(looper))
            return false;
    }
    return true;
}

} // namespace kit

#include "display.h"

#include "kit/app/kit_registry.h"
#include "kit/display/headless/headless_display.h"

#include <Looper.h>
#include <OS.h>

#include <mutex>

namespace kit {

namespace {
std::mutex backend_lock;
std::unique_ptr<display_backend> backend;
} // namespace

display_backend& display() {
    std::lock_guard<std::mutex> guard(backend_lock);
    if (!backend)
        backend = std::make_unique<headless_display>();
    return *backend;
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
        if (!looper->kit_is_idle())
            return false;
    }
    return true;
}

} // namespace kit

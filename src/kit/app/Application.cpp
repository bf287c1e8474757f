#include "Application.h"

#include "kit/app/kit_registry.h"
#include "kit/display/display.h"

#include <Entry.h>
#include <Window.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <mutex>

BApplication* be_app = nullptr;
BMessenger be_app_messenger;

namespace {
std::mutex launch_lock;
bool launch_overridden = false;
std::vector<std::string> launch_arguments;

// The process's arguments after the program name, from the kernel, so
// that main() need not pass argc and argv along.
std::vector<std::string> process_arguments() {
    std::vector<std::string> arguments;
    std::ifstream in("/proc/self/cmdline", std::ios::binary);
    std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    size_t start = 0;
    bool first = true;
    while (start < all.size()) {
        size_t end = all.find('\0', start);
        if (end == std::string::npos)
            end = all.size();
        if (!first)
            arguments.push_back(all.substr(start, end - start));
        first = false;
        start = end + 1;
    }
    return arguments;
}
} // namespace

BApplication::BApplication(const char* signature) : BLooper(signature) {
    _Init(signature);
}

BApplication::BApplication(const char* signature, status_t* error) : BLooper(signature) {
    _Init(signature);
    if (error)
        *error = fInitStatus;
}

void BApplication::_Init(const char* signature) {
    fSignature = signature ? signature : "";
    if (be_app) {
        // There is one application per process.
        fInitStatus = B_ERROR;
        std::fprintf(stderr, "BApplication: a second application object was created\n");
        return;
    }
    be_app = this;
    be_app_messenger = BMessenger(nullptr, this);
    // Windows are made from here on; they need a display.
    kit::choose_display();
}

BApplication::~BApplication() {
    // Windows cannot outlive the application they belong to.
    for (int32 token : _WindowTokens()) {
        if (BWindow* window = _LockWindow(token))
            window->Quit();
    }
    if (be_app == this) {
        be_app = nullptr;
        be_app_messenger = BMessenger();
    }
}

void BApplication::kit_set_launch_arguments(const std::vector<std::string>& arguments) {
    std::lock_guard<std::mutex> guard(launch_lock);
    launch_overridden = true;
    launch_arguments = arguments;
}

void BApplication::_PostLaunchRefs() {
    std::vector<std::string> arguments;
    {
        std::lock_guard<std::mutex> guard(launch_lock);
        arguments = launch_overridden ? launch_arguments : process_arguments();
    }
    // The program takes no options: everything else names a file.
    BMessage refs(B_REFS_RECEIVED);
    for (const std::string& argument : arguments) {
        if (argument.empty() || argument[0] == '-')
            continue;
        entry_ref ref;
        if (get_ref_for_path(argument.c_str(), &ref) == B_OK)
            refs.AddRef("refs", &ref);
    }
    if (refs.HasRef("refs"))
        PostMessage(&refs);
}

thread_id BApplication::Run() {
    _PostLaunchRefs();
    PostMessage(B_READY_TO_RUN);
    kit_run_loop();
    return Thread();
}

void BApplication::Quit() {
    if (find_thread(nullptr) == Thread()) {
        BLooper::Quit(); // sets the loop's end in our own thread
        return;
    }
    PostMessage(B_QUIT_REQUESTED);
}

BWindow* BApplication::_LockWindow(int32 token) const {
    // Pinned so that a window quitting by itself meanwhile is not freed
    // under us; its Lock() then fails.
    BLooper* looper = BLooper::kit_lock_registry_pin(token);
    if (!looper)
        return nullptr;
    bool locked = looper->Lock();
    looper->kit_unpin();
    return locked ? static_cast<BWindow*>(looper) : nullptr;
}

std::vector<int32> BApplication::_WindowTokens() const {
    std::lock_guard<std::mutex> guard(kit::registry_mutex());
    std::vector<int32> tokens = kit::window_tokens();
    // Newest first.
    return std::vector<int32>(tokens.rbegin(), tokens.rend());
}

bool BApplication::QuitRequested() {
    // One window at a time, so that no two window locks are held at once.
    for (int32 token : _WindowTokens()) {
        BWindow* window = _LockWindow(token);
        if (!window)
            continue;
        if (!window->QuitRequested()) {
            window->Unlock();
            return false;
        }
        window->Quit();
    }
    return true;
}

int32 BApplication::CountWindows() const {
    std::lock_guard<std::mutex> guard(kit::registry_mutex());
    return (int32)kit::window_tokens().size();
}

BWindow* BApplication::WindowAt(int32 index) const {
    std::lock_guard<std::mutex> guard(kit::registry_mutex());
    std::vector<int32> tokens = kit::window_tokens();
    if (index < 0 || index >= (int32)tokens.size())
        return nullptr;
    for (BLooper* looper : kit::loopers()) {
        if (looper->kit_token() == tokens[index])
            return static_cast<BWindow*>(looper);
    }
    return nullptr;
}

void BApplication::DispatchMessage(BMessage* message, BHandler* handler) {
    if (handler != this) {
        BLooper::DispatchMessage(message, handler);
        return;
    }
    switch (message->what) {
    case B_QUIT_REQUESTED:
        if (QuitRequested())
            Quit();
        break;
    case B_REFS_RECEIVED:
        RefsReceived(message);
        break;
    case B_ABOUT_REQUESTED:
        AboutRequested();
        break;
    case B_READY_TO_RUN:
        ReadyToRun();
        break;
    case B_PULSE:
        Pulse();
        break;
    default:
        MessageReceived(message);
        break;
    }
}

void BApplication::MessageReceived(BMessage* message) {
    BLooper::MessageReceived(message);
}

BMessage* BApplication::kit_next_message(bigtime_t timeout) {
    kit::display_backend& display = kit::display();
    if (!display.drives_application_thread())
        return BLooper::kit_next_message(timeout);
    // The backend's events are served on this thread between messages.
    bigtime_t deadline =
        timeout == B_INFINITE_TIMEOUT ? B_INFINITE_TIMEOUT : system_time() + timeout;
    while (true) {
        if (BMessage* message = kit_take_message())
            return message;
        if (kit_is_terminating())
            return nullptr;
        bigtime_t wait = 10000;
        if (deadline != B_INFINITE_TIMEOUT) {
            bigtime_t left = deadline - system_time();
            if (left <= 0)
                return BLooper::kit_next_message(0);
            wait = std::min(wait, left);
        }
        display.pump(wait);
    }
}

void BApplication::kit_message_queued() {
    kit::display().wake_application();
}

#include "clipboard.h"

#include <mutex>

namespace kit {

namespace {

class process_clipboard : public clipboard_backend {
  public:
    void set_text(const std::string& text) override { fText = text; }
    std::string text() override { return fText; }

  private:
    std::string fText;
};

std::mutex clipboard_lock;
// A plain pointer that is never destroyed at exit: the desktop display
// installs the process clipboard again from its own destructor, which may
// run after this file's statics are gone.
clipboard_backend* installed = nullptr;

clipboard_backend& current() {
    if (!installed)
        installed = new process_clipboard();
    return *installed;
}

} // namespace

void install_clipboard(std::unique_ptr<clipboard_backend> backend) {
    std::lock_guard<std::mutex> guard(clipboard_lock);
    delete installed;
    installed = backend.release();
}

void set_clipboard_text(const std::string& text) {
    std::lock_guard<std::mutex> guard(clipboard_lock);
    current().set_text(text);
}

std::string clipboard_text() {
    std::lock_guard<std::mutex> guard(clipboard_lock);
    return current().text();
}

} // namespace kit

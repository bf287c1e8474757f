#include "clipboard.h"

#include <mutex>

namespace kit {

const char* const CLIPBOARD_TEXT = "text/plain";

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

void clipboard_backend::set_data(const clipboard_entries& entries) {
    fEntries = entries;
    auto text = entries.find(CLIPBOARD_TEXT);
    set_text(text != entries.end() ? text->second : std::string());
    fEntries[CLIPBOARD_TEXT] = this->text();
}

bool clipboard_backend::data(const std::string& type, std::string* out) {
    std::string now = text();
    auto kept = fEntries.find(CLIPBOARD_TEXT);
    if (kept == fEntries.end() || kept->second != now)
        fEntries.clear();
    if (type == CLIPBOARD_TEXT) {
        *out = now;
        return !now.empty();
    }
    auto found = fEntries.find(type);
    if (found == fEntries.end())
        return false;
    *out = found->second;
    return true;
}

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

void set_clipboard_data(const clipboard_entries& entries) {
    std::lock_guard<std::mutex> guard(clipboard_lock);
    current().set_data(entries);
}

bool clipboard_data(const std::string& type, std::string* out) {
    std::lock_guard<std::mutex> guard(clipboard_lock);
    return current().data(type, out);
}

} // namespace kit

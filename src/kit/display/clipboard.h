// The desktop clipboard: text, and data offered under several MIME types
// at once (a program's own exact type beside an interchange form and
// plain text). A display backend that has a real clipboard installs its
// own; otherwise the data is kept in the process, so that copy and paste
// still work between the program's own views.
#ifndef KIT_DISPLAY_CLIPBOARD_H
#define KIT_DISPLAY_CLIPBOARD_H

#include <map>
#include <memory>
#include <string>

namespace kit {

// MIME type -> the bytes offered under it.
using clipboard_entries = std::map<std::string, std::string>;

// The type plain text is offered under.
extern const char* const CLIPBOARD_TEXT;

class clipboard_backend {
  public:
    virtual ~clipboard_backend() = default;
    // Called from window threads under the kit's clipboard lock.
    virtual void set_text(const std::string& text) = 0;
    virtual std::string text() = 0;
    // Replaces the clipboard's content with `entries`. A backend that
    // carries only text keeps the other types in the process, and forgets
    // them once the desktop's text no longer is the one they came with.
    virtual void set_data(const clipboard_entries& entries);
    // The content offered as `type`; false when it is not offered.
    virtual bool data(const std::string& type, std::string* out);

  private:
    clipboard_entries fEntries;
};

void install_clipboard(std::unique_ptr<clipboard_backend> backend);
void set_clipboard_text(const std::string& text);
std::string clipboard_text();
void set_clipboard_data(const clipboard_entries& entries);
bool clipboard_data(const std::string& type, std::string* out);

} // namespace kit

#endif

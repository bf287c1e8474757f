// The desktop clipboard, as text. A display backend that has a real
// clipboard installs its own; otherwise the text is kept in the process,
// so that copy and paste still work between the program's own views.
#ifndef KIT_DISPLAY_CLIPBOARD_H
#define KIT_DISPLAY_CLIPBOARD_H

#include <memory>
#include <string>

namespace kit {

class clipboard_backend {
  public:
    virtual ~clipboard_backend() = default;
    // Called from window threads; implementations synchronise as needed.
    virtual void set_text(const std::string& text) = 0;
    virtual std::string text() = 0;
};

void install_clipboard(std::unique_ptr<clipboard_backend> backend);
void set_clipboard_text(const std::string& text);
std::string clipboard_text();

} // namespace kit

#endif

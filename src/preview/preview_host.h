// What the text preview needs of the program that opens it: the font, read
// with its owner locked, and the outline editor to show a glyph in. The
// application provides it; the preview's tests provide their own.
#ifndef TAVREL_PREVIEW_PREVIEW_HOST_H
#define TAVREL_PREVIEW_PREVIEW_HOST_H

#include <functional>
#include <string>

class ttf;

class preview_host {
  public:
    virtual ~preview_host() = default;

    // Calls `read` with the font's owner locked: the font (null when there
    // is none) and its file's path (empty for a new font; "<path> #<face>"
    // for a face of a collection). Nothing may be
    // kept of the font after `read` returns. False, `read` not called,
    // when the owner has gone.
    virtual bool read_font(const std::function<void(ttf* font, const std::string& file)>& read) = 0;
    // Asks for glyph gno to be shown in the outline editor.
    virtual void show_glyph(unsigned gno) = 0;
    // Settings kept between runs (the window's frame); a host without
    // settings keeps none.
    virtual std::string setting(const std::string& key, const std::string& fallback) {
        (void)key;
        return fallback;
    }
    virtual void remember(const std::string& key, const std::string& value) {
        (void)key;
        (void)value;
    }
};

#endif

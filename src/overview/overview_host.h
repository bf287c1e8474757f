// What the glyph overview needs of the program that opens it: the font,
// read with its owner locked, the outline editor to show a glyph in, and a
// place to remember the window's size between runs. The application
// provides it; the overview's tests provide their own.
#ifndef TAVREL_OVERVIEW_OVERVIEW_HOST_H
#define TAVREL_OVERVIEW_OVERVIEW_HOST_H

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class ttf;

class overview_host {
  public:
    virtual ~overview_host() = default;

    // Calls `read` with the font's owner locked: the font shown (null
    // when there is none) and the name of its file (empty for a new font;
    // "<path> #<face>" for a face of a collection).
    // Nothing may be kept of the font after `read` returns. False, with
    // `read` not called, when the owner has gone.
    virtual bool read_font(const std::function<void(ttf* font, const std::string& file)>& read) = 0;
    // Asks for glyph gno to be shown in the outline editor.
    virtual void show_glyph(unsigned gno) = 0;
    // Settings kept between runs: a value or `fallback`, and a new value.
    virtual std::string setting(const std::string& key, const std::string& fallback) = 0;
    virtual void remember(const std::string& key, const std::string& value) = 0;
    // The glyphs selected in the overview (glyph numbers, ascending), told
    // from the overview's thread whenever they change; none once the
    // window has closed or its font was replaced. A host that offers
    // operations on the selection keeps a copy; others ignore it.
    virtual void selection_changed(const std::vector<unsigned>& glyphs) { (void)glyphs; }
    // Asks for the glyphs of `clips` (clipboard data of the program's glyph
    // type) to be stored in place of glyphs `onto` of the font numbered
    // `font` (ttf::id), one for one, as one step of the font's history, in
    // the font owner's thread; the owner then tells the window what came
    // of it (OVERVIEW_NOTICE). A host that does not store pastes ignores it.
    virtual void paste_glyphs(uint64_t font, const std::string& clips,
                              const std::vector<unsigned>& onto) {
        (void)font;
        (void)clips;
        (void)onto;
    }
};

#endif

// ttf_cmap: the character-to-glyph map ("cmap").
//
//   0  u16 version                 4 + 8i  u16 platformID
//   2  u16 numTables               6 + 8i  u16 encodingID
//                                  8 + 8i  u32 offset of the subtable
//
// The editor's map (chrmap) is the Windows Unicode BMP subtable (platform 3,
// encoding 1) in format 4. An edit rewrites that subtable from chrmap
// (deltas only; it is added when the font has none) and applies the same
// run to every other Unicode subtable in format 4 or 12 (platform 0, and
// platform 3 encodings 1 and 10). Every other subtable (Macintosh, symbol,
// variation sequences ...) is carried over byte for byte. The subtable
// layouts are in cmap_subtables.h.
#ifndef TAVREL_FONT_CMAP_H
#define TAVREL_FONT_CMAP_H

#include "font/ttf_table.h"

#include <string>

class BButton;
class BTextControl;

namespace cmap_subtables {
struct run;
}

class ttf_cmap : public ttf_table {
  public:
    ttf_cmap(ttf* owner, unsigned char* data, unsigned long length);
    ~ttf_cmap() override;

    // 0 decoded; -1 no (3, 1) subtable; 1 the subtable is not format 4 or
    // does not fit in the table. chrmap is all 0 unless decoded.
    int get_tbl();
    // Rewrites the (3, 1) subtable from chrmap and keeps the others.
    // Returns 0, or a failure of set_chr (table unchanged).
    int set_tbl();
    // Maps start..end to gno, gno + 1, ... (or unmaps it for gno 0xFFFF)
    // in chrmap and in every Unicode subtable, and rebuilds. Returns 0, or,
    // with nothing changed and edit_error() saying why:
    //  -1 a format 4 subtable would need more segments than it can hold;
    //  -2 the run's glyph numbers would pass 0xFFFE;
    //  -3 a Unicode subtable cannot be read (damaged, or the (3, 1) one is
    //     in a format this editor does not write).
    int set_chr(unsigned short start, unsigned short end, unsigned short gno);
    unsigned short get_gno(unsigned short chr) const;
    unsigned short get_chr(unsigned short gno) const;
    int create_default();
    const char* edit_error() const { return editerror.c_str(); }
    // Decodes the map again from the bytes.
    void refresh() override;

    // The editor (cmap_view.cpp): start code, end code and glyph fields and
    // a "set" button; a line below the preview-less black view says why an
    // edit was refused.
    void AttachedToWindow() override;
    void Draw(BRect update) override;
    void MessageReceived(BMessage* message) override;
    void redraw();

    // Glyph number of every code U+0000..U+FFFF; 0 = not mapped.
    unsigned short* chrmap;
    BTextControl* stctl = nullptr;
    BTextControl* edctl = nullptr;
    BTextControl* gnoctl = nullptr;
    BButton* setbtn = nullptr;
    // What the editor last refused, shown to the user; empty when nothing.
    std::string notice;

  private:
    int rebuild(const cmap_subtables::run* change);
    std::string editerror;
};

#endif

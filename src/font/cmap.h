// ttf_cmap: the character-to-glyph map ("cmap").
//
//   0  u16 version                 4 + 8i  u16 platformID
//   2  u16 numTables               6 + 8i  u16 encodingID
//                                  8 + 8i  u32 offset of the subtable
//
// The editor's map (chrmap, with the mappings past U+FFFF in `wide`) is
// decoded from the font's best Unicode subtable: (3, 10), (0, 4), (0, 6),
// (3, 1), (0, 3), then any other platform-0 one, the first that reads. An
// edit changes each Unicode subtable's own map by the edited run alone and
// re-encodes it in its own format (0, 4, 6 or 12); a font without any
// Unicode subtable gets a (3, 1) format 4 one built from the whole map.
// Every other subtable (Macintosh, symbol, variation sequences ...) is
// carried over byte for byte, and U+0000 and U+FFFF are never changed by
// an edit. The subtable layouts are in cmap_subtables.h.
#ifndef TAVREL_FONT_CMAP_H
#define TAVREL_FONT_CMAP_H

#include "font/cmap_subtables.h"
#include "font/ttf_table.h"

#include <string>
#include <vector>

class BButton;
class BScrollBar;
class BTextControl;
class cmap_run_list;

class ttf_cmap : public ttf_table {
  public:
    ttf_cmap(ttf* owner, unsigned char* data, unsigned long length);
    ~ttf_cmap() override;

    // 0 decoded; -1 no Unicode subtable; 1 none of them can be read.
    // chrmap and wide are empty unless decoded; runs and subtables follow.
    int get_tbl();
    // Keeps every subtable; a font without a Unicode subtable gets a
    // (3, 1) one built from chrmap. Returns 0, or a failure of set_chr.
    int set_tbl();
    // Maps start..end (U+0001 ... U+10FFFF, U+FFFF left out) to gno,
    // gno + 1, ... (or unmaps it for gno 0xFFFF) in every Unicode subtable.
    // Nothing happens when end < start. Returns 0, or, with nothing changed
    // and edit_error() saying why:
    //  -1 a subtable's format cannot hold the map that results;
    //  -2 the run's glyph numbers would pass 0xFFFE;
    //  -3 a Unicode subtable cannot be read (damaged, or in a format this
    //     editor does not write);
    //  -4 codes past U+FFFF with no format 12 subtable to hold them.
    int set_chr(uint32_t start, uint32_t end, unsigned short gno);
    unsigned short get_gno(unsigned short chr) const;
    unsigned short get_chr(unsigned short gno) const;
    // The glyph of any code up to U+10FFFF; 0 when it is not mapped.
    unsigned short glyph_of(uint32_t code) const;
    int create_default();
    const char* edit_error() const { return editerror.c_str(); }
    // Decodes the map again from the bytes.
    void refresh() override;

    // The editor (cmap_view.cpp): the subtables, the map as a list of runs,
    // start code, end code and glyph fields and a "set" button; a line
    // above the fields says why an edit was refused.
    void AttachedToWindow() override;
    void Draw(BRect update) override;
    void MessageReceived(BMessage* message) override;
    void redraw();

    // One subtable as the editor lists it; `count` is the characters it
    // maps, -1 when its format is not read.
    struct subtable {
        uint16_t platform, encoding, format;
        long count;
        bool shown; // the one chrmap and wide come from
    };

    // Glyph number of every code U+0000..U+FFFF; 0 = not mapped.
    unsigned short* chrmap;
    // The decoded mappings past U+FFFF, sorted.
    std::vector<cmap_subtables::group> wide;
    // The whole decoded map as runs of consecutive codes to consecutive
    // glyphs, in code order, and every encoding record of the table, in
    // table order: kept up to date while the view is attached.
    std::vector<cmap_subtables::group> runs;
    std::vector<subtable> subtables;
    // Lists the subtables and runs now (the view does while attached).
    void make_listing();
    cmap_run_list* runlist = nullptr;
    BScrollBar* runbar = nullptr;
    BTextControl* stctl = nullptr;
    BTextControl* edctl = nullptr;
    BTextControl* gnoctl = nullptr;
    BButton* setbtn = nullptr;
    // What the editor last refused, shown to the user; empty when nothing.
    std::string notice;

  private:
    int rebuild(const cmap_subtables::run* change);
    void list_subtables();
    void make_runs();
    // The list shows the runs again, the one holding `code` chosen.
    void runs_changed(uint32_t code);
    std::string editerror;
    // The record chrmap was decoded from, -1 when none; whether subtables
    // and runs describe the bytes.
    int shown = -1;
    bool listed = false;
};

#endif

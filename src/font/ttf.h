// ttf: the whole TrueType font in memory. It reads a font file into one
// table object per directory entry, builds a new font from a set-up record,
// hands out glyphs and bitmap glyphs, attaches the table views and writes
// the font back with fresh offsets, padding and checksums.
#ifndef TAVREL_FONT_TTF_H
#define TAVREL_FONT_TTF_H

#include <Rect.h>

#include "font/derived_metrics.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

class BFile;
class BView;
class ttf_table;
class ttf_os2;
class ttf_cmap;
class ttf_glyf;
class ttf_head;
class ttf_hhea;
class ttf_hmtx;
class ttf_loca;
class ttf_maxp;
class ttf_name;
class ttf_post;
class ttf_gasp;
class ttf_ebdt;
class ttf_eblc;
class ttf_gvar;
class ttf_fvar;
class glyph;
class bitmap;
class font_history;
class glyph_box_cache;
struct font_image;
struct collection_face;
struct face_tables;

// The new-font set-up record, 65,672 bytes: one flag per Unicode block
// (bytes 0-127), one flag per code point U+0000-U+FFFF (128-65,663), then the
// character count and the glyph count as 32-bit numbers.
struct setupinfo {
    unsigned char blocks[128];
    unsigned char chars[65536];
    int32_t chrcount;
    int32_t glyphcount;
};
static_assert(sizeof(setupinfo) == 65672, "set-up record layout");

// Why set_glyph refused a glyph, besides -1 for anything else (no such
// glyph, tables missing or damaged, a record glyf or loca cannot take).
// The glyph lost part of its record when it was read (glyph::lossy).
const int TTF_GLYPH_LOSSY = -2;
// The glyph would contain itself, directly or through other glyphs.
const int TTF_GLYPH_CYCLE = -3;
// The glyph varies across the font's axes (gvar) and the new outline has
// its points in another number or arrangement: its variations would no
// longer fit it. Stored with `dropvariations`, they are removed.
const int TTF_GLYPH_VARIES = -4;

class ttf {
  public:
    ttf();
    ~ttf();
    ttf(const ttf&) = delete;
    ttf& operator=(const ttf&) = delete;

    int init();
    // Reads the font whose table directory starts at `diroffset` (a face
    // of a collection; table offsets count from the file's start).
    int load(BFile& file, long long diroffset = 0);
    int save(BFile& file);
    // What save would write of a face read from a collection at `loaded`'s
    // directory, for write_collection: the tables in directory order, with
    // copies of those whose bytes changed since the load; the others are
    // left to be read from the collection's file. 0, or 1 when it has no
    // directory, a table is missing or memory ran out.
    int save_face(const collection_face& loaded, face_tables* out);
    // Copies the font's bytes as a file would hold them, with nothing
    // recomputed (font_image.h): 0, or 1 when it has no directory, a table
    // is missing, the file would pass 4 GiB or memory ran out.
    int copy_image(font_image* image);

    // Reads glyph gno into g: 0, or -1 when there is no such glyph or its
    // record is damaged (g is then marked lossy and otherwise left as it
    // was). A glyph read with parts it cannot hold is marked lossy.
    int get_glyph(int gno, glyph* g);
    // Stores g as glyph gno, with loca kept in step: 0, TTF_GLYPH_LOSSY,
    // TTF_GLYPH_CYCLE, TTF_GLYPH_VARIES or -1; the font is unchanged
    // unless 0. With `dropvariations`, the glyph's variation data goes when
    // its points change in number or arrangement (in the same undo step).
    int set_glyph(int gno, const glyph* g, bool dropvariations = false);
    // True when glyph `part` is glyph gno or is made of it, at any depth,
    // as the font's records hold them now: adding `part` as a component of
    // gno would make gno contain itself.
    bool makes_cycle(int gno, int part);
    int get_bitmap(bitmap* b);
    int set_bitmap(bitmap* b);

    // Whether the font varies across axes (it has an fvar table).
    bool is_variable() const { return fvar != nullptr; }
    // Whether its outlines are in CFF or CFF2 rather than glyf: they are
    // kept as they are and cannot be edited.
    bool has_cff_outlines() const { return cff != nullptr && glyf == nullptr; }
    // Whether glyph gno has variation data in gvar.
    bool glyph_varies(int gno) const;
    // Whether gvar, when there is one, can be edited consistently: its
    // header, glyph count and offsets agree with the font.
    bool variations_intact() const;

    // The font as loaded may hold edits already (a recovery copy of unsaved
    // changes): a save works out the values that follow from glyf and hmtx
    // (head's box, hhea's extremes) even if they are not edited again.
    void assume_edited() { fAssumeEdited = true; }

    // The font box as head gave it when the font was loaded or set up. The
    // glyph canvas is laid out for it and maps glyphs by it while the font
    // is open, so it stays when a save brings head's box up to date.
    BRect bounds();
    int get_tables(int* count, unsigned long* tags);

    void set_view(BView* parent);
    void reset_view(BView* parent);

    // Starts recording every change of the tables for undo and redo (a
    // font just loaded or set up is the history's first state). The
    // history lives as long as the font.
    font_history* start_history();
    // The history, or null when none was started.
    font_history* history() const { return fHistory; }

    // Why the last load refused the file, for the caller's message.
    const char* load_error() const { return loaderror; }

    // The table of this tag, or null.
    ttf_table* table(uint32_t tag);

    // Changes of the tables' bytes, for windows that copied them: how many
    // there were so far, and a number no other font in this process has.
    uint64_t changes() const { return fChanges; }
    uint64_t id() const { return fId; }
    // Counts a change of a table's bytes (ttf_table calls it).
    void note_change() { fChanges++; }
    // The glyphs stored by set_glyph between the counts `from` and `to`,
    // oldest first, when nothing else changed in between; false when
    // something else did, or when that is too long ago to know.
    bool stored_glyphs(uint64_t from, uint64_t to, std::vector<int>* glyphs) const;

    setupinfo* setup;
    unsigned char* dir;
    ttf_os2* os2;
    ttf_cmap* cmap;
    ttf_glyf* glyf;
    ttf_head* head;
    ttf_hhea* hhea;
    ttf_hmtx* hmtx;
    ttf_loca* loca;
    ttf_maxp* maxp;
    ttf_name* name;
    ttf_post* post;
    // Tables of tags without a class of their own, in directory order.
    std::vector<ttf_table*> others;
    ttf_gasp* gasp;
    ttf_ebdt* ebdt;
    ttf_eblc* eblc;
    ttf_gvar* gvar;
    ttf_fvar* fvar;
    // The outlines of an OpenType font with CFF ("CFF ") or CFF2 outlines.
    ttf_table* cff;

  private:
    // Copies the tables in directory order, as copy_image does.
    friend class font_copy;

    // Refuses the file being loaded: empties the container, keeps and
    // prints the reason. Returns 1.
    int refuse(const char* reason, uint32_t tag = 0);
    // Brings what a save recomputes up to date (maxp's maxima, the derived
    // metrics, head's dates), outside the history.
    void prepare_save();
    int read_directory(BFile& file, long long filesize, long long at);
    int check_directory(long long filesize);
    bool read_tables(BFile& file);
    int write_tables(BFile& file);
    void clear();
    // The font as it stands is the one loaded or set up: the tables' change
    // marks start from here, and the canvas box and derived fields are
    // taken.
    void note_loaded();
    ttf_table* table_for(uint32_t tag, size_t* otherindex);
    ttf_table* make_table(uint32_t tag, unsigned char* buf, unsigned long length, size_t room);

    const char* loaderror;
    char loadmessage[96];
    font_history* fHistory = nullptr;
    BRect fLayout;
    derived_fields fLoadedFields;
    // The outlines' boxes as the last save measured them (made by the
    // first save that works out the derived values).
    std::unique_ptr<glyph_box_cache> fBoxes;
    bool fAssumeEdited = false;
    uint64_t fChanges = 0;
    uint64_t fId;
    // The last glyph stores: the glyph and the counts before and after it.
    struct glyph_store {
        uint64_t from, to;
        int glyph;
    };
    std::deque<glyph_store> fStores;
};

#endif

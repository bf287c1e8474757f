// ttf_table: one TrueType table in memory. It holds the table's bytes
// exactly as they stand in the file (big-endian) and is at the same time the
// view that shows and edits the table.
#ifndef TAVREL_FONT_TTF_TABLE_H
#define TAVREL_FONT_TTF_TABLE_H

#include <View.h>

#include "font/bytes.h"
#include "font/pending_edit.h"

#include <cstdint>
#include <string>

class ttf;
class font_history;

// A new zero-filled buffer of n bytes rounded up to a multiple of 4, so a
// table's zero padding is always present. Free it with delete[]. Returns
// null when n is negative or the memory cannot be had.
unsigned char* malloc32(long n);
// The same buffer with only the padding past n zeroed, for a caller that
// fills bytes 0 ... n-1 itself (a table read from a file).
unsigned char* malloc32_unfilled(long n);

class BTextControl;

class ttf_table : public BView, public pending_edit, private write_observer {
  public:
    ttf_table(ttf* owner, unsigned long tag, unsigned char* data, unsigned long length);
    ~ttf_table() override;

    // The TrueType table checksum: the wrapping sum of the big-endian 32-bit
    // words over the length rounded up to 4 (the zero padding counts).
    unsigned long sumB32();

    // Ends at exactly visible (true) or hidden (false), whatever the
    // Show/Hide nesting was before.
    void show(bool visible);

    // Checked access to this table's bytes: reads past `length` give 0,
    // writes past it do nothing and return false.
    byte_span bytes() const { return byte_span(data, length); }
    // Writes through it are counted as changes and recorded in the font's
    // history, when it keeps one.
    byte_writer writer() { return byte_writer(data, length, this); }

    // Replaces the buffer (which must come from malloc32) and the length.
    // With a history, the old buffer goes to it instead of being freed.
    void replace_data(unsigned char* newdata, unsigned long newlength);

    // Replaces the `oldlen` bytes at `offset` with `newlen` bytes from
    // `record`, moving the rest of the table. Done in place when the buffer
    // has room; otherwise the table moves to a new buffer with room to grow
    // by a sixteenth, so that a run of edits (glyphs stored one after
    // another) does not copy the whole table each time. False, and the
    // table unchanged, when the range is not in the table or no memory is
    // left.
    bool splice(size_t offset, size_t oldlen, const unsigned char* record, size_t newlen);
    // Tells the table that its buffer holds `room` bytes (at least the
    // padded length), for a caller that allocated it with room to grow.
    void set_room(size_t room);
    // The headroom splice gives a table of n bytes.
    static size_t growth_room(size_t n);

    // Adds `delta` to the `count` big-endian numbers of `width` (2 or 4)
    // bytes from `offset` on, wrapping; recorded as the one number, not
    // the bytes. False, nothing changed, when they are not in the table.
    bool shift_entries(size_t offset, size_t count, int width, int64_t delta);

    // Names the undo step of the edit that follows (font_history), when
    // the font keeps a history.
    void checkpoint(const std::string& name);

    // The bytes were changed behind the table's back (an undo or redo):
    // a table that keeps state decoded from its bytes reads it again, and
    // a view shows the new bytes.
    virtual void refresh();

    // Text typed into the view's fields and not entered is a pending
    // edit (typed_fields.cpp): storing it enters it, as Enter does.
    bool has_pending() const override;
    std::string pending_text() const override;
    bool store_pending(std::string* why) override;
    void discard_pending() override;
    // Whether the fields' text edits the table; the editors whose fields
    // only choose what their canvas shows (glyf, EBDT) say no.
    bool typed_text_edits = true;

    // The history's swap of the whole buffer, room and all.
    void kit_swap_buffer(unsigned char** buffer, unsigned long* length, size_t* room);

    // Whether the bytes were changed (written, spliced, shifted, replaced,
    // undone or redone) since the font was loaded or set up; save brings
    // the values that follow from a changed table up to date.
    bool changed_since_load() const { return fChanged; }
    // The bytes as they stand are the font as loaded.
    void mark_loaded() { fChanged = false; }
    // How many times the bytes changed (a write, a splice, a shift, a new
    // buffer, an undo or redo): a window that copied them knows by this
    // whether to copy them again.
    uint64_t changes() const { return fChanges; }
    // Moves with every change of the bytes, and no two states of any
    // table's bytes in this process share one, even across tables made
    // anew: a copy taken at the same stamp holds the same bytes.
    uint64_t stamp() const { return fStamp; }
    // Counts a change of the bytes, here and in the owner. The table's own
    // edits count theirs; an undo that trades bytes back in place counts
    // its own.
    void changed();

    ttf* owner;
    unsigned long tag;
    unsigned char* data;
    unsigned long length;

  private:
    // The owner's history when it records changes now, else null.
    font_history* recorder() const;
    void before_write(size_t off, size_t n) override;
    void set_buffer(unsigned char* newdata, unsigned long newlength);

    // Bytes the buffer is known to hold; 0 when it came from elsewhere and
    // only its padded length can be relied on.
    size_t fRoom = 0;
    bool fChanged = false;
    uint64_t fChanges = 0;
    uint64_t fStamp;
};

#endif

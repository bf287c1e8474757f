// glyph_copy: the records one glyph is drawn from, copied out of the font:
// its own and those of its components at any depth, with its advance
// width. Taken with the font locked (as long as copying the records
// takes), it lets the glyph be decoded and drawn while the font goes on
// being edited, and tells later whether the font still holds the same.
#ifndef TAVREL_OVERVIEW_GLYPH_COPY_H
#define TAVREL_OVERVIEW_GLYPH_COPY_H

#include "font/glyf_records.h"

#include <cstddef>
#include <cstdint>
#include <vector>

class ttf;

class glyph_copy : public glyf_records {
  public:
    // What the copy holds of its glyph.
    enum kind_t {
        none,    // nothing taken yet, or the font has no such glyph
        empty,   // a glyph without outline
        outline, // a record to decode
        damaged, // its location or a record it needs cannot be read
    };

    // Copies glyph gno from `font`; call with the font locked. A glyph
    // whose records together pass `byte_limit` (far beyond any real glyph)
    // is taken as damaged, so a hostile font cannot make the copy huge.
    void take(ttf* font, unsigned gno, size_t byte_limit = (size_t)16 << 20);
    // Whether `font` still holds exactly what was copied (same records,
    // same advance); call with the font locked.
    bool same_as(ttf* font) const;

    // Decodes the copied glyph into g (made for glyph gno): 0, or -1 when
    // the copy is damaged or the record cannot be read.
    int decode(glyph* g) const;

    kind_t kind() const { return fKind; }
    unsigned gno() const { return fGno; }
    // Advance width in font units; -1 when the font gives none.
    int advance() const { return fAdvance; }
    // Heap bytes the copy holds.
    size_t memory() const { return fBytes.capacity() + fEntries.capacity() * sizeof(entry); }

    status record(unsigned gi, byte_span* rec) const override;

  private:
    struct entry {
        uint16_t gi;
        uint8_t state;           // a glyf_records::status
        uint32_t offset, length; // in fBytes
    };
    static void read(ttf* font, unsigned gi, entry* e, byte_span* rec);
    const entry* find(unsigned gi) const;

    unsigned fGno = 0;
    kind_t fKind = none;
    int fAdvance = -1;
    // Sorted by glyph number.
    std::vector<entry> fEntries;
    std::vector<unsigned char> fBytes;
};

// The advance width of glyph gno in font units, -1 when hmtx has none;
// call with the font locked.
int glyph_advance(ttf* font, unsigned gno);

#endif

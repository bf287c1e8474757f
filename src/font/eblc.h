// ttf_eblc: where each embedded bitmap glyph of each strike lies.
//
// Layout (big-endian):
//   0   u32 version, 4 u32 numSizes
//   8 + 48s  bitmapSizeTable of strike s:
//     0 u32 indexSubTableArrayOffset (from the start of EBLC)
//     4 u32 indexTablesSize, 8 u32 numberOfIndexSubTables, 12 u32 colorRef
//     16 hori and 28 vert line metrics (12 bytes each)
//     40 u16 startGlyphIndex, 42 u16 endGlyphIndex
//     44 u8 ppemX, 45 u8 ppemY, 46 u8 bitDepth, 47 u8 flags
//   index subtable array: per subtable u16 firstGlyphIndex,
//     u16 lastGlyphIndex, u32 additionalOffsetToIndexSubtable (from the
//     array's start)
//   index subtable: u16 indexFormat, u16 imageFormat, u32 imageDataOffset
//     (into EBDT), then by format:
//     1  u32 offsets[n + 1]            3  u16 offsets[n + 1]
//     2  u32 imageSize, big metrics    4  u32 numGlyphs, {u16 glyph,
//     5  u32 imageSize, big metrics,      u16 offset}[numGlyphs + 1]
//        u32 numGlyphs, u16 glyphs[numGlyphs]
//
// Every count and offset is checked against the table: an entry that lies
// outside it is not found.
#ifndef TAVREL_FONT_EBLC_H
#define TAVREL_FONT_EBLC_H

#include "font/field_list_view.h"

class bitmap;

class ttf_ebdt;

// Where one glyph's image lies in EBDT, and the index entry that says so.
struct bitmap_location {
    unsigned long offset; // from the start of EBDT
    unsigned long size;   // the image's bytes as the index gives them
    unsigned short imageFormat;
    unsigned short indexFormat;
    size_t strike;   // the strike's number
    size_t entry;    // its index subtable array record, from the start of EBLC
    size_t subtable; // the index subtable, from the start of EBLC
};

class ttf_eblc : public ttf_field_list {
  public:
    ttf_eblc(ttf* owner, unsigned char* data, unsigned long length);

    // Looks up b's glyph in the first strike with b's ppem pair. Index
    // formats 2 and 5 hold the metrics, which are copied into b. Returns 0
    // found; 1 no such strike, glyph in none of its ranges, a missing
    // (empty) image or an entry outside the table; 2 unsupported index
    // format or a strike whose bit depth is not 1.
    int get_offset(bitmap* b, unsigned long* offset, unsigned short* imageFormat);
    int get_location(bitmap* b, bitmap_location* where);

    // The distinct (ppemX, ppemY) pairs of all strikes, in order of first
    // appearance, as byte pairs: at most `capacity` pairs are stored and
    // *count says how many were. Returns 0, or -1 when the font has more
    // distinct pairs than that (the first `capacity` are stored). Room for
    // strike_count() pairs always suffices.
    int get_sizes(int* count, unsigned char* pairs, int capacity);

    // The strikes that lie wholly inside the table.
    int strike_count();

    // Whether an index entry other than the one `where` came from (another
    // strike's, or another glyph's) names EBDT bytes that overlap the image
    // of glyph gno at `where`: an edit there would change that one too.
    bool image_shared(const bitmap_location& where, unsigned short gno);

    // Gives b's image bytes of its own, so that it can be edited alone:
    // the images of its index subtable are copied to the end of EBDT and
    // the subtable points there. A subtable that other entries read too is
    // first copied, with the strike's whole index, to the end of EBLC for
    // that strike alone. Every glyph of every strike reads as before.
    // `where` then says where the image is. False when the index cannot be
    // taken apart soundly (overlapping structures, copies out of all
    // proportion) or memory ran out.
    bool unshare(bitmap* b, bitmap_location* where, ttf_ebdt* ebdt);

  protected:
    // The view: the header and every strike's record as a field list
    // (eblc_view.cpp), one column per strike.
    const field_layout& fields() const override;
    int record_count() override;
};

#endif

// ttf_loca: where each glyph's record lies inside the glyf table.
//
// Long format (head indexToLocFormat 1): numGlyphs + 1 u32 byte offsets.
// Short format (0): numGlyphs + 1 u16 values, each the offset divided by 2.
// Glyph g's record runs from entry g to entry g + 1.
#ifndef TAVREL_FONT_LOCA_H
#define TAVREL_FONT_LOCA_H

#include "font/ttf_table.h"

class ttf_loca : public ttf_table {
  public:
    ttf_loca(ttf* owner, unsigned char* data, unsigned long length);

    void create_default();
    // Returns 0, or -1 when entry gno does not exist or the entries run
    // backwards (a damaged table).
    int get_offset(bool is32, int gno, unsigned long* offset, unsigned long* length);
    // Glyph gno's record now has newlength bytes: moves every later entry by
    // the change. A short table that cannot hold the new offsets is widened
    // to the long format (and head's indexToLocFormat set to 1).
    int chg_length(bool is32, int gno, unsigned long newlength);

  private:
    bool find(bool is32, int gno, uint32_t* start, uint32_t* end);
    bool widen();
};

#endif

// font_follower: keeps a font checker in step with the open font. With the
// font's window locked, take() copies what changed since the last call
// (everything for a font not seen before); outside the lock, apply() has
// the checker check it: a whole check, the stored glyphs alone, or the
// changed tables with what reads them.
#ifndef TAVREL_CHECKWINDOW_FONT_FOLLOWER_H
#define TAVREL_CHECKWINDOW_FONT_FOLLOWER_H

#include "check/checker.h"

#include <cstdint>
#include <map>
#include <utility>
#include <vector>

class ttf;

// What changed, copied out of the font.
struct font_update {
    enum kind_t { NONE, NO_FONT, WHOLE, GLYPHS, TABLES };
    kind_t kind = NONE;
    byte_vector image;
    std::vector<std::pair<unsigned, byte_vector>> glyphs;
    std::vector<table_copy> tables;
    // Whether a save will work out head's box and hhea's extremes afresh.
    bool derived_at_save = false;
};

class font_follower {
  public:
    // Call with the font's window locked; `font` may be null.
    font_update take(ttf* font);
    // Call outside the lock.
    static void apply(font_update& update, font_checker* checker);

  private:
    void remember_tables(ttf* font);

    uint64_t fId = 0;
    uint64_t fChanges = 0;
    // Each table's change count when it was last copied.
    std::map<uint32_t, uint64_t> fTables;
};

#endif

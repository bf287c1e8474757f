// cell_content: what one cell of the glyph overview shows, copied from the
// font with it locked: the glyph's records (or its image in a bitmap
// strike) and the first character mapped to it.
#ifndef TAVREL_OVERVIEW_CELL_CONTENT_H
#define TAVREL_OVERVIEW_CELL_CONTENT_H

#include "overview/glyph_copy.h"
#include "overview/overview_model.h"

#include <cstdint>
#include <vector>

class ttf;

// One glyph's image in one bitmap strike.
struct strike_copy {
    enum kind_t {
        absent,      // the strike has no image for the glyph
        unsupported, // the strike's images are not one bit per pixel
        damaged,     // the index points outside the tables, or the image cannot be read
        image,
    };
    kind_t kind = absent;
    int width = 0, height = 0, bearingx = 0, bearingy = 0;
    std::vector<uint8_t> pixels; // width x height, 1 ink, rows from the top

    // Copies glyph gno's image in `strike`; call with the font locked.
    void take(ttf* font, unsigned gno, const strike_size& strike);
    bool operator==(const strike_copy& o) const {
        return kind == o.kind && width == o.width && height == o.height && bearingx == o.bearingx &&
               bearingy == o.bearingy && pixels == o.pixels;
    }
};

struct cell_content {
    unsigned gno = 0;
    uint32_t code = char_map::no_char;
    // -1 for the outline, else the strike (font_facts::strikes) shown.
    int strike = -1;
    glyph_copy outline;
    strike_copy picture;

    // Copies what the cell shows; call with the font locked.
    void take(ttf* font, unsigned glyph, int strikeindex, const font_facts& facts,
              uint32_t firstcode);
    // Whether the font still holds the same for this cell; call with it
    // locked.
    bool same_as(ttf* font, const font_facts& facts) const;
    size_t memory() const { return outline.memory() + picture.pixels.capacity(); }
};

#endif

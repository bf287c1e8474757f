#include "font/hhea.h"

#include "font/ttf.h"

ttf_hhea::ttf_hhea(ttf* owner, unsigned char* data, unsigned long length)
    : ttf_field_list(owner, tag_of("hhea"), data, length) {
    if (!data)
        create_default();
}

void ttf_hhea::create_default() {
    replace_data(malloc32(HHEA_LENGTH), HHEA_LENGTH);
    byte_writer w = writer();
    w.put32(0, 0x00010000);
    w.put16(4, 512);  // Ascender
    w.put16(10, 512); // advanceWidthMax
    w.put16(16, 512); // xMaxExtent
    w.put16(18, 1);   // caretSlopeRise
    // Every glyph of a new font has its own full metric entry.
    w.put16(34, owner && owner->setup ? (uint16_t)owner->setup->glyphcount : 0);
}

unsigned ttf_hhea::numhmtx() const {
    return bytes().u16(34);
}

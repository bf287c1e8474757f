#include "font/os2.h"

#include "font/ttf.h"

ttf_os2::ttf_os2(ttf* owner, unsigned char* data, unsigned long length)
    : ttf_field_list(owner, tag_of("OS/2"), data, length) {
    if (!data)
        create_default();
}

void ttf_os2::create_default() {
    replace_data(malloc32(OS2_LENGTH), OS2_LENGTH);
    byte_writer w = writer();
    const uint16_t head[16] = {1, 512, 500, 5, 4, 256, 256, 0, 256, 256, 256, 0, 256, 16, 256, 0};
    for (size_t i = 0; i < 16; i++)
        w.put16(2 * i, head[i]);
    const uint8_t panose[10] = {2, 0, 5, 9, 0, 0, 0, 0, 0, 0};
    for (size_t i = 0; i < 10; i++)
        w.put8(32 + i, panose[i]);

    // Block i of the set-up record sets bit i of the 96-bit Unicode range
    // (ulUnicodeRange1 holds bits 0-31, 2 holds 32-63, 3 holds 64-95).
    uint32_t range[3] = {0, 0, 0};
    if (owner && owner->setup) {
        for (int i = 0; i <= 70; i++)
            if (owner->setup->blocks[i])
                range[i / 32] |= 1u << (i % 32);
    }
    for (size_t k = 0; k < 3; k++)
        w.put32(42 + 4 * k, range[k]);
    const char vendor[4] = {'M', 'o', 's', 'k'};
    for (size_t i = 0; i < 4; i++)
        w.put8(58 + i, (uint8_t)vendor[i]);
    w.put16(62, 0x0040); // fsSelection: regular
    // The lowest and highest characters the new font maps (U+0000 is the
    // missing glyph, never mapped); both 0 when it maps none.
    uint16_t first = 0, last = 0;
    if (owner && owner->setup) {
        for (uint32_t c = 1; c <= 0xFFFF; c++) {
            if (!owner->setup->chars[c])
                continue;
            if (!first)
                first = (uint16_t)c;
            last = (uint16_t)c;
        }
    }
    w.put16(64, first); // usFirstCharIndex
    w.put16(66, last);  // usLastCharIndex
    w.put16(68, 512);   // sTypoAscender
    w.put16(74, 512);   // usWinAscent
    w.put32(78, 0xFFFFFFFF);
    w.put32(82, 0xFFFFFFFF);
}

#include "font/post.h"

ttf_post::ttf_post(ttf* owner, unsigned char* data, unsigned long length)
    : ttf_field_list(owner, tag_of("post"), data, length) {
    if (!data)
        create_default();
}

// Format 3.0: no glyph names.
void ttf_post::create_default() {
    replace_data(malloc32(POST_LENGTH), POST_LENGTH);
    byte_writer w = writer();
    w.put32(0, 0x00030000);
    w.put32(4, 0x00140000); // italicAngle 20.0
    w.put16(10, 20);        // underlineThickness
}

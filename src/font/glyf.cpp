#include "font/glyf.h"

// A new font starts with an empty glyf table: every glyph is empty.
ttf_glyf::ttf_glyf(ttf* owner, unsigned char* data, unsigned long length)
    : ttf_table(owner, tag_of("glyf"), data, length)
{
}

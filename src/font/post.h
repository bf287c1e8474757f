// ttf_post: the PostScript table ("post"). Only the 32-byte header is
// interpreted; glyph names of format 2.0 that follow it are kept as loaded.
//
// Header (big-endian):
//   0  Fixed FormatType           16 u32 minMemType42
//   4  Fixed italicAngle          20 u32 maxMemType42
//   8  i16   underlinePosition    24 u32 minMemType1
//   10 i16   underlineThickness   28 u32 maxMemType1
//   12 u32   isFixedPitch
#ifndef TAVREL_FONT_POST_H
#define TAVREL_FONT_POST_H

#include "font/field_list_view.h"

const unsigned long POST_LENGTH = 32;

class ttf_post : public ttf_field_list {
  public:
    ttf_post(ttf* owner, unsigned char* data, unsigned long length);

    void create_default();

  protected:
    // The view: a field list with one editable field (post_view.cpp).
    const field_layout& fields() const override;
};

#endif

// ttf_ebdt: the embedded bitmap images.
//
// Layout: u32 version, then the images EBLC points at. An image is glyph
// metrics (by image format: 1 and 2 small, 5 none (they are in EBLC), 6 and 7
// big) followed by one bit per pixel, most significant bit first, rows from
// the top; formats 1 and 6 start every row on a new byte, 2, 5 and 7 pack
// the rows back to back.
//   small metrics: u8 height, u8 width, s8 bearingX, s8 bearingY, u8 advance
//   big metrics:   the same five, then s8 vertBearingX, s8 vertBearingY,
//                  u8 vertAdvance
//
// Images are edited in place: an image keeps its size and format. One that
// other index entries name too is first given bytes of its own at the end
// of the table (eblc_share.cpp).
#ifndef TAVREL_FONT_EBDT_H
#define TAVREL_FONT_EBDT_H

#include "font/ttf_table.h"

class bitmap;

class ttf_ebdt : public ttf_table {
  public:
    ttf_ebdt(ttf* owner, unsigned char* data, unsigned long length);

    // Reads the image at `offset` into b (metrics of formats 1, 2, 6 and 7,
    // and the pixels). `size` is the image's length as EBLC gives it; the
    // image must lie inside it and inside the table. Returns 0 decoded;
    // 1 unsupported image format; 2 empty image (pixels null); 3 the image
    // lies outside its slot or the table. b is unchanged on 1 and 3.
    int decode(unsigned long offset, unsigned short imageFormat, bitmap* b,
               unsigned long size = ~0UL);

    // Writes b's pixels over the image at `offset`, leaving the metrics
    // there as they are. Returns 0 written; 1 unsupported image format;
    // 2 empty image; 3 the image lies outside its slot or the table, or the
    // metrics stored there do not match b's size (nothing written).
    int encode(const bitmap* b, unsigned long offset, unsigned short imageFormat,
               unsigned long size = ~0UL);
    // What encode would return, without writing.
    int check(const bitmap* b, unsigned long offset, unsigned short imageFormat,
              unsigned long size = ~0UL);

    // Tells the editor views (font/table_views.h) that the images changed.
    void refresh() override;

    // The bitmap editor's palette and edit view, children of this view,
    // when the editor layer made them (font/table_views.h); else null.
    BView* toolview = nullptr;
    BView* editview = nullptr;
};

#endif

// ttf_glyf: the glyph data table. Keeps the table's bytes and converts one
// glyph record at a time to and from an editable glyph.
//
// Record layout (big-endian, from the record's start):
//   0   int16   numberOfContours (negative: composite)
//   2   int16x4 xMin, yMin, xMax, yMax
//   10  ...     simple body (endPts, instructions, flags, x, y) or
//               composite body (component entries)
#ifndef TAVREL_FONT_GLYF_H
#define TAVREL_FONT_GLYF_H

#include "font/ttf_table.h"

class glyph;
struct glyf_info_cache;

class ttf_glyf : public ttf_table {
public:
    ttf_glyf(ttf* owner, unsigned char* data, unsigned long length);

    int decode(unsigned long offset, unsigned long length, glyph* g);
    int encode(const glyph* g, unsigned long* offset, unsigned long* length);
    int get_info(unsigned short gno, unsigned short* depth, unsigned short* components,
                 unsigned short* contours, unsigned short* points);
    // The same, sharing results between calls through `cache`; a damaged
    // glyph (cycle, truncated record, nesting too deep) gives -1 and zeros.
    int get_info(unsigned short gno, unsigned short* depth, unsigned short* components,
                 unsigned short* contours, unsigned short* points, glyf_info_cache* cache);
    int get_rect(unsigned short gno, short* xMin, short* yMin, short* xMax, short* yMax);

    // Tells the editor views (font/table_views.h) that the glyphs changed.
    void refresh() override;

    // The outline editor's palette and edit view, children of this view,
    // when the editor layer made them (font/table_views.h); else null.
    BView* toolview = nullptr;
    BView* editview = nullptr;
};

#endif

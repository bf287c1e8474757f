// ttf_hhea: the horizontal header ("hhea").
//
// Layout (36 bytes, big-endian):
//   0  Fixed tableVersionNumber     18 i16 caretSlopeRise
//   4  i16   Ascender               20 i16 caretSlopeRun
//   6  i16   Descender              22 i16 reserved (x5, to 31)
//   8  i16   LineGap                32 i16 metricDataFormat
//   10 u16   advanceWidthMax        34 u16 numberOfHMetrics
//   12 i16   minLeftSideBearing
//   14 i16   minRightSideBearing
//   16 i16   xMaxExtent
#ifndef TAVREL_FONT_HHEA_H
#define TAVREL_FONT_HHEA_H

#include "font/field_list_view.h"

const unsigned long HHEA_LENGTH = 36;

class ttf_hhea : public ttf_field_list {
  public:
    ttf_hhea(ttf* owner, unsigned char* data, unsigned long length);

    void create_default();
    unsigned numhmtx() const;

  protected:
    // The view: a read-only field list (hhea_view.cpp).
    const field_layout& fields() const override;
};

#endif

// ttf_head: the font header table ("head").
//
// Layout (54 bytes, big-endian):
//   0  Fixed  tableVersionNumber     28 i64  modified
//   4  Fixed  fontRevision           36 i16  xMin
//   8  u32    checkSumAdjustment     38 i16  yMin
//   12 u32    magicNumber            40 i16  xMax
//   16 u16    flags                  42 i16  yMax
//   18 u16    unitsPerEm             44 u16  macStyle
//   20 i64    created                46 u16  lowestRecPPEM
//                                    48 i16  fontDirectionHint
//                                    50 i16  indexToLocFormat (1 = long)
//                                    52 i16  glyphDataFormat
// Dates count seconds since 1904-01-01 00:00 UTC.
#ifndef TAVREL_FONT_HEAD_H
#define TAVREL_FONT_HEAD_H

#include "font/field_list_view.h"

#include <ctime>

const unsigned long HEAD_LENGTH = 54;

// 1904-01-01 00:00:00 UTC as a Unix time: 66 years with 17 leap days
// before 1970. Dates in a font count from there whatever the local zone.
const time_t EPOCH_1904_UTC = -(time_t)((66 * 365 + 17) * 86400LL);

class ttf_head : public ttf_field_list {
  public:
    ttf_head(ttf* owner, unsigned char* data, unsigned long length);

    void create_default();
    unsigned unitsperem() const;
    bool is32loca() const;
    BRect bounds() const;
    // Stamps the modified date, and the created date while it is still 0.
    void update();
    void setsum(unsigned long v);

    // Switches the loca format flag (used when a short loca is widened).
    void set_is32loca(bool is32);

    // 1904-01-01 00:00:00 UTC as a time_t.
    time_t epoch1904;

  protected:
    // The view: a read-only field list (head_view.cpp).
    const field_layout& fields() const override;
};

#endif

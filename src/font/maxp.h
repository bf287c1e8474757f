// ttf_maxp: the maximum profile ("maxp", version 1.0).
//
// Layout (32 bytes, big-endian):
//   0  Fixed tableVersionNumber        18 u16 maxStorage
//   4  u16   numGlyphs                 20 u16 maxFunctionDefs
//   6  u16   maxPoints             *   22 u16 maxInstructionDefs
//   8  u16   maxContours           *   24 u16 maxStackElements
//   10 u16   maxCompositePoints    *   26 u16 maxSizeOfInstructions
//   12 u16   maxCompositeContours  *   28 u16 maxComponentElements  *
//   14 u16   maxZones                  30 u16 maxComponentDepth     *
//   16 u16   maxTwilightPoints
// (*) recomputed from the glyf table by update() before every save.
#ifndef TAVREL_FONT_MAXP_H
#define TAVREL_FONT_MAXP_H

#include "font/field_list_view.h"

const unsigned long MAXP_LENGTH = 32;

class ttf_maxp : public ttf_field_list {
  public:
    ttf_maxp(ttf* owner, unsigned char* data, unsigned long length);

    void create_default();
    unsigned numglyphs() const;
    void update();

  protected:
    // The view: a field list with one editable field (maxp_view.cpp).
    const field_layout& fields() const override;
};

#endif

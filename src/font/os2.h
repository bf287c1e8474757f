// ttf_os2: the OS/2 and Windows metrics table ("OS/2"), version 1 layout.
//
//   0  u16 version               32 u8x10 panose
//   2  i16 xAvgCharWidth         42 u32 ulUnicodeRange1 (bits 0-31)
//   4  u16 usWeightClass         46 u32 ulUnicodeRange2 (bits 32-63)
//   6  u16 usWidthClass          50 u32 ulUnicodeRange3 (bits 64-95)
//   8  u16 fsType                54 u32 ulUnicodeRange4
//   10 i16 ySubscriptXSize       58 u8x4 achVendID
//   12 i16 ySubscriptYSize       62 u16 fsSelection
//   14 i16 ySubscriptXOffset     64 u16 usFirstCharIndex
//   16 i16 ySubscriptYOffset     66 u16 usLastCharIndex
//   18 i16 ySuperscriptXSize     68 i16 sTypoAscender
//   20 i16 ySuperscriptYSize     70 i16 sTypoDescender
//   22 i16 ySuperscriptXOffset   72 i16 sTypoLineGap
//   24 i16 ySuperscriptYOffset   74 u16 usWinAscent
//   26 i16 yStrikeoutSize        76 u16 usWinDescent
//   28 i16 yStrikeoutPosition    78 u32 ulCodePageRange1
//   30 i16 sFamilyClass          82 u32 ulCodePageRange2
// Later versions are longer; their extra bytes are kept as loaded.
#ifndef TAVREL_FONT_OS2_H
#define TAVREL_FONT_OS2_H

#include "font/field_list_view.h"

const unsigned long OS2_LENGTH = 86;

class ttf_os2 : public ttf_field_list {
  public:
    ttf_os2(ttf* owner, unsigned char* data, unsigned long length);

    void create_default();

  protected:
    // The view: a read-only field list in three columns (os2_view.cpp).
    const field_layout& fields() const override;
};

#endif

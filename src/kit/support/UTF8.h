// Text encoding conversions to and from UTF-8, with the platform's
// conversion constants. Conversion stops where the output is full or where
// the input ends inside a character; *srcLen and *dstLen then say how many
// bytes were consumed and written, so a caller can continue. Characters that
// cannot be converted become the substitute character.
#ifndef _UTF8_H
#define _UTF8_H

#include <SupportDefs.h>

enum {
    B_ISO1_CONVERSION,
    B_ISO2_CONVERSION,
    B_ISO3_CONVERSION,
    B_ISO4_CONVERSION,
    B_ISO5_CONVERSION,
    B_ISO6_CONVERSION,
    B_ISO7_CONVERSION,
    B_ISO8_CONVERSION,
    B_ISO9_CONVERSION,
    B_ISO10_CONVERSION,
    B_MAC_ROMAN_CONVERSION,
    B_SJIS_CONVERSION,
    B_EUC_CONVERSION,
    B_JIS_CONVERSION,
    B_MS_WINDOWS_CONVERSION,
    B_UNICODE_CONVERSION,
};

#define B_SUBSTITUTE 0x1A

// Only B_UNICODE_CONVERSION (big-endian 16-bit units; characters outside the
// Basic Multilingual Plane travel as surrogate pairs), B_SJIS_CONVERSION
// (Shift-JIS with the Windows code page's ASCII half, so "\" and "~" keep
// their meaning) and B_MAC_ROMAN_CONVERSION (Mac OS Roman as Apple maps it,
// 0xDB being the euro sign) are available; other encodings give B_ERROR.
// Null pointers or negative lengths give B_BAD_VALUE.
status_t convert_to_utf8(uint32 srcEncoding, const char* src, int32* srcLen, char* dst,
                         int32* dstLen, int32* state, char substitute = B_SUBSTITUTE);
status_t convert_from_utf8(uint32 dstEncoding, const char* src, int32* srcLen, char* dst,
                           int32* dstLen, int32* state, char substitute = B_SUBSTITUTE);

#endif

// Glyph names of the post table: which glyph a name belongs to.
//
// Layout (big-endian), after the 32-byte header whose first field is the
// format (Fixed):
//   1.0  no data: the glyphs carry the 258 standard Macintosh names
//   2.0  u16 numGlyphs, u16 glyphNameIndex[numGlyphs], then Pascal strings
//        (a length byte, then the characters); an index below 258 is a
//        standard name, index 258 + k the k-th string
//   2.5  u16 numGlyphs, i8 offset[numGlyphs]: glyph g has standard name
//        g + offset[g]
//   3.0  no names
#ifndef TAVREL_OVERVIEW_POST_NAMES_H
#define TAVREL_OVERVIEW_POST_NAMES_H

#include "font/bytes.h"

#include <string>

// The glyph below `glyphs` named `name`, the lowest when several are;
// -1 when none is or the table has no names. Reads nothing outside `post`.
int post_glyph_named(const byte_span& post, const std::string& name, unsigned glyphs);

// The name of glyph gno, empty when the table gives none.
std::string post_glyph_name(const byte_span& post, unsigned gno);

#endif

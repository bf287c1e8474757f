// glyph_paste: whole glyphs of a font taken for the clipboard, and glyphs
// from the clipboard stored in place of a font's glyphs, all of them as
// one step of the font's history.
#ifndef TAVREL_FONT_GLYPH_PASTE_H
#define TAVREL_FONT_GLYPH_PASTE_H

#include "font/bytes.h"
#include "font/glyph_clip.h"

#include <string>
#include <vector>

class ttf;

// The instructions of the simple glyph record `rec` (none for any other).
std::vector<uint8_t> record_instructions(const byte_span& rec);

// Glyph gno of `font` as the clipboard carries it: contours or components
// and instructions, in font units. False, with the reason in *why, when
// the glyph cannot be read whole.
bool clip_of_font_glyph(ttf& font, unsigned gno, glyph_clip* out, std::string* why);

// Stores clips.glyphs[i] in place of glyph onto[i], for every i, as one
// step of the font's history named "Paste N glyphs" (N the count). Glyphs
// from a font of another unitsPerEm are scaled first (rounded), which
// *notice then says (else it is emptied). All or nothing: false, with the
// reason in *why and the font as it was, when a glyph cannot be stored
// (no such glyph, a component the font lacks or that would make a glyph
// contain itself, a glyph with variations whose points would change, a
// coordinate that does not fit once scaled). `onto` and clips.glyphs hold
// the same count.
bool paste_glyph_clips(ttf& font, const glyph_clips& clips, const std::vector<unsigned>& onto,
                       std::string* notice, std::string* why);

#endif

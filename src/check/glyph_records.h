// Decoding glyph records for the checker: each record once into a
// glyph_summary (with the findings about the record itself), and the
// composites resolved into what they amount to.
#ifndef TAVREL_CHECK_GLYPH_RECORDS_H
#define TAVREL_CHECK_GLYPH_RECORDS_H

#include "check/check_context.h"

// Decodes glyph g's record; `numglyphs` bounds component glyph numbers.
void summarize_glyph(const table_set& t, const glyph_locations& where, unsigned numglyphs,
                     unsigned g, glyph_summary* s);

// Resolves every composite: depth, points, contours and box through its
// components; composites that contain themselves are marked as cycles.
void resolve_composites(const table_set& t, const glyph_locations& where,
                        const std::vector<glyph_summary>& glyphs,
                        std::vector<composite_summary>* out);

// Resolves again only the composites that use glyph g, directly or not.
void resolve_users_of(unsigned g, const table_set& t, const glyph_locations& where,
                      const std::vector<glyph_summary>& glyphs,
                      std::vector<composite_summary>* out);

#endif

// The component entries of composite glyph records: one reader, shared by
// the glyph codec and the walk that counts outlines for maxp, so that both
// agree on what a record holds and on how deep composites may nest.
//
// Entry layout (big-endian):
//   flags uint16, glyphIndex uint16,
//   two arguments: int16 or uint16 each with ARGS_ARE_WORDS, else a byte
//   each (signed offsets with ARGS_ARE_XY, else unsigned point numbers),
//   then one, two or four F2Dot14 values with HAVE_SCALE, HAVE_XY_SCALE or
//   HAVE_2X2.
// MORE_COMPONENTS says another entry follows; after the last one, an
// instruction count and the instructions follow when any entry has
// HAVE_INSTRUCTIONS.
#ifndef TAVREL_FONT_GLYF_COMPONENTS_H
#define TAVREL_FONT_GLYF_COMPONENTS_H

#include "font/bytes.h"

#include <cstddef>
#include <cstdint>

// How deep composites may nest, counted as maxp counts it (a composite of
// simple glyphs has depth 1). Deeper glyphs are damaged for every reader.
// Real fonts nest two or three deep.
const unsigned GLYF_MAX_COMPONENT_DEPTH = 16;

namespace glyf_flag {
constexpr uint16_t args_are_words = 0x0001;
constexpr uint16_t args_are_xy = 0x0002;
constexpr uint16_t round_xy_to_grid = 0x0004;
constexpr uint16_t have_scale = 0x0008;
constexpr uint16_t more_components = 0x0020;
constexpr uint16_t have_xy_scale = 0x0040;
constexpr uint16_t have_2x2 = 0x0080;
constexpr uint16_t have_instructions = 0x0100;
constexpr uint16_t use_my_metrics = 0x0200;
constexpr uint16_t overlap_compound = 0x0400;
constexpr uint16_t scaled_offset = 0x0800;
constexpr uint16_t unscaled_offset = 0x1000;
// The bits that decide an entry's form and size.
constexpr uint16_t form_bits = args_are_words | have_scale | have_xy_scale | have_2x2;
} // namespace glyf_flag

struct glyf_component {
    uint16_t flags = 0;
    uint16_t glyph = 0;
    // Offsets (signed) with ARGS_ARE_XY, else point numbers (unsigned).
    int32_t arg1 = 0, arg2 = 0;
    // F2Dot14; the identity when the entry has no transform.
    uint16_t xscale = 0x4000, scale01 = 0, scale10 = 0, yscale = 0x4000;
};

// Size in bytes of an entry with these flags.
inline size_t glyf_component_size(uint16_t flags) {
    size_t args = (flags & glyf_flag::args_are_words) ? 4 : 2;
    size_t transform = (flags & glyf_flag::have_scale)      ? 2
                       : (flags & glyf_flag::have_xy_scale) ? 4
                       : (flags & glyf_flag::have_2x2)      ? 8
                                                            : 0;
    return 4 + args + transform;
}

// Reads the entry at `pos` of `rec`. Returns the position after it, or 0
// when the entry runs past the end of `rec`.
inline size_t glyf_read_component(const byte_span& rec, size_t pos, glyf_component* c) {
    if (!rec.has(pos, 4))
        return 0;
    const uint16_t flags = rec.u16(pos);
    const size_t size = glyf_component_size(flags);
    if (!rec.has(pos, size))
        return 0;
    c->flags = flags;
    c->glyph = rec.u16(pos + 2);
    size_t at = pos + 4;
    const bool xy = (flags & glyf_flag::args_are_xy) != 0;
    if (flags & glyf_flag::args_are_words) {
        c->arg1 = xy ? rec.s16(at) : rec.u16(at);
        c->arg2 = xy ? rec.s16(at + 2) : rec.u16(at + 2);
        at += 4;
    } else {
        c->arg1 = xy ? rec.s8(at) : rec.u8(at);
        c->arg2 = xy ? rec.s8(at + 1) : rec.u8(at + 1);
        at += 2;
    }
    c->xscale = c->yscale = 0x4000;
    c->scale01 = c->scale10 = 0;
    if (flags & glyf_flag::have_scale) {
        c->xscale = c->yscale = rec.u16(at);
    } else if (flags & glyf_flag::have_xy_scale) {
        c->xscale = rec.u16(at);
        c->yscale = rec.u16(at + 2);
    } else if (flags & glyf_flag::have_2x2) {
        c->xscale = rec.u16(at);
        c->scale01 = rec.u16(at + 2);
        c->scale10 = rec.u16(at + 4);
        c->yscale = rec.u16(at + 6);
    }
    return pos + size;
}

#endif

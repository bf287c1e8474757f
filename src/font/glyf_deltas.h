// Reading the x and y deltas of a simple glyph's points.
#ifndef TAVREL_FONT_GLYF_DELTAS_H
#define TAVREL_FONT_GLYF_DELTAS_H

#include "font/bytes.h"

#include <cstddef>
#include <cstdint>

namespace glyf_deltas {

// Flag bits that say how a point's x and y deltas are stored.
const uint8_t x_short = 0x02, y_short = 0x04, x_same = 0x10, y_same = 0x20;

// How a point's delta is stored on each axis, by flag byte: its size (one
// byte when short, none when the coordinate repeats, else a word) and the
// factors that pick the value out of the next byte and the next word, so
// that reading a delta takes no branch on the flag (flags vary from point to
// point in ways no branch predictor follows).
struct delta_form {
    uint8_t size;
    int8_t byte_factor; // +1 or -1 for a short delta, else 0
    int8_t word_factor; // 1 for a word, else 0
};

struct delta_forms {
    delta_form x[256], y[256];
};

constexpr delta_form make_form(int f, int is_short, int same_or_positive) {
    if (f & is_short)
        return delta_form{1, (int8_t)((f & same_or_positive) ? 1 : -1), 0};
    if (f & same_or_positive)
        return delta_form{0, 0, 0};
    return delta_form{2, 0, 1};
}

constexpr delta_forms make_delta_forms() {
    delta_forms t{};
    for (int f = 0; f < 256; f++) {
        t.x[f] = make_form(f, x_short, x_same);
        t.y[f] = make_form(f, y_short, y_same);
    }
    return t;
}

constexpr delta_forms forms = make_delta_forms();

// Reads one delta in the given form; the caller has checked that the axis'
// bytes are all there (a read past the record gives 0 all the same).
inline int32_t read_delta(const byte_span& rec, size_t& pos, const delta_form& form) {
    const int32_t b0 = rec.u8(pos), b1 = rec.u8(pos + 1);
    const int32_t word = (int16_t)((b0 << 8) | b1);
    pos += form.size;
    return b0 * form.byte_factor + word * form.word_factor;
}

} // namespace glyf_deltas

#endif

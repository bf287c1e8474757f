// The EBLC layout shared by the look-up (eblc.cpp) and the taking apart
// of shared images (eblc_share.cpp); see eblc.h for the table's layout.
#ifndef TAVREL_FONT_EBLC_LAYOUT_H
#define TAVREL_FONT_EBLC_LAYOUT_H

#include "font/bytes.h"

#include <cstddef>

namespace eblc_layout {

const size_t HEADER = 8;
const size_t STRIKE = 48;
const size_t ARRAY_RECORD = 8;
const size_t SUBTABLE_HEADER = 8;

// The strikes that lie wholly inside the table.
inline size_t strikes_in(byte_span t) {
    if (t.size() < HEADER)
        return 0;
    size_t stored = t.u32(4);
    size_t fits = (t.size() - HEADER) / STRIKE;
    return stored < fits ? stored : fits;
}

} // namespace eblc_layout

#endif

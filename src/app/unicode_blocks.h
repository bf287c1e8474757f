// The Unicode blocks a new font can be built from, and the filling of the
// set-up record from the blocks that are ticked. A block's index is also its
// bit in the OS/2 table's Unicode range fields.
#ifndef TAVREL_APP_UNICODE_BLOCKS_H
#define TAVREL_APP_UNICODE_BLOCKS_H

#include <cstdint>

struct setupinfo;

struct unicode_block {
    uint16_t first;
    uint16_t last;
    char label[32];
};

const int BLOCK_COUNT = 71;
extern const unicode_block unicode_blocks[BLOCK_COUNT];

// Rebuilds the record from `ticked` (one flag per block): the block flags,
// U+0000 and every code of each ticked block chosen ("SPECIALS" also brings
// U+FEFF), and the number of chosen codes in both counters.
void setchrs(setupinfo* setup, const bool ticked[BLOCK_COUNT]);

#endif

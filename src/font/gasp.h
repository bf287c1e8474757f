// ttf_gasp: the grid-fitting and scan-conversion procedure table.
//
// Layout (big-endian):
//   0       u16 version
//   2       u16 numRanges
//   4 + 4i  u16 rangeMaxPPEM of range i (ascending)
//   6 + 4i  u16 rangeGaspBehavior of range i (1 grid-fitting, 2 grayscale,
//           4 and 8 the symmetric variants of version 1)
#ifndef TAVREL_FONT_GASP_H
#define TAVREL_FONT_GASP_H

#include "font/ttf_table.h"

class ttf_gasp : public ttf_table {
  public:
    ttf_gasp(ttf* owner, unsigned char* data, unsigned long length);

    // numRanges; a table cut short counts only the ranges inside it.
    int count();

    // Range `index`. Returns 1, outputs untouched, when index is out of range.
    int get_field(int index, unsigned short* maxppem, unsigned short* behavior);

    // Edits the ranges. With index >= 0 the range at index is meant; with
    // index < 0 the range whose rangeMaxPPEM equals maxppem, if any. A
    // non-zero maxppem sets that size's behaviour (overwriting in place, or
    // inserting the size where it keeps the sizes ascending); maxppem 0
    // deletes the meant range. Returns 0 done, 1 index past the end, 2
    // nothing to do, 3 out of memory (table unchanged).
    int set_field(int index, unsigned short maxppem, unsigned short behavior);
};

const int GASP_LABEL_SIZE = 64;

// The text the range list shows for a behaviour: the label of bits 0 and 1
// ("none", "Use gridfitting", ...), followed by " + flags %04x" with any
// further bits, which the editor does not know but carries through.
void gasp_label(unsigned short behavior, char label[GASP_LABEL_SIZE]);

#endif

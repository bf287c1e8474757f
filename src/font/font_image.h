// font_image: a font's bytes as one TrueType file holds them, copied
// quickly where the font lives and finished elsewhere.
//
// ttf::copy_image only copies: the directory with each table's offset and
// length, and every table back to back at a multiple of 4, zero-padded;
// finish() then computes what takes a pass over all the bytes (the
// tables' checksums and head's checkSumAdjustment), so that the thread
// that edits the font waits for the copy alone. Nothing is recomputed from
// the tables' fields: the image holds the font exactly as it stands.
#ifndef TAVREL_FONT_FONT_IMAGE_H
#define TAVREL_FONT_FONT_IMAGE_H

#include <cstddef>
#include <memory>

struct font_image {
    std::unique_ptr<unsigned char[]> bytes;
    size_t size = 0;

    // Sets the directory's checksums and head's checkSumAdjustment, so
    // that the whole image sums to 0xB1B0AFBA.
    void finish();
};

#endif

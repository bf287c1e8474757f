// font_copy: a font's bytes kept for another thread, copied again only
// where they changed. take() runs where the font lives (its owner locked)
// and copies the directory and the tables whose stamp moved since the last
// take; image() runs outside the lock and puts the file together as
// ttf::copy_image does, the tables that did not change taken from the
// last image, and finishes it.
#ifndef TAVREL_FONT_FONT_COPY_H
#define TAVREL_FONT_FONT_COPY_H

#include "font/font_image.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

class ttf;

class font_copy {
  public:
    // With the font's owner locked. False, and nothing kept, when a table
    // is missing or memory ran out.
    bool take(ttf& font);
    // Outside the lock, after a successful take: the font as a file, its
    // checksums set; null when memory ran out or take failed. Images are
    // never written to afterwards, so they may be shared.
    std::shared_ptr<font_image> image();
    // The table bytes the last take copied.
    size_t copied() const { return fCopied; }
    // Forgets everything: the next take copies every table.
    void clear();

  private:
    struct table {
        uint32_t tag = 0;
        uint64_t stamp = 0;
        uint32_t length = 0;
        // Copied by a take since the last image, padded to 4, in `bytes`;
        // else at `offset` in fLast.
        bool copied = false;
        size_t offset = 0;
        std::vector<unsigned char> bytes;
    };

    std::vector<unsigned char> fDir;
    std::vector<table> fTables;
    std::shared_ptr<font_image> fLast;
    size_t fCopied = 0;
    bool fTaken = false;
};

#endif

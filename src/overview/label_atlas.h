// label_atlas: the characters of the cells' number and code labels ("04e2",
// "U+4E2D"), each drawn once by the kit at the labels' size and kept as a
// coverage mask with its advance. Setting a label from these masks is
// plain pixel work, so cells can be painted on any thread while the kit's
// text drawing stays on the window's.
#ifndef TAVREL_OVERVIEW_LABEL_ATLAS_H
#define TAVREL_OVERVIEW_LABEL_ATLAS_H

#include <GraphicsDefs.h>

#include <cstdint>
#include <string>
#include <vector>

class label_atlas {
  public:
    // Draws the characters at `size` unless they are drawn at it already;
    // on the thread that may use the kit.
    void make(float size);
    bool made_for(float size) const { return fSize == size && fSize > 0; }
    // Whether every character of `text` is in the atlas.
    bool has(const std::string& text) const;
    // Sets `text` with its baseline's left end at (x, y) of an image of
    // width x height pixels (rows of `width`), blended in `ink` as the
    // kit's text is; characters not in the atlas are left out.
    void set(uint32_t* pixels, int width, int height, int x, int y, const std::string& text,
             rgb_color ink) const;

  private:
    struct mark {
        int advance = 0;
        int left = 0, top = 0; // of the mask, from the pen position on the baseline
        int width = 0, height = 0;
        std::vector<uint8_t> cover;
    };
    const mark* find(char c) const;

    float fSize = 0;
    std::vector<mark> fMarks; // in the order of the characters kept
};

#endif

// cell_painter: draws one cell of the glyph overview into an image of its
// own: the glyph filled anti-aliased from its outline (or its strike image
// magnified) in a square, and under it the glyph number in hexadecimal
// and the first character mapped to it with its code. An empty glyph
// leaves the square empty; a glyph that cannot be read is marked damaged.
#ifndef TAVREL_OVERVIEW_CELL_PAINTER_H
#define TAVREL_OVERVIEW_CELL_PAINTER_H

#include "overview/cell_content.h"
#include "overview/glyph_raster.h"
#include "overview/label_atlas.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class BBitmap;
class BView;
class glyph;

// Where the parts of a cell lie, for a glyph square of `size` pixels.
struct cell_geometry {
    int size = 64;   // the glyph square
    int width = 64;  // the cell's image
    int height = 90; // square and labels
    int square_x = 0;
    float font_size = 10;

    static cell_geometry for_size(int size);
    size_t image_bytes() const { return (size_t)width * height * 4; }
};

// Where font units land in the glyph square of a cell: the font's
// vertical extent fills the square less a pixel at top and bottom, and
// the glyph's advance is centred (its outline's box when it has no
// advance or a wider one).
raster_placement outline_placement(const font_facts& facts, int size, int advance, float xmin,
                                   float xmax);

// The labels: "0041", and "A U+0041" (empty when no character is mapped),
// the character in a desktop font. A cell whose glyph has an outline draws
// the character from that outline instead, beside "U+0041".
std::string cell_number_label(unsigned gno);
std::string cell_char_label(uint32_t code);

// What painting a cell needs of its own besides the image: the masks an
// outline is filled into. One per thread that paints.
struct cell_scratch {
    std::unique_ptr<coverage_mask> mask, small;
    std::vector<uint8_t> cover;
};

class cell_painter {
  public:
    cell_painter();
    ~cell_painter();
    cell_painter(const cell_painter&) = delete;
    cell_painter& operator=(const cell_painter&) = delete;

    // A new image of the cell; null when memory for it ran out. On the
    // thread that may use the kit.
    std::unique_ptr<BBitmap> paint(const cell_content& content, const font_facts& facts,
                                   const cell_geometry& g);

    // Readies render() for cells of geometry g; on the kit's thread, before
    // render() is called on others.
    void prepare(const cell_geometry& g);
    // Paints the cell into `pixels` (g.width x g.height) without the kit:
    // callable on any thread, each with its own scratch, while nothing
    // else uses this painter. False, with the pixels in no defined state,
    // for the cells only paint() draws: a damaged glyph's mark, a
    // character from a desktop font in the label, a strike's image.
    // `decoded` tells whether it decoded a glyph record.
    bool render(const cell_content& content, const font_facts& facts, const cell_geometry& g,
                cell_scratch& scratch, uint32_t* pixels, bool* decoded) const;
    // A blank image for a cell of geometry g; null when memory ran out.
    static std::unique_ptr<BBitmap> new_image(const cell_geometry& g);

    // Glyph records decoded and strike images drawn so far (by paint(), and
    // by render() as told here).
    uint64_t decodes() const { return fDecodes; }
    void count_decodes(uint64_t n) { fDecodes += n; }

  private:
    // Decodes the content's outline into gl (null for an empty glyph); false
    // when it is damaged or cannot be read.
    static bool decode(const cell_content& content, std::unique_ptr<glyph>* gl);
    // Fills the glyph square of an image with the decoded outline.
    static void paint_outline(const glyph& gl, const cell_content& content, const font_facts& facts,
                              const cell_geometry& g, cell_scratch& scratch, uint32_t* pixels);
    bool paint_strike(const cell_content& content, const font_facts& facts, const cell_geometry& g);
    // The decoded glyph, `size` pixels square at (left, top) of the label
    // strip, in the labels' ink.
    static void paint_small(const glyph& gl, const cell_content& content, const font_facts& facts,
                            const cell_geometry& g, int left, int top, int size,
                            cell_scratch& scratch, uint32_t* pixels);
    void ensure_canvas(const cell_geometry& g);

    BBitmap* fCanvas = nullptr;
    BView* fCanvasView = nullptr;
    int fCanvasW = 0, fCanvasH = 0;
    cell_scratch fScratch;
    label_atlas fAtlas;
    uint64_t fDecodes = 0;
};

#endif

#include "overview/cell_painter.h"

#include "outline/glyph.h"

#include <Bitmap.h>
#include <View.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <new>

namespace {

const rgb_color paper = {255, 255, 255, 255};
const rgb_color strip = {234, 234, 240, 255};
const rgb_color label_ink = {50, 50, 64, 255};
const rgb_color damage_paper = {255, 226, 222, 255};
const rgb_color damage_ink = {200, 30, 30, 255};

// "U+XXXX", or "U+XXXXX" past the Basic Multilingual Plane, and the
// character itself before it.
std::string utf8(uint32_t c) {
    std::string s;
    if (c < 0x80) {
        s += (char)c;
    } else if (c < 0x800) {
        s += (char)(0xC0 | (c >> 6));
        s += (char)(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        s += (char)(0xE0 | (c >> 12));
        s += (char)(0x80 | ((c >> 6) & 0x3F));
        s += (char)(0x80 | (c & 0x3F));
    } else {
        s += (char)(0xF0 | (c >> 18));
        s += (char)(0x80 | ((c >> 12) & 0x3F));
        s += (char)(0x80 | ((c >> 6) & 0x3F));
        s += (char)(0x80 | (c & 0x3F));
    }
    return s;
}

// Whether a character draws as something visible on its own: controls,
// separators and surrogates are shown by their code alone.
bool drawable(uint32_t c) {
    return c > 0x20 && c != 0xA0 && !(c >= 0x7F && c < 0xA0) && !(c >= 0xD800 && c < 0xE000) &&
           c != 0x2028 && c != 0x2029 && c <= 0x10FFFF;
}

} // namespace

cell_geometry cell_geometry::for_size(int size) {
    cell_geometry g;
    g.size = std::clamp(size, 8, 1024);
    g.font_size = g.size < 64 ? 9 : 10;
    int line = (int)g.font_size + 3;
    g.width = std::max(g.size, 56);
    g.height = g.size + 2 * line + 3;
    g.square_x = (g.width - g.size) / 2;
    return g;
}

raster_placement outline_placement(const font_facts& facts, int size, int advance, float xmin,
                                   float xmax) {
    raster_placement at;
    double extent = std::max(1, facts.top - facts.bottom);
    at.scale = (size - 2) / extent;
    at.y0 = std::round(1 + facts.top * at.scale);
    if (advance > 0 && advance * at.scale <= size)
        at.x0 = std::round((size - advance * at.scale) / 2);
    else if (xmin <= xmax)
        at.x0 = std::round(size / 2.0 - (xmin + xmax) / 2.0 * at.scale);
    else
        at.x0 = std::round(size / 2.0);
    return at;
}

std::string cell_number_label(unsigned gno) {
    char text[16];
    snprintf(text, sizeof text, "%04x", gno);
    return text;
}

std::string cell_char_label(uint32_t code) {
    if (code == char_map::no_char)
        return std::string();
    char text[16];
    snprintf(text, sizeof text, "U+%04X", code);
    return drawable(code) ? utf8(code) + " " + text : std::string(text);
}

cell_painter::cell_painter() = default;

cell_painter::~cell_painter() {
    delete fCanvas;
}

void cell_painter::ensure_canvas(const cell_geometry& g) {
    if (fCanvas && fCanvasW == g.width && fCanvasH == g.height)
        return;
    delete fCanvas;
    fCanvas = nullptr;
    fCanvasView = nullptr;
    fCanvas = new BBitmap(BRect(0, 0, g.width - 1, g.height - 1), B_BITMAP_ACCEPTS_VIEWS, B_RGB32);
    if (!fCanvas->IsValid()) {
        delete fCanvas;
        fCanvas = nullptr;
        return;
    }
    fCanvasView = new BView(fCanvas->Bounds(), "cell", B_FOLLOW_NONE, B_WILL_DRAW);
    fCanvas->AddChild(fCanvasView);
    fCanvasW = g.width;
    fCanvasH = g.height;
}

void cell_painter::prepare(const cell_geometry& g) {
    fAtlas.make(g.font_size);
}

std::unique_ptr<BBitmap> cell_painter::new_image(const cell_geometry& g) {
    std::unique_ptr<BBitmap> image(new (std::nothrow)
                                       BBitmap(BRect(0, 0, g.width - 1, g.height - 1), B_RGB32));
    if (!image || !image->IsValid())
        return nullptr;
    return image;
}

bool cell_painter::decode(const cell_content& content, std::unique_ptr<glyph>* gl) {
    gl->reset();
    const glyph_copy& copy = content.outline;
    if (copy.kind() == glyph_copy::damaged)
        return false;
    if (copy.kind() != glyph_copy::outline)
        return true;
    gl->reset(new glyph((unsigned short)content.gno));
    return copy.decode(gl->get()) == 0;
}

bool cell_painter::render(const cell_content& content, const font_facts& facts,
                          const cell_geometry& g, cell_scratch& scratch, uint32_t* pixels,
                          bool* decoded) const {
    *decoded = false;
    if (content.strike >= 0 || !fAtlas.made_for(g.font_size) ||
        content.outline.kind() == glyph_copy::damaged)
        return false;
    std::unique_ptr<glyph> gl;
    if (!decode(content, &gl))
        return false;
    const bool own = gl && (gl->count > 0 || gl->ncompo > 0) && content.code != char_map::no_char &&
                     drawable(content.code);
    // A character without an outline of its own comes from a desktop font.
    if (!own && content.code != char_map::no_char && drawable(content.code))
        return false;
    const uint32_t strip_px = 0xFF000000u | strip.red << 16 | strip.green << 8 | strip.blue;
    std::fill(pixels, pixels + (size_t)g.width * g.height, strip_px);
    for (int y = 0; y < g.size; y++)
        std::fill_n(pixels + (size_t)y * g.width + g.square_x, g.size, 0xFFFFFFFFu);
    if (gl)
        paint_outline(*gl, content, facts, g, scratch, pixels);
    const int line = (int)g.font_size + 3, s = g.size;
    fAtlas.set(pixels, g.width, g.height, 2, s + line - 1, cell_number_label(content.gno),
               label_ink);
    if (own) {
        char code[16];
        snprintf(code, sizeof code, "U+%04X", content.code);
        fAtlas.set(pixels, g.width, g.height, 2 + line + 2, s + 2 * line - 1, code, label_ink);
        paint_small(*gl, content, facts, g, 2, g.size + line + 1, line, scratch, pixels);
    } else if (content.code != char_map::no_char) {
        fAtlas.set(pixels, g.width, g.height, 2, s + 2 * line - 1, cell_char_label(content.code),
                   label_ink);
    }
    *decoded = (bool)gl;
    return true;
}

std::unique_ptr<BBitmap> cell_painter::paint(const cell_content& content, const font_facts& facts,
                                             const cell_geometry& g) {
    std::unique_ptr<BBitmap> image = new_image(g);
    if (!image)
        return nullptr;
    prepare(g);
    bool decoded;
    if (render(content, facts, g, fScratch, (uint32_t*)image->Bits(), &decoded)) {
        fDecodes += decoded;
        return image;
    }
    ensure_canvas(g);
    if (!fCanvas)
        return nullptr;
    BView* v = fCanvasView;
    const float s = (float)g.size;
    const BRect square(g.square_x, 0, g.square_x + s - 1, s - 1);
    fCanvas->Lock();
    v->SetHighColor(strip);
    v->FillRect(v->Bounds());
    v->SetHighColor(paper);
    v->FillRect(square);
    fCanvas->Unlock();

    std::unique_ptr<glyph> gl;
    bool readable = true;
    if (content.strike >= 0) {
        readable = paint_strike(content, facts, g);
    } else {
        fDecodes += content.outline.kind() == glyph_copy::outline;
        readable = decode(content, &gl);
        if (readable && gl)
            paint_outline(*gl, content, facts, g, fScratch, (uint32_t*)fCanvas->Bits());
    }
    // The character beside its code is drawn from the glyph itself when
    // it has an outline: as the font draws it, and without looking for a
    // desktop font that has it (which costs far more than the cell).
    const int line = (int)g.font_size + 3;
    const bool own = readable && gl && (gl->count > 0 || gl->ncompo > 0) &&
                     content.code != char_map::no_char && drawable(content.code);

    fCanvas->Lock();
    if (!readable) {
        // The record cannot be read: a crossed square says so.
        v->SetHighColor(damage_paper);
        v->FillRect(square);
        v->SetHighColor(damage_ink);
        v->SetPenSize(1);
        v->StrokeRect(square.InsetByCopy(2, 2));
        v->StrokeLine(square.LeftTop() + BPoint(2, 2), square.RightBottom() - BPoint(2, 2));
        v->StrokeLine(BPoint(square.right - 2, square.top + 2),
                      BPoint(square.left + 2, square.bottom - 2));
        v->SetFontSize(g.font_size);
        const char* word =
            content.picture.kind == strike_copy::unsupported ? "not 1-bit" : "damaged";
        float w = v->StringWidth(word);
        v->SetHighColor(paper);
        v->FillRect(BRect(square.left + (s - w) / 2 - 2, s / 2 - g.font_size + 1,
                          square.left + (s + w) / 2 + 1, s / 2 + 3));
        v->SetHighColor(damage_ink);
        v->DrawString(word, BPoint(square.left + (s - w) / 2, s / 2 + 1));
    }
    v->SetHighColor(label_ink);
    v->SetFontSize(g.font_size);
    v->DrawString(cell_number_label(content.gno).c_str(), BPoint(2, s + line - 1));
    if (own) {
        char code[16];
        snprintf(code, sizeof code, "U+%04X", content.code);
        v->DrawString(code, BPoint(2 + line + 2, s + 2 * line - 1));
    } else {
        std::string chr = cell_char_label(content.code);
        if (!chr.empty())
            v->DrawString(chr.c_str(), BPoint(2, s + 2 * line - 1));
    }
    fCanvas->Unlock();
    if (own)
        paint_small(*gl, content, facts, g, 2, g.size + line + 1, line, fScratch,
                    (uint32_t*)fCanvas->Bits());
    std::memcpy(image->Bits(), fCanvas->Bits(), g.image_bytes());
    return image;
}

void cell_painter::paint_outline(const glyph& gl, const cell_content& content,
                                 const font_facts& facts, const cell_geometry& g,
                                 cell_scratch& scratch, uint32_t* pixels) {
    BRect box = gl.bounds();
    raster_placement at =
        outline_placement(facts, g.size, content.outline.advance(), box.left, box.right);
    if (!scratch.mask || scratch.mask->width() != g.size)
        scratch.mask.reset(new coverage_mask(g.size, g.size));
    scratch.mask->clear();
    scratch.mask->fill(gl, at);
    std::vector<uint8_t>& cover = scratch.cover;
    scratch.mask->resolve(&cover);
    for (int y = 0; y < g.size; y++) {
        uint32_t* row = pixels + (size_t)y * g.width + g.square_x;
        const uint8_t* c = &cover[(size_t)y * g.size];
        for (int x = 0; x < g.size; x++) {
            if (c[x]) {
                uint32_t v = 255u - c[x];
                row[x] = 0xFF000000u | v << 16 | v << 8 | v;
            }
        }
    }
}

void cell_painter::paint_small(const glyph& gl, const cell_content& content,
                               const font_facts& facts, const cell_geometry& g, int left, int top,
                               int size, cell_scratch& scratch, uint32_t* pixels) {
    BRect box = gl.bounds();
    raster_placement at =
        outline_placement(facts, size, content.outline.advance(), box.left, box.right);
    if (!scratch.small || scratch.small->width() != size)
        scratch.small.reset(new coverage_mask(size, size));
    scratch.small->clear();
    scratch.small->fill(gl, at);
    scratch.small->resolve(&scratch.cover);
    for (int y = 0; y < size && top + y < g.height; y++) {
        for (int x = 0; x < size && left + x < g.width; x++) {
            unsigned c = scratch.cover[(size_t)y * size + x];
            if (!c)
                continue;
            uint32_t& p = pixels[(size_t)(top + y) * g.width + left + x];
            auto mix = [c](unsigned from, unsigned to) {
                return (from * (255 - c) + to * c) / 255;
            };
            p = 0xFF000000u | mix((p >> 16) & 0xFF, label_ink.red) << 16 |
                mix((p >> 8) & 0xFF, label_ink.green) << 8 | mix(p & 0xFF, label_ink.blue);
        }
    }
}

bool cell_painter::paint_strike(const cell_content& content, const font_facts& facts,
                                const cell_geometry& g) {
    const strike_copy& p = content.picture;
    if (p.kind == strike_copy::damaged || p.kind == strike_copy::unsupported)
        return false;
    if (p.kind != strike_copy::image || (size_t)content.strike >= facts.strikes.size())
        return true;
    fDecodes++;
    const strike_size& z = facts.strikes[(size_t)content.strike];
    // The strike's em square magnified to fill the glyph square.
    const double m = (double)g.size / std::max(z.ppemx, z.ppemy);
    const double ex = (g.size - z.ppemx * m) / 2, ey = (g.size - z.ppemy * m) / 2;
    const double baseline = ey + z.ascender * m;
    uint32_t* bits = (uint32_t*)fCanvas->Bits();
    for (int r = 0; r < p.height; r++) {
        for (int c = 0; c < p.width; c++) {
            if (!p.pixels[(size_t)r * p.width + c])
                continue;
            double x0 = ex + (p.bearingx + c) * m, y0 = baseline + (r - p.bearingy) * m;
            int ix0 = (int)std::floor(x0), iy0 = (int)std::floor(y0);
            int ix1 = std::max(ix0 + 1, (int)std::floor(x0 + m));
            int iy1 = std::max(iy0 + 1, (int)std::floor(y0 + m));
            for (int y = std::max(0, iy0); y < std::min(g.size, iy1); y++)
                for (int x = std::max(0, ix0); x < std::min(g.size, ix1); x++)
                    bits[(size_t)y * g.width + g.square_x + x] = 0xFF000000u;
        }
    }
    return true;
}

#include "preview/text_setter.h"

#include "font/font_image.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_BITMAP_H
#include FT_GASP_H
#include FT_OUTLINE_H

#include <hb-ft.h>
#include <hb.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

std::string freetype_error_text(int error) {
#undef FTERRORS_H_
#define FT_ERROR_START_LIST switch (error) {
#define FT_ERRORDEF(e, v, s)                                                                       \
    case v:                                                                                        \
        return s;
#define FT_ERROR_END_LIST }
#include FT_ERRORS_H
    char text[40];
    snprintf(text, sizeof text, "FreeType error 0x%02X", (unsigned)error);
    return text;
}

namespace {

// The glyphs a font may hold; beyond them a cache key would collide.
const uint64_t GLYPH_KEYS = 0x10000;
// Drawn glyphs kept before the cache starts again.
const size_t CACHE_LIMIT = 20000;
// The most pixels one glyph's bitmap may have: a 2000 x 2000 glyph, far
// past any size the waterfall shows.
const int64_t MAX_GLYPH_PIXELS = 1 << 22;

FT_Int32 load_flags(const preview_options& o) {
    switch (o.hinting) {
    case preview_hinting::instructions:
        return FT_LOAD_NO_AUTOHINT | (o.antialias ? FT_LOAD_TARGET_NORMAL : FT_LOAD_TARGET_MONO);
    case preview_hinting::light:
        return FT_LOAD_TARGET_LIGHT;
    case preview_hinting::none:
        break;
    }
    return FT_LOAD_NO_HINTING;
}

// The next code point of UTF-8 `s` from `*at`, U+FFFD for a malformed
// sequence; *at moves past it.
uint32_t next_code(const std::string& s, size_t* at) {
    const unsigned char* p = (const unsigned char*)s.data();
    size_t n = s.size(), i = *at;
    unsigned c = p[i];
    int more = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : (c >> 3) == 30 ? 3 : -1;
    if (more < 0 || n - i - 1 < (size_t)more) {
        *at = i + 1;
        return 0xFFFD;
    }
    uint32_t code = more == 0 ? c : c & (0x3F >> more);
    for (int k = 1; k <= more; k++) {
        if ((p[i + k] & 0xC0) != 0x80) {
            *at = i + 1;
            return 0xFFFD;
        }
        code = code << 6 | (p[i + k] & 0x3F);
    }
    *at = i + 1 + (size_t)more;
    return code;
}

} // namespace

text_setter::text_setter() {
    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library) == 0)
        fLibrary = library;
    fBuffer = hb_buffer_create();
}

text_setter::~text_setter() {
    release();
    hb_buffer_destroy(fBuffer);
    if (fLibrary)
        FT_Done_FreeType(fLibrary);
}

void text_setter::release() {
    if (fFont)
        hb_font_destroy(fFont);
    fFont = nullptr;
    // hb_ft_font_create_referenced holds the face: destroying the font
    // released it.
    fFace = nullptr;
    fImage.reset();
    fGlyphs.clear();
}

bool text_setter::load(std::shared_ptr<const font_image> image, std::string* error) {
    release();
    if (!fLibrary || !fBuffer) {
        if (error)
            *error = "FreeType could not start";
        return false;
    }
    if (!image || !image->bytes || image->size == 0) {
        if (error)
            *error = "there is no font";
        return false;
    }
    FT_Face face = nullptr;
    FT_Error e = FT_New_Memory_Face(fLibrary, image->bytes.get(), (FT_Long)image->size, 0, &face);
    if (e) {
        if (error)
            *error = freetype_error_text(e);
        return false;
    }
    fImage = std::move(image);
    fFont = hb_ft_font_create_referenced(face);
    FT_Done_Face(face); // the HarfBuzz font holds its own reference
    if (!fFont || fFont == hb_font_get_empty()) {
        fFont = nullptr;
        fImage.reset();
        if (error)
            *error = "HarfBuzz refused the font";
        return false;
    }
    fFace = hb_ft_font_get_face(fFont);
    return true;
}

bool text_setter::maps(uint32_t code) const {
    return fFace && FT_Get_Char_Index(fFace, code) != 0;
}

const text_setter::drawn_glyph& text_setter::draw_glyph(unsigned gid, int ppem,
                                                        const preview_options& options) {
    uint64_t key = (uint64_t)ppem * GLYPH_KEYS + gid;
    auto at = fGlyphs.find(key);
    if (at != fGlyphs.end())
        return at->second;
    drawn_glyph& g = fGlyphs[key];
    FT_Error e = FT_Load_Glyph(fFace, gid, load_flags(options));
    FT_GlyphSlot slot = fFace->glyph;
    if (!e && slot->format == FT_GLYPH_FORMAT_OUTLINE) {
        FT_BBox box;
        FT_Outline_Get_CBox(&slot->outline, &box);
        const int64_t w = ((int64_t)box.xMax - box.xMin) / 64 + 2;
        const int64_t h = ((int64_t)box.yMax - box.yMin) / 64 + 2;
        if (w > max_width || h > 16 * (int64_t)ppem + 16 || w * h > MAX_GLYPH_PIXELS) {
            g.too_large = true;
            return g;
        }
    }
    if (!e && slot->format != FT_GLYPH_FORMAT_BITMAP)
        e = FT_Render_Glyph(slot, options.antialias ? FT_RENDER_MODE_NORMAL : FT_RENDER_MODE_MONO);
    if (e) {
        g.error = e;
        return g;
    }
    FT_Bitmap gray;
    FT_Bitmap_Init(&gray);
    const FT_Bitmap* b = &slot->bitmap;
    int levels = 256;
    if (b->pixel_mode != FT_PIXEL_MODE_GRAY) {
        e = FT_Bitmap_Convert(fLibrary, b, &gray, 1);
        if (e) {
            g.error = e;
            return g;
        }
        b = &gray;
        levels = b->num_grays > 1 ? b->num_grays : 2;
    }
    g.left = slot->bitmap_left;
    g.top = slot->bitmap_top;
    g.width = (int)b->width;
    g.rows = (int)b->rows;
    g.gray.resize((size_t)g.width * (size_t)g.rows);
    for (int y = 0; y < g.rows; y++) {
        const unsigned char* row = b->buffer + (ptrdiff_t)y * b->pitch;
        for (int x = 0; x < g.width; x++)
            g.gray[(size_t)y * (size_t)g.width + (size_t)x] =
                (uint8_t)std::min(255, row[x] * 255 / (levels - 1));
    }
    FT_Bitmap_Done(fLibrary, &gray);
    return g;
}

set_line text_setter::set(const std::string& text, int ppem, const preview_options& options) {
    set_line line;
    line.ppem = ppem;
    if (!fFace)
        return line;
    // The line keeps pointers into the cache: it is emptied only between
    // lines.
    if (!(options == fCached) || fGlyphs.size() >= CACHE_LIMIT) {
        fGlyphs.clear();
        fCached = options;
    }
    FT_Error e = FT_Set_Pixel_Sizes(fFace, 0, (FT_UInt)ppem);
    if (e) {
        line.error = freetype_error_text(e);
        return line;
    }
    hb_ft_font_set_load_flags(fFont, load_flags(options));
    hb_ft_font_changed(fFont);
    FT_Int gasp = FT_Get_Gasp(fFace, (FT_UInt)ppem);
    line.gasp = gasp == FT_GASP_NO_TABLE ? -1 : gasp;

    hb_buffer_clear_contents(fBuffer);
    hb_buffer_add_utf8(fBuffer, text.data(), (int)text.size(), 0, (int)text.size());
    hb_buffer_guess_segment_properties(fBuffer);
    hb_feature_t features[2] = {{HB_TAG('k', 'e', 'r', 'n'), options.kern ? 1u : 0u, 0, ~0u},
                                {HB_TAG('l', 'i', 'g', 'a'), options.liga ? 1u : 0u, 0, ~0u}};
    hb_shape(fFont, fBuffer, features, 2);
    unsigned count = 0;
    const hb_glyph_info_t* info = hb_buffer_get_glyph_infos(fBuffer, &count);
    const hb_glyph_position_t* pos = hb_buffer_get_glyph_positions(fBuffer, &count);

    const FT_Size_Metrics& m = fFace->size->metrics;
    int ascent = std::max((int)((m.ascender + 63) >> 6), 1);
    int descent = std::max((int)((-m.descender + 63) >> 6), 0);
    // Bitmap-only sizes and damaged metrics must not make a huge line.
    ascent = std::min(ascent, 4 * ppem);
    descent = std::min(descent, 2 * ppem);

    int64_t pen = 0;
    std::vector<std::pair<int, const drawn_glyph*>> placed;
    placed.reserve(count);
    for (unsigned i = 0; i < count; i++) {
        int x = (int)((pen + pos[i].x_offset + 32) >> 6);
        const drawn_glyph& g = draw_glyph(info[i].codepoint, ppem, options);
        if (g.error || g.too_large) {
            char where[48];
            snprintf(where, sizeof where, "glyph %u: ", info[i].codepoint);
            line.error = where + (g.too_large ? std::string("far larger than the line at this size")
                                              : freetype_error_text(g.error));
            line.glyphs.clear();
            return line;
        }
        int left = (int)((pen + 32) >> 6);
        pen += pos[i].x_advance;
        int right = (int)((pen + 32) >> 6);
        line.glyphs.push_back({info[i].codepoint, std::min(left, right), std::max(left, right)});
        placed.push_back({x, &g});
    }
    line.width = (int)std::clamp<int64_t>((pen + 63) >> 6, 1, max_width);
    for (const set_glyph& g : line.glyphs)
        line.width = std::clamp(g.right, line.width, max_width);
    line.height = ascent + descent + 1;
    line.baseline = ascent;
    line.coverage.assign((size_t)line.width * (size_t)line.height, 0);
    for (unsigned i = 0; i < count; i++) {
        const drawn_glyph& g = *placed[i].second;
        int ox = placed[i].first + g.left;
        int oy = line.baseline - (int)((pos[i].y_offset + 32) >> 6) - g.top;
        for (int r = 0; r < g.rows; r++) {
            int ly = oy + r;
            if (ly < 0 || ly >= line.height)
                continue;
            for (int c = 0; c < g.width; c++) {
                int lx = ox + c;
                if (lx < 0 || lx >= line.width)
                    continue;
                uint8_t& to = line.coverage[(size_t)ly * (size_t)line.width + (size_t)lx];
                to = std::max(to, g.gray[(size_t)r * (size_t)g.width + (size_t)c]);
            }
        }
    }
    return line;
}

std::vector<uint32_t> text_setter::missing(const std::string& text) {
    std::vector<uint32_t> codes;
    if (!fFont)
        return codes;
    hb_buffer_clear_contents(fBuffer);
    hb_buffer_add_utf8(fBuffer, text.data(), (int)text.size(), 0, (int)text.size());
    hb_buffer_guess_segment_properties(fBuffer);
    hb_shape(fFont, fBuffer, nullptr, 0);
    unsigned count = 0;
    const hb_glyph_info_t* info = hb_buffer_get_glyph_infos(fBuffer, &count);
    for (unsigned i = 0; i < count; i++) {
        if (info[i].codepoint != 0 || info[i].cluster >= text.size())
            continue;
        size_t at = info[i].cluster;
        uint32_t code = next_code(text, &at);
        if (std::find(codes.begin(), codes.end(), code) == codes.end())
            codes.push_back(code);
    }
    return codes;
}

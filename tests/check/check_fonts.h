// A small clean font and the same font with one fault each, for the
// checker's tests and for the fonts its agreement with an independent
// reader is measured on.
#ifndef TAVREL_TESTS_CHECK_FONTS_H
#define TAVREL_TESTS_CHECK_FONTS_H

#include "check/finding.h"

#include <functional>

#include "font/font_builder.h"

namespace check_fonts {

using namespace font_builder;

// The parts of a font a case may change before they are put together.
struct parts {
    std::vector<bytes> glyphs;
    std::vector<table> tables;
    bytes& operator[](const char* t) { return *find_table(tables, t); }
    void drop(const char* t) {
        for (size_t i = 0; i < tables.size(); i++)
            if (tables[i].tag == t)
                tables.erase(tables.begin() + (long)i);
    }
};

inline std::vector<point> rect_cw(int x0, int y0, int x1, int y1) {
    return {{x0, y0}, {x0, y1}, {x1, y1}, {x1, y0}};
}
inline std::vector<point> rect_ccw(int x0, int y0, int x1, int y1) {
    return {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}};
}

// A composite of one glyph moved by (dx, dy), with the box it states.
inline bytes composite(unsigned glyph, int dx, int dy, std::vector<int> box,
                       uint16_t flags = 0x0003) {
    bytes b;
    add16(b, 0xFFFF);
    for (int v : box)
        add16(b, (uint32_t)(uint16_t)v);
    add16(b, flags); // ARGS_ARE_WORDS | ARGS_ARE_XY_VALUES
    add16(b, glyph);
    add16(b, (uint32_t)(uint16_t)dx);
    add16(b, (uint32_t)(uint16_t)dy);
    return b;
}

inline bytes gasp_table(std::vector<std::pair<unsigned, unsigned>> ranges, unsigned version = 1) {
    bytes b;
    add16(b, version);
    add16(b, (uint32_t)ranges.size());
    for (auto r : ranges) {
        add16(b, r.first);
        add16(b, r.second);
    }
    return b;
}

// Three glyphs: a box with a hole, a square, and the square moved right
// as a composite; every summary field agrees with them.
inline parts clean_parts() {
    parts p;
    p.glyphs = {outline_glyph({rect_cw(100, 0, 500, 700), rect_ccw(200, 100, 400, 600)}),
                outline_glyph({rect_cw(50, 0, 450, 400)}),
                composite(1, 100, 0, {150, 0, 550, 400})};
    bytes head = head_table(1);
    put16(head, 36, 50);
    put16(head, 38, 0);
    put16(head, 40, 550);
    put16(head, 42, 700);
    bytes hhea = hhea_table(3);
    put16(hhea, 4, 800);
    put16(hhea, 6, (uint16_t)-200);
    put16(hhea, 10, 600);
    put16(hhea, 12, 50);
    put16(hhea, 14, 50);
    put16(hhea, 16, 550);
    bytes hmtx;
    for (unsigned lsb : {100, 50, 150}) {
        add16(hmtx, 600);
        add16(hmtx, lsb);
    }
    bytes maxp = maxp_table(3);
    for (auto f : {std::pair<int, int>{6, 8}, {8, 2}, {10, 4}, {12, 1}, {28, 1}, {30, 1}})
        put16(maxp, f.first, f.second);
    p.tables = {{"OS/2", os2_table(0x41, 0x42)},
                {"cmap", unicode_cmap({{0x41, 1}, {0x42, 2}})},
                {"gasp", gasp_table({{0xFFFF, 15}})},
                {"glyf", {}},
                {"head", head},
                {"hhea", hhea},
                {"hmtx", hmtx},
                {"loca", {}},
                {"maxp", maxp},
                {"name", name_table({{1, "Test"},
                                     {2, "Regular"},
                                     {3, "Test Regular 1.0"},
                                     {4, "Test Regular"},
                                     {6, "Test-Regular"}})},
                {"post", post_table({0, 36, 258}, {"X"})}};
    return p;
}

inline bytes assemble(parts p) {
    bytes glyf, loca;
    glyf_and_loca(p.glyphs, &glyf, &loca);
    if (bytes* t = find_table(p.tables, "glyf"))
        *t = glyf;
    if (bytes* t = find_table(p.tables, "loca"))
        *t = loca;
    bytes file = sfnt(p.tables);
    set_checksum_adjustment(file);
    return file;
}

// Offset of a directory entry field of table t in a file.
inline size_t entry(const bytes& file, const char* t, size_t field) {
    for (unsigned i = 0; i < get16(file, 4); i++)
        if (get32(file, 12 + 16 * i) == tag(t))
            return 12 + 16 * i + field;
    return 0;
}

struct fault_case {
    const char* label;
    std::function<void(parts&)> change;
    std::function<void(bytes&)> change_file;
    severity level;
    const char* table;
    int glyph;
    const char* words;
};

inline const severity E = severity::error, W = severity::warning, N = severity::note;

// A comb of 20 teeth within (50, 0, 450, 400), 80 points long enough for
// the crossing test's runs of segments; the tip of tooth `bent` (when one
// is given) leans over the next tooth, which its edges cross.
inline std::vector<point> comb(int bent = -1) {
    std::vector<point> c{{50, 0}};
    for (int t = 0; t < 20; t++) {
        const int x = 50 + 20 * t;
        c.push_back({x, 400});
        c.push_back(t == bent ? point{x + 30, 350} : point{t == 19 ? 450 : x + 10, 400});
        if (t < 19) {
            c.push_back({x + 10, 100});
            c.push_back({x + 20, 100});
        }
    }
    c.push_back({450, 0});
    return c;
}

// A glyph with a curve whose control point passes the extreme.
inline const std::vector<point> ROUND = {{0, 0}, {0, 400}, {200, 500, false}, {400, 400}, {400, 0}};

inline const fault_case CASES[] = {
    // The directory.
    {"tags out of order", nullptr,
     [](bytes& f) {
         for (size_t k = 0; k < 16; k++)
             std::swap(f[12 + k], f[28 + k]);
     },
     W, "directory", -1, "ascending order"},
    {"offset not a multiple of 4", nullptr,
     [](bytes& f) { put32(f, entry(f, "post", 8), get32(f, entry(f, "post", 8)) + 2); }, E, "post",
     -1, "multiple of 4"},
    {"tables overlap", nullptr,
     [](bytes& f) { put32(f, entry(f, "name", 8), get32(f, entry(f, "maxp", 8))); }, E, "name", -1,
     "overlaps"},
    {"table past the file's end", nullptr, [](bytes& f) { put32(f, entry(f, "post", 12), 0x1000); },
     E, "post", -1, "past the file's end"},
    {"table inside the directory", nullptr, [](bytes& f) { put32(f, entry(f, "gasp", 8), 16); }, E,
     "gasp", -1, "inside the directory"},
    {"table of length 0", [](parts& p) { p["gasp"].clear(); }, nullptr, E, "gasp", -1, "length 0"},
    {"wrong checksum", nullptr, [](bytes& f) { put32(f, entry(f, "name", 4), 1); }, W, "name", -1,
     "checksum"},
    {"wrong checkSumAdjustment", nullptr, [](bytes& f) { f.push_back(1); }, W, "head", -1,
     "checkSumAdjustment"},
    {"wrong searchRange", nullptr, [](bytes& f) { put16(f, 6, 16); }, W, "directory", -1,
     "searchRange is 16"},
    {"version true", nullptr, [](bytes& f) { put32(f, 0, tag("true")); }, W, "directory", -1,
     "'true'"},
    {"version 2", nullptr, [](bytes& f) { put32(f, 0, 0x00020000); }, E, "directory", -1,
     "sfnt version"},
    {"shorter than a header", nullptr, [](bytes& f) { f.resize(11); }, E, "directory", -1,
     "header"},
    {"no name table", [](parts& p) { p.drop("name"); }, nullptr, E, "name", -1, "no name table"},
    {"no OS/2 table", [](parts& p) { p.drop("OS/2"); }, nullptr, E, "OS/2", -1, "no OS/2 table"},
    {"glyf without loca", [](parts& p) { p.drop("loca"); }, nullptr, E, "loca", -1, "no loca"},
    // head and maxp.
    {"head magic", [](parts& p) { put32(p["head"], 12, 0); }, nullptr, E, "head", -1,
     "magicNumber"},
    {"unitsPerEm 15", [](parts& p) { put16(p["head"], 18, 15); }, nullptr, E, "head", -1,
     "unitsPerEm is 15"},
    {"indexToLocFormat 2", [](parts& p) { put16(p["head"], 50, 2); }, nullptr, E, "head", -1,
     "indexToLocFormat is 2"},
    {"head box upside down", [](parts& p) { put16(p["head"], 36, 600); }, nullptr, E, "head", -1,
     "minimum above"},
    {"head box too small", [](parts& p) { put16(p["head"], 40, 500); }, nullptr, W, "head", -1,
     "head.xMax is 500, the glyphs reach 550"},
    {"head box too large", [](parts& p) { put16(p["head"], 42, 800); }, nullptr, N, "head", -1,
     "head.yMax is 800, the glyphs reach 700"},
    {"numGlyphs 0", [](parts& p) { put16(p["maxp"], 4, 0); }, nullptr, E, "maxp", -1,
     "numGlyphs is 0"},
    {"maxp version 2", [](parts& p) { put32(p["maxp"], 0, 0x00020000); }, nullptr, E, "maxp", -1,
     "version"},
    {"maxPoints too small", [](parts& p) { put16(p["maxp"], 6, 4); }, nullptr, W, "maxp", -1,
     "maxPoints is 4"},
    {"maxComponentDepth too large", [](parts& p) { put16(p["maxp"], 30, 3); }, nullptr, N, "maxp",
     -1, "maxComponentDepth is 3"},
    {"maxZones 0", [](parts& p) { put16(p["maxp"], 14, 0); }, nullptr, W, "maxp", -1,
     "maxZones is 0"},
    {"maxZones 4", [](parts& p) { put16(p["maxp"], 14, 4); }, nullptr, E, "maxp", -1,
     "maxZones is 4"},
    {"instructions beyond maxSizeOfInstructions",
     [](parts& p) {
         p.glyphs[1] = outline_glyph({rect_cw(50, 0, 450, 400)}, {0xB0, 1});
     },
     nullptr, W, "maxp", -1, "maxSizeOfInstructions is 0"},
    // hhea and hmtx.
    {"numberOfHMetrics 0", [](parts& p) { put16(p["hhea"], 34, 0); }, nullptr, E, "hhea", -1,
     "numberOfHMetrics is 0"},
    {"numberOfHMetrics above numGlyphs", [](parts& p) { put16(p["hhea"], 34, 4); }, nullptr, E,
     "hhea", -1, "numberOfHMetrics is 4"},
    {"metricDataFormat 1", [](parts& p) { put16(p["hhea"], 32, 1); }, nullptr, E, "hhea", -1,
     "metricDataFormat"},
    {"advanceWidthMax wrong", [](parts& p) { put16(p["hhea"], 10, 700); }, nullptr, W, "hhea", -1,
     "advanceWidthMax is 700"},
    {"xMaxExtent wrong", [](parts& p) { put16(p["hhea"], 16, 500); }, nullptr, W, "hhea", -1,
     "xMaxExtent is 500, the glyphs give 550"},
    {"hmtx too short", [](parts& p) { p["hmtx"].resize(10); }, nullptr, E, "hmtx", -1,
     "hmtx has 10 bytes"},
    {"side bearing off by 10", [](parts& p) { put16(p["hmtx"], 6, 60); }, nullptr, W, "hmtx", 1,
     "left side bearing is 60"},
    {"side bearing off by 1", [](parts& p) { put16(p["hmtx"], 6, 51); }, nullptr, N, "hmtx", 1,
     "left side bearing is 51"},
    // loca.
    {"loca backwards", nullptr,
     [](bytes& f) { put32(f, get32(f, entry(f, "loca", 8)) + 4, 0xFFFF); }, E, "loca", 1,
     "entry 2 (90) is below entry 1 (65535)"},
    {"loca past glyf", nullptr,
     [](bytes& f) { put32(f, get32(f, entry(f, "loca", 8)) + 12, 0xFFFF); }, E, "loca", 2,
     "past the end of glyf"},
    {"loca too short", nullptr, [](bytes& f) { put32(f, entry(f, "loca", 12), 12); }, E, "loca", -1,
     "needs 4"},
    // glyph records.
    {"record shorter than a header", [](parts& p) { p.glyphs[1].resize(8); }, nullptr, E, "glyf", 1,
     "shorter than a glyph header"},
    {"numberOfContours -2", [](parts& p) { put16(p.glyphs[1], 0, 0xFFFE); }, nullptr, E, "glyf", 1,
     "numberOfContours is -2"},
    {"contour ends going back", [](parts& p) { put16(p.glyphs[0], 12, 3); }, nullptr, E, "glyf", 0,
     "not after contour 0's end"},
    {"reserved flag bit", [](parts& p) { p.glyphs[1][14] |= 0x80; }, nullptr, E, "glyf", 1,
     "reserved bit 7"},
    {"bit 6 on a later point", [](parts& p) { p.glyphs[1][15] |= 0x40; }, nullptr, E, "glyf", 1,
     "bit 6"},
    {"flag repeat past the last point",
     [](parts& p) {
         p.glyphs[1][14] = 0x09;
         p.glyphs[1][15] = 4;
     },
     nullptr, E, "glyf", 1, "repeats past"},
    {"coordinates cut short", [](parts& p) { p.glyphs[1].resize(p.glyphs[1].size() - 4); }, nullptr,
     E, "glyf", 1, "coordinates"},
    {"data after the glyph", [](parts& p) { p.glyphs[1].resize(p.glyphs[1].size() + 8); }, nullptr,
     W, "glyf", 1, "8 bytes follow"},
    {"stored box smaller than the points", [](parts& p) { put16(p.glyphs[1], 6, 400); }, nullptr, W,
     "glyf", 1, "its points span (50, 0, 450, 400)"},
    {"contour of two points",
     [](parts& p) {
         p.glyphs[1] = outline_glyph({rect_cw(50, 0, 450, 400), {{60, 10}, {70, 20}}});
     },
     nullptr, W, "glyf", 1, "has 2 points"},
    {"contour crossing itself",
     [](parts& p) {
         p.glyphs[1] = outline_glyph({{{50, 0}, {450, 400}, {450, 0}, {50, 400}}});
     },
     nullptr, W, "glyf", 1, "crosses itself near point 0"},
    // The first crossing in a long contour, with every pair before it
    // passed: the edges from point 69 cross tooth 18's.
    {"long contour crossing itself",
     [](parts& p) {
         p.glyphs[1] = outline_glyph({comb(17)});
         put16(p["maxp"], 6, 80);
     },
     nullptr, W, "glyf", 1, "contour 0 crosses itself near point 69"},
    {"outer contour reversed",
     [](parts& p) {
         p.glyphs.push_back(outline_glyph({rect_cw(0, 0, 10, 10)}));
         p.glyphs[1] = outline_glyph({rect_ccw(50, 0, 450, 400)});
     },
     nullptr, W, "glyf", 1, "runs counter-clockwise"},
    {"curve missing its extreme", [](parts& p) { p.glyphs[1] = outline_glyph({ROUND}); }, nullptr,
     N, "glyf", 1, "misses an extreme point (the first at point 2)"},
    // Composites.
    {"component past numGlyphs", [](parts& p) { put16(p.glyphs[2], 12, 7); }, nullptr, E, "glyf", 2,
     "is glyph 7"},
    {"composite containing itself", [](parts& p) { put16(p.glyphs[2], 12, 2); }, nullptr, E, "glyf",
     2, "contains itself"},
    {"point matching past the points",
     [](parts& p) {
         p.glyphs[2] = composite(1, 0, 0, {50, 0, 450, 400}, 0x0001);
         p.glyphs[2].resize(p.glyphs[2].size());
         put16(p.glyphs[2], 10, 0x0021);
         p.glyphs.push_back(composite(1, 0, 0, {50, 0, 450, 400}));
         p.glyphs[2].insert(p.glyphs[2].end(), {0x00, 0x01, 0x00, 0x01, 0x00, 0x09, 0x00, 0x00});
     },
     nullptr, W, "glyf", 2, "matches point 9"},
    {"composite box wrong", [](parts& p) { put16(p.glyphs[2], 6, 500); }, nullptr, W, "glyf", 2,
     "its components span (150, 0, 550, 400)"},
    // cmap.
    {"cmap glyph past numGlyphs",
     [](parts& p) {
         p["cmap"] = unicode_cmap({{0x41, 1}, {0x42, 5}});
     },
     nullptr, E, "cmap", -1, "U+0042 maps to glyph 5"},
    {"last segment not 0xFFFF", [](parts& p) { put16(p["cmap"], 12 + 14 + 4, 0xFFFE); }, nullptr, E,
     "cmap", -1, "last segment"},
    {"no Unicode subtable", [](parts& p) { put16(p["cmap"], 6, 2); }, nullptr, E, "cmap", -1,
     "no Unicode"},
    {"records out of order",
     [](parts& p) {
         bytes& c = p["cmap"];
         put16(c, 2, 2);
         c.insert(c.begin() + 12, {0, 0, 0, 3, 0, 0, 0, 20});
         put32(c, 8, 20);
     },
     nullptr, W, "cmap", -1, "follows subtable (3, 1)"},
    // name.
    {"name format 2", [](parts& p) { put16(p["name"], 0, 2); }, nullptr, E, "name", -1,
     "format is 2"},
    {"stringOffset past the table", [](parts& p) { put16(p["name"], 4, 0x7000); }, nullptr, E,
     "name", -1, "stringOffset"},
    {"no full name",
     [](parts& p) { p["name"] = name_table({{1, "T"}, {2, "R"}, {3, "U"}, {6, "T-R"}}); }, nullptr,
     W, "name", -1, "name 4 (full name)"},
    {"odd UTF-16 length", [](parts& p) { put16(p["name"], 6 + 8, 3); }, nullptr, W, "name", -1,
     "odd length"},
    {"PostScript name with a space",
     [](parts&
            p) { p["name"] = name_table({{1, "T"}, {2, "R"}, {3, "U"}, {4, "T R"}, {6, "T R"}}); },
     nullptr, W, "name", -1, "holds U+0020"},
    // OS/2, post, gasp, cvt, bitmaps.
    {"OS/2 of 60 bytes", [](parts& p) { p["OS/2"].resize(60); }, nullptr, E, "OS/2", -1,
     "60 bytes"},
    {"OS/2 version 6", [](parts& p) { put16(p["OS/2"], 0, 6); }, nullptr, E, "OS/2", -1,
     "version is 6"},
    {"weight class 0", [](parts& p) { put16(p["OS/2"], 4, 0); }, nullptr, W, "OS/2", -1,
     "usWeightClass is 0"},
    {"first character wrong", [](parts& p) { put16(p["OS/2"], 64, 0x20); }, nullptr, W, "OS/2", -1,
     "cmap's first character is U+0041"},
    {"post version 2.5", [](parts& p) { put32(p["post"], 0, 0x00025000); }, nullptr, E, "post", -1,
     "version"},
    {"post glyph count wrong", [](parts& p) { put16(p["post"], 32, 2); }, nullptr, E, "post", -1,
     "numberOfGlyphs is 2"},
    {"post name index past the names", [](parts& p) { put16(p["post"], 38, 260); }, nullptr, E,
     "post", 2, "name index is 260"},
    {"gasp out of order", [](parts& p) { p["gasp"] = gasp_table({{20, 1}, {8, 2}, {0xFFFF, 15}}); },
     nullptr, W, "gasp", -1, "not above"},
    {"gasp cut short", [](parts& p) { p["gasp"].resize(6); }, nullptr, E, "gasp", -1, "run past"},
    {"cvt of odd length",
     [](parts& p) { p.tables.insert(p.tables.begin() + 2, {"cvt ", {0, 1, 2}}); }, nullptr, E,
     "cvt ", -1, "even"},
    {"EBLC without EBDT",
     [](parts& p) { p.tables.insert(p.tables.begin(), {"EBLC", {0, 2, 0, 0, 0, 0, 0, 0}}); },
     nullptr, W, "EBLC", -1, "only one"},
};

} // namespace check_fonts

#endif

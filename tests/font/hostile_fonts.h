// Damaged and hostile font files, each built in code: the loader's tests
// and the checker's agreement with an independent reader use them.
#ifndef TAVREL_TESTS_HOSTILE_FONTS_H
#define TAVREL_TESTS_HOSTILE_FONTS_H

#include <functional>

#include "font/font_builder.h"

namespace hostile_fonts {

using namespace font_builder;

inline std::vector<table> small_font() {
    return font_tables({simple_glyph(3), simple_glyph(4), composite_glyph({0, 1})});
}

inline bytes with_entry_field(bytes file, const char* t, size_t field, uint32_t value) {
    for (unsigned i = 0; i < get16(file, 4); i++)
        if (get32(file, 12 + 16 * i) == tag(t))
            put32(file, 12 + 16 * i + field, value);
    return file;
}

inline bytes without(const char* t) {
    std::vector<table> tables = small_font();
    for (size_t i = 0; i < tables.size(); i++)
        if (tables[i].tag == t)
            tables.erase(tables.begin() + i);
    return sfnt(tables);
}

inline bytes resized(const char* t, size_t length) {
    std::vector<table> tables = small_font();
    find_table(tables, t)->resize(length);
    return sfnt(tables);
}

inline bytes with_unknown_tables(int count) {
    std::vector<table> tables = small_font();
    for (int i = 0; i < count; i++)
        tables.push_back({std::string("zz") + (char)(i >> 8) + (char)i, {1, 2}});
    return sfnt(tables);
}

inline bytes with_table(const char* t, bytes data) {
    std::vector<table> tables = small_font();
    *find_table(tables, t) = data;
    return sfnt(tables);
}

struct hostile_case {
    const char* label;
    std::function<bytes()> build;
    int expected;
};

// Each damaged file, and whether the editor's loader refuses it (1) or
// reads it (0).
inline const hostile_case CASES[] = {
    {"empty file", [] { return bytes(); }, 1},
    {"shorter than the header", [] { return bytes(11, 0); }, 1},
    {"version true", [] { return sfnt(small_font(), tag("true")); }, 0},
    {"version ttcf (a collection)", [] { return sfnt(small_font(), tag("ttcf")); }, 1},
    {"directory past the end",
     [] {
         bytes b = sfnt(small_font());
         put16(b, 4, 0xFFFF);
         return b;
     },
     1},
    {"no tables at all", [] { return sfnt({}); }, 1},
    {"offset past the end",
     [] { return with_entry_field(sfnt(small_font()), "glyf", 8, 0x7FFFFFF0); }, 1},
    {"offset + length wraps",
     [] {
         bytes b = with_entry_field(sfnt(small_font()), "hmtx", 8, 0xFFFFFFF0);
         return with_entry_field(b, "hmtx", 12, 0x20);
     },
     1},
    {"length 0xFFFFFFFF",
     [] { return with_entry_field(sfnt(small_font()), "cmap", 12, 0xFFFFFFFF); }, 1},
    {"length one past the end",
     [] {
         bytes b = sfnt(small_font());
         size_t last = 12 + 16 * (get16(b, 4) - 1);
         return with_entry_field(b, "maxp", 12, (uint32_t)(b.size() - get32(b, last + 8) + 1));
     },
     1},
    {"duplicate tag",
     [] {
         std::vector<table> t = small_font();
         t.push_back({"head", head_table()});
         return sfnt(t);
     },
     1},
    {"17 unknown tables", [] { return with_unknown_tables(17); }, 0},
    {"65535 tables", [] { return with_unknown_tables(0xFFFF - 7); }, 0},
    {"tables claiming the same bytes many times over",
     [] {
         bytes b = with_unknown_tables(40);
         for (unsigned i = 0; i < get16(b, 4); i++)
             if (get32(b, 12 + 16 * i) >> 16 == 0x7a7a) { // the made-up "zz.." tags
                 put32(b, 12 + 16 * i + 8, 0);
                 put32(b, 12 + 16 * i + 12, (uint32_t)b.size());
             }
         return b;
     },
     1},
    {"glyf without loca next to CFF outlines",
     [] {
         std::vector<table> t = small_font();
         t.push_back({"CFF ", {1, 0, 4, 1}});
         for (size_t i = 0; i < t.size(); i++)
             if (t[i].tag == "loca")
                 t.erase(t.begin() + i);
         return sfnt(t);
     },
     1},
    {"no cmap", [] { return without("cmap"); }, 1},
    {"no glyf", [] { return without("glyf"); }, 1},
    {"no head", [] { return without("head"); }, 1},
    {"no hhea", [] { return without("hhea"); }, 1},
    {"no hmtx", [] { return without("hmtx"); }, 1},
    {"no loca", [] { return without("loca"); }, 1},
    {"no maxp", [] { return without("maxp"); }, 1},
    {"head 53 bytes", [] { return resized("head", 53); }, 1},
    {"maxp version 0.5 (6 bytes)", [] { return resized("maxp", 6); }, 1},
    {"hhea 35 bytes", [] { return resized("hhea", 35); }, 1},
    {"head exactly 54 bytes", [] { return resized("head", 54); }, 0},
    {"numberOfHMetrics 0", [] { return with_table("hhea", hhea_table(0)); }, 0},
    {"numberOfHMetrics above numGlyphs", [] { return with_table("hhea", hhea_table(0xFFFF)); }, 0},
    {"hmtx shorter than its metrics", [] { return resized("hmtx", 5); }, 0},
    {"empty hmtx, cmap and glyf",
     [] {
         std::vector<table> t = small_font();
         find_table(t, "hmtx")->clear();
         find_table(t, "cmap")->clear();
         find_table(t, "glyf")->clear();
         return sfnt(t);
     },
     0},
    {"loca without its final entry", [] { return resized("loca", 12); }, 0},
    {"loca of one byte", [] { return resized("loca", 1); }, 0},
    {"loca running backwards",
     [] {
         std::vector<table> t = small_font();
         put32(*find_table(t, "loca"), 4, 0xFFFFFF00);
         return sfnt(t);
     },
     0},
    {"loca past the glyf table",
     [] {
         std::vector<table> t = small_font();
         put32(*find_table(t, "loca"), 12, 0x7FFFFFFF);
         return sfnt(t);
     },
     0},
    {"numGlyphs 65535 with three records", [] { return with_table("maxp", maxp_table(0xFFFF)); },
     0},
    {"short loca format with long entries",
     [] {
         std::vector<table> t = small_font();
         *find_table(t, "head") = head_table(0);
         return sfnt(t);
     },
     0},
};

} // namespace hostile_fonts

#endif

// Builds small TrueType files in memory for the font tests: big-endian
// byte appenders, a few minimal tables and an sfnt wrapper that lays out the
// directory and checksums like a real font.
#ifndef TAVREL_TESTS_FONT_BUILDER_H
#define TAVREL_TESTS_FONT_BUILDER_H

#include "font/ttf.h"

#include <File.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "support/test_support.h"

namespace font_builder {

using bytes = std::vector<unsigned char>;

inline void add16(bytes& b, uint32_t v) {
    b.push_back((unsigned char)(v >> 8));
    b.push_back((unsigned char)v);
}
inline void add32(bytes& b, uint32_t v) {
    add16(b, v >> 16);
    add16(b, v & 0xFFFF);
}
inline void put16(bytes& b, size_t off, uint32_t v) {
    b[off] = (unsigned char)(v >> 8);
    b[off + 1] = (unsigned char)v;
}
inline void put32(bytes& b, size_t off, uint32_t v) {
    put16(b, off, v >> 16);
    put16(b, off + 2, v & 0xFFFF);
}
inline uint16_t get16(const bytes& b, size_t off) {
    return (uint16_t)(b[off] << 8 | b[off + 1]);
}
inline uint32_t get32(const bytes& b, size_t off) {
    return (uint32_t)get16(b, off) << 16 | get16(b, off + 2);
}
inline uint32_t tag(const char* s) {
    return (uint32_t)(unsigned char)s[0] << 24 | (uint32_t)(unsigned char)s[1] << 16 |
           (uint32_t)(unsigned char)s[2] << 8 | (unsigned char)s[3];
}
inline uint32_t checksum(const bytes& b, size_t off, size_t len) {
    uint32_t sum = 0;
    for (size_t i = 0; i < len; i += 4) {
        uint32_t w = 0;
        for (size_t k = 0; k < 4; k++)
            w = w << 8 | (i + k < len ? b[off + i + k] : 0);
        sum += w;
    }
    return sum;
}

struct table {
    std::string tag;
    bytes data;
};

// An sfnt with the tables in the given order, each at a padded offset.
inline bytes sfnt(const std::vector<table>& tables, uint32_t version = 0x00010000) {
    bytes out;
    size_t n = tables.size();
    add32(out, version);
    add16(out, (uint32_t)n);
    uint32_t p = 1, log2p = 0;
    while (p * 2 <= n) {
        p *= 2;
        log2p++;
    }
    add16(out, 16 * p);
    add16(out, log2p);
    add16(out, (uint32_t)(16 * n - 16 * p));
    size_t pos = 12 + 16 * n;
    bytes body;
    for (const table& t : tables) {
        add32(out, tag(t.tag.c_str()));
        add32(out, checksum(t.data, 0, t.data.size()));
        add32(out, (uint32_t)(pos + body.size()));
        add32(out, (uint32_t)t.data.size());
        body.insert(body.end(), t.data.begin(), t.data.end());
        while (body.size() % 4)
            body.push_back(0);
    }
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

inline bytes head_table(int indexToLocFormat = 1) {
    bytes b(54, 0);
    put32(b, 0, 0x00010000);
    put32(b, 12, 0x5F0F3CF5);
    put16(b, 18, 1000);
    put16(b, 40, 1000);
    put16(b, 42, 1000);
    put16(b, 50, (uint32_t)indexToLocFormat);
    return b;
}
inline bytes maxp_table(unsigned numGlyphs) {
    bytes b(32, 0);
    put32(b, 0, 0x00010000);
    put16(b, 4, numGlyphs);
    put16(b, 14, 1);
    return b;
}
inline bytes hhea_table(unsigned numberOfHMetrics) {
    bytes b(36, 0);
    put32(b, 0, 0x00010000);
    put16(b, 34, numberOfHMetrics);
    return b;
}
// One full entry per glyph: advance width 500 + g, lsb g.
inline bytes hmtx_table(unsigned n) {
    bytes b;
    for (unsigned g = 0; g < n; g++) {
        add16(b, 500 + g);
        add16(b, g);
    }
    return b;
}
// A cmap without any mapping: one (3, 1) format 4 subtable with the final
// segment only.
inline bytes empty_cmap() {
    bytes b;
    add16(b, 0);
    add16(b, 1);
    add16(b, 3);
    add16(b, 1);
    add32(b, 12);
    for (uint32_t v : {4u, 24u, 0u, 2u, 2u, 0u, 0u, 0xFFFFu, 0u, 0xFFFFu, 1u, 0u})
        add16(b, v);
    return b;
}

// cmap subtables and tables. A segment maps start..end to c + delta, or,
// with glyphs, through the glyphIdArray (one entry per code).
struct cmap_segment {
    uint32_t start, end, delta;
    std::vector<uint16_t> glyphs = {};
};
// Format 4 of these segments followed by the final 0xFFFF one.
inline bytes format4_subtable(const std::vector<cmap_segment>& given) {
    std::vector<cmap_segment> segs = given;
    segs.push_back({0xFFFF, 0xFFFF, 1});
    size_t n = segs.size(), array = 0;
    for (const cmap_segment& s : segs)
        array += s.glyphs.size();
    bytes b;
    for (uint32_t v : {4u, (uint32_t)(16 + 8 * n + 2 * array), 0u, (uint32_t)(2 * n), 0u, 0u, 0u})
        add16(b, v);
    for (const cmap_segment& s : segs)
        add16(b, s.end);
    add16(b, 0);
    for (const cmap_segment& s : segs)
        add16(b, s.start);
    for (const cmap_segment& s : segs)
        add16(b, s.glyphs.empty() ? s.delta : 0);
    size_t k = 0;
    for (size_t i = 0; i < n; i++) {
        add16(b, segs[i].glyphs.empty() ? 0 : (uint32_t)(2 * (n - i + k)));
        k += segs[i].glyphs.size();
    }
    for (const cmap_segment& s : segs)
        for (uint16_t g : s.glyphs)
            add16(b, g);
    return b;
}
// Format 12 of {start, end, first glyph} groups.
inline bytes format12_subtable(const std::vector<std::array<uint32_t, 3>>& groups) {
    bytes b;
    add16(b, 12);
    add16(b, 0);
    add32(b, (uint32_t)(16 + 12 * groups.size()));
    add32(b, 0);
    add32(b, (uint32_t)groups.size());
    for (const auto& g : groups)
        for (uint32_t v : g)
            add32(b, v);
    return b;
}
// A cmap table whose records {platform, encoding, k} point at subtable k;
// records naming the same k share its bytes.
inline bytes cmap_table(const std::vector<std::array<uint32_t, 3>>& records,
                        const std::vector<bytes>& subtables) {
    bytes b;
    add16(b, 0);
    add16(b, (uint32_t)records.size());
    std::vector<size_t> at;
    size_t pos = 4 + 8 * records.size();
    for (const bytes& s : subtables) {
        at.push_back(pos);
        pos += s.size();
    }
    for (const auto& r : records) {
        add16(b, r[0]);
        add16(b, r[1]);
        add32(b, (uint32_t)at[r[2]]);
    }
    for (const bytes& s : subtables)
        b.insert(b.end(), s.begin(), s.end());
    return b;
}

// A simple glyph record: one contour of `points` points on a diagonal.
inline bytes simple_glyph(unsigned points) {
    bytes b;
    add16(b, 1);
    for (int i = 0; i < 4; i++)
        add16(b, 0);
    add16(b, points - 1);
    add16(b, 0); // no instructions
    for (unsigned i = 0; i < points; i++)
        b.push_back(0x01 | 0x02 | 0x04 | 0x10 | 0x20); // on-curve, +1 byte deltas
    for (unsigned i = 0; i < 2 * points; i++)
        b.push_back(1);
    if (b.size() % 2)
        b.push_back(0);
    return b;
}
// A composite record referring to the given glyphs with byte offsets.
inline bytes composite_glyph(const std::vector<unsigned>& components) {
    bytes b;
    add16(b, 0xFFFF);
    for (int i = 0; i < 4; i++)
        add16(b, 0);
    for (size_t i = 0; i < components.size(); i++) {
        add16(b, 0x0002 | (i + 1 < components.size() ? 0x0020 : 0));
        add16(b, components[i]);
        b.push_back(0);
        b.push_back(0);
    }
    return b;
}

// A point of an outline built for a test: font units, on or off the curve.
struct point {
    int x, y;
    bool on = true;
};

// A simple glyph record with these contours (16-bit coordinates, no
// instructions unless given) and the box of its points.
inline bytes outline_glyph(const std::vector<std::vector<point>>& contours,
                           const bytes& instructions = {}) {
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    bool first = true;
    for (const auto& c : contours)
        for (const point& p : c) {
            x0 = first ? p.x : std::min(x0, p.x);
            y0 = first ? p.y : std::min(y0, p.y);
            x1 = first ? p.x : std::max(x1, p.x);
            y1 = first ? p.y : std::max(y1, p.y);
            first = false;
        }
    bytes b;
    add16(b, (uint32_t)contours.size());
    for (int v : {x0, y0, x1, y1})
        add16(b, (uint32_t)(uint16_t)v);
    unsigned end = 0;
    for (const auto& c : contours) {
        end += (unsigned)c.size();
        add16(b, end - 1);
    }
    add16(b, (uint32_t)instructions.size());
    b.insert(b.end(), instructions.begin(), instructions.end());
    for (const auto& c : contours)
        for (const point& p : c)
            b.push_back(p.on ? 0x01 : 0x00);
    for (int axis = 0; axis < 2; axis++) {
        int at = 0;
        for (const auto& c : contours)
            for (const point& p : c) {
                const int v = axis ? p.y : p.x;
                add16(b, (uint32_t)(uint16_t)(v - at));
                at = v;
            }
    }
    if (b.size() % 2)
        b.push_back(0);
    return b;
}

// A cmap with one (3, 1) format 4 subtable in which each code maps to its
// glyph, with the search fields readers check.
inline bytes unicode_cmap(const std::vector<std::pair<unsigned, unsigned>>& map) {
    std::vector<cmap_segment> segs;
    for (const auto& m : map)
        segs.push_back({m.first, m.first, (m.second - m.first) & 0xFFFF});
    bytes sub = format4_subtable(segs);
    const unsigned n = get16(sub, 6) / 2;
    unsigned p = 1, log2p = 0;
    while (p * 2 <= n) {
        p *= 2;
        log2p++;
    }
    put16(sub, 8, 2 * p);
    put16(sub, 10, log2p);
    put16(sub, 12, 2 * n - 2 * p);
    return cmap_table({{3, 1, 0}}, {sub});
}

// A name table of Windows Unicode records (ASCII texts) for these name IDs.
inline bytes name_table(const std::vector<std::pair<unsigned, std::string>>& names) {
    bytes b, text;
    add16(b, 0);
    add16(b, (uint32_t)names.size());
    add16(b, 6 + 12 * (uint32_t)names.size());
    for (const auto& n : names) {
        for (uint32_t v :
             {3u, 1u, 0x409u, n.first, 2 * (uint32_t)n.second.size(), (uint32_t)text.size()})
            add16(b, v);
        for (char ch : n.second)
            add16(text, (unsigned char)ch);
    }
    b.insert(b.end(), text.begin(), text.end());
    return b;
}

// A version 3 OS/2 table (96 bytes): weight 400, width 5, and the first and
// last character the cmap maps.
inline bytes os2_table(unsigned first, unsigned last) {
    bytes b(96, 0);
    put16(b, 0, 3);
    put16(b, 4, 400);
    put16(b, 6, 5);
    put16(b, 64, first);
    put16(b, 66, last);
    return b;
}

// A version 2 post table: glyph g takes the standard name index[g] when it
// is below 258, or the next of `names`.
inline bytes post_table(const std::vector<unsigned>& index, const std::vector<std::string>& names) {
    bytes b(32, 0);
    put32(b, 0, 0x00020000);
    add16(b, (uint32_t)index.size());
    for (unsigned i : index)
        add16(b, i);
    for (const std::string& n : names) {
        b.push_back((unsigned char)n.size());
        b.insert(b.end(), n.begin(), n.end());
    }
    return b;
}

// Sets head.checkSumAdjustment of a whole file so that it sums to
// 0xB1B0AFBA, as a saved font does.
inline void set_checksum_adjustment(bytes& file) {
    for (unsigned i = 0; i < get16(file, 4); i++) {
        const size_t e = 12 + 16 * i;
        if (get32(file, e) != tag("head"))
            continue;
        const size_t at = get32(file, e + 8) + 8;
        put32(file, at, 0);
        put32(file, at, 0xB1B0AFBA - checksum(file, 0, file.size()));
    }
}

// glyf and long loca for these records.
inline void glyf_and_loca(const std::vector<bytes>& records, bytes* glyf, bytes* loca) {
    glyf->clear();
    loca->clear();
    for (const bytes& r : records) {
        add32(*loca, (uint32_t)glyf->size());
        glyf->insert(glyf->end(), r.begin(), r.end());
    }
    add32(*loca, (uint32_t)glyf->size());
}

// A complete small font with these glyph records.
inline std::vector<table> font_tables(const std::vector<bytes>& records) {
    bytes glyf, loca;
    glyf_and_loca(records, &glyf, &loca);
    unsigned n = (unsigned)records.size();
    return {{"cmap", empty_cmap()},  {"glyf", glyf},          {"head", head_table()},
            {"hhea", hhea_table(n)}, {"hmtx", hmtx_table(n)}, {"loca", loca},
            {"maxp", maxp_table(n)}};
}

inline bytes* find_table(std::vector<table>& tables, const char* t) {
    for (table& x : tables)
        if (x.tag == t)
            return &x.data;
    return nullptr;
}

// The tables of a font file by tag, as their directory entries cut them.
inline std::map<std::string, bytes> tables_by_tag(const bytes& file) {
    std::map<std::string, bytes> out;
    unsigned n = get16(file, 4);
    for (unsigned i = 0; i < n; i++) {
        size_t entry = 12 + 16 * i;
        if (entry + 16 > file.size())
            break;
        std::string tag(file.begin() + entry, file.begin() + entry + 4);
        size_t offset = get32(file, entry + 8), length = get32(file, entry + 12);
        if (offset > file.size() || length > file.size() - offset)
            continue;
        out[tag] = bytes(file.begin() + offset, file.begin() + offset + length);
    }
    return out;
}

// Writes the bytes to a fresh file and loads them into `font`.
inline int load_bytes(ttf& font, const bytes& file) {
    std::string path = testing_support::temp_dir() + "/font.ttf";
    testing_support::write_file(path, file);
    BFile f(path.c_str(), B_READ_ONLY);
    return font.load(f);
}

// Saves `font` to a new file in a fresh folder; returns its path, or "" when
// save failed.
inline std::string save_font(ttf& font, const char* name = "out.ttf") {
    std::string path = testing_support::temp_dir() + "/" + name;
    BFile f(path.c_str(), B_READ_WRITE | B_CREATE_FILE | B_ERASE_FILE);
    if (f.InitCheck() != B_OK || font.save(f) != 0)
        return "";
    return path;
}

} // namespace font_builder

#endif

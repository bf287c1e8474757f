// The file's header and table directory: version, the search fields, tag
// order, where each table lies, checksums, and the tables a TrueType font
// must have.
#include "check/check_context.h"

#include <algorithm>

namespace {

const uint32_t TRUETYPE = 0x00010000, TRUE_TAG = tag_of("true"), OTTO = tag_of("OTTO"),
               TTCF = tag_of("ttcf");
const uint32_t GLYF = tag_of("glyf"), LOCA = tag_of("loca"), HEAD = tag_of("head"),
               CFF = tag_of("CFF "), CFF2 = tag_of("CFF2");
const size_t HEADER = 12, ENTRY = 16;

// Tables without which readers refuse a font.
const uint32_t REQUIRED[] = {tag_of("cmap"), tag_of("head"), tag_of("hhea"), tag_of("hmtx"),
                             tag_of("maxp"), tag_of("name"), tag_of("OS/2"), tag_of("post")};

void check_search_fields(check_context& c, unsigned n) {
    byte_span h = c.tables.header();
    unsigned p = 1, log2p = 0;
    while (p * 2 <= n) {
        p *= 2;
        log2p++;
    }
    const struct {
        const char* field;
        size_t offset;
        unsigned right;
    } fields[] = {{"searchRange", 6, 16 * p},
                  {"entrySelector", 8, log2p},
                  {"rangeShift", 10, 16 * n - 16 * p}};
    for (const auto& f : fields)
        if (h.u16(f.offset) != (f.right & 0xFFFF))
            c.warning(DIRECTORY_TAG, "%s is %u; for %u tables it is %u", f.field, h.u16(f.offset),
                      n, f.right & 0xFFFF);
}

// Where each table lies in the file: aligned, inside it, not overlapping
// another, with the checksum the directory states.
void check_layout(check_context& c) {
    const std::vector<table_entry>& es = c.tables.entries();
    const uint64_t size = c.tables.file().size();
    const size_t dirend = HEADER + ENTRY * es.size();
    std::vector<const table_entry*> placed;
    for (const table_entry& e : es) {
        if ((uint64_t)e.offset + e.length > size) {
            c.error(e.tag, "the table (offset %u, %u bytes) runs past the file's end at %llu",
                    e.offset, e.length, (unsigned long long)size);
            continue;
        }
        if (e.offset % 4 != 0)
            c.error(e.tag, "the table starts at offset %u, not a multiple of 4", e.offset);
        if (e.length > 0 && e.offset < dirend)
            c.error(e.tag, "the table starts at offset %u, inside the directory, which ends at %zu",
                    e.offset, dirend);
        if (e.length > 0)
            placed.push_back(&e);
    }
    std::sort(placed.begin(), placed.end(),
              [](const table_entry* a, const table_entry* b) { return a->offset < b->offset; });
    for (size_t i = 1; i < placed.size(); i++) {
        const table_entry* a = placed[i - 1];
        const table_entry* b = placed[i];
        if ((uint64_t)a->offset + a->length > b->offset)
            c.error(b->tag, "the table (offset %u) overlaps %s (offset %u, %u bytes)", b->offset,
                    tag_chars(a->tag).c_str(), a->offset, a->length);
    }
    // The whole file's sum, a last partial word padded with zeros.
    const uint32_t whole = c.tables.file().sum32();
    for (const table_entry& e : es) {
        if ((uint64_t)e.offset + e.length > size)
            continue;
        uint32_t sum = e.bytes.sum32();
        if (e.tag == HEAD)
            sum -= e.bytes.u32(8);
        if (sum != e.checksum)
            c.warning(e.tag, "the directory's checksum is 0x%08X, the table's bytes sum to 0x%08X",
                      e.checksum, sum);
    }
    const table_entry* head = c.tables.entry(HEAD);
    if (head && head->bytes.size() >= 12) {
        const uint32_t stated = head->bytes.u32(8);
        const uint32_t right = 0xB1B0AFBA - (whole - stated);
        if (stated != right)
            c.warning(HEAD, "head.checkSumAdjustment is 0x%08X; for this file it is 0x%08X", stated,
                      right);
    }
}

} // namespace

void check_directory(check_context& c) {
    const byte_span h = c.tables.header();
    if (c.tables.from_file() && c.tables.file().size() < HEADER) {
        c.error(DIRECTORY_TAG, "the file has %zu bytes; a font's header alone takes 12",
                c.tables.file().size());
        return;
    }
    const uint32_t version = h.u32(0);
    if (version == TTCF) {
        c.error(DIRECTORY_TAG, "the file is a font collection; check its fonts one by one");
        return;
    }
    if (version != TRUETYPE && version != TRUE_TAG && version != OTTO) {
        c.error(DIRECTORY_TAG,
                "the sfnt version is 0x%08X, not that of a TrueType font (0x00010000)", version);
        return;
    }
    const unsigned n = h.u16(4);
    if (n == 0) {
        c.error(DIRECTORY_TAG, "the directory lists no tables");
        return;
    }
    if (c.tables.from_file() && c.tables.entries().size() < n) {
        c.error(DIRECTORY_TAG, "the directory of %u tables needs %zu bytes; the file has only %zu",
                n, HEADER + ENTRY * n, c.tables.file().size());
        return;
    }
    check_search_fields(c, n);
    const std::vector<table_entry>& es = c.tables.entries();
    for (size_t i = 1; i < es.size(); i++) {
        if (es[i].tag == es[i - 1].tag)
            c.warning(es[i].tag, "the directory lists the table twice");
        else if (es[i].tag < es[i - 1].tag)
            c.warning(DIRECTORY_TAG, "the tags are not in ascending order: %s follows %s",
                      tag_chars(es[i].tag).c_str(), tag_chars(es[i - 1].tag).c_str());
    }
    for (const table_entry& e : es)
        if (e.length == 0)
            c.error(e.tag, "the table has length 0");
    // A save lays the tables out afresh and computes their checksums.
    if (c.tables.from_file() && !c.options.as_saved)
        check_layout(c);

    for (uint32_t tag : REQUIRED)
        if (!c.tables.has(tag))
            c.error(tag, "the font has no %s table; every TrueType font needs one",
                    tag_chars(tag).c_str());
    const bool glyf = c.tables.has(GLYF), loca = c.tables.has(LOCA);
    const bool cff = c.tables.has(CFF) || c.tables.has(CFF2);
    if (glyf && !loca)
        c.error(LOCA, "the font has glyf but no loca to find its glyphs");
    else if (!glyf && !cff)
        c.error(GLYF, "the font has no glyf table, so no glyph outlines");
    if (cff)
        c.note(DIRECTORY_TAG, "the font's CFF outlines are not checked");
    if (version == TRUE_TAG)
        c.warning(DIRECTORY_TAG, "the sfnt version is 'true', which only Apple's systems read; "
                                 "TrueType fonts use 0x00010000");
    else if (version == OTTO && glyf)
        c.warning(DIRECTORY_TAG, "the sfnt version is 'OTTO' (CFF outlines) but the font has "
                                 "TrueType outlines; it is 0x00010000");
}

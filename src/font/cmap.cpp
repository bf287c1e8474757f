#include "font/cmap.h"

#include "font/cmap_run_list.h"
#include "font/ttf.h"

#include <algorithm>
#include <cstring>
#include <map>

using cmap_subtables::CODES;
using cmap_subtables::group;
using cmap_subtables::LAST_CODE;
using cmap_subtables::run;

namespace {

struct record {
    uint16_t platform, encoding;
    uint32_t offset;
};

// A record of a Unicode character map; (0, 5) holds variation sequences,
// which map nothing.
bool is_unicode(const record& r) {
    return (r.platform == 0 && r.encoding != 5) ||
           (r.platform == 3 && (r.encoding == 1 || r.encoding == 10));
}

std::vector<record> records_of(byte_span b) {
    std::vector<record> out;
    unsigned count = b.u16(2);
    for (unsigned i = 0; i < count && b.has(4 + 8 * (size_t)i, 8); i++) {
        size_t at = 4 + 8 * (size_t)i;
        out.push_back({b.u16(at), b.u16(at + 2), b.u32(at + 4)});
    }
    return out;
}

// Records in the order the editor's map is chosen from.
int preference(const record& r) {
    static const uint16_t order[][2] = {{3, 10}, {0, 4}, {0, 6}, {3, 1}, {0, 3}};
    for (int k = 0; k < 5; k++)
        if (r.platform == order[k][0] && r.encoding == order[k][1])
            return k;
    return 5;
}

std::string where(const record& r) {
    return "(" + std::to_string(r.platform) + ", " + std::to_string(r.encoding) + ")";
}

// The run's codes up to U+FFFE and past U+FFFF (U+0000 and U+FFFF are left
// as the font has them); `end` < `start` when a part is empty.
run lower_part(const run& r) {
    run part = r;
    part.start = std::max<uint32_t>(r.start, 1);
    part.end = std::min<uint32_t>(r.end, 0xFFFE);
    if (r.gno != 0xFFFF)
        part.gno = (uint16_t)(r.gno + (part.start - r.start));
    return part;
}

run upper_part(const run& r) {
    run part = r;
    part.start = std::max<uint32_t>(r.start, 0x10000);
    part.end = std::min<uint32_t>(r.end, LAST_CODE);
    if (r.gno != 0xFFFF)
        part.gno = (uint16_t)(r.gno + (part.start - r.start));
    return part;
}

void apply(const run& r, uint16_t* map) {
    for (uint32_t c = r.start; c <= r.end; c++)
        map[c] = r.gno == 0xFFFF ? 0 : (uint16_t)(r.gno + (c - r.start));
}

// The Unicode subtable of record `r` with the edit applied to its own map
// (the upper part only where the format holds codes past U+FFFF), in its
// own format. Returns 0, 1 when the edit changes nothing in it (its bytes
// stay), or the failure set_chr reports, with `why` saying what failed.
int edited_subtable(byte_span b, const record& r, const run& lower, const run& upper,
                    std::vector<unsigned char>* body, std::string* why) {
    const uint32_t off = r.offset;
    const uint16_t format = b.u16(off);
    if (format == 12) {
        std::vector<unsigned char> step;
        byte_span from = b;
        size_t at = off;
        for (const run* part : {&lower, &upper}) {
            if (part->start > part->end)
                continue;
            if (!cmap_subtables::edit_format12(from, at, *part, body)) {
                *why = "the " + where(r) + " subtable is damaged";
                return -3;
            }
            step.swap(*body);
            from = byte_span(step.data(), step.size());
            at = 0;
        }
        body->swap(step);
        return body->empty() ? 1 : 0;
    }
    if (format != 0 && format != 4 && format != 6) {
        *why = "the " + where(r) + " subtable is format " + std::to_string(format) +
               ", which this editor does not write";
        return -3;
    }
    std::vector<uint16_t> map(CODES);
    if (cmap_subtables::decode_bmp(b, off, map.data()) != 0) {
        *why = "the " + where(r) + " subtable is damaged";
        return -3;
    }
    if (lower.start > lower.end)
        return 1;
    std::vector<uint16_t> before(map.begin() + lower.start, map.begin() + lower.end + 1);
    apply(lower, map.data());
    if (std::equal(before.begin(), before.end(), map.begin() + lower.start))
        return 1;
    const uint16_t language = b.u16(off + 4);
    bool fits = format == 4   ? cmap_subtables::encode_format4(map.data(), language, body)
                : format == 6 ? cmap_subtables::encode_format6(map.data(), language, body)
                              : cmap_subtables::encode_format0(map.data(), language, body);
    if (!fits) {
        *why = format == 4 ? "no format 4 subtable can hold this map: the " + where(r) +
                                 " one would pass 65,535 bytes"
                           : "the " + where(r) + " subtable is format " + std::to_string(format) +
                                 ", which cannot hold this map";
        return -1;
    }
    return 0;
}

} // namespace

ttf_cmap::ttf_cmap(ttf* owner, unsigned char* data, unsigned long length)
    : ttf_table(owner, tag_of("cmap"), data, length), chrmap(new unsigned short[CODES]()) {
    if (!data)
        create_default();
}

ttf_cmap::~ttf_cmap() {
    delete[] chrmap;
}

void ttf_cmap::refresh() {
    // An undo or redo: the list keeps the run it had chosen, where the
    // run's first code still starts one.
    const int32_t chosen = runlist ? runlist->selection() : -1;
    const uint32_t code =
        chosen >= 0 && chosen < (int32_t)runs.size() ? runs[chosen].start : UINT32_MAX;
    get_tbl();
    runs_changed(code);
    ttf_table::refresh();
}

int ttf_cmap::get_tbl() {
    byte_span b = bytes();
    std::vector<record> recs = records_of(b);
    std::vector<size_t> order;
    for (size_t i = 0; i < recs.size(); i++)
        if (is_unicode(recs[i]))
            order.push_back(i);
    std::sort(order.begin(), order.end(), [&](size_t x, size_t y) {
        int px = preference(recs[x]), py = preference(recs[y]);
        return px != py ? px < py : x < y;
    });
    int result = order.empty() ? -1 : 1;
    shown = -1;
    for (size_t i : order) {
        if (cmap_subtables::decode_bmp(b, recs[i].offset, chrmap, &wide) == 0) {
            result = 0;
            shown = (int)i;
            break;
        }
    }
    if (result != 0) {
        std::memset(chrmap, 0, CODES * sizeof(chrmap[0]));
        wide.clear();
    }
    // The subtables and runs are listed for the view only: a font loaded
    // without one does not pay for them.
    listed = false;
    if (Window())
        make_listing();
    return result;
}

void ttf_cmap::make_listing() {
    list_subtables();
    make_runs();
    listed = true;
}

void ttf_cmap::list_subtables() {
    byte_span b = bytes();
    std::vector<record> recs = records_of(b);
    std::map<uint32_t, long> counted;
    std::vector<uint16_t> map(CODES);
    std::vector<group> past;
    subtables.clear();
    for (size_t i = 0; i < recs.size(); i++) {
        const uint32_t off = recs[i].offset;
        if (!counted.count(off)) {
            long count = -1;
            if (cmap_subtables::decode_bmp(b, off, map.data(), &past) == 0) {
                count = (long)std::count_if(map.begin(), map.end(), [](uint16_t g) { return g; });
                for (const group& g : past)
                    count += (long)(g.end - g.start + 1);
            }
            counted[off] = count;
        }
        subtables.push_back(
            {recs[i].platform, recs[i].encoding, b.u16(off), counted[off], (int)i == shown});
    }
}

void ttf_cmap::make_runs() {
    runs.clear();
    auto add = [&](uint32_t code, uint32_t glyph) {
        if (!runs.empty()) {
            group& last = runs.back();
            if (last.end + 1 == code && last.glyph + (last.end - last.start) + 1 == glyph) {
                last.end = code;
                return;
            }
        }
        runs.push_back({code, code, glyph});
    };
    for (uint32_t c = 0; c < CODES; c++)
        if (chrmap[c])
            add(c, chrmap[c]);
    for (const group& g : wide) {
        add(g.start, g.glyph);
        runs.back().end = g.end;
    }
}

int ttf_cmap::rebuild(const run* change) {
    byte_span b = bytes();
    std::vector<record> recs = records_of(b);
    run lower{1, 0, 0}, upper{1, 0, 0};
    if (change) {
        lower = lower_part(*change);
        upper = upper_part(*change);
    }
    const bool editing = lower.start <= lower.end || upper.start <= upper.end;

    std::vector<uint32_t> offsets;
    bool unicode_present = false, wide_held = false;
    for (const record& r : recs) {
        offsets.push_back(r.offset);
        if (is_unicode(r) && b.has(r.offset, 2) && b.u16(r.offset) != 14) {
            unicode_present = true;
            wide_held = wide_held || b.u16(r.offset) == 12;
        }
    }
    std::sort(offsets.begin(), offsets.end());
    if (upper.start <= upper.end && !wide_held) {
        editerror = "codes past ffff need a format 12 subtable, which this font does not have";
        return -4;
    }

    // Each subtable is built once and stays shared by the records that
    // shared it; the map is ordered by the old offsets, so the subtables
    // keep their order.
    std::map<uint32_t, std::vector<unsigned char>> bodies;
    size_t kept = 0;
    for (const record& r : recs) {
        const uint32_t off = r.offset;
        if (bodies.count(off) || !b.has(off, 2))
            continue; // built already, or a record pointing outside the table
        bool unicode = false;
        for (const record& other : recs)
            unicode = unicode || (other.offset == off && is_unicode(other));
        std::vector<unsigned char>& body = bodies[off];
        if (unicode && editing && b.u16(off) != 14) {
            int result = edited_subtable(b, r, lower, upper, &body, &editerror);
            if (result == -1 && wide_held)
                editerror += "; the characters past what format 4 holds stay in format 12";
            if (result < 0)
                return result;
            if (result == 0)
                continue;
        }
        // Kept as it is: its declared length, or up to the next subtable
        // when its format does not say.
        size_t len = cmap_subtables::declared_length(b, off);
        if (len == 0) {
            auto next = std::upper_bound(offsets.begin(), offsets.end(), off);
            len = (next == offsets.end() ? b.size() : std::min<size_t>(*next, b.size())) - off;
        }
        // Subtables that overlap each other could make the copies many
        // times the table's size; sound tables never do.
        kept += len;
        if (kept > b.size()) {
            editerror = "the table's subtables overlap";
            return -3;
        }
        body.assign(b.data() + off, b.data() + off + len);
    }

    // A font without a Unicode subtable gets a (3, 1) one, built from the
    // whole map.
    std::vector<unsigned char> own;
    if (!unicode_present) {
        if (!cmap_subtables::encode_format4(chrmap, 0, &own)) {
            editerror = "no format 4 subtable can hold this map: the (3, 1) one would pass "
                        "65,535 bytes";
            return -1;
        }
        auto at = std::find_if(recs.begin(), recs.end(), [](const record& r) {
            return r.platform > 3 || (r.platform == 3 && r.encoding > 1);
        });
        recs.insert(at, record{3, 1, UINT32_MAX});
    }
    recs.erase(std::remove_if(recs.begin(), recs.end(),
                              [&](const record& r) {
                                  return r.offset != UINT32_MAX && !bodies.count(r.offset);
                              }),
               recs.end());

    size_t total = 4 + 8 * recs.size();
    std::map<uint32_t, uint32_t> placed;
    for (const auto& body : bodies) {
        placed[body.first] = (uint32_t)total;
        total += body.second.size();
    }
    placed[UINT32_MAX] = (uint32_t)total;
    total += own.size();
    if (total > UINT32_MAX) {
        editerror = "the table would be too large";
        return -1;
    }
    unsigned char* buf = malloc32((long)total);
    if (!buf) {
        editerror = "no memory is left for the table";
        return -1;
    }
    byte_writer w(buf, total);
    w.put16(0, b.u16(0));
    w.put16(2, (uint16_t)recs.size());
    for (size_t i = 0; i < recs.size(); i++) {
        w.put16(4 + 8 * i, recs[i].platform);
        w.put16(6 + 8 * i, recs[i].encoding);
        w.put32(8 + 8 * i, placed[recs[i].offset]);
    }
    for (const auto& body : bodies)
        std::copy(body.second.begin(), body.second.end(), buf + placed[body.first]);
    std::copy(own.begin(), own.end(), buf + placed[UINT32_MAX]);
    replace_data(buf, total);
    editerror.clear();
    return 0;
}

int ttf_cmap::set_tbl() {
    int result = rebuild(nullptr);
    if (result == 0)
        get_tbl();
    return result;
}

int ttf_cmap::set_chr(uint32_t start, uint32_t end, unsigned short gno) {
    if (end < start)
        return 0;
    // 0xFFFF is no glyph: a run that would reach it (or wrap past it to 0)
    // is refused whole.
    if (gno != 0xFFFF && (uint64_t)gno + (end - start) > 0xFFFE) {
        editerror = "the run of glyph numbers would pass fffe";
        return -2;
    }
    const run change{start, std::min(end, LAST_CODE), gno};
    const run lower = lower_part(change), upper = upper_part(change);
    if (lower.start > lower.end && upper.start > upper.end)
        return 0; // only U+0000 or U+FFFF, which edits leave alone
    // chrmap takes the edit first: a font without a Unicode subtable gets
    // one built from it.
    std::vector<unsigned short> before;
    if (lower.start <= lower.end) {
        before.assign(chrmap + lower.start, chrmap + lower.end + 1);
        apply(lower, chrmap);
    }
    // Memory running out while the table is rebuilt leaves the bytes as
    // they were: chrmap goes back with them.
    int result;
    try {
        result = rebuild(&change);
    } catch (...) {
        std::copy(before.begin(), before.end(), chrmap + lower.start);
        throw;
    }
    if (result != 0) {
        std::copy(before.begin(), before.end(), chrmap + lower.start);
        return result;
    }
    get_tbl();
    return 0;
}

unsigned short ttf_cmap::get_gno(unsigned short chr) const {
    return chrmap[chr];
}

unsigned short ttf_cmap::glyph_of(uint32_t code) const {
    if (code < CODES)
        return chrmap[code];
    auto at = std::upper_bound(wide.begin(), wide.end(), code,
                               [](uint32_t c, const group& g) { return c < g.start; });
    if (at == wide.begin() || (at - 1)->end < code)
        return 0;
    return (unsigned short)((at - 1)->glyph + (code - (at - 1)->start));
}

unsigned short ttf_cmap::get_chr(unsigned short gno) const {
    for (uint32_t c = 0; c <= 0xFFFE; c++)
        if (chrmap[c] == gno)
            return (unsigned short)c;
    return 0xFFFF;
}

int ttf_cmap::create_default() {
    std::memset(chrmap, 0, CODES * sizeof(chrmap[0]));
    // U+FFFF is not a character: a new font never maps it.
    if (owner && owner->setup) {
        unsigned short next = 1;
        for (uint32_t c = 1; c <= 0xFFFE; c++)
            if (owner->setup->chars[c])
                chrmap[c] = next++;
    }
    return set_tbl();
}

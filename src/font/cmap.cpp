#include "font/cmap.h"

#include "font/cmap_subtables.h"
#include "font/ttf.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <vector>

using cmap_subtables::CODES;
using cmap_subtables::run;

namespace {

struct record {
    uint16_t platform, encoding;
    uint32_t offset;
};

bool is_unicode(const record& r) {
    return r.platform == 0 || (r.platform == 3 && (r.encoding == 1 || r.encoding == 10));
}

bool is_bmp(const record& r) {
    return r.platform == 3 && r.encoding == 1;
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

std::string where(const record& r) {
    return "(" + std::to_string(r.platform) + ", " + std::to_string(r.encoding) + ")";
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
    get_tbl();
    ttf_table::refresh();
}

int ttf_cmap::get_tbl() {
    std::memset(chrmap, 0, CODES * sizeof(chrmap[0]));
    byte_span b = bytes();
    bool found = false;
    size_t sub = 0;
    for (const record& r : records_of(b)) {
        if (is_bmp(r)) {
            found = true;
            sub = r.offset;
        }
    }
    if (!found)
        return -1;
    return cmap_subtables::decode_format4(b, sub, chrmap);
}

int ttf_cmap::rebuild(const run* change) {
    chrmap[0] = 0;
    chrmap[0xFFFF] = 0;
    byte_span b = bytes();
    std::vector<record> recs = records_of(b);
    int bmp = -1;
    for (size_t i = 0; i < recs.size(); i++)
        if (is_bmp(recs[i]))
            bmp = (int)i;
    // Codes 0 and 0xFFFF are never mapped in the rebuilt (3, 1) subtable;
    // the other subtables follow it.
    run edit{0, 0, 0};
    bool editing = false;
    if (change) {
        edit = *change;
        edit.start = std::max<uint32_t>(edit.start, 1);
        edit.end = std::min<uint32_t>(edit.end, 0xFFFE);
        editing = edit.start <= edit.end;
        if (editing && edit.gno != 0xFFFF)
            edit.gno = (uint16_t)(edit.gno + (edit.start - change->start));
    }

    std::vector<uint32_t> offsets;
    for (const record& r : recs)
        offsets.push_back(r.offset);
    std::sort(offsets.begin(), offsets.end());

    // Each subtable is built once and stays shared by the records that
    // shared it; the map is ordered by the old offsets, so the subtables
    // keep their order.
    std::map<uint32_t, std::vector<unsigned char>> bodies;
    std::vector<uint16_t> map(CODES);
    size_t kept = 0;
    for (const record& r : recs) {
        const uint32_t off = r.offset;
        if (bodies.count(off) || !b.has(off, 2))
            continue; // built already, or a record pointing outside the table
        bool unicode = false;
        for (const record& other : recs)
            unicode = unicode || (other.offset == off && is_unicode(other));
        const bool mine = bmp >= 0 && recs[bmp].offset == off;
        const uint16_t format = b.u16(off);
        std::vector<unsigned char>& body = bodies[off];
        if (unicode && ((format == 4 && (editing || mine)) || (format == 12 && editing))) {
            bool readable = format == 12 ? cmap_subtables::edit_format12(b, off, edit, &body)
                                         : cmap_subtables::decode_format4(b, off, map.data()) == 0;
            if (!readable) {
                editerror = "the " + where(r) + " subtable is damaged";
                return -3;
            }
            if (format == 12)
                continue;
            const uint16_t* from = map.data();
            if (mine) {
                from = chrmap;
            } else if (editing) {
                for (uint32_t c = edit.start; c <= edit.end; c++)
                    map[c] = edit.gno == 0xFFFF ? 0 : (uint16_t)(edit.gno + (c - edit.start));
            }
            if (!cmap_subtables::encode_format4(from, b.u16(off + 4), &body)) {
                editerror = "the " + where(r) + " subtable would need too many segments";
                return -1;
            }
            continue;
        }
        if (mine && format != 12) {
            editerror = "the (3, 1) subtable is format " + std::to_string(format) +
                        ", which this editor does not write";
            return -3;
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

    // A font without a (3, 1) subtable gets one, built from chrmap.
    std::vector<unsigned char> own;
    if (bmp < 0) {
        if (!cmap_subtables::encode_format4(chrmap, 0, &own)) {
            editerror = "the (3, 1) subtable would need too many segments";
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
    return rebuild(nullptr);
}

int ttf_cmap::set_chr(unsigned short start, unsigned short end, unsigned short gno) {
    if (end < start)
        return set_tbl();
    // 0xFFFF is no glyph: a run that would reach it (or wrap past it to 0)
    // is refused whole.
    if (gno != 0xFFFF && (uint32_t)gno + (uint32_t)(end - start) > 0xFFFE) {
        editerror = "the run of glyph numbers would pass fffe";
        return -2;
    }
    std::vector<unsigned short> before(chrmap + start, chrmap + (size_t)end + 1);
    for (uint32_t k = 0; k <= (uint32_t)(end - start); k++)
        chrmap[start + k] = gno == 0xFFFF ? 0 : (unsigned short)(gno + k);
    run change{start, end, gno};
    int result = rebuild(&change);
    if (result != 0)
        std::copy(before.begin(), before.end(), chrmap + start);
    return result;
}

unsigned short ttf_cmap::get_gno(unsigned short chr) const {
    return chrmap[chr];
}

unsigned short ttf_cmap::get_chr(unsigned short gno) const {
    for (uint32_t c = 0; c <= 0xFFFE; c++)
        if (chrmap[c] == gno)
            return (unsigned short)c;
    return 0xFFFF;
}

int ttf_cmap::create_default() {
    std::memset(chrmap, 0, CODES * sizeof(chrmap[0]));
    if (owner && owner->setup) {
        unsigned short next = 1;
        for (uint32_t c = 1; c <= 0xFFFF; c++)
            if (owner->setup->chars[c])
                chrmap[c] = next++;
    }
    return set_tbl();
}

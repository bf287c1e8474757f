// Conversion of single glyf records to and from editable glyphs.
//
// Simple body, after the 10-byte header:
//   endPtsOfContours  uint16 x numberOfContours
//   instructionLength uint16, then the instruction bytes
//   flags             one byte per point, 0x08 = next byte repeats it
//   x deltas, then y deltas (one byte, a word or nothing, as the flag says)
// Composite body: component entries (font/glyf_components.h), then the
// instructions when an entry asks for them.
//
// decode refuses a damaged record (returns 1, leaves the glyph as it was)
// rather than guessing: counts and offsets that run past the record, contour
// ends that do not increase, contours over 1024 points, more than 512
// contours, flag repeats past the last point, components that refer back to
// a glyph being decoded or nest too deeply. What it reads but cannot hold
// (components the font lacks, components past the glyph's capacity, a cut
// instruction block) it marks in the glyph's `lossy` bits.
//
// encode writes a composite's entries in the form they were read in where
// that form still holds the values, keeps every flag the editor does not
// decide and the instructions, and keeps the old record whole when nothing
// in it changed.
#include "font/glyf.h"

#include "font/glyf_components.h"
#include "font/glyf_deltas.h"
#include "font/glyf_records.h"
#include "font/head.h"
#include "font/loca.h"
#include "font/maxp.h"
#include "font/ttf.h"
#include "outline/glyph.h"
#include "outline/shape.h"

#include <algorithm>
#include <cstdint>
#include <cmath>
#include <memory>
#include <vector>

namespace {

const size_t header_size = 10;

// Point flags.
const uint8_t on_curve = 0x01, x_short = 0x02, y_short = 0x04, repeat = 0x08, x_same = 0x10,
              y_same = 0x20;
using glyf_deltas::forms;
using glyf_deltas::read_delta;

using namespace glyf_flag;

// Limits on one decode, so that nested or shared components cannot make it
// recurse, run or allocate without bound: nesting as every reader of the
// font limits it, and the component records and contours read in all.
const int max_component_records = 8 * glyph::max_components;
const long max_decoded_contours = 4096;

struct decode_context {
    const glyf_records& source;
    // Glyph indices whose records are being read: the glyph itself and one
    // composite per level.
    unsigned path[GLYF_MAX_COMPONENT_DEPTH + 2];
    size_t depth = 0;
    int records = 0;
    long contours = 0;

    bool on_path(unsigned gi) const { return std::find(path, path + depth, gi) != path + depth; }
};

// Flags of the simple glyph being read. Kept between
// decodes, so reading every glyph of a font does not allocate for them.
struct point_scratch {
    std::vector<uint8_t> flags;

    void make_room(size_t npoints) {
        if (flags.size() < npoints)
            flags.resize(npoints);
    }
    // A hostile record can ask for half a million points; that much is not
    // kept once it is read.
    void trim() {
        const size_t keep = 65536;
        if (flags.size() > keep)
            flags = std::vector<uint8_t>(keep);
    }
};

thread_local point_scratch scratch;

int decode_record(decode_context& ctx, const byte_span& rec, glyph* g, unsigned level);

int decode_simple(decode_context& ctx, const byte_span& rec, glyph* g) {
    const size_t ncontours = (size_t)rec.s16(0);
    if (ncontours == 0)
        return 0;
    if (ncontours > (size_t)glyph::max_contours ||
        (size_t)(g->count + g->ncompo) + ncontours > (size_t)glyph::max_contours)
        return 1;
    if (ctx.contours + (long)ncontours > max_decoded_contours)
        return 1;
    if (!rec.has(header_size, 2 * ncontours + 2))
        return 1;

    int previous = -1;
    for (size_t k = 0; k < ncontours; k++) {
        int end = rec.u16(header_size + 2 * k);
        if (end <= previous || end - previous > shape::max_points)
            return 1;
        previous = end;
    }
    const size_t npoints = (size_t)previous + 1;

    size_t pos = header_size + 2 * ncontours;
    size_t ninstr = rec.u16(pos);
    pos += 2;
    if (!rec.has(pos, ninstr))
        return 1;
    pos += ninstr;

    scratch.make_room(npoints);
    uint8_t* flags = scratch.flags.data();
    size_t xbytes = 0, ybytes = 0;
    for (size_t i = 0; i < npoints;) {
        if (!rec.has(pos, 1))
            return 1;
        uint8_t f = rec.u8(pos++);
        flags[i++] = f;
        xbytes += forms.x[f].size;
        ybytes += forms.y[f].size;
        if (f & repeat) {
            if (!rec.has(pos, 1))
                return 1;
            size_t n = rec.u8(pos++);
            if (n > npoints - i)
                return 1;
            std::fill(flags + i, flags + i + n, f);
            xbytes += n * forms.x[f].size;
            ybytes += n * forms.y[f].size;
            i += n;
        }
    }
    // With every coordinate byte present, nothing below can fail, so the
    // points go straight into the new contours.
    if (!rec.has(pos, xbytes + ybytes))
        return 1;

    g->reserve(g->count + g->ncompo + (int)ncontours);
    // Local copies: the flag stores below are char stores, which the
    // compiler must otherwise assume can change anything reachable.
    const byte_span r = rec;
    size_t xpos = pos, ypos = pos + xbytes;
    int32_t x = 0, y = 0;
    size_t first = 0;
    for (size_t k = 0; k < ncontours; k++) {
        size_t end = r.u16(header_size + 2 * k);
        shape* s = shape::unfilled((int)(end + 1 - first));
        BPoint* points = s->points;
        char* on_off = s->flags;
        const int n = s->count;
        for (int i = 0; i < n; i++) {
            uint8_t f = flags[first + i];
            x += read_delta(r, xpos, forms.x[f]);
            y += read_delta(r, ypos, forms.y[f]);
            points[i] = BPoint((float)x, (float)y);
            on_off[i] = (char)((f ^ on_curve) & 1);
        }
        s->ctrlp2form();
        g->add_shape(s);
        first = end + 1;
    }
    ctx.contours += (long)ncontours;
    return 0;
}

struct component_entry {
    std::unique_ptr<glyph> g;
    glyf_component entry;
};

// Decodes component glyph gi, `level` composites below the glyph being
// decoded. 0 when read (or empty), -1 when the font has no such glyph, 1
// when its record is damaged.
int decode_component(decode_context& ctx, unsigned gi, glyph* c, unsigned level) {
    byte_span rec;
    glyf_records::status found = ctx.source.record(gi, &rec);
    if (found == glyf_records::missing)
        return -1;
    if (found == glyf_records::damaged)
        return 1;
    if (rec.size() == 0)
        return 0;
    if (ctx.on_path(gi))
        return 1; // refers back to itself
    if (++ctx.records > max_component_records)
        return 1;
    ctx.path[ctx.depth++] = gi;
    int r = decode_record(ctx, rec, c, level);
    ctx.depth--;
    return r;
}

int decode_composite(decode_context& ctx, const byte_span& rec, glyph* g, unsigned level) {
    // A composite `level` below the glyph decoded gives that glyph a depth
    // of at least level + 1.
    if (level >= GLYF_MAX_COMPONENT_DEPTH)
        return 1;
    // The few components most glyphs have are kept without allocating.
    component_entry inline_kept[8];
    std::vector<component_entry> more_kept;
    size_t nkept = 0;
    glyf_component e;

    uint8_t lost = 0;
    bool instructed = false;
    size_t pos = header_size;
    do {
        pos = glyf_read_component(rec, pos, &e);
        if (pos == 0)
            return 1;
        instructed |= (e.flags & have_instructions) != 0;
        // Components past the capacity are not read.
        if (nkept + (size_t)g->ncompo >= (size_t)glyph::max_components) {
            lost |= glyph::lost_capacity;
            continue;
        }
        component_entry c;
        c.entry = e;
        c.g.reset(new glyph(e.glyph));
        c.g->depth = g->depth + 1;
        int r = decode_component(ctx, e.glyph, c.g.get(), level + 1);
        if (r > 0)
            return 1;
        if (r < 0) {
            lost |= glyph::lost_component;
            continue;
        }
        if (nkept < 8 && more_kept.empty()) {
            inline_kept[nkept++] = std::move(c);
        } else {
            if (more_kept.empty()) {
                for (component_entry& k : inline_kept)
                    more_kept.push_back(std::move(k));
            }
            more_kept.push_back(std::move(c));
            nkept++;
        }
    } while (e.flags & more_components);
    component_entry* kept = more_kept.empty() ? inline_kept : more_kept.data();

    byte_span instructions;
    if (instructed) {
        if (rec.has(pos, 2) && rec.has(pos + 2, rec.u16(pos)))
            instructions = rec.slice(pos + 2, rec.u16(pos));
        else
            lost |= glyph::lost_damaged; // the outline is whole; the hints are cut
    }

    long copies = 0;
    for (size_t k = 0; k < nkept; k++)
        copies += kept[k].g->count + 1;
    if (ctx.contours + copies > max_decoded_contours)
        return 1;
    for (size_t k = 0; k < nkept; k++) {
        component_entry& c = kept[k];
        const glyf_component& x = c.entry;
        if (g->add_compo(c.g.get(), (int16_t)x.arg1, (int16_t)x.arg2, x.xscale, x.scale01,
                         x.scale10, x.yscale, x.flags) == 0)
            c.g.release();
    }
    g->instructions.assign(instructions.data(), instructions.data() + instructions.size());
    g->lossy |= lost;
    ctx.contours += copies;
    g->create_composhape();
    return 0;
}

int decode_record(decode_context& ctx, const byte_span& rec, glyph* g, unsigned level) {
    if (rec.size() < header_size)
        return 1;
    if (rec.s16(0) >= 0)
        return decode_simple(ctx, rec, g);
    return decode_composite(ctx, rec, g, level);
}

} // namespace

glyf_records::status glyf_table_records::record(unsigned gi, byte_span* rec) const {
    ttf* font = fTable.owner;
    unsigned long offset, length;
    if (!font || !font->maxp || !font->loca || !font->head || gi >= font->maxp->numglyphs())
        return missing;
    if (font->loca->get_offset(font->head->is32loca(), (int)gi, &offset, &length) != 0)
        return missing;
    *rec = fTable.bytes().slice(offset, length);
    return rec->size() == length ? found : damaged;
}

int glyf_decode(const glyf_records& records, const byte_span& rec, glyph* g) {
    if (rec.size() == 0)
        return 0;
    if (!g)
        return 1;
    decode_context ctx{records, {}, 0, 0, 0};
    if (g->index != 0xFFFF)
        ctx.path[ctx.depth++] = g->index;
    int r = decode_record(ctx, rec, g, 0);
    scratch.trim();
    return r;
}

int ttf_glyf::decode(unsigned long offset, unsigned long length, glyph* g) {
    if (length == 0)
        return 0;
    if (!g)
        return 1;
    byte_span rec = bytes().slice(offset, length);
    if (rec.size() != length)
        return 1;
    return glyf_decode(glyf_table_records(*this), rec, g);
}

namespace {

// A coordinate in font units as the file holds it: truncated toward zero,
// and refused when it is not finite or does not fit in 16 bits.
bool file_coordinate(float v, int32_t& out) {
    if (!std::isfinite(v))
        return false;
    float t = std::trunc(v);
    if (t < -32768.0f || t > 32767.0f)
        return false;
    out = (int32_t)t;
    return true;
}

// A composite bounding-box value: rounded to the nearest unit, as readers
// round the points of transformed components (and as the small error of a
// trip through screen coordinates needs), and clamped to 16 bits.
int16_t box_value(float v) {
    if (!(v > -32768.0f))
        return -32768;
    if (!(v < 32767.0f))
        return 32767;
    return (int16_t)std::floor(v + 0.5f);
}

// Writes a growing record; the buffer is sized beforehand for the largest
// record the glyph can produce, so a failed put means a sizing fault.
struct record_writer {
    std::vector<unsigned char> buf;
    size_t pos = 0;
    bool ok = true;

    explicit record_writer(size_t capacity) : buf(capacity) {}
    void u8(uint8_t v) {
        ok = byte_writer(buf.data(), buf.size()).put8(pos, v) && ok;
        pos += 1;
    }
    void u16(uint16_t v) {
        ok = byte_writer(buf.data(), buf.size()).put16(pos, v) && ok;
        pos += 2;
    }
    void bytes(const byte_span& b) {
        for (size_t i = 0; i < b.size(); i++)
            u8(b.u8(i));
    }
};

// How many F2Dot14 values a transform form carries: 0 (none), 1
// (HAVE_SCALE), 2 (HAVE_XY_SCALE) or 4 (HAVE_2X2), as a reader picks it.
int transform_values(uint16_t flags) {
    return (flags & have_scale) ? 1 : (flags & have_xy_scale) ? 2 : (flags & have_2x2) ? 4 : 0;
}

// Writes the composite record of g. `old` is the record it replaces: when
// the entries and instructions come out the same as there and its bounding
// box is the one computed here, give or take a unit of rounding, `*keep_old`
// is set and the old record stays as it is.
int encode_composite(const ttf_glyf& table, const glyph* g, const byte_span& old, record_writer& w,
                     bool* keep_old) {
    ttf* font = table.owner;
    for (int k = 0; k < g->ncompo; k++) {
        // A component must name a glyph of the font, or the record would
        // point nowhere.
        if (!g->compo[k] || g->compo[k]->index == 0xFFFF)
            return 1;
        if (font && font->maxp && g->compo[k]->index >= font->maxp->numglyphs())
            return 1;
    }
    if (g->instructions.size() > 0xFFFF)
        return 1;
    // The box of every point the components give, whether or not the
    // editor's outline holds them all; a zero box when there is none.
    std::vector<BPoint> points;
    g->outline_points(&points);
    BRect b(0, 0, 0, 0);
    if (!points.empty()) {
        b = BRect(points[0], points[0]);
        for (const BPoint& p : points) {
            b.left = std::min(b.left, p.x);
            b.right = std::max(b.right, p.x);
            b.top = std::min(b.top, p.y);
            b.bottom = std::max(b.bottom, p.y);
        }
    }
    const int16_t box[4] = {box_value(b.left), box_value(b.top), box_value(b.right),
                            box_value(b.bottom)};
    w.u16((uint16_t)-1);
    for (int16_t v : box)
        w.u16((uint16_t)v);

    // The instructions follow the entries when any entry says so; the last
    // entry says so when the one that did was removed.
    bool instructed = false;
    for (int k = 0; k < g->ncompo; k++)
        instructed |= (g->compo_flags[k] & have_instructions) != 0;
    const bool mark_last = !g->instructions.empty() && !instructed;

    for (int k = 0; k < g->ncompo; k++) {
        const uint16_t was = g->compo_flags[k];
        // What the flags say about the component stays; the form of the
        // entry is worked out below, and its place in the list here.
        uint16_t flags = was & (uint16_t) ~(form_bits | more_components);
        if (k + 1 < g->ncompo)
            flags |= more_components;
        if (mark_last && k + 1 == g->ncompo)
            flags |= have_instructions;

        // Offsets are signed, point numbers unsigned; words when the values
        // need them or the entry had them.
        const bool xy = (was & args_are_xy) != 0;
        const int32_t a1 = xy ? (int32_t)g->compo_dx[k] : (int32_t)(uint16_t)g->compo_dx[k];
        const int32_t a2 = xy ? (int32_t)g->compo_dy[k] : (int32_t)(uint16_t)g->compo_dy[k];
        const int32_t lo = xy ? -128 : 0, hi = xy ? 127 : 255;
        if ((was & args_are_words) || a1 < lo || a1 > hi || a2 < lo || a2 > hi)
            flags |= args_are_words;

        // The smallest transform form that holds the values, or the entry's
        // own form when that is larger.
        const uint16_t xs = g->compo_xscale[k], s01 = g->compo_scale01[k];
        const uint16_t s10 = g->compo_scale10[k], ys = g->compo_yscale[k];
        int need = (s01 != 0 || s10 != 0) ? 4 : xs != ys ? 2 : xs != 0x4000 ? 1 : 0;
        const int nscale = std::max(need, transform_values(was));
        flags |= nscale == 4   ? have_2x2
                 : nscale == 2 ? have_xy_scale
                 : nscale == 1 ? have_scale
                               : 0;

        w.u16(flags);
        w.u16(g->compo[k]->index);
        if (flags & args_are_words) {
            w.u16((uint16_t)a1);
            w.u16((uint16_t)a2);
        } else {
            w.u8((uint8_t)a1);
            w.u8((uint8_t)a2);
        }
        if (nscale == 4) {
            w.u16(xs);
            w.u16(s01);
            w.u16(s10);
            w.u16(ys);
        } else if (nscale == 2) {
            w.u16(xs);
            w.u16(ys);
        } else if (nscale == 1) {
            w.u16(xs);
        }
        instructed |= (flags & have_instructions) != 0;
    }
    if (instructed) {
        w.u16((uint16_t)g->instructions.size());
        w.bytes(byte_span(g->instructions.data(), g->instructions.size()));
    }

    // Unchanged entries: the old record's box is kept when it is off by at
    // most a unit of rounding (fonts round transformed points their own
    // way); a box further off means the components' outlines changed, and
    // the new one is written.
    *keep_old = false;
    if (old.size() >= w.pos && old.size() >= header_size && old.s16(0) < 0 &&
        std::equal(w.buf.begin() + header_size, w.buf.begin() + w.pos, old.data() + header_size)) {
        bool close = true;
        for (int i = 0; i < 4; i++)
            close = close && std::abs((int)old.s16(2 + 2 * i) - (int)box[i]) <= 1;
        *keep_old = close;
    }
    return 0;
}

// Largest delta a flag byte can carry in one byte.
const int32_t short_limit = 255;

int encode_simple(const glyph* g, const byte_span& instructions, record_writer& w) {
    // Contours without points are left out: an empty contour would repeat
    // the previous end point, which readers (this one included) refuse.
    std::vector<const shape*> contours;
    size_t npoints = 0;
    for (int i = 0; i < g->count; i++) {
        const shape* s = g->contours[i];
        if (s && s->count > 0) {
            contours.push_back(s);
            npoints += (size_t)s->count;
        }
    }
    // End points are 16-bit.
    if (npoints > 0xFFFF)
        return 1;
    // A glyph without points is stored as an empty record, the form readers
    // expect; a header alone would carry an inverted bounding box that
    // validators reject, and instructions without points do nothing.
    if (contours.empty())
        return 0;

    std::vector<uint8_t> flags;
    std::vector<uint8_t> xbytes, ybytes;
    int16_t xmin = 32767, ymin = 32767, xmax = -32768, ymax = -32768;
    int32_t px = 0, py = 0;
    for (const shape* s : contours) {
        for (int i = 0; i < s->count; i++) {
            int32_t X, Y;
            if (!file_coordinate(s->points[i].x, X) || !file_coordinate(s->points[i].y, Y))
                return 1;
            xmin = (int16_t)std::min<int32_t>(xmin, X);
            ymin = (int16_t)std::min<int32_t>(ymin, Y);
            xmax = (int16_t)std::max<int32_t>(xmax, X);
            ymax = (int16_t)std::max<int32_t>(ymax, Y);
            int32_t dx = X - px, dy = Y - py;
            px = X;
            py = Y;
            // Readers add deltas as signed 16-bit numbers.
            if (dx < -32768 || dx > 32767 || dy < -32768 || dy > 32767)
                return 1;
            uint8_t f = (s->flags[i] & 1) ? 0 : on_curve;
            auto put = [&](int32_t d, uint8_t is_short, uint8_t same_or_positive,
                           std::vector<uint8_t>& out) {
                if (d == 0) {
                    f |= same_or_positive;
                } else if (d >= -short_limit && d <= -1) {
                    f |= is_short;
                    out.push_back((uint8_t)-d);
                } else if (d >= 1 && d <= short_limit) {
                    f |= is_short | same_or_positive;
                    out.push_back((uint8_t)d);
                } else {
                    out.push_back((uint8_t)((uint16_t)d >> 8));
                    out.push_back((uint8_t)d);
                }
            };
            put(dx, x_short, x_same, xbytes);
            put(dy, y_short, y_same, ybytes);
            flags.push_back(f);
        }
    }

    w.u16((uint16_t)contours.size());
    w.u16((uint16_t)xmin);
    w.u16((uint16_t)ymin);
    w.u16((uint16_t)xmax);
    w.u16((uint16_t)ymax);
    size_t end = 0;
    for (const shape* s : contours) {
        end += (size_t)s->count;
        w.u16((uint16_t)(end - 1));
    }
    w.u16((uint16_t)instructions.size());
    w.bytes(instructions);
    w.bytes(byte_span(flags.data(), flags.size()));
    w.bytes(byte_span(xbytes.data(), xbytes.size()));
    w.bytes(byte_span(ybytes.data(), ybytes.size()));
    return 0;
}

// The instructions of a simple record, or nothing for any other record.
byte_span kept_instructions(const byte_span& old) {
    if (old.size() < header_size || old.s16(0) < 0)
        return byte_span();
    size_t at = header_size + 2 * (size_t)old.s16(0);
    if (!old.has(at, 2))
        return byte_span();
    return old.slice(at + 2, old.u16(at));
}

} // namespace

int ttf_glyf::encode(const glyph* g, unsigned long* offset, unsigned long* length) {
    if (!g || !offset || !length)
        return 1;
    const byte_span table = bytes();
    const unsigned long oldlen = *length;
    byte_span old = table.slice(*offset, oldlen);
    if (old.size() != oldlen || *offset > table.size())
        return 1;
    // A simple glyph keeps its record's instructions unless it brings its
    // own (a whole glyph pasted into an empty one, or in place of another).
    byte_span instructions = g->instructions.empty() && !g->own_instructions
                                 ? kept_instructions(old)
                                 : byte_span(g->instructions.data(), g->instructions.size());

    // Header, 2 bytes per end point, the instruction block and at most five
    // bytes per point (flag, word x, word y); a composite entry takes at
    // most 16 bytes. One more for the padding.
    size_t points = 0;
    for (int i = 0; i < g->count; i++)
        points += g->contours[i] ? (size_t)std::max(0, (int)g->contours[i]->count) : 0;
    size_t capacity =
        g->ncompo > 0
            ? header_size + 16 * (size_t)g->ncompo + 2 + g->instructions.size() + 1
            : header_size + 2 * (size_t)g->count + 2 + instructions.size() + 5 * points + 1;
    record_writer w(capacity);
    bool keep_old = false;
    int r = g->ncompo > 0 ? encode_composite(*this, g, old, w, &keep_old)
                          : encode_simple(g, instructions, w);
    if (r != 0 || !w.ok)
        return 1;
    if (keep_old)
        return 0; // *offset and *length describe the record as it stays
    if (w.pos % 2)
        w.u8(0);
    if (!w.ok)
        return 1;
    const size_t newlen = w.pos;

    // loca offsets are 32-bit; a table that would outgrow them is refused.
    const unsigned long total = this->length - oldlen + newlen;
    if (total > 0xFFFFFFFFUL)
        return 1;
    if (!splice(*offset, oldlen, w.buf.data(), newlen))
        return 1;
    *length = newlen;
    return 0;
}
